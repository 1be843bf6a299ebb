#include "ui/icon_list.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "ui/icon_list_button.h"

namespace tallowmere::ui {
namespace {

// A 3 x 2 strip of 5 x 4 images with a gap of 1, filled column by column:
// image i is all Fill(i) except its top-left pixel, which has the mask
// colour. The gaps have a colour no image uses.
constexpr int kCellWidth = 5;
constexpr int kCellHeight = 4;
constexpr int kGap = 1;
const QColor kMask(255, 153, 51);
const QColor kGapColour(1, 2, 3);
const QColor kBackground(20, 200, 120);

QColor Fill(int image) {
    return QColor(40 * image, 255 - 40 * image, 100);
}

QImage Strip() {
    QImage strip(kGap + 3 * (kCellWidth + kGap), kGap + 2 * (kCellHeight + kGap),
                 QImage::Format_RGB32);
    strip.fill(kGapColour);
    for (int i = 0; i < 6; ++i) {
        const int x = kGap + (i / 2) * (kCellWidth + kGap);
        const int y = kGap + (i % 2) * (kCellHeight + kGap);
        for (int dy = 0; dy < kCellHeight; ++dy)
            for (int dx = 0; dx < kCellWidth; ++dx)
                strip.setPixelColor(x + dx, y + dy, dx == 0 && dy == 0 ? kMask : Fill(i));
    }
    return strip;
}

CIconList StripList() {
    CIconList list;
    list.SetGeometry(2, 3, kCellWidth, kCellHeight, kGap, kMask);
    list.SetBitmap(Strip());
    return list;
}

QImage Canvas(int width = 20, int height = 20) {
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(kBackground);
    return canvas;
}

TEST(CIconList, DrawAtCopiesOneImageAndLeavesMaskPixelsAlone) {
    const CIconList list = StripList();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(testing::Message() << "image " << i);
        QImage canvas = Canvas();
        {
            QPainter painter(&canvas);
            list.DrawAt(painter, i, 7, 9);
        }
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                const bool inside = x >= 7 && x < 7 + kCellWidth && y >= 9 && y < 9 + kCellHeight;
                const bool mask = x == 7 && y == 9;
                const QColor expected = inside && !mask ? Fill(i) : kBackground;
                ASSERT_EQ(canvas.pixelColor(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(CIconList, AnImageOutsideTheStripDrawsNothing) {
    const CIconList list = StripList();
    for (const int index : {6, -1, 100}) {
        QImage canvas = Canvas();
        {
            QPainter painter(&canvas);
            list.DrawAt(painter, index, 0, 0);
        }
        EXPECT_EQ(canvas, Canvas()) << index;
    }
    CIconList empty;
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    empty.DrawAt(painter, 0, 0, 0);
    painter.end();
    EXPECT_EQ(canvas, Canvas());
}

TEST(CIconList, DrawCentresWithTheOddPixelAbove) {
    // One solid 16 x 16 image.
    QImage solid(16, 16, QImage::Format_RGB32);
    solid.fill(Qt::red);
    CIconList list;
    list.SetGeometry(1, 1, 16, 16, 0, kMask);
    list.SetBitmap(solid);
    struct Case {
        QRect rect;
        QPoint topLeft;
    };
    const Case cases[] = {
        {QRect(10, 20, 30, 21), QPoint(17, 23)},  // 16 px in 21: 3 px below the top
        {QRect(10, 20, 20, 20), QPoint(12, 22)},
        {QRect(10, 20, 13, 13), QPoint(8, 19)},  // larger than its rectangle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.width() << "x" << c.rect.height());
        QImage canvas = Canvas(50, 50);
        {
            QPainter painter(&canvas);
            list.Draw(painter, 0, c.rect);
        }
        const QPoint at = c.topLeft;
        EXPECT_EQ(canvas.pixelColor(at), QColor(Qt::red));
        EXPECT_EQ(canvas.pixelColor(at + QPoint(15, 15)), QColor(Qt::red));
        EXPECT_EQ(canvas.pixelColor(at + QPoint(-1, 0)), kBackground);
        EXPECT_EQ(canvas.pixelColor(at + QPoint(0, -1)), kBackground);
        EXPECT_EQ(canvas.pixelColor(at + QPoint(16, 15)), kBackground);
        EXPECT_EQ(canvas.pixelColor(at + QPoint(15, 16)), kBackground);
    }
}

TEST(CIconList, AStripKeepsItsOwnTransparency) {
    // Our images carry alpha; the mask colour is only one more way to it.
    QImage strip(2, 1, QImage::Format_ARGB32);
    strip.setPixel(0, 0, qRgba(0, 0, 0, 0));
    strip.setPixel(1, 0, qRgba(0, 0, 255, 255));
    CIconList list;
    list.SetGeometry(1, 2, 1, 1, 0, kMask);
    list.SetBitmap(strip);
    QImage canvas = Canvas(2, 1);
    QPainter painter(&canvas);
    list.DrawAt(painter, 0, 0, 0);
    list.DrawAt(painter, 1, 1, 0);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(0, 0), kBackground);
    EXPECT_EQ(canvas.pixelColor(1, 0), QColor(Qt::blue));
}

TEST(CIconList, OnlyFiveSharedStripsExist) {
    EXPECT_NE(SharedIconList(0), nullptr);
    EXPECT_NE(SharedIconList(4), nullptr);
    EXPECT_EQ(SharedIconList(5), nullptr);
    EXPECT_EQ(SharedIconList(-1), nullptr);
    EXPECT_FALSE(SetupIconList(5, 166, 1, 2, 23, 23, 0, kMask));
    EXPECT_TRUE(SetupIconList(0, 166, 1, 2, 23, 23, 0, kMask));
    EXPECT_TRUE(SharedIconList(0)->HasImage(3));
}

// The colour in the middle of the button as it shows now.
QColor FaceColour(CIconListButton& button) {
    return button.grab().toImage().pixelColor(button.width() / 2, button.height() / 2);
}

TEST(CIconListButton, ShowsThePressedImageWhileHeldDown) {
    constexpr int kStrip = 4;
    CIconList* shared = SharedIconList(kStrip);
    shared->SetGeometry(2, 3, kCellWidth, kCellHeight, kGap, kMask);
    shared->SetBitmap(Strip());
    struct Case {
        bool setImages;
        int normal;
        int pressed;
    };
    // A new button shows image 0 and image 1 while pressed; the owner may
    // choose others, as the currency button's 2 and 3.
    const Case cases[] = {{false, 0, 1}, {true, 2, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.normal << "/" << c.pressed);
        CIconListButton button;
        button.SetIconList(kStrip);
        if (c.setImages)
            button.SetImages(c.normal, c.pressed);
        button.resize(button.sizeHint());
        EXPECT_EQ(button.size(), QSize(kCellWidth, kCellHeight));
        button.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicked(&button, &QAbstractButton::clicked);

        EXPECT_EQ(FaceColour(button), Fill(c.normal));
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_TRUE(button.isDown());
        EXPECT_EQ(FaceColour(button), Fill(c.pressed));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(FaceColour(button), Fill(c.normal));
        EXPECT_EQ(clicked.count(), 1);
    }
}

}  // namespace
}  // namespace tallowmere::ui
