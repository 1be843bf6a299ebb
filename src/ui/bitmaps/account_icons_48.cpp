// Account icons 48-63: leisure, food, communication and travel on the
// ground; and 64, the icon of a split transaction.
#include <QPainterPath>
#include <QTransform>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

using namespace colour;

void Island(const Ink& ink) {  // 48: vacation
    ink.Fill(ink.Circle(6, 6, 4), kYellow, kOrange.darker(130));
    ink.Fill(ink.Box(1, 21, 29, 5, 2), kSky, kBlue);
    ink.Fill(ink.Ellipse(6, 18, 20, 7), kTan, kBrown);
    QPainterPath trunk;
    trunk.moveTo(18, 20);
    trunk.cubicTo(18.5, 15, 17.5, 11, 15, 8);
    ink.Stroke(trunk, kBrown.darker(140), 3.2);
    ink.Stroke(trunk, kBrown, 1.6);
    for (const double angle : {-160.0, -115.0, -65.0, -20.0, 25.0}) {
        QPainterPath frond;
        frond.moveTo(0, 0);
        frond.quadTo(4.5, -3.2, 9.5, 0.5);
        frond.quadTo(4.5, -0.8, 0, 0);
        QTransform t;
        t.translate(15, 8);
        t.rotate(angle);
        ink.Fill(ink.Map(t.map(frond)), kLeaf, kGreen.darker(160));
    }
}

void Ball(const Ink& ink) {  // 49: sports
    ink.Fill(ink.Circle(15.5, 13.5, 11.5), kOrange, kOrange.darker(200));
    QPainterPath seams;
    seams.moveTo(15.5, 2);
    seams.lineTo(15.5, 25);
    seams.moveTo(4, 13.5);
    seams.lineTo(27, 13.5);
    seams.moveTo(8, 4.5);
    seams.quadTo(13, 13.5, 8, 22.5);
    seams.moveTo(23, 4.5);
    seams.quadTo(18, 13.5, 23, 22.5);
    ink.Stroke(seams, kOrange.darker(220), 1);
}

void Dumbbell(const Ink& ink) {  // 50: fitness
    ink.Fill(ink.Box(7, 12, 17, 3), kSilver, kSlate);
    for (const double x : {1.0, 26.0})
        ink.Fill(ink.Box(x, 9, 4, 9, 1), kSlate);
    for (const double x : {4.0, 22.0})
        ink.Fill(ink.Box(x, 5, 5, 17, 1), kSlate.darker(120));
}

void Coffee(const Ink& ink) {  // 51
    QPainterPath steam;
    steam.moveTo(11, 6);
    steam.cubicTo(9, 4, 13, 3, 11, 1);
    steam.moveTo(16, 6);
    steam.cubicTo(14, 4, 18, 3, 16, 1);
    ink.Stroke(steam, kGrey, 1);
    ink.Fill(ink.Ellipse(2, 21, 25, 5), kWhite, kSlate);
    QPainterPath handle;
    handle.addEllipse(QRectF(19.5, 11, 7, 7));
    ink.Stroke(handle, kSlate, 3);
    ink.Stroke(handle, kWhite, 1.2);
    QPainterPath cup;
    cup.moveTo(5, 8);
    cup.lineTo(22, 8);
    cup.cubicTo(22, 17, 20, 23, 13.5, 23);
    cup.cubicTo(7, 23, 5, 17, 5, 8);
    ink.Fill(ink.Map(cup), kWhite, kSlate);
    ink.Fill(ink.Ellipse(6, 7, 15, 3), kBrown.darker(140), kSlate);
}

