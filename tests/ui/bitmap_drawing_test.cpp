#include "ui/bitmap_drawing.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QRect>

namespace tallowmere::ui {
namespace {

const QColor kBackground(Qt::white);
const QColor kMask(252, 204, 252);

// A w x h image of one colour with a black top-left pixel, so its corner can
// be found after drawing.
QImage Block(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixelColor(0, 0, Qt::black);
    return image;
}

// The rectangle that the non-background pixels of the canvas cover.
QRect Painted(const QImage& canvas) {
    QRect r;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixelColor(x, y) != kBackground)
                r |= QRect(x, y, 1, 1);
        }
    }
    return r;
}

QImage Canvas() {
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(kBackground);
    return canvas;
}

TEST(DrawBitmapInRect, TopLeftOrCentredRoundingDownWithinTheRectanglesSize) {
    struct Case {
        const char* name;
        QRect rect;
        QSize image;
        bool centre;
        QRect painted;
    };
    const Case cases[] = {
        {"top left", {10, 10, 20, 20}, {4, 4}, false, {10, 10, 4, 4}},
        {"centred", {10, 10, 20, 20}, {4, 4}, true, {18, 18, 4, 4}},
        {"centred, odd room", {10, 10, 20, 21}, {5, 4}, true, {17, 18, 5, 4}},
        {"cut to the rectangle", {10, 10, 3, 2}, {8, 8}, false, {10, 10, 3, 2}},
        // Larger than the rectangle: the offset goes negative, halved down.
        {"centred, larger", {10, 10, 3, 3}, {6, 6}, true, {8, 8, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage canvas = Canvas();
        {
            QPainter p(&canvas);
            DrawBitmapInRect(p, c.rect, Block(c.image.width(), c.image.height(), Qt::red),
                             c.centre);
        }
        EXPECT_EQ(Painted(canvas), c.painted);
        EXPECT_EQ(canvas.pixelColor(c.painted.topLeft()), QColor(Qt::black));
    }
}

TEST(DrawTransparentBitmap, LeavesOutTheMaskColourAndKeepsEverythingElse) {
    QImage icon(4, 2, QImage::Format_RGB32);
    icon.fill(kMask);
    icon.setPixelColor(1, 0, Qt::red);
    icon.setPixelColor(2, 1, QColor(252, 204, 251));  // one step off the mask
    struct Case {
        QPoint at;
        QPoint drawnAt;
    };
    const Case cases[] = {{{5, 6}, {5, 6}}, {{-3, 6}, {0, 6}}, {{5, -1}, {5, 0}}};
    for (const Case& c : cases) {
        QImage canvas = Canvas();
        {
            QPainter p(&canvas);
            DrawTransparentBitmap(p, icon, c.at.x(), c.at.y(), kMask);
        }
        const QPoint o = c.drawnAt;
        EXPECT_EQ(canvas.pixelColor(o + QPoint(1, 0)), QColor(Qt::red));
        EXPECT_EQ(canvas.pixelColor(o + QPoint(2, 1)), QColor(252, 204, 251));
        EXPECT_EQ(Painted(canvas), QRect(o + QPoint(1, 0), o + QPoint(2, 1)));
    }

    // The mask compares colours, not alpha.
    QImage withAlpha = icon.convertToFormat(QImage::Format_ARGB32);
    const QImage masked = WithTransparentColor(withAlpha, QColor(252, 204, 252, 128));
    EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
    EXPECT_EQ(masked.pixelColor(1, 0), QColor(Qt::red));
}

}  // namespace
}  // namespace tallowmere::ui
