// 128: the program's icon: a gold sun rising over the water of a mere, on a
// deep blue tile.
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

QImage DrawProgramIcon(int size) {
    QImage image = NewImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 48.0;
    const Ink ink(painter, s);
    const QPainterPath tile = ink.Box(1, 1, 46, 46, 9);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, QColor(30, 84, 140));
    sky.setColorAt(1, QColor(14, 46, 86));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawPath(tile);

    painter.save();
    painter.setClipPath(tile);
    QRadialGradient sun(QPointF(24 * s, 26 * s), 12 * s);
    sun.setColorAt(0, QColor(255, 232, 140));
    sun.setColorAt(1, QColor(240, 178, 40));
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(24 * s, 26 * s), 12 * s, 12 * s);
    // Water covers the sun's lower half; the waves are the sky's colour.
    QLinearGradient water(0, 27 * s, 0, 48 * s);
    water.setColorAt(0, QColor(38, 122, 170));
    water.setColorAt(1, QColor(18, 70, 116));
    painter.setBrush(water);
    painter.drawRect(QRectF(0, 27 * s, size, size));
    // The sun's light on the water, as on the start-up screen: glints on
    // whole pixels so that they stay crisp at 16 pixels.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 226, 150));
    const double glints[][2] = {{31, 11}, {36, 7.5}, {41, 4}};
    for (const auto& glint : glints) {
        const double y = std::round(glint[0] * s);
        const double half = std::max(1.0, std::round(glint[1] * s));
        const double height = std::max(1.0, std::round(2.6 * s));
        painter.drawRect(QRectF(std::round(24 * s) - half, y, 2 * half, height));
    }
    painter.restore();
    ink.Outline(tile, QColor(10, 32, 60));
    return image;
}

}  // namespace tallowmere::bitmaps
