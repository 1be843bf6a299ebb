// Account icons 0-15: money, accounts and the first household subjects.
#include <QPainterPath>
#include <QTransform>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

using namespace colour;

// A shape drawn around (0, 0), then turned and moved to (x, y).
QPainterPath Placed(const QPainterPath& local, double x, double y, double degrees) {
    QTransform t;
    t.translate(x, y);
    t.rotate(degrees);
    return t.map(local);
}

void Tag(const Ink& ink) {  // 0: no category
    QPainterPath tag;
    tag.moveTo(-12, 0);
    tag.lineTo(-6.5, -6);
    tag.lineTo(11, -6);
    tag.quadTo(12, -6, 12, -5);
    tag.lineTo(12, 5);
    tag.quadTo(12, 6, 11, 6);
    tag.lineTo(-6.5, 6);
    tag.closeSubpath();
    ink.Fill(ink.Map(Placed(tag, 15.5, 13.5, -30)), kTan);
    QPainterPath hole;
    hole.addEllipse(QPointF(-6, 0), 1.9, 1.9);
    ink.Fill(ink.Map(Placed(hole, 15.5, 13.5, -30)), kWhite, kBrown);
}

void Note(const Ink& ink, double x, double y, const QColor& base) {
    ink.Fill(ink.Box(x, y, 23, 13, 1.5), base);
    ink.Outline(ink.Box(x + 2, y + 2, 19, 9, 1), base.lighter(135));
    ink.Fill(ink.Ellipse(x + 8, y + 3, 7, 7), base.lighter(125), base.darker(130));
}

void Cash(const Ink& ink) {  // 1
    Note(ink, 6, 4, kGreen.darker(112));
    Note(ink, 2, 10, kGreen);
}

void Cheque(const Ink& ink) {  // 2: checking
    ink.Fill(ink.Box(1, 6, 29, 16, 1), kSky.lighter(150), kNavy);
    ink.Flat(ink.Area(2, 7, 27, 3), kSky);
    ink.Line(4, 13.5, 14, 13.5, kGrey);
    ink.Fill(ink.Box(19, 11, 8, 5), kWhite, kGrey);
    QPainterPath signature;
    signature.moveTo(14, 19);
    signature.cubicTo(16, 15, 17, 21, 19, 18);
    signature.cubicTo(21, 15, 22, 21, 26, 17.5);
    ink.Stroke(signature, kNavy, 1.2);
}

void Card(const Ink& ink) {  // 3: credit card
    ink.Fill(ink.Box(1, 4, 29, 19, 2.5), kBlue, kNavy);
    ink.Fill(ink.Box(4, 9, 7, 6, 1), kGold);
    for (int group = 0; group < 4; ++group)
        ink.Flat(ink.Area(4 + group * 6, 17, 5, 2), kSky.lighter(140));
}

void Bank(const Ink& ink) {  // 4
    ink.Fill(ink.Poly({{2, 11}, {15.5, 2.5}, {29, 11}}), kSilver, kSlate);
    for (int column = 0; column < 4; ++column)
        ink.Fill(ink.Box(5 + column * 6, 11, 4, 11), kWhite, kSlate);
    ink.Fill(ink.Box(2, 21, 27, 4), kSilver, kSlate);
}

void Chart(const Ink& ink) {  // 5: investments
    ink.Fill(ink.Box(4, 16, 6, 8), kBlue);
    ink.Fill(ink.Box(12, 12, 6, 12), kBlue);
    ink.Fill(ink.Box(20, 8, 6, 16), kBlue);
    QPainterPath rise;
    rise.moveTo(3, 15);
    rise.lineTo(11, 9);
    rise.lineTo(16, 11);
    rise.lineTo(25, 4);
    ink.Stroke(rise, kGreen.darker(150), 3.4);
    ink.Stroke(rise, kLeaf, 1.6);
    ink.Fill(ink.Poly({{21, 2}, {28, 1.5}, {26.5, 8.5}}), kLeaf, kGreen.darker(150));
}

void Coins(const Ink& ink) {  // 6
    for (int k = 0; k < 4; ++k) {
        const double y = 18 - k * 4;
        ink.Fill(ink.Box(6, y, 19, 7, 3.5), kGold);
    }
    ink.Outline(ink.Ellipse(9, 7, 13, 3), kGold.darker(140));
}

void Safe(const Ink& ink) {  // 7
    ink.Fill(ink.Box(4, 2, 23, 21, 2), kSlate);
    ink.Fill(ink.Box(7, 5, 17, 15, 1), kGrey, kSlate.darker(130));
    ink.Fill(ink.Circle(15.5, 12.5, 4.5), kSilver, kInk);
    ink.Line(15.5, 9, 15.5, 12.5, kInk);
    ink.Flat(ink.Area(6, 23, 4, 2), kInk);
    ink.Flat(ink.Area(21, 23, 4, 2), kInk);
}

void Wallet(const Ink& ink) {  // 8
    ink.Fill(ink.Box(6, 3, 19, 8, 1), kLeaf);
    ink.Fill(ink.Box(2, 7, 27, 17, 3), kBrown);
    ink.Fill(ink.Box(17, 11, 12, 9, 2), kBrown.darker(115));
    ink.Fill(ink.Circle(22, 15.5, 2), kGold);
}

