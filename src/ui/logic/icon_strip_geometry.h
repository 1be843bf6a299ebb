#pragma once
// Where the images of an icon strip lie, where a centred image goes, and
// which source an account or category icon index draws from. Plain
// arithmetic, so that it is checked without a toolkit.
#include <cstdint>

namespace tallowmere::ui {

// A strip is one bitmap holding equal-sized images in a grid, filled column
// by column: image i lies in column i / rows and row i % rows.
struct IconStripGeometry {
    int rows = 1;     // images per column
    int columns = 1;  // kept as given; the bitmap's width decides the count
    int width = 0;    // of one image
    int height = 0;
    int gap = 0;  // around and between images
};

struct IconPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const IconPoint&, const IconPoint&) = default;
};

// Top-left corner of image `index` in the strip's bitmap.
IconPoint ImageOrigin(const IconStripGeometry& geometry, int index);

// Whether image `index` lies wholly inside a bitmap of this size. False for a
// negative index, a geometry without rows or with an empty image.
bool HoldsImage(const IconStripGeometry& geometry, int index, int bitmapWidth, int bitmapHeight);

// floor(d / 2), also for negative d (an image larger than its rectangle).
int FloorHalf(int d);

// Top-left corner that centres an image in a rectangle; when the height
// difference is odd the extra pixel goes above the image.
IconPoint CentredOrigin(int left, int top, int rectWidth, int rectHeight, int imageWidth,
                        int imageHeight);

// Account and category icon indexes: 0-63 the built-in icons, 64 the split
// icon (drawn from the same strips), 256 + n the icon database's icon n.
// Indexes 65-255 name nothing.
inline constexpr int kSplitIconIndex = 64;
inline constexpr int kBuiltInIconCount = 65;
inline constexpr int kFirstDatabaseIcon = 256;

enum class IconSource { kNone, kSmallStrip, kLargeStrip, kDatabase };

// The built-in icons come in two sizes: the small one is used when the
// rectangle is narrower than 26 or lower than 22 pixels.
IconSource ChooseIconSource(int iconIndex, int rectWidth, int rectHeight);

// The database id of an index of kDatabase (index - 256).
inline int DatabaseIconId(int iconIndex) {
    return iconIndex - kFirstDatabaseIcon;
}

}  // namespace tallowmere::ui
