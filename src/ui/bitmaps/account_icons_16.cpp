// Account icons 16-31: travel, work, clothing, energy and the press.
#include <QPainterPath>
#include <QTransform>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

using namespace colour;

void Airplane(const Ink& ink) {  // 16: air travel
    QPainterPath plane;
    plane.addRoundedRect(QRectF(-12, -2, 25.5, 4), 2, 2);
    plane.addPolygon(QPolygonF({{2.5, -1.5}, {-4, -12}, {-7, -12}, {-3.5, -1.5}}));
    plane.addPolygon(QPolygonF({{2.5, 1.5}, {-4, 12}, {-7, 12}, {-3.5, 1.5}}));
    plane.addPolygon(QPolygonF({{-8.5, -1.5}, {-11.5, -6}, {-13.5, -6}, {-12, -1.5}}));
    plane.addPolygon(QPolygonF({{-8.5, 1.5}, {-11.5, 6}, {-13.5, 6}, {-12, 1.5}}));
    plane.setFillRule(Qt::WindingFill);
    QTransform t;
    t.translate(15.5, 13.5);
    t.rotate(-35);
    ink.Fill(ink.Map(t.map(plane).simplified()), kSky.lighter(112), kNavy);
}

void Train(const Ink& ink) {  // 17
    ink.Line(10, 22, 5, 26, kSlate, 1.6);
    ink.Line(21, 22, 26, 26, kSlate, 1.6);
    ink.Fill(ink.Box(7, 1, 17, 22, 4), kBlue);
    ink.Fill(ink.Box(9, 4, 13, 8, 1), kSky.lighter(115), kNavy);
    ink.Flat(ink.Area(8, 14, 15, 1), kWhite);
    ink.Fill(ink.Circle(11, 18, 1.8), kYellow);
    ink.Fill(ink.Circle(20, 18, 1.8), kYellow);
}

void Ship(const Ink& ink) {  // 18: ferries and boats
    ink.Fill(ink.Box(19, 3, 5, 8), kRed);
    ink.Fill(ink.Box(6, 8, 16, 8, 1), kWhite, kSlate);
    for (int i = 0; i < 3; ++i)
        ink.Flat(ink.Area(8 + i * 4, 11, 2, 2), kNavy);
    ink.Fill(ink.Poly({{1.5, 15.5}, {29.5, 15.5}, {25, 22.5}, {6, 22.5}}), kNavy);
    QPainterPath wave;
    wave.moveTo(2, 25);
    wave.cubicTo(6, 23, 8, 27, 12, 25);
    wave.cubicTo(16, 23, 18, 27, 22, 25);
    wave.cubicTo(25, 23.5, 27, 26, 29, 25);
    ink.Stroke(wave, kBlue, 1.3);
}

void FuelPump(const Ink& ink) {  // 19
    QPainterPath hose;
    hose.moveTo(19, 8);
    hose.lineTo(24, 8);
    hose.quadTo(26, 8, 26, 10);
    hose.lineTo(26, 19);
    hose.quadTo(26, 21, 24, 21);
    ink.Stroke(hose, kInk, 1.6);
    ink.Fill(ink.Box(22, 4, 4, 3, 0.5), kInk);
    ink.Fill(ink.Box(5, 2, 15, 21, 2), kGreen);
    ink.Fill(ink.Box(8, 5, 9, 6, 1), kWhite, kGreen.darker(170));
    ink.Fill(ink.Box(3, 22, 19, 3), kSlate);
}

void Parking(const Ink& ink) {  // 20
    ink.Fill(ink.Box(4, 2, 23, 23, 4), kBlue, kNavy);
    ink.Text(QStringLiteral("P"), 4, 2, 23, 23, 19, kWhite);
}

void Suitcase(const Ink& ink) {  // 21: travel
    QPainterPath handle;
    handle.addRoundedRect(QRectF(11.5, 3, 8, 7), 2, 2);
    ink.Stroke(handle, kBrown.darker(160), 2);
    ink.Fill(ink.Box(2, 7, 27, 18, 2.5), kBrown);
    ink.Flat(ink.Area(8, 8, 2, 16), kBrown.darker(130));
    ink.Flat(ink.Area(21, 8, 2, 16), kBrown.darker(130));
    ink.Fill(ink.Box(12, 12, 6, 4, 1), kYellow);
}

void Bed(const Ink& ink) {  // 22: hotel
    ink.Fill(ink.Box(2, 6, 4, 19, 1), kBrown);
    ink.Fill(ink.Box(26, 16, 3, 9, 1), kBrown);
    ink.Fill(ink.Box(4, 15, 25, 6, 1), kWhite, kSlate);
    ink.Fill(ink.Box(6, 11, 8, 5, 2), kWhite, kSlate);
    ink.Fill(ink.Box(13, 12, 16, 7, 2), kBlue);
}

void Map(const Ink& ink) {  // 23
    ink.Fill(ink.Poly({{2.5, 6.5}, {10.5, 3.5}, {10.5, 21.5}, {2.5, 24.5}}), kPaper, kSlate);
    ink.Fill(ink.Poly({{10.5, 3.5}, {20.5, 6.5}, {20.5, 24.5}, {10.5, 21.5}}), kPaper.darker(108),
             kSlate);
    ink.Fill(ink.Poly({{20.5, 6.5}, {28.5, 3.5}, {28.5, 21.5}, {20.5, 24.5}}), kPaper, kSlate);
    QPainterPath route;
    route.moveTo(5, 20);
    route.cubicTo(9, 12, 14, 22, 17, 14);
    ink.Stroke(route, kRed, 1.2);
    QPainterPath pin;
    pin.moveTo(21, 15);
    pin.cubicTo(18, 11, 17.5, 9, 17.5, 8);
    pin.arcTo(QRectF(17.5, 4.5, 7, 7), 180, -180);
    pin.cubicTo(24.5, 9, 24, 11, 21, 15);
    ink.Fill(ink.Map(pin), kRed);
    ink.Flat(ink.Circle(21, 8, 1.3), kWhite);
}