void FirstAid(const Ink& ink) {  // 9: medical
    ink.Fill(ink.Box(4, 2, 23, 23, 4), kWhite, kGrey);
    ink.Fill(ink.Poly({{12.5, 5.5},
                       {18.5, 5.5},
                       {18.5, 10.5},
                       {23.5, 10.5},
                       {23.5, 16.5},
                       {18.5, 16.5},
                       {18.5, 21.5},
                       {12.5, 21.5},
                       {12.5, 16.5},
                       {7.5, 16.5},
                       {7.5, 10.5},
                       {12.5, 10.5}}),
             kRed);
}

void Pill(const Ink& ink) {  // 10: pharmacy
    QPainterPath left;
    left.moveTo(0, -4.5);
    left.lineTo(-7.5, -4.5);
    left.arcTo(QRectF(-12, -4.5, 9, 9), 90, 180);
    left.lineTo(0, 4.5);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(0, -4.5);
    right.lineTo(7.5, -4.5);
    right.arcTo(QRectF(3, -4.5, 9, 9), 90, -180);
    right.lineTo(0, 4.5);
    right.closeSubpath();
    ink.Fill(ink.Map(Placed(left, 15.5, 13.5, -35)), kRed);
    ink.Fill(ink.Map(Placed(right, 15.5, 13.5, -35)), kWhite, kGrey.darker(130));
}

void Tooth(const Ink& ink) {  // 11: dental
    QPainterPath tooth;
    tooth.moveTo(15.5, 6.5);
    tooth.cubicTo(12, 3, 6.5, 3.5, 6.5, 9);
    tooth.cubicTo(6.5, 13.5, 9, 15, 10, 19);
    tooth.cubicTo(10.5, 22, 11, 24.5, 12.5, 24.5);
    tooth.cubicTo(14, 24.5, 14, 18.5, 15.5, 18.5);
    tooth.cubicTo(17, 18.5, 17, 24.5, 18.5, 24.5);
    tooth.cubicTo(20, 24.5, 20.5, 22, 21, 19);
    tooth.cubicTo(22, 15, 24.5, 13.5, 24.5, 9);
    tooth.cubicTo(24.5, 3.5, 19, 3, 15.5, 6.5);
    ink.Fill(ink.Map(tooth), kWhite, kSlate);
}

void Piggy(const Ink& ink) {  // 12: savings
    ink.Fill(ink.Circle(15.5, 4.5, 3.5), kGold);
    ink.Fill(ink.Box(8, 19, 4, 5, 1), kPink.darker(110));
    ink.Fill(ink.Box(18, 19, 4, 5, 1), kPink.darker(110));
    ink.Fill(ink.Ellipse(3, 8, 23, 15), kPink);
    ink.Fill(ink.Poly({{9, 10}, {11, 5}, {15, 9}}), kPink.darker(108));
    ink.Fill(ink.Box(24, 12, 5, 6, 2), kPink.darker(104));
    ink.Line(13, 9.5, 18, 9.5, kPink.darker(190));
    ink.Flat(ink.Area(19, 12, 2, 2), kInk);
}

void House(const Ink& ink) {  // 13: household, lodging
    ink.Fill(ink.Box(20, 3, 4, 7), kRed.darker(115));
    ink.Fill(ink.Box(6, 12, 19, 13), kPaper, kBrown);
    ink.Fill(ink.Poly({{1.5, 13.5}, {15.5, 2}, {29.5, 13.5}}), kRed);
    ink.Fill(ink.Box(10, 16, 5, 9), kBrown);
    ink.Fill(ink.Box(18, 15, 5, 5), kSky, kNavy);
}

void Car(const Ink& ink) {  // 14: auto, liabilities
    ink.Fill(ink.Poly({{7, 12.5}, {10.5, 5.5}, {21, 5.5}, {25, 12.5}}), kRed);
    ink.Fill(ink.Box(1, 11, 29, 9, 3), kRed);
    ink.Fill(ink.Poly({{9.5, 11.5}, {11.8, 7}, {15, 7}, {15, 11.5}}), kSky, kNavy);
    ink.Fill(ink.Poly({{17, 11.5}, {17, 7}, {20, 7}, {22.6, 11.5}}), kSky, kNavy);
    for (const double x : {8.0, 23.0}) {
        ink.Fill(ink.Circle(x, 20, 4), kInk);
        ink.Flat(ink.Circle(x, 20, 1.6), kSilver);
    }
    ink.Flat(ink.Area(27, 13, 2, 2), kYellow);
}

void Telephone(const Ink& ink) {  // 15
    ink.Fill(ink.Poly({{5, 24.5}, {8, 12}, {23, 12}, {26, 24.5}}), kSlate);
    ink.Fill(ink.Circle(15.5, 18, 4), kSilver, kInk);
    ink.Flat(ink.Circle(15.5, 18, 1.3), kSlate);
    QPainterPath handset;
    handset.moveTo(3, 11);
    handset.lineTo(3, 7);
    handset.quadTo(3, 3, 8, 3);
    handset.lineTo(23, 3);
    handset.quadTo(28, 3, 28, 7);
    handset.lineTo(28, 11);
    handset.lineTo(21, 11);
    handset.lineTo(21, 8);
    handset.lineTo(10, 8);
    handset.lineTo(10, 11);
    handset.closeSubpath();
    ink.Fill(ink.Map(handset), kSlate.darker(115));
}

}  // namespace

bool DrawAccountIcon0(const Ink& ink, int index) {
    static void (*const kIcons[])(const Ink&) = {
        Tag,    Cash,     Cheque, Card,  Bank,  Chart, Coins, Safe,
        Wallet, FirstAid, Pill,   Tooth, Piggy, House, Car,   Telephone,
    };
    if (index < 0 || index >= 16)
        return false;
    kIcons[index](ink);
    return true;
}

}  // namespace tallowmere::bitmaps
