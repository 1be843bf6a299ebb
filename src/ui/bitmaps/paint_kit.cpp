#include "ui/bitmaps/paint_kit.h"

#include <QFont>
#include <QLinearGradient>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace tallowmere::bitmaps {

QImage NewImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage MakeStrip(int cellWidth, int cellHeight, int count,
                 const std::function<void(QPainter&, int index)>& draw) {
    QImage strip = NewImage(cellWidth * count, cellHeight);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int i = 0; i < count; ++i) {
        painter.save();
        painter.setClipRect(i * cellWidth, 0, cellWidth, cellHeight);
        painter.translate(i * cellWidth, 0);
        draw(painter, i);
        painter.restore();
    }
    return strip;
}

void AvoidMask(QImage& image, QColor mask) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = mask.rgb() & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0 && (line[x] & RGB_MASK) == key)
                line[x] = qRgba(qRed(line[x]), qGreen(line[x]),
                                qBlue(line[x]) > 0 ? qBlue(line[x]) - 1 : 1, qAlpha(line[x]));
        }
    }
}

QColor OutlineOf(const QColor& base) {
    return base.darker(175);
}

Ink::Ink(QPainter& painter, double scale) : painter_(painter), scale_(scale) {}

double Ink::Snap(double v) const {
    return std::round(v * scale_);
}

QPainterPath Ink::Box(double x, double y, double w, double h, double radius) const {
    const double left = Snap(x);
    const double top = Snap(y);
    const double right = std::max(left + 1, Snap(x + w));
    const double bottom = std::max(top + 1, Snap(y + h));
    QPainterPath path;
    const QRectF rect(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
    if (radius > 0)
        path.addRoundedRect(rect, radius * scale_, radius * scale_);
    else
        path.addRect(rect);
    return path;
}

QPainterPath Ink::Area(double x, double y, double w, double h) const {
    const double left = Snap(x);
    const double top = Snap(y);
    QPainterPath path;
    path.addRect(
        QRectF(left, top, std::max(1.0, Snap(x + w) - left), std::max(1.0, Snap(y + h) - top)));
    return path;
}

QPainterPath Ink::Ellipse(double x, double y, double w, double h) const {
    const double left = Snap(x);
    const double top = Snap(y);
    const double right = std::max(left + 1, Snap(x + w));
    const double bottom = std::max(top + 1, Snap(y + h));
    QPainterPath path;
    path.addEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
    return path;
}

QPainterPath Ink::Circle(double cx, double cy, double r) const {
    return Ellipse(cx - r, cy - r, 2 * r, 2 * r);
}

QPainterPath Ink::Poly(std::initializer_list<QPointF> points) const {
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        const QPointF d(p.x() * scale_, p.y() * scale_);
        if (first)
            path.moveTo(d);
        else
            path.lineTo(d);
        first = false;
    }
    path.closeSubpath();
    return path;
}

QPainterPath Ink::Map(const QPainterPath& design) const {
    return QTransform::fromScale(scale_, scale_).map(design);
}

void Ink::Fill(const QPainterPath& path, const QColor& base) const {
    Fill(path, base, OutlineOf(base));
}

void Ink::Fill(const QPainterPath& path, const QColor& base, const QColor& outline) const {
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, base.lighter(122));
    gradient.setColorAt(1, base.darker(104));
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(gradient);
    painter_.drawPath(path);
    Outline(path, outline);
}

void Ink::Flat(const QPainterPath& path, const QColor& colour) const {
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(colour);
    painter_.drawPath(path);
}

void Ink::Outline(const QPainterPath& path, const QColor& colour) const {
    QPen pen(colour, 1);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
}

void Ink::Stroke(const QPainterPath& design, const QColor& colour, double width) const {
    QPen pen(colour, std::max(1.0, width * scale_));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(Map(design));
}

void Ink::Line(double x1, double y1, double x2, double y2, const QColor& colour,
               double width) const {
    const double pixels = std::max(1.0, std::round(width * scale_));
    // Through pixel centres: an odd width sits on a half pixel.
    auto place = [&](double v) {
        const double edge = std::floor(v * scale_);
        return static_cast<int>(pixels) % 2 == 1 ? edge + 0.5 : std::round(v * scale_);
    };
    QPointF a(x1 * scale_, y1 * scale_);
    QPointF b(x2 * scale_, y2 * scale_);
    if (y1 == y2) {
        a.setY(place(y1));
        b.setY(a.y());
    }
    if (x1 == x2) {
        a.setX(place(x1));
        b.setX(a.x());
    }
    QPen pen(colour, pixels);
    pen.setCapStyle(x1 == x2 || y1 == y2 ? Qt::FlatCap : Qt::RoundCap);
    painter_.setPen(pen);
    painter_.drawLine(a, b);
}

void Ink::Text(const QString& text, double x, double y, double w, double h, double size,
               const QColor& colour, bool serif) const {
    QFont font(serif ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(size * scale_))));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    painter_.setFont(font);
    painter_.setPen(colour);
    painter_.drawText(QRectF(x * scale_, y * scale_, w * scale_, h * scale_), Qt::AlignCenter,
                      text);
}

}  // namespace tallowmere::bitmaps
