// Account icons 32-47: home life, utilities, education, shopping and bills.
#include <QPainterPath>
#include <QTransform>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

using namespace colour;

void Book(const Ink& ink, double x, double y, double w, const QColor& cover) {
    ink.Fill(ink.Box(x, y, w, 6, 1), cover);
    ink.Flat(ink.Area(x + w - 5, y + 1, 3, 4), kPaper);
}

void Books(const Ink& ink) {  // 32
    Book(ink, 4, 19, 24, kRed);
    Book(ink, 2, 13, 23, kGreen);
    Book(ink, 5, 7, 22, kBlue);
}

void Computer(const Ink& ink) {  // 33
    ink.Fill(ink.Poly({{12, 18}, {19, 18}, {20.5, 23}, {10.5, 23}}), kGrey);
    ink.Fill(ink.Box(7, 22, 17, 3, 1), kSlate);
    ink.Fill(ink.Box(2, 2, 27, 18, 2), kSlate);
    ink.Fill(ink.Box(4, 4, 23, 14), kSky, kNavy);
}

void Umbrella(const Ink& ink) {  // 34: insurance
    QPainterPath handle;
    handle.moveTo(15.5, 12);
    handle.lineTo(15.5, 22);
    handle.quadTo(15.5, 25, 13, 25);
    handle.quadTo(10.5, 25, 10.5, 22.5);
    ink.Stroke(handle, kInk, 1.8);
    QPainterPath canopy;
    canopy.moveTo(2, 14);
    canopy.cubicTo(2, 2, 29, 2, 29, 14);
    canopy.quadTo(25.6, 11.5, 22.25, 14);
    canopy.quadTo(18.9, 11.5, 15.5, 14);
    canopy.quadTo(12.1, 11.5, 8.75, 14);
    canopy.quadTo(5.4, 11.5, 2, 14);
    ink.Fill(ink.Map(canopy), kTeal);
    ink.Flat(ink.Circle(15.5, 3, 1.2), kInk);
}

void Paw(const Ink& ink) {  // 35: pets
    const QColor fur = kBrown;
    QPainterPath pad;
    pad.moveTo(15.5, 13);
    pad.cubicTo(9, 13, 6, 20, 8.5, 23);
    pad.cubicTo(11, 25.5, 13, 23, 15.5, 23);
    pad.cubicTo(18, 23, 20, 25.5, 22.5, 23);
    pad.cubicTo(25, 20, 22, 13, 15.5, 13);
    ink.Fill(ink.Map(pad), fur);
    ink.Fill(ink.Ellipse(3, 8, 6, 7), fur);
    ink.Fill(ink.Ellipse(9, 2, 6, 8), fur);
    ink.Fill(ink.Ellipse(16, 2, 6, 8), fur);
    ink.Fill(ink.Ellipse(22, 8, 6, 7), fur);
}

void Block(const Ink& ink, double x, double y, const QColor& colour) {
    ink.Fill(ink.Box(x, y, 12, 11, 1.5), colour);
    ink.Outline(ink.Box(x + 2, y + 2, 8, 7, 1), colour.lighter(140));
}

void Blocks(const Ink& ink) {  // 36: children
    Block(ink, 3, 14, kRed);
    Block(ink, 16, 14, kBlue);
    Block(ink, 9.5, 3, kYellow.darker(108));
}

void Scissors(const Ink& ink) {  // 37: personal care
    ink.Fill(ink.Poly({{12.5, 1.5}, {15, 1.5}, {19.5, 16}, {17.5, 17}}), kSilver, kSlate);
    ink.Fill(ink.Poly({{18.5, 1.5}, {16, 1.5}, {11.5, 16}, {13.5, 17}}), kSilver, kSlate);
    ink.Flat(ink.Circle(15.5, 10, 1), kSlate);
    QPainterPath rings;
    rings.addEllipse(QPointF(10.5, 20.5), 3.6, 3.6);
    rings.addEllipse(QPointF(20.5, 20.5), 3.6, 3.6);
    ink.Stroke(rings, kRed.darker(150), 3.4);
    ink.Stroke(rings, kRed, 1.8);
}

