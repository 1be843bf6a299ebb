// 182, the drop-down marker beside the balance read-outs, and 203, a strip
// of blank cells nothing draws from yet.
#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

QImage DrawDropMarker() {
    // A pixel-exact triangle: rows of 9, 7, 5, 3 and 1 pixels.
    QImage marker = NewImage(9, 6);
    QPainter painter(&marker);
    for (int row = 0; row < 5; ++row)
        painter.fillRect(row, row + 1, 9 - 2 * row, 1, colour::kSlate);
    return marker;
}

QImage DrawBlankStrip() {
    return NewImage(12 * 4, 10);
}

}  // namespace tallowmere::bitmaps
