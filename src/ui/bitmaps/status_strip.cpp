// 164: the marks of the status column (open, cleared, reconciled, void,
// downloaded and waiting for review; on the Reconcile page unmarked and
// marked) and the two sort arrows of the list headers.
#include <QPainterPath>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;
constexpr int kCount = 10;

QPainterPath Tick(double x, double y) {
    QPainterPath tick;
    tick.moveTo(x, y + 3.2);
    tick.lineTo(x + 2.6, y + 5.8);
    tick.lineTo(x + 7.2, y);
    return tick;
}

void Mark(const Ink& ink, int index) {
    using namespace colour;
    const QPainterPath box = ink.Box(2, 2, 12, 12, 2);
    switch (index) {
        case 1:  // open; unmarked while reconciling
            ink.Fill(box, kWhite, kGrey);
            break;
        case 2:  // cleared; marked while reconciling
            ink.Fill(box, kWhite, kGrey);
            ink.Stroke(Tick(4.4, 4.6), kGreen.darker(115), 2);
            break;
        case 4:  // reconciled
            ink.Fill(box, kGreen);
            ink.Stroke(Tick(4.4, 4.6), kWhite, 2);
            break;
        case 5: {  // void
            ink.Fill(box, kWhite, kGrey);
            QPainterPath cross;
            cross.moveTo(5, 5);
            cross.lineTo(11, 11);
            cross.moveTo(11, 5);
            cross.lineTo(5, 11);
            ink.Stroke(cross, kRed, 2);
            break;
        }
        case 6: {  // downloaded, waiting for review
            ink.Fill(ink.Circle(8, 8, 6.5), kBlue);
            QPainterPath arrow;
            arrow.moveTo(8, 4.2);
            arrow.lineTo(8, 11);
            arrow.moveTo(5.2, 8.4);
            arrow.lineTo(8, 11.2);
            arrow.lineTo(10.8, 8.4);
            ink.Stroke(arrow, kWhite, 1.7);
            break;
        }
        case 8:  // sorted ascending
            ink.Flat(ink.Poly({{4, 10}, {12, 10}, {8, 5}}), kSlate);
            break;
        case 9:  // sorted descending
            ink.Flat(ink.Poly({{4, 5}, {12, 5}, {8, 10}}), kSlate);
            break;
        default:  // 0, 3 and 7 are not used
            break;
    }
}

}  // namespace

QImage DrawStatusStrip() {
    return MakeStrip(kWidth, kHeight, kCount, [](QPainter& painter, int index) {
        const Ink ink(painter, 1.0);
        Mark(ink, index);
    });
}

}  // namespace tallowmere::bitmaps
