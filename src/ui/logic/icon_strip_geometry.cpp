#include "ui/logic/icon_strip_geometry.h"

namespace tallowmere::ui {

namespace {

// Wide enough that index x (width + gap) cannot overflow.
struct Origin64 {
    int64_t x;
    int64_t y;
};

Origin64 Origin(const IconStripGeometry& g, int index) {
    const int64_t column = index / g.rows;
    const int64_t row = index % g.rows;
    return {g.gap + column * (int64_t{g.width} + g.gap), g.gap + row * (int64_t{g.height} + g.gap)};
}

}  // namespace

IconPoint ImageOrigin(const IconStripGeometry& geometry, int index) {
    if (geometry.rows < 1 || index < 0)
        return {};
    const Origin64 o = Origin(geometry, index);
    return {static_cast<int>(o.x), static_cast<int>(o.y)};
}

bool HoldsImage(const IconStripGeometry& geometry, int index, int bitmapWidth, int bitmapHeight) {
    if (geometry.rows < 1 || index < 0 || geometry.width <= 0 || geometry.height <= 0 ||
        geometry.gap < 0)
        return false;
    const Origin64 o = Origin(geometry, index);
    return o.x + geometry.width <= bitmapWidth && o.y + geometry.height <= bitmapHeight;
}

int FloorHalf(int d) {
    // Division truncates toward zero; step one down first for negative d.
    return static_cast<int>((int64_t{d} - (d < 0 ? 1 : 0)) / 2);
}

IconPoint CentredOrigin(int left, int top, int rectWidth, int rectHeight, int imageWidth,
                        int imageHeight) {
    const int dx = rectWidth - imageWidth;
    const int dy = rectHeight - imageHeight;
    return {left + FloorHalf(dx), top + FloorHalf(dy) + (dy % 2 != 0 ? 1 : 0)};
}

IconSource ChooseIconSource(int iconIndex, int rectWidth, int rectHeight) {
    if (iconIndex >= kFirstDatabaseIcon)
        return IconSource::kDatabase;
    if (iconIndex < 0 || iconIndex >= kBuiltInIconCount)
        return IconSource::kNone;
    return rectWidth < 26 || rectHeight < 22 ? IconSource::kSmallStrip : IconSource::kLargeStrip;
}

}  // namespace tallowmere::ui
