#pragma once
// What every drawing of the image generator shares: the colours, one way of
// filling and outlining shapes, and strips assembled from cells. Shapes are
// given in design units (pixel edges of the design size) and drawn at the
// ink's scale, with box edges snapped to whole pixels so that outlines stay
// crisp at both icon sizes.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <functional>
#include <initializer_list>

namespace tallowmere::bitmaps {

// The colours of all images: each hue has a light, a base and a dark tone.
namespace colour {
inline const QColor kInk(43, 48, 56);
inline const QColor kWhite(250, 251, 252);
inline const QColor kPaper(246, 243, 232);
inline const QColor kSilver(200, 205, 211);
inline const QColor kGrey(150, 157, 165);
inline const QColor kSlate(93, 100, 108);
inline const QColor kGreen(86, 160, 48);
inline const QColor kLeaf(126, 196, 74);
inline const QColor kBlue(58, 122, 200);
inline const QColor kSky(128, 178, 232);
inline const QColor kNavy(36, 72, 132);
inline const QColor kRed(208, 58, 47);
inline const QColor kGold(232, 182, 40);
inline const QColor kYellow(250, 214, 72);
inline const QColor kOrange(232, 128, 36);
inline const QColor kBrown(168, 112, 48);
inline const QColor kTan(216, 170, 104);
inline const QColor kTeal(38, 150, 146);
inline const QColor kPurple(122, 86, 168);
inline const QColor kPink(236, 140, 160);
}  // namespace colour

// A transparent image to draw on.
QImage NewImage(int width, int height);

// A one-row strip of `count` cells; `draw` paints cell i with the painter's
// origin at the cell's top-left corner and clipped to it.
QImage MakeStrip(int cellWidth, int cellHeight, int count,
                 const std::function<void(QPainter&, int index)>& draw);

// Moves every visible pixel that happens to have the mask colour by one step
// of blue, so that no drawn pixel turns transparent.
void AvoidMask(QImage& image, QColor mask);

class Ink {
  public:
    // Draws on `painter` (untransformed) with design units times `scale`.
    Ink(QPainter& painter, double scale);

    double Scale() const { return scale_; }
    QPainter& Painter() const { return painter_; }

    // Shapes in device coordinates, built from design units.
    // A box whose outline runs on the pixels just inside its edges.
    QPainterPath Box(double x, double y, double w, double h, double radius = 0) const;
    // The whole pixels between the edges, for flat fills.
    QPainterPath Area(double x, double y, double w, double h) const;
    QPainterPath Ellipse(double x, double y, double w, double h) const;
    QPainterPath Circle(double cx, double cy, double r) const;
    QPainterPath Poly(std::initializer_list<QPointF> points) const;
    QPainterPath Map(const QPainterPath& design) const;

    // A shape lit from above: a gradient of the base colour with a darker
    // outline (or the given one) of one pixel.
    void Fill(const QPainterPath& path, const QColor& base) const;
    void Fill(const QPainterPath& path, const QColor& base, const QColor& outline) const;
    // The shape in one colour, without an outline.
    void Flat(const QPainterPath& path, const QColor& colour) const;
    // The outline alone.
    void Outline(const QPainterPath& path, const QColor& colour) const;
    // A stroke along a path given in design units; width in design units,
    // at least one pixel.
    void Stroke(const QPainterPath& design, const QColor& colour, double width = 1) const;
    // A straight line through pixel centres (design units), axis-aligned
    // lines snapped to whole pixels.
    void Line(double x1, double y1, double x2, double y2, const QColor& colour,
              double width = 1) const;
    // Text centred in a design rectangle, bold, `size` design pixels high.
    void Text(const QString& text, double x, double y, double w, double h, double size,
              const QColor& colour, bool serif = false) const;

  private:
    double Snap(double v) const;
    QPainter& painter_;
    double scale_;
};

// The outline colour a base colour gets.
QColor OutlineOf(const QColor& base);

}  // namespace tallowmere::bitmaps
