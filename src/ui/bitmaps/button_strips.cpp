// 166 and 168: button faces with their glyph, each as a normal image and a
// pressed one (darker face, glyph moved one pixel down and right).
#include <QPainterPath>
#include <QtMath>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

void Face(const Ink& ink, int width, int height, bool pressed) {
    QPainter& p = ink.Painter();
    const QPainterPath face = ink.Box(0, 0, width, height, 3);
    QLinearGradient gradient(0, 0, 0, height);
    if (pressed) {
        gradient.setColorAt(0, QColor(196, 204, 214));
        gradient.setColorAt(1, QColor(222, 227, 233));
    } else {
        gradient.setColorAt(0, QColor(255, 255, 255));
        gradient.setColorAt(1, QColor(221, 226, 232));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawPath(face);
    ink.Outline(face, pressed ? QColor(104, 112, 122) : QColor(140, 148, 158));
}

// Glyphs, drawn in a 16 x 16 box whose top-left corner the caller moves.
void ListGlyph(const Ink& ink) {
    using namespace colour;
    ink.Fill(ink.Box(1, 0, 14, 16, 1), kWhite, kSlate);
    for (int row = 0; row < 3; ++row) {
        const double y = 3 + row * 4;
        ink.Flat(ink.Area(3, y, 3, 3), kBlue);
        ink.Line(7, y + 1.5, 13, y + 1.5, kGrey, 1);
    }
}

void ExchangeGlyph(const Ink& ink) {
    using namespace colour;
    // Two currencies, one coin over the other.
    ink.Fill(ink.Circle(6, 6, 6), kGold);
    ink.Text(QStringLiteral("$"), -0.5, -0.5, 11, 11, 8.5, kGold.darker(200));
    ink.Fill(ink.Circle(11, 11, 5.5), kSilver, kSlate);
    ink.Text(QStringLiteral("\u20ac"), 5.5, 5.5, 11, 11, 8.5, kSlate.darker(140));
}

void GlobeGlyph(const Ink& ink) {
    using namespace colour;
    ink.Fill(ink.Circle(8, 8, 7.5), kBlue);
    QPainterPath lines;
    lines.addEllipse(QRectF(4.8, 1, 6.4, 14));
    lines.moveTo(8, 1);
    lines.lineTo(8, 15);
    lines.moveTo(1.5, 5.5);
    lines.lineTo(14.5, 5.5);
    lines.moveTo(1.5, 10.5);
    lines.lineTo(14.5, 10.5);
    ink.Stroke(lines, kSky.lighter(120), 0.9);
    ink.Outline(ink.Circle(8, 8, 7.5), kNavy);
}

void NewGlyph(const Ink& ink) {
    using namespace colour;
    ink.Fill(ink.Poly({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}}), kWhite,
             kSlate);
    ink.Line(5, 6.5, 11, 6.5, kGrey);
    ink.Line(5, 9.5, 11, 9.5, kGrey);
    QPainterPath plus;
    plus.moveTo(13, 8.5);
    plus.lineTo(13, 15.5);
    plus.moveTo(9.5, 12);
    plus.lineTo(16.5, 12);
    ink.Stroke(plus, kGreen.darker(110), 2.2);
}

void EditGlyph(const Ink& ink) {
    using namespace colour;
    // A pencil lying from bottom left to top right.
    QPainter& p = ink.Painter();
    p.save();
    p.translate(8 * ink.Scale(), 8 * ink.Scale());
    p.rotate(-45);
    const double s = ink.Scale();
    auto box = [&](double x, double y, double w, double h) {
        QPainterPath path;
        path.addRect(QRectF(x * s, y * s, w * s, h * s));
        return path;
    };
    ink.Fill(box(-5, -2.5, 10, 5), kYellow, kBrown.darker(120));
    ink.Fill(box(5, -2.5, 3, 5), kPink, kBrown.darker(120));
    QPainterPath tip;
    tip.moveTo(-5 * s, -2.5 * s);
    tip.lineTo(-10 * s, 0);
    tip.lineTo(-5 * s, 2.5 * s);
    tip.closeSubpath();
    ink.Fill(tip, kTan, kBrown.darker(120));
    QPainterPath lead;
    lead.moveTo(-8.3 * s, -0.85 * s);
    lead.lineTo(-10 * s, 0);
    lead.lineTo(-8.3 * s, 0.85 * s);
    lead.closeSubpath();
    ink.Flat(lead, kInk);
    p.restore();
}