void WineGlass(const Ink& ink) {  // 52: drinks
    ink.Fill(ink.Ellipse(9, 22, 13, 4), kSky.lighter(150), kSlate);
    ink.Line(15.5, 16, 15.5, 23, kSlate, 1.4);
    QPainterPath bowl;
    bowl.moveTo(8.5, 2);
    bowl.lineTo(22.5, 2);
    bowl.cubicTo(23.5, 10, 21, 16.5, 15.5, 16.5);
    bowl.cubicTo(10, 16.5, 7.5, 10, 8.5, 2);
    ink.Fill(ink.Map(bowl), kSky.lighter(160), kSlate);
    QPainterPath wine;
    wine.moveTo(8.6, 7.5);
    wine.lineTo(22.4, 7.5);
    wine.cubicTo(22.2, 12.5, 20, 16, 15.5, 16);
    wine.cubicTo(11, 16, 8.8, 12.5, 8.6, 7.5);
    ink.Fill(ink.Map(wine), QColor(150, 24, 48), QColor(96, 14, 30));
}

void Gift(const Ink& ink) {  // 53: gifts
    QPainterPath bow;
    bow.addEllipse(QRectF(9, 2.5, 7, 6));
    bow.addEllipse(QRectF(15, 2.5, 7, 6));
    ink.Stroke(bow, kGold.darker(130), 3);
    ink.Stroke(bow, kYellow, 1.4);
    ink.Fill(ink.Box(4, 12, 23, 13, 1), kRed);
    ink.Fill(ink.Box(3, 8, 25, 5, 1), kRed.lighter(112));
    ink.Fill(ink.Box(14, 8, 3, 17), kYellow, kGold.darker(130));
}

void Dining(const Ink& ink) {  // 54: dining, meals
    ink.Fill(ink.Circle(15.5, 13.5, 9.5), kWhite, kGrey);
    ink.Outline(ink.Circle(15.5, 13.5, 6.5), kSilver);
    // Fork on the left, knife on the right.
    ink.Line(3.5, 10, 3.5, 25, kSlate, 1.6);
    for (const double x : {1.5, 3.5, 5.5})
        ink.Line(x, 2, x, 8, kSlate, 1);
    ink.Fill(ink.Box(1, 7, 6, 3, 1), kSlate);
    ink.Line(27.5, 13, 27.5, 25, kSlate, 1.6);
    QPainterPath blade;
    blade.moveTo(26.5, 14);
    blade.lineTo(26.5, 5);
    blade.quadTo(27, 2, 29.5, 2);
    blade.lineTo(29.5, 14);
    blade.closeSubpath();
    ink.Fill(ink.Map(blade), kSilver, kSlate);
}

void Globe(const Ink& ink) {  // 55: internet
    const QPainterPath ball = ink.Circle(15.5, 13.5, 11.5);
    ink.Fill(ball, kBlue);
    QPainter& p = ink.Painter();
    p.save();
    p.setClipPath(ball);
    QPainterPath land;
    land.moveTo(8, 5);
    land.cubicTo(13, 4, 15, 8, 12, 11);
    land.cubicTo(10, 13, 13, 17, 10, 20);
    land.cubicTo(7, 19, 5, 14, 6, 10);
    land.closeSubpath();
    land.moveTo(19, 11);
    land.cubicTo(23, 9, 27, 12, 26, 16);
    land.cubicTo(25, 20, 21, 23, 19, 20);
    land.cubicTo(18, 17, 20, 15, 19, 11);
    land.closeSubpath();
    ink.Fill(ink.Map(land), kLeaf, kGreen.darker(150));
    p.restore();
    QPainterPath lines;
    lines.addEllipse(QRectF(10, 2, 11, 23));
    lines.moveTo(4, 13.5);
    lines.lineTo(27, 13.5);
    ink.Stroke(lines, kSky.lighter(125), 0.8);
    ink.Outline(ball, kNavy);
}

void Mobile(const Ink& ink) {  // 56: mobile phone
    ink.Fill(ink.Box(9, 1, 13, 25, 2.5), kInk.lighter(130), kInk);
    ink.Fill(ink.Box(11, 4, 9, 16), kSky, kInk);
    ink.Flat(ink.Circle(15.5, 22.5, 1.3), kGrey);
}

