#include "ui/bitmaps.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <set>

#include "ui/icon_painter.h"

namespace tallowmere::ui {
namespace {

struct StripCase {
    int id;
    int cellWidth;
    int cellHeight;
    int cells;  // at least
    QColor mask;
    std::set<int> blank;  // cells with nothing drawn (unused)
};

const StripCase kStrips[] = {
    {164, 16, 15, 10, QColor(255, 182, 147), {0, 3, 7}},
    {166, 23, 23, 4, QColor(255, 153, 51), {}},
    {168, 28, 20, 20, QColor(255, 153, 51), {8, 9, 12, 13}},
    {229, 23, 20, 65, QColor(252, 204, 252), {}},
    {230, 31, 27, 65, QColor(252, 204, 252), {}},
    {182, 9, 6, 1, QColor(255, 255, 255), {}},
    {162, 34, 34, 8, QColor(255, 255, 255), {}},
};

bool Visible(QRgb pixel) {
    return qAlpha(pixel) != 0;
}

// Whether any pixel of the cell is drawn.
bool CellDrawn(const QImage& image, int cell, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = cell * width; x < (cell + 1) * width; ++x)
            if (Visible(image.pixel(x, y)))
                return true;
    return false;
}

TEST(Bitmaps, EachStripHoldsItsCellsAndNeverTheMaskColour) {
    for (const StripCase& c : kStrips) {
        SCOPED_TRACE(testing::Message() << "bitmap " << c.id);
        const QImage image = Bitmap(c.id).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.height(), c.cellHeight);
        EXPECT_EQ(image.width() % c.cellWidth, 0);
        EXPECT_GE(image.width() / c.cellWidth, c.cells);
        const QRgb mask = c.mask.rgb() & RGB_MASK;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                ASSERT_FALSE(Visible(pixel) && (pixel & RGB_MASK) == mask) << x << "," << y;
            }
        }
        for (int cell = 0; cell < c.cells; ++cell)
            EXPECT_EQ(CellDrawn(image, cell, c.cellWidth, c.cellHeight), !c.blank.contains(cell))
                << "cell " << cell;
    }
}

TEST(Bitmaps, PressedFacesDifferFromTheirNormalFaces) {
    for (const int id : {166, 168}) {
        const QImage& image = Bitmap(id);
        const int width = id == 166 ? 23 : 28;
        for (int pair = 0; pair + 1 < image.width() / width; pair += 2) {
            const QImage normal = image.copy(pair * width, 0, width, image.height());
            const QImage pressed = image.copy((pair + 1) * width, 0, width, image.height());
            if (CellDrawn(image, pair, width, image.height())) {
                EXPECT_NE(normal, pressed) << "bitmap " << id << " pair " << pair;
            }
        }
    }
}

TEST(Bitmaps, TheStartupPictureAndTheProgramIconExist) {
    const QImage& picture = Bitmap(146);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GE(picture.width(), 300);
    EXPECT_GE(picture.height(), 200);
    EXPECT_FALSE(picture.hasAlphaChannel());

    const QIcon icon = BitmapIcon(128);
    const QList<QSize> sizes = icon.availableSizes();
    for (const int side : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

int missingWarnings = 0;

void CountMissing(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg && text.contains(QStringLiteral("bitmap 99999")))
        ++missingWarnings;
}

TEST(Bitmaps, AMissingIdIsNullAndWarnsOnce) {
    const QtMessageHandler previous = qInstallMessageHandler(CountMissing);
    const bool firstNull = Bitmap(99999).isNull();
    const bool secondNull = Bitmap(99999).isNull();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(firstNull);
    EXPECT_TRUE(secondNull);
    EXPECT_EQ(missingWarnings, 1);
}

// The box of the pixels that differ from a blank canvas.
QRect Painted(const QImage& canvas) {
    QRect box;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) != qRgba(0, 0, 0, 0))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(IconPainter, BuiltInIconsComeInTwoSizesAndCentred) {
    const IconPainter icons;
    struct Case {
        int index;
        QRect rect;
        QRect cell;  // where the image lies: the small or the large cell, centred
    };
    const Case cases[] = {
        {1, QRect(0, 0, 25, 40), QRect(1, 10, 23, 20)},   // narrower than 26: small
        {1, QRect(0, 0, 40, 21), QRect(8, 1, 23, 20)},    // lower than 22: small
        {1, QRect(0, 0, 26, 22), QRect(-3, -3, 31, 27)},  // large, wider than its rectangle
        {44, QRect(4, 4, 35, 31), QRect(6, 6, 31, 27)},
        {64, QRect(4, 4, 35, 31), QRect(6, 6, 31, 27)},  // the split icon
        {0, QRect(4, 4, 23, 20), QRect(4, 4, 23, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "icon " << c.index << " in " << c.rect.width() << "x" << c.rect.height());
        QImage canvas(48, 48, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        painter.translate(4, 4);  // room for an image larger than its rectangle
        EXPECT_TRUE(icons.DrawIcon(painter, c.rect, c.index));
        painter.end();
        const QRect painted = Painted(canvas).translated(-4, -4);
        EXPECT_TRUE(c.cell.contains(painted)) << painted.x() << "," << painted.y() << " "
                                              << painted.width() << "x" << painted.height();
        // Every icon spans most of its cell, so the two sizes can be told apart.
        EXPECT_GT(painted.width(), c.cell.width() * 2 / 3);
    }
}

TEST(IconPainter, IndexesBetweenTheStripsAndTheDatabaseDrawNothing) {
    IconPainter icons;
    std::vector<int> asked;
    bool found = true;
    for (const int index : {65, 255, -1, 256 + 7, 256 + 12}) {
        SCOPED_TRACE(index);
        QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        const bool drawn = icons.DrawIcon(painter, QRect(0, 0, 40, 40), index);
        painter.end();
        EXPECT_FALSE(drawn);  // no database drawer yet
        EXPECT_TRUE(Painted(canvas).isNull());
    }
    icons.SetDatabaseDrawer([&](QPainter&, const QRect& rect, int id) {
        asked.push_back(id);
        EXPECT_EQ(rect, QRect(0, 0, 40, 40));
        return found;
    });
    QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    EXPECT_TRUE(icons.DrawIcon(painter, QRect(0, 0, 40, 40), 256 + 7));
    found = false;
    EXPECT_FALSE(icons.DrawIcon(painter, QRect(0, 0, 40, 40), 256 + 12));
    EXPECT_FALSE(icons.DrawIcon(painter, QRect(0, 0, 40, 40), 200));
    painter.end();
    EXPECT_EQ(asked, (std::vector<int>{7, 12}));
}

}  // namespace
}  // namespace tallowmere::ui