void Bulb(const Ink& ink) {  // 38: utilities
    QPainterPath glass;
    glass.moveTo(12, 19);
    glass.cubicTo(12, 15, 7, 13.5, 7, 9.5);
    glass.cubicTo(7, 4.5, 11, 1.5, 15.5, 1.5);
    glass.cubicTo(20, 1.5, 24, 4.5, 24, 9.5);
    glass.cubicTo(24, 13.5, 19, 15, 19, 19);
    glass.closeSubpath();
    ink.Fill(ink.Map(glass), kYellow, kOrange.darker(140));
    QPainterPath filament;
    filament.moveTo(13.5, 18);
    filament.lineTo(13.5, 12);
    filament.lineTo(15.5, 10);
    filament.lineTo(17.5, 12);
    filament.lineTo(17.5, 18);
    ink.Stroke(filament, kOrange.darker(120), 1);
    ink.Fill(ink.Box(11, 19, 9, 6, 1.5), kGrey);
    ink.Line(11.5, 21.5, 19.5, 21.5, kSlate);
}

void Wrench(const Ink& ink) {  // 39: repairs
    QPainterPath wrench;
    wrench.addRoundedRect(QRectF(-12, -2.2, 18, 4.4), 2.2, 2.2);
    wrench.addEllipse(QPointF(8.5, 0), 5.5, 5.5);
    QPainterPath jaw;
    jaw.addRect(QRectF(8.5, -2.4, 7, 4.8));
    wrench = wrench.simplified().subtracted(jaw);
    QTransform t;
    t.translate(15.5, 13.5);
    t.rotate(-40);
    ink.Fill(ink.Map(t.map(wrench)), kSilver, kSlate);
}

void Flower(const Ink& ink) {  // 40: garden
    ink.Line(15.5, 9, 15.5, 17, kGreen.darker(130), 1.6);
    QPainterPath leaf;
    leaf.moveTo(15.5, 15);
    leaf.quadTo(10, 9, 8, 13);
    leaf.quadTo(11, 16, 15.5, 15);
    ink.Fill(ink.Map(leaf), kLeaf);
    ink.Fill(ink.Map(QTransform(-1, 0, 0, 1, 31, 0).map(leaf).translated(0, -2)), kLeaf);
    for (int i = 0; i < 5; ++i) {
        QTransform t;
        t.translate(15.5, 6.5);
        t.rotate(i * 72);
        QPainterPath petal;
        petal.addEllipse(QPointF(0, -3.2), 2.6, 3.2);
        ink.Fill(ink.Map(t.map(petal)), kPink.darker(112));
    }
    ink.Fill(ink.Circle(15.5, 6.5, 2.2), kYellow);
    const QColor clay = kOrange.darker(118);
    ink.Fill(ink.Poly({{9.5, 19}, {21.5, 19}, {20, 25.5}, {11, 25.5}}), clay);
    ink.Fill(ink.Box(8, 16, 15, 4, 1), clay);
}

void GraduationCap(const Ink& ink) {  // 41: education
    ink.Fill(ink.Box(8, 11, 15, 9, 3), kInk.lighter(150));
    ink.Fill(ink.Poly({{1.5, 10}, {15.5, 3.5}, {29.5, 10}, {15.5, 16.5}}), kInk.lighter(140), kInk);
    QPainterPath tassel;
    tassel.moveTo(15.5, 10);
    tassel.lineTo(25, 12.5);
    tassel.lineTo(25, 20);
    ink.Stroke(tassel, kGold, 1.4);
    ink.Fill(ink.Box(23.5, 19, 3, 5, 1), kGold);
    ink.Flat(ink.Circle(15.5, 10, 1.4), kGold);
}

void Heart(const Ink& ink) {  // 42: charity
    QPainterPath heart;
    heart.moveTo(15.5, 25);
    heart.cubicTo(9, 19, 2.5, 15, 2.5, 9);
    heart.cubicTo(2.5, 4, 7, 2, 10, 2);
    heart.cubicTo(12.5, 2, 14.5, 3.5, 15.5, 6);
    heart.cubicTo(16.5, 3.5, 18.5, 2, 21, 2);
    heart.cubicTo(24, 2, 28.5, 4, 28.5, 9);
    heart.cubicTo(28.5, 15, 22, 19, 15.5, 25);
    ink.Fill(ink.Map(heart), kRed);
    QPainterPath shine;
    shine.moveTo(6, 9);
    shine.quadTo(6, 5.5, 9.5, 5);
    ink.Stroke(shine, kRed.lighter(160), 1.4);
}