void Bus(const Ink& ink) {  // 57: ground transport
    ink.Fill(ink.Box(1, 4, 29, 17, 3), kYellow.darker(104), kOrange.darker(150));
    for (int i = 0; i < 4; ++i)
        ink.Fill(ink.Box(3 + i * 5.5, 7, 5, 6, 1), kSky, kNavy);
    ink.Fill(ink.Box(25, 7, 4, 11, 1), kSky, kNavy);
    ink.Flat(ink.Area(2, 15, 22, 1), kOrange.darker(120));
    for (const double x : {8.0, 22.0}) {
        ink.Fill(ink.Circle(x, 21, 3.5), kInk);
        ink.Flat(ink.Circle(x, 21, 1.4), kSilver);
    }
}

void Drop(const Ink& ink) {  // 58: water
    QPainterPath drop;
    drop.moveTo(15.5, 1.5);
    drop.cubicTo(19, 7, 24, 11, 24, 16.5);
    drop.cubicTo(24, 21.5, 20, 25.5, 15.5, 25.5);
    drop.cubicTo(11, 25.5, 7, 21.5, 7, 16.5);
    drop.cubicTo(7, 11, 12, 7, 15.5, 1.5);
    ink.Fill(ink.Map(drop), kSky.darker(110), kNavy);
    QPainterPath shine;
    shine.moveTo(11, 16);
    shine.quadTo(11, 20, 14, 21.5);
    ink.Stroke(shine, kWhite, 1.6);
}

void Flame(const Ink& ink) {  // 59: gas
    ink.Fill(ink.Box(5, 22, 21, 4, 1), kSlate);
    QPainterPath outer;
    outer.moveTo(15.5, 1.5);
    outer.cubicTo(19, 7, 24, 10, 24, 15.5);
    outer.cubicTo(24, 20, 20, 22.5, 15.5, 22.5);
    outer.cubicTo(11, 22.5, 7, 20, 7, 15.5);
    outer.cubicTo(7, 11.5, 10, 9.5, 11, 6);
    outer.cubicTo(13, 8, 13, 10, 13, 11);
    outer.cubicTo(14.5, 8, 15.5, 5, 15.5, 1.5);
    ink.Fill(ink.Map(outer), kBlue, kNavy);
    QPainterPath inner;
    inner.moveTo(15.5, 10);
    inner.cubicTo(18, 13, 20, 15, 20, 17.5);
    inner.cubicTo(20, 20, 18, 21.5, 15.5, 21.5);
    inner.cubicTo(13, 21.5, 11, 20, 11, 17.5);
    inner.cubicTo(11, 15, 13.5, 13, 15.5, 10);
    ink.Fill(ink.Map(inner), kSky.lighter(120), kSky);
}

void Bicycle(const Ink& ink) {  // 60: recreation
    QPainterPath wheels;
    wheels.addEllipse(QPointF(7, 18), 5.5, 5.5);
    wheels.addEllipse(QPointF(24, 18), 5.5, 5.5);
    ink.Stroke(wheels, kInk, 1.8);
    QPainterPath frame;
    frame.moveTo(7, 18);
    frame.lineTo(14, 18);
    frame.lineTo(21, 10);
    frame.lineTo(11, 10);
    frame.closeSubpath();
    frame.moveTo(11, 10);
    frame.lineTo(14, 18);
    frame.moveTo(21, 10);
    frame.lineTo(24, 18);
    frame.moveTo(10.5, 9);
    frame.lineTo(10, 7);
    frame.moveTo(21, 10);
    frame.lineTo(20, 5.5);
    frame.lineTo(23, 5.5);
    ink.Stroke(frame, kRed, 1.8);
    ink.Fill(ink.Box(7, 5, 6, 2.5, 1), kInk);
}

