#include "ui/win_chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "ui/color_ref.h"

namespace tallowmere::ui {
namespace {

constexpr int kCentre = 100;
constexpr int kRadius = 80;

const ChartColour kRed{0, 255, 0, 0};
const ChartColour kGreen{0, 100, 220, 100};  // light, so that text stands out
const ChartColour kOlive{0, 200, 200, 0};

QColor Rgb(const ChartColour& c) {
    return QColor(c.red, c.green, c.blue);
}

bool Near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && a.alpha() > 240;
}

::testing::AssertionResult ColourIs(const QImage& image, int x, int y, const QColor& want) {
    const QColor got = image.pixelColor(x, y);
    if (Near(got, want))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << "," << y << ") is " << got.red() << "," << got.green() << ","
           << got.blue() << " alpha " << got.alpha() << ", want " << want.red() << ","
           << want.green() << "," << want.blue();
}

// The pixel at an angle (counter-clockwise from 3 o'clock) and distance
// from the centre.
QPoint At(double degrees, int distance) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {kCentre + static_cast<int>(std::lround(distance * std::cos(radians))),
            kCentre - static_cast<int>(std::lround(distance * std::sin(radians)))};
}

// Near-black text pixels over whatever lies below.
bool Dark(const QColor& c) {
    return c.alpha() > 128 && c.red() + c.green() + c.blue() < 200;
}

// Columns of the band around the centre's row that hold text pixels.
std::optional<std::pair<int, int>> DarkColumns(const QImage& image, int fromX, int toX) {
    std::optional<std::pair<int, int>> span;
    for (int y = kCentre - 10; y <= kCentre + 10; ++y) {
        for (int x = fromX; x < toX; ++x) {
            if (!Dark(image.pixelColor(x, y)))
                continue;
            if (!span)
                span = std::pair{x, x};
            span->first = std::min(span->first, x);
            span->second = std::max(span->second, x);
        }
    }
    return span;
}

// A 200x200 transparent image and a chart about its centre; labels only
// where a test asks for them.
class WinChartTest : public ::testing::Test {
  protected:
    WinChartTest() : image_(200, 200, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(Qt::transparent);
    }

    void Slices(std::initializer_list<std::pair<int, ChartColour>> slices, int labelMinimum = 361,
                const char* label = "", const char* detail = "") {
        chart_.AllocateSlices(static_cast<int>(slices.size()));
        chart_.SetGeometry(kCentre, kCentre, kRadius, 60, static_cast<std::int16_t>(labelMinimum));
        for (const auto& [degrees, colour] : slices)
            chart_.AddSlice(degrees, &colour, nullptr, label, detail, nullptr);
    }

    void Draw(const QRect& bounds = QRect(0, 0, 200, 200)) {
        QPainter painter(&image_);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        chart_.SetPainter(&painter);
        chart_.SetLabelFont(font);
        chart_.SetBounds(bounds);
        chart_.Draw();
        chart_.SetPainter(nullptr);
    }

    QImage image_;
    CWinChart chart_;
};

TEST_F(WinChartTest, EachSliceIsFilledInItsColour) {
    Slices({{90, kRed}, {270, kGreen}});
    Draw();
    struct Case {
        double degrees;
        int distance;
        QColor colour;
    };
    const Case cases[] = {
        {45, 40, Rgb(kRed)},    {80, 70, Rgb(kRed)},    {10, 70, Rgb(kRed)},
        {200, 40, Rgb(kGreen)}, {135, 70, Rgb(kGreen)}, {300, 70, Rgb(kGreen)},
    };
    for (const Case& c : cases) {
        const QPoint p = At(c.degrees, c.distance);
        EXPECT_TRUE(ColourIs(image_, p.x(), p.y(), c.colour)) << c.degrees << " degrees";
    }
    // Nothing beyond the rim.
    EXPECT_EQ(image_.pixelColor(At(45, kRadius + 5)).alpha(), 0);
    EXPECT_EQ(image_.pixelColor(At(200, kRadius + 5)).alpha(), 0);
}