void Television(const Ink& ink) {  // 43: cable TV
    ink.Line(15.5, 6, 10, 1, kSlate, 1.2);
    ink.Line(15.5, 6, 21, 1, kSlate, 1.2);
    ink.Fill(ink.Box(2, 6, 27, 18, 2), kSlate);
    QPainterPath screen = ink.Box(4, 8, 19, 14, 2);
    ink.Fill(screen, kSky, kInk);
    ink.Flat(ink.Circle(26, 11, 1.4), kSilver);
    ink.Flat(ink.Circle(26, 16, 1.4), kSilver);
    ink.Flat(ink.Area(5, 24, 4, 2), kInk);
    ink.Flat(ink.Area(22, 24, 4, 2), kInk);
}

void Cart(const Ink& ink) {  // 44: groceries
    ink.Fill(ink.Circle(13, 9, 4), kRed);
    ink.Fill(ink.Box(16, 3, 6, 8, 1), kLeaf);
    QPainterPath frame;
    frame.moveTo(1.5, 3.5);
    frame.lineTo(5, 3.5);
    frame.lineTo(9.5, 19.5);
    frame.lineTo(25, 19.5);
    ink.Stroke(frame, kSlate, 1.6);
    ink.Fill(ink.Poly({{6.5, 8.5}, {28.5, 8.5}, {25.5, 17.5}, {8.8, 17.5}}), kSilver, kSlate);
    ink.Line(12.5, 9, 13.5, 17, kSlate);
    ink.Line(18, 9, 18, 17, kSlate);
    ink.Line(23.5, 9, 22.5, 17, kSlate);
    ink.Fill(ink.Circle(11, 23, 2.5), kInk);
    ink.Fill(ink.Circle(23, 23, 2.5), kInk);
}

void TaxForm(const Ink& ink) {  // 45: tax
    ink.Fill(ink.Poly({{5.5, 1.5}, {20.5, 1.5}, {25.5, 6.5}, {25.5, 25.5}, {5.5, 25.5}}), kWhite,
             kSlate);
    ink.Line(8, 5.5, 17, 5.5, kGrey);
    ink.Text(QStringLiteral("%"), 5, 7, 21, 17, 15, kRed);
}

void Parcel(const Ink& ink) {  // 46: miscellaneous
    ink.Fill(ink.Poly({{3.5, 9.5}, {9.5, 3.5}, {28.5, 3.5}, {22.5, 9.5}}), kTan.lighter(108),
             kBrown);
    ink.Fill(ink.Poly({{22.5, 9.5}, {28.5, 3.5}, {28.5, 19.5}, {22.5, 25.5}}), kTan.darker(115),
             kBrown);
    ink.Fill(ink.Box(3, 9, 20, 17), kTan, kBrown);
    ink.Flat(ink.Poly({{12, 9}, {15, 9}, {21, 3.5}, {18, 3.5}}), kPaper.darker(110));
    ink.Flat(ink.Area(11, 10, 4, 6), kPaper.darker(110));
}

void Receipt(const Ink& ink) {  // 47: fees and charges
    QPainterPath paper;
    paper.moveTo(6.5, 1.5);
    paper.lineTo(24.5, 1.5);
    paper.lineTo(24.5, 25);
    for (int i = 0; i < 6; ++i) {
        const double x = 24.5 - (i + 0.5) * 3;
        paper.lineTo(x, 23);
        paper.lineTo(x - 1.5, 25);
    }
    paper.lineTo(6.5, 25);
    paper.closeSubpath();
    ink.Fill(ink.Map(paper), kWhite, kSlate);
    for (const double y : {5.5, 8.5, 11.5, 14.5}) {
        ink.Line(9, y, 17, y, kGrey);
        ink.Line(19, y, 22, y, kGrey);
    }
    ink.Line(9, 18.5, 22, 18.5, kInk, 1.4);
}

}  // namespace

bool DrawAccountIcon32(const Ink& ink, int index) {
    static void (*const kIcons[])(const Ink&) = {
        Books,  Computer,      Umbrella, Paw,        Blocks, Scissors, Bulb,   Wrench,
        Flower, GraduationCap, Heart,    Television, Cart,   TaxForm,  Parcel, Receipt,
    };
    if (index < 32 || index >= 48)
        return false;
    kIcons[index - 32](ink);
    return true;
}

}  // namespace tallowmere::bitmaps