void Controller(const Ink& ink) {  // 61: games
    QPainterPath body;
    body.moveTo(9, 7);
    body.lineTo(22, 7);
    body.cubicTo(27, 7, 29.5, 15, 29.5, 20);
    body.cubicTo(29.5, 24, 25.5, 24.5, 23, 20.5);
    body.lineTo(21, 18);
    body.lineTo(10, 18);
    body.lineTo(8, 20.5);
    body.cubicTo(5.5, 24.5, 1.5, 24, 1.5, 20);
    body.cubicTo(1.5, 15, 4, 7, 9, 7);
    ink.Fill(ink.Map(body), kSlate);
    ink.Flat(ink.Area(6, 11, 6, 2), kWhite);
    ink.Flat(ink.Area(8, 9, 2, 6), kWhite);
    ink.Fill(ink.Circle(21, 10.5, 1.6), kRed);
    ink.Fill(ink.Circle(24.5, 13.5, 1.6), kLeaf);
    ink.Fill(ink.Circle(21, 15, 1.6), kSky);
}

void Key(const Ink& ink) {  // 62: rent, loans
    QPainterPath key;
    key.addEllipse(QPointF(8, 13.5), 6.5, 6.5);
    key.addRect(QRectF(13, 11.5, 16, 4));
    key.addRect(QRectF(22, 14, 2.5, 5));
    key.addRect(QRectF(26, 14, 2.5, 4));
    key = key.simplified();
    QPainterPath hole;
    hole.addEllipse(QPointF(7, 13.5), 2.5, 2.5);
    ink.Fill(ink.Map(key.subtracted(hole)), kGold);
}

void Ticket(const Ink& ink) {  // 63: entertainment
    QPainterPath ticket;
    ticket.addRoundedRect(QRectF(-13, -7, 26, 14), 1.5, 1.5);
    QPainterPath notches;
    notches.addEllipse(QPointF(-13, 0), 2.5, 2.5);
    notches.addEllipse(QPointF(13, 0), 2.5, 2.5);
    ticket = ticket.subtracted(notches);
    QTransform t;
    t.translate(15.5, 13.5);
    t.rotate(-15);
    ink.Fill(ink.Map(t.map(ticket)), kOrange, kOrange.darker(170));
    QPainterPath perforation;
    for (int i = 0; i < 5; ++i) {
        perforation.moveTo(6, -5.5 + i * 2.8);
        perforation.lineTo(6, -4.5 + i * 2.8);
    }
    ink.Stroke(t.map(perforation), kOrange.lighter(150), 1);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? 4.5 : 1.9;
        const double a = qDegreesToRadians(-90.0 + i * 36);
        const QPointF point(-3.5 + r * std::cos(a), 0.3 + r * std::sin(a));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    ink.Flat(ink.Map(t.map(star)), kYellow.lighter(115));
}

void Split(const Ink& ink) {  // 64: a split transaction
    QPainterPath branches;
    branches.moveTo(2, 13.5);
    branches.lineTo(9, 13.5);
    branches.cubicTo(14, 13.5, 14, 5.5, 21, 5.5);
    branches.moveTo(9, 13.5);
    branches.lineTo(21, 13.5);
    branches.moveTo(9, 13.5);
    branches.cubicTo(14, 13.5, 14, 21.5, 21, 21.5);
    ink.Stroke(branches, kNavy, 3.6);
    ink.Stroke(branches, kSky, 1.8);
    for (const double y : {5.5, 13.5, 21.5})
        ink.Fill(ink.Poly({{20, y - 3.5}, {28.5, y}, {20, y + 3.5}}), kSky, kNavy);
}

}  // namespace

bool DrawAccountIcon48(const Ink& ink, int index) {
    static void (*const kIcons[])(const Ink&) = {
        Island, Ball, Dumbbell, Coffee,  WineGlass,  Gift, Dining, Globe, Mobile,
        Bus,    Drop, Flame,    Bicycle, Controller, Key,  Ticket, Split,
    };
    if (index < 48 || index > 64)
        return false;
    kIcons[index - 48](ink);
    return true;
}

}  // namespace tallowmere::bitmaps