void Camera(const Ink& ink) {  // 24: photography
    ink.Fill(ink.Box(10, 4, 10, 5, 1), kSlate);
    ink.Fill(ink.Box(2, 7, 27, 17, 3), kSlate);
    ink.Fill(ink.Circle(15.5, 15.5, 6.5), kSilver, kInk);
    ink.Fill(ink.Circle(15.5, 15.5, 4), kNavy, kInk);
    ink.Flat(ink.Circle(14.2, 14.2, 1.2), kSky);
    ink.Flat(ink.Area(23, 10, 4, 2), kWhite);
}

void Music(const Ink& ink) {  // 25
    ink.Fill(ink.Poly({{11, 5.5}, {25, 2}, {25, 6.5}, {11, 10}}), kPurple);
    ink.Line(12, 6, 12, 20, kPurple.darker(150), 2);
    ink.Line(24, 3, 24, 17, kPurple.darker(150), 2);
    QTransform tilt;
    tilt.rotate(-20);
    QPainterPath head;
    head.addEllipse(QPointF(0, 0), 4.3, 3.2);
    ink.Fill(ink.Map(tilt.map(head).translated(8.6, 20.5)), kPurple);
    ink.Fill(ink.Map(tilt.map(head).translated(20.6, 17.5)), kPurple);
}

void Clapper(const Ink& ink) {  // 26: films
    ink.Fill(ink.Box(3, 11, 25, 14, 1), kInk);
    QPainterPath stripes;
    for (int i = 0; i < 4; ++i) {
        const double x = 5 + i * 6;
        stripes.addPolygon(QPolygonF({{x, 11.5}, {x + 3, 11.5}, {x + 1.5, 7.5}, {x - 1.5, 7.5}}));
    }
    ink.Fill(ink.Box(3, 7, 25, 5), kInk);
    ink.Flat(ink.Map(stripes), kWhite);
    ink.Outline(ink.Box(3, 7, 25, 5), kInk);
    ink.Line(6, 17.5, 25, 17.5, kGrey);
    ink.Line(6, 20.5, 20, 20.5, kGrey);
}

void MoneyBag(const Ink& ink) {  // 27: salary
    QPainterPath bag;
    bag.moveTo(12, 9);
    bag.cubicTo(3, 13, 2.5, 25.5, 15.5, 25.5);
    bag.cubicTo(28.5, 25.5, 28, 13, 19, 9);
    bag.closeSubpath();
    ink.Fill(ink.Poly({{10, 1.5}, {21, 1.5}, {18.5, 9}, {12.5, 9}}), kTan.darker(106), kBrown);
    ink.Fill(ink.Map(bag), kTan, kBrown);
    ink.Line(12, 8.5, 19, 8.5, kBrown.darker(130), 2);
    ink.Text(QStringLiteral("$"), 8, 11, 15, 14, 13, kGreen.darker(140));
}

void Briefcase(const Ink& ink) {  // 28: business
    const QColor leather = kBrown.darker(135);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(11.5, 3.5, 8, 6), 2, 2);
    ink.Stroke(handle, leather.darker(140), 2);
    ink.Fill(ink.Box(2, 7, 27, 18, 2.5), leather);
    ink.Line(3, 14.5, 28, 14.5, leather.darker(150));
    ink.Fill(ink.Box(13, 12, 5, 5, 1), kGold);
}

void Shirt(const Ink& ink) {  // 29: clothing
    ink.Fill(ink.Poly({{10.5, 2.5},
                       {13, 4.5},
                       {18, 4.5},
                       {20.5, 2.5},
                       {28.5, 7.5},
                       {25.5, 13.5},
                       {22, 11.5},
                       {22, 25.5},
                       {9, 25.5},
                       {9, 11.5},
                       {5.5, 13.5},
                       {2.5, 7.5}}),
             kBlue, kNavy);
    QPainterPath collar;
    collar.moveTo(12.5, 4);
    collar.quadTo(15.5, 8, 18.5, 4);
    ink.Stroke(collar, kNavy, 1);
}

void Lightning(const Ink& ink) {  // 30: electricity
    ink.Fill(
        ink.Poly({{19, 1.5}, {7, 15}, {14.5, 15}, {11, 25.5}, {24.5, 10}, {16.5, 10}, {21.5, 1.5}}),
        kYellow, kOrange.darker(150));
}

void Newspaper(const Ink& ink) {  // 31: subscriptions
    ink.Fill(ink.Box(3, 3, 25, 22, 1), kWhite, kSlate);
    ink.Flat(ink.Area(6, 6, 19, 3), kInk);
    ink.Fill(ink.Box(6, 11, 8, 8), kSky);
    for (const double y : {11.5, 14.5, 17.5})
        ink.Line(16, y, 25, y, kGrey);
    ink.Line(6, 21.5, 25, 21.5, kGrey);
}

}  // namespace

bool DrawAccountIcon16(const Ink& ink, int index) {
    static void (*const kIcons[])(const Ink&) = {
        Airplane, Train, Ship,    FuelPump, Parking,   Suitcase, Bed,       Map,
        Camera,   Music, Clapper, MoneyBag, Briefcase, Shirt,    Lightning, Newspaper,
    };
    if (index < 16 || index >= 32)
        return false;
    kIcons[index - 16](ink);
    return true;
}

}  // namespace tallowmere::bitmaps