TEST_F(WinChartTest, TheSelectedOutlineIsBlueUntilAnotherIsSelected) {
    // 0-45, 45-135 (across the top) and 135-360 (across the left). The rim
    // pixels are blended with the edge, so each is named by the colour it is
    // nearest to.
    Slices({{45, kRed}, {90, kGreen}, {225, kOlive}});
    const QColor blue = FromColorRef(0xFF0000);
    const std::vector<QColor> colours = {Rgb(kRed), Rgb(kGreen), Rgb(kOlive), blue};
    auto nearest = [&](int x, int y) {
        const QColor c = image_.pixelColor(x, y);
        auto distance = [&](const QColor& d) {
            return std::abs(c.red() - d.red()) + std::abs(c.green() - d.green()) +
                   std::abs(c.blue() - d.blue());
        };
        return *std::min_element(
            colours.begin(), colours.end(),
            [&](const QColor& a, const QColor& b) { return distance(a) < distance(b); });
    };
    const QPoint top(kCentre, kCentre - kRadius);
    const QPoint left(kCentre - kRadius, kCentre);

    chart_.Select(1);
    Draw();
    EXPECT_EQ(nearest(top.x(), top.y()), blue);
    EXPECT_EQ(nearest(left.x(), left.y()), Rgb(kOlive));
    EXPECT_TRUE(ColourIs(image_, kCentre, kCentre - 40, Rgb(kGreen)));  // filled in its colour

    // Painted over, as a window repaints: the old outline takes its own colour.
    chart_.Select(2);
    Draw();
    EXPECT_EQ(nearest(top.x(), top.y()), Rgb(kGreen));
    EXPECT_EQ(nearest(left.x(), left.y()), blue);
}

TEST_F(WinChartTest, OneFullSliceIsADiscWithItsLabelAtTheCentre) {
    Slices({{360, kOlive}}, 0, "Salary", "($900) 100%");
    Draw();
    for (const double degrees : {45, 90, 135, 180, 225, 270, 315}) {
        const QPoint p = At(degrees, 70);
        EXPECT_TRUE(ColourIs(image_, p.x(), p.y(), Rgb(kOlive))) << degrees << " degrees";
    }
    // The anchor's dot, a 2-pixel ellipse from the anchor.
    EXPECT_TRUE(ColourIs(image_, kCentre + 1, kCentre + 1, Qt::black));
    // The text starts 5 pixels right of the anchor; nothing to its left.
    const auto right = DarkColumns(image_, kCentre + 3, 200);
    ASSERT_TRUE(right.has_value());
    EXPECT_GE(right->first, kCentre + 5);
    EXPECT_LE(right->first, kCentre + 8);
    EXPECT_FALSE(DarkColumns(image_, 0, kCentre - 1).has_value());
}

TEST_F(WinChartTest, ALabelLeftOfTheCentreEndsFivePixelsBeforeItsAnchor) {
    // 90-270: anchored on the left at the label radius, (40, 100).
    Slices({{90, kRed}, {180, kGreen}, {90, kRed}}, 0, "Rent", "(1) 5%");
    chart_.Select(-1);
    Draw();
    const ChartSlice* slice = chart_.GetSlice(1);
    ASSERT_NE(slice, nullptr);
    const ChartPoint anchor = chart_.GetSliceLabelPoint(*slice);
    ASSERT_EQ(anchor, (ChartPoint{40, 100}));
    const auto span = DarkColumns(image_, 0, anchor.x - 1);
    ASSERT_TRUE(span.has_value());
    EXPECT_LE(span->second, anchor.x - 5);
    EXPECT_GE(span->second, anchor.x - 8);
}

TEST_F(WinChartTest, TheLabelIsShortenedToTheBoundingRectangle) {
    // In full the text would run past the image's right edge.
    Slices({{360, kOlive}}, 0, "Household Supplies", "(1) 4%");
    Draw(QRect(0, 0, 190, 200));  // room from the anchor: 90 pixels
    const auto span = DarkColumns(image_, kCentre + 3, 200);
    ASSERT_TRUE(span.has_value());
    // The room does not count the 5-pixel gap.
    EXPECT_LE(span->second, 190 + 5);
    EXPECT_GE(span->second, 160);  // shortened to fit, not to nothing
}

TEST_F(WinChartTest, NoPieAtARadiusOfZeroOrLess) {
    chart_.AllocateSlices(1);
    chart_.SetGeometry(kCentre, kCentre, -10, 20, 0);
    chart_.AddSlice(360, &kRed, nullptr, "Label", "(1) 100%", nullptr);
    Draw();
    for (int y = 0; y < image_.height(); ++y) {
        for (int x = 0; x < image_.width(); ++x)
            ASSERT_EQ(image_.pixelColor(x, y).alpha(), 0) << x << "," << y;
    }
}

TEST(FromColorRefTest, LowByteIsRed) {
    struct Case {
        std::uint32_t ref;
        QColor rgb;
    };
    const Case cases[] = {
        {0xD3F5FE, QColor(254, 245, 211)}, {0xEEFFEC, QColor(236, 255, 238)},
        {0x93B6FF, QColor(255, 182, 147)}, {0x3399FF, QColor(255, 153, 51)},
        {0xFF0000, QColor(0, 0, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromColorRef(c.ref), c.rgb) << std::hex << c.ref;
}

}  // namespace
}  // namespace tallowmere::ui
