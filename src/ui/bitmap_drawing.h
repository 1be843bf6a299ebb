#pragma once
// Bitmaps drawn into rectangles, and drawn with one colour left out (the
// mask colour of the icon strips).
#include <QColor>
#include <QImage>

class QPainter;
class QRect;

namespace tallowmere::ui {

// Copies the image to the rectangle's top-left corner, or centred in it when
// centre is set (the offsets halved, rounding down); at most the rectangle's
// size is copied, and only pixels the image has.
void DrawBitmapInRect(QPainter& painter, const QRect& rect, const QImage& image, bool centre);

// The image as ARGB32 with every pixel of the transparent colour (alpha
// aside) fully transparent. Callers that draw an image often keep this.
QImage WithTransparentColor(const QImage& image, QColor transparent);

// Draws the image at x, y (a negative coordinate counts as 0) with every
// pixel of the transparent colour left out.
void DrawTransparentBitmap(QPainter& painter, const QImage& image, int x, int y,
                           QColor transparent);

}  // namespace tallowmere::ui
