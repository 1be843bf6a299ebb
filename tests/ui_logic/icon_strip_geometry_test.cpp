#include "ui/logic/icon_strip_geometry.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

TEST(IconStripGeometry, ImagesRunDownEachColumnThenAcross) {
    struct Case {
        int rows;
        int gap;
        int index;
        IconPoint origin;
    };
    // Images of 16 x 15.
    const Case cases[] = {
        {1, 0, 0, {0, 0}},  {1, 0, 5, {80, 0}},  {1, 2, 0, {2, 2}},
        {1, 2, 5, {92, 2}}, {2, 0, 1, {0, 15}},  {2, 0, 5, {32, 15}},
        {2, 0, 4, {32, 0}}, {2, 2, 3, {20, 19}}, {2, 2, 4, {38, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "rows " << c.rows << " gap " << c.gap << " image " << c.index);
        const IconStripGeometry geometry{c.rows, 8, 16, 15, c.gap};
        EXPECT_EQ(ImageOrigin(geometry, c.index), c.origin);
    }
}

TEST(IconStripGeometry, AnImageCountsOnlyWhenWhollyInsideTheBitmap) {
    struct Case {
        int rows;
        int gap;
        int index;
        int bitmapWidth;
        int bitmapHeight;
        bool holds;
    };
    const Case cases[] = {
        {1, 0, 2, 48, 15, true},         // the last of three
        {1, 0, 3, 48, 15, false},        // one past the end
        {1, 0, 2, 47, 15, false},        // a cut-off last image
        {1, 0, 0, 48, 14, false},        // a bitmap lower than the images
        {2, 1, 5, 52, 33, true},         // 3 x 2 with a gap around and between
        {2, 1, 6, 52, 33, false},        //
        {2, 1, 5, 50, 33, false},        // the last column cut off
        {1, 0, -1, 48, 15, false},       //
        {0, 0, 0, 48, 15, false},        // no rows
        {1, 0, 1 << 30, 48, 15, false},  // far out, no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rows " << c.rows << " image " << c.index << " in "
                                        << c.bitmapWidth << "x" << c.bitmapHeight);
        const IconStripGeometry geometry{c.rows, 2, 16, 15, c.gap};
        EXPECT_EQ(HoldsImage(geometry, c.index, c.bitmapWidth, c.bitmapHeight), c.holds);
    }
}

TEST(IconStripGeometry, CentringFloorsAndPutsTheOddPixelAbove) {
    struct Case {
        int rectWidth;
        int rectHeight;
        IconPoint origin;  // in a rectangle at (10, 20), for a 16 x 16 image
    };
    const Case cases[] = {
        {16, 16, {10, 20}},  // d = 0
        {20, 20, {12, 22}},  // even
        {21, 21, {12, 23}},  // odd: 3 px below the top, 2 px right
        {23, 17, {13, 21}},  // odd 7 across, odd 1 down
        {14, 14, {9, 19}},   // -2
        {15, 15, {9, 20}},   // -1: floor gives -1, the odd pixel brings it back
        {13, 13, {8, 19}},   // -3: floor(-1.5) = -2, not the -1 of truncation
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rectWidth << "x" << c.rectHeight);
        EXPECT_EQ(CentredOrigin(10, 20, c.rectWidth, c.rectHeight, 16, 16), c.origin);
    }
}

TEST(IconStripGeometry, FloorHalfRoundsDownOnBothSides) {
    const int cases[][2] = {{0, 0}, {1, 0}, {2, 1}, {5, 2}, {-1, -1}, {-2, -1}, {-3, -2}, {-4, -2}};
    for (const auto& c : cases)
        EXPECT_EQ(FloorHalf(c[0]), c[1]) << c[0];
}

TEST(IconStripGeometry, IconIndexesChooseTheirSource) {
    struct Case {
        int index;
        int width;
        int height;
        IconSource source;
    };
    const Case cases[] = {
        {0, 31, 27, IconSource::kLargeStrip},  {63, 26, 22, IconSource::kLargeStrip},
        {1, 25, 27, IconSource::kSmallStrip},  {1, 31, 21, IconSource::kSmallStrip},
        {2, 23, 20, IconSource::kSmallStrip},  {64, 40, 40, IconSource::kLargeStrip},
        {64, 20, 16, IconSource::kSmallStrip}, {65, 40, 40, IconSource::kNone},
        {255, 40, 40, IconSource::kNone},      {-1, 40, 40, IconSource::kNone},
        {256, 10, 10, IconSource::kDatabase},  {65535, 40, 40, IconSource::kDatabase},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "icon " << c.index << " in " << c.width << "x" << c.height);
        EXPECT_EQ(ChooseIconSource(c.index, c.width, c.height), c.source);
    }
    EXPECT_EQ(DatabaseIconId(256), 0);
    EXPECT_EQ(DatabaseIconId(300), 44);
}

}  // namespace
}  // namespace tallowmere::ui
