// 229 and 230: the built-in account and category icons, 0-63 and the split
// icon 64, drawn from one design at two sizes.
#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

// The design canvas is the large cell.
constexpr double kDesignWidth = 31;
constexpr int kIcons = 65;

}  // namespace

QImage DrawAccountIcons(int cellWidth, int cellHeight) {
    return MakeStrip(cellWidth, cellHeight, kIcons, [cellWidth](QPainter& painter, int index) {
        const Ink ink(painter, cellWidth / kDesignWidth);
        DrawAccountIcon0(ink, index) || DrawAccountIcon16(ink, index) ||
            DrawAccountIcon32(ink, index) || DrawAccountIcon48(ink, index);
    });
}

}  // namespace tallowmere::bitmaps
