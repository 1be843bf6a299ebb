// 146: the start-up screen: the program's name in a dawn sky over a mere,
// the sun rising between the hills and its light on the water.
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cstdint>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 300;
constexpr double kHorizon = 196;
const QPointF kSun(300, kHorizon);

// A ridge of hills from left to right whose foot is on the horizon.
QPainterPath Hills(std::initializer_list<QPointF> crests) {
    QPainterPath hills;
    hills.moveTo(0, kHorizon);
    QPointF previous(0, kHorizon);
    for (const QPointF& crest : crests) {
        const double mid = (previous.x() + crest.x()) / 2;
        hills.cubicTo(mid, previous.y(), mid, crest.y(), crest.x(), crest.y());
        previous = crest;
    }
    hills.lineTo(kWidth, kHorizon);
    hills.closeSubpath();
    return hills;
}

void Sky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kHorizon);
    sky.setColorAt(0, QColor(22, 40, 82));
    sky.setColorAt(0.55, QColor(86, 86, 140));
    sky.setColorAt(0.85, QColor(226, 146, 120));
    sky.setColorAt(1, QColor(250, 200, 136));
    p.fillRect(QRectF(0, 0, kWidth, kHorizon), sky);
    QRadialGradient glow(kSun, 170);
    glow.setColorAt(0, QColor(255, 226, 150, 200));
    glow.setColorAt(1, QColor(255, 200, 140, 0));
    p.fillRect(QRectF(0, 0, kWidth, kHorizon), glow);
    // A few stars still out in the dark of the upper sky.
    static const QPointF kStars[] = {{34, 22},  {96, 12},  {158, 30}, {214, 16}, {388, 20},
                                     {442, 34}, {476, 12}, {262, 26}, {20, 62},  {482, 70}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 236, 255, 150));
    for (const QPointF& star : kStars)
        p.drawEllipse(star, 0.9, 0.9);
    p.setBrush(QColor(255, 236, 176));
    p.drawEllipse(kSun, 30, 30);
}

QPainterPath FarHills();
QPainterPath NearHills();

void Land(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(92, 76, 120));
    p.drawPath(FarHills());
    p.setBrush(QColor(52, 48, 86));
    p.drawPath(NearHills());
}

// The hills of Land, for their reflection.
QPainterPath FarHills() {
    return Hills({{70, 150}, {150, 172}, {230, 160}, {330, 190}, {420, 146}, {500, 166}});
}

QPainterPath NearHills() {
    return Hills(
        {{40, 168}, {120, 186}, {190, 178}, {260, 196}, {380, 196}, {460, 172}, {500, 180}});
}

void Water(QPainter& p) {
    QLinearGradient water(0, kHorizon, 0, kHeight);
    water.setColorAt(0, QColor(150, 118, 140));
    water.setColorAt(0.25, QColor(62, 70, 112));
    water.setColorAt(1, QColor(18, 32, 64));
    p.fillRect(QRectF(0, kHorizon, kWidth, kHeight - kHorizon), water);
    // The hills mirrored, faint.
    QTransform mirror(1, 0, 0, -1, 0, 2 * kHorizon);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 78, 90));
    p.drawPath(mirror.map(FarHills()));
    p.setBrush(QColor(24, 28, 60, 110));
    p.drawPath(mirror.map(NearHills()));
    // A soft column of light under the sun.
    p.save();
    p.translate(kSun.x(), kHorizon);
    p.scale(1, 2.4);
    QRadialGradient column(QPointF(0, 0), 44);
    column.setColorAt(0, QColor(255, 214, 150, 90));
    column.setColorAt(1, QColor(255, 214, 150, 0));
    p.fillRect(QRectF(-44, 0, 88, 44), column);
    p.restore();
    // The sun's light on the water: uneven glints that narrow and fade
    // with depth (a fixed sequence, so every build draws the same).
    uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 16) & 0x7fff) / 0x7fff;
    };
    for (int i = 0; i < 22; ++i) {
        const double depth = i / 21.0;
        const double y = kHorizon + 3 + depth * depth * 92 + i * 0.8;
        const double half = (8 + 26 * (1 - depth)) * (0.55 + 0.45 * next());
        const double shift = (next() - 0.5) * 14 * (0.3 + depth);
        const int alpha = static_cast<int>(230 - depth * 170);
        p.setBrush(QColor(255, 224, 156, alpha));
        p.drawRoundedRect(QRectF(kSun.x() + shift - half, y, 2 * half, 1.5 + depth * 1.5), 1, 1);
    }
}

void Title(QPainter& p) {
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    const QRectF line(0, 46, kWidth, 50);
    const QString name = QStringLiteral("Tallowmere Desktop");
    p.setPen(QColor(10, 20, 44, 120));
    p.drawText(line.translated(1.5, 2), Qt::AlignCenter, name);
    p.setPen(QColor(252, 247, 236));
    p.drawText(line, Qt::AlignCenter, name);

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(14);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(subtitle);
    p.setPen(QColor(222, 214, 236));
    p.drawText(QRectF(0, 98, kWidth, 24), Qt::AlignCenter, QStringLiteral("PERSONAL FINANCE"));
}

}  // namespace

QImage DrawStartupPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Sky(painter);
    Land(painter);
    Water(painter);
    Title(painter);
    // A frame, since the start-up window has none of its own.
    painter.setPen(QColor(12, 20, 40));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    return image;
}

}  // namespace tallowmere::bitmaps