void DeleteGlyph(const Ink& ink) {
    using namespace colour;
    QPainterPath cross;
    cross.moveTo(3, 3);
    cross.lineTo(13, 13);
    cross.moveTo(13, 3);
    cross.lineTo(3, 13);
    ink.Stroke(cross, kRed.darker(130), 4.2);
    ink.Stroke(cross, kRed, 2.6);
}

void DetailsGlyph(const Ink& ink) {
    using namespace colour;
    QPainterPath handle;
    handle.moveTo(10, 10);
    handle.lineTo(14.5, 14.5);
    ink.Stroke(handle, kInk, 3);
    ink.Fill(ink.Circle(6.5, 6.5, 5.5), kSky.lighter(125), kSlate.darker(120));
    ink.Outline(ink.Circle(6.5, 6.5, 4.5), kWhite);
}

void CheckBox(const Ink& ink, double x, double y, bool ticked) {
    using namespace colour;
    ink.Fill(ink.Box(x, y, 7, 7, 1), kWhite, kSlate);
    if (ticked) {
        QPainterPath tick;
        tick.moveTo(x + 1.6, y + 3.6);
        tick.lineTo(x + 3.1, y + 5.2);
        tick.lineTo(x + 6.2, y + 1.4);
        ink.Stroke(tick, kGreen.darker(115), 1.6);
    }
}

void MarkGlyph(const Ink& ink, bool ticked) {
    using namespace colour;
    for (int row = 0; row < 2; ++row) {
        const double y = 0 + row * 9;
        CheckBox(ink, 0, y, ticked);
        ink.Line(9, y + 3.5, 16, y + 3.5, kGrey, 1);
    }
}

void TransferGlyph(const Ink& ink) {
    using namespace colour;
    ink.Fill(ink.Poly({{0.5, 3}, {9.5, 3}, {9.5, 0}, {15.5, 4.5}, {9.5, 9}, {9.5, 6}, {0.5, 6}}),
             kBlue);
    ink.Fill(
        ink.Poly({{15.5, 10}, {6.5, 10}, {6.5, 7}, {0.5, 11.5}, {6.5, 16}, {6.5, 13}, {15.5, 13}}),
        kGreen);
}

// Draws one face with its glyph centred; odd images are the pressed faces.
void Button(QPainter& painter, int width, int height, int index, void (*glyph)(const Ink&),
            double glyphWidth, double glyphHeight) {
    const bool pressed = index % 2 == 1;
    const Ink face(painter, 1.0);
    Face(face, width, height, pressed);
    if (glyph == nullptr)
        return;
    painter.save();
    const int shift = pressed ? 1 : 0;
    painter.translate(std::floor((width - glyphWidth) / 2) + shift,
                      std::floor((height - glyphHeight) / 2) + shift);
    glyph(face);
    painter.restore();
}

void MarkAllGlyph(const Ink& ink) {
    MarkGlyph(ink, true);
}
void UnmarkAllGlyph(const Ink& ink) {
    MarkGlyph(ink, false);
}

}  // namespace

QImage DrawDialogButtons() {
    return MakeStrip(23, 23, 4, [](QPainter& painter, int index) {
        Button(painter, 23, 23, index, index < 2 ? ListGlyph : ExchangeGlyph, 16, 16);
    });
}

QImage DrawViewButtons() {
    // Pairs: 0 Go Online, 1 New, 2 Edit, 3 Delete, 4 unused, 5 Details,
    // 6 unused, 7 Mark all, 8 Unmark all, 9 Transfer.
    static void (*const kGlyphs[])(const Ink&) = {
        GlobeGlyph,   NewGlyph, EditGlyph,    DeleteGlyph,    nullptr,
        DetailsGlyph, nullptr,  MarkAllGlyph, UnmarkAllGlyph, TransferGlyph,
    };
    return MakeStrip(28, 20, 20, [](QPainter& painter, int index) {
        void (*glyph)(const Ink&) = kGlyphs[index / 2];
        if (glyph == nullptr)
            return;  // an unused pair stays blank
        Button(painter, 28, 20, index, glyph, 16, 16);
    });
}

}  // namespace tallowmere::bitmaps
