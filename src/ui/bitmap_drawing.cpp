#include "ui/bitmap_drawing.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

namespace tallowmere::ui {
namespace {

// Half of n, rounded down also for negative n.
int HalfDown(int n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}

}  // namespace

void DrawBitmapInRect(QPainter& painter, const QRect& rect, const QImage& image, bool centre) {
    QPoint at = rect.topLeft();
    if (centre)
        at += QPoint(HalfDown(rect.width() - image.width()),
                     HalfDown(rect.height() - image.height()));
    const QRect source(0, 0, std::min(rect.width(), image.width()),
                       std::min(rect.height(), image.height()));
    if (!source.isEmpty())
        painter.drawImage(at, image, source);
}

QImage WithTransparentColor(const QImage& image, QColor transparent) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & RGB_MASK;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((row[x] & RGB_MASK) == key)
                row[x] = 0;
        }
    }
    return out;
}

void DrawTransparentBitmap(QPainter& painter, const QImage& image, int x, int y,
                           QColor transparent) {
    painter.drawImage(QPoint(std::max(x, 0), std::max(y, 0)),
                      WithTransparentColor(image, transparent));
}

}  // namespace tallowmere::ui
