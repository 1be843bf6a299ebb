// 162: the online progress animation, 8 frames of 34 x 34: a ring of eight
// beads around a download arrow, the bright bead a step further round in
// each frame, with a fading trail behind it.
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

constexpr int kSide = 34;
constexpr int kFrames = 8;

void Frame(QPainter& painter, int frame) {
    using namespace colour;
    const Ink ink(painter, 1.0);
    const double centre = kSide / 2.0;
    const double ring = 12.0;
    for (int bead = 0; bead < kFrames; ++bead) {
        // Bead 0 is at the top; the beads run clockwise.
        const double angle = bead * 2 * std::numbers::pi / kFrames;
        const double x = centre + ring * std::sin(angle);
        const double y = centre - ring * std::cos(angle);
        const int behind = (frame - bead + kFrames) % kFrames;
        if (behind == 0)
            ink.Fill(ink.Circle(x, y, 4.2), kBlue);
        else if (behind <= 3)
            ink.Fill(ink.Circle(x, y, 4.0 - 0.4 * behind), kSky.darker(100 + 10 * (3 - behind)));
        else
            ink.Fill(ink.Circle(x, y, 2.6), kSilver);
    }
    QPainterPath arrow;
    arrow.moveTo(centre, 10);
    arrow.lineTo(centre, 20.5);
    arrow.moveTo(centre - 4, 16.5);
    arrow.lineTo(centre, 20.8);
    arrow.lineTo(centre + 4, 16.5);
    ink.Stroke(arrow, kNavy, 2.6);
    ink.Line(centre - 5, 24.5, centre + 5, 24.5, kNavy, 1.8);
}

}  // namespace

QImage DrawOnlineProgressStrip() {
    return MakeStrip(kSide, kSide, kFrames, [](QPainter& painter, int index) {
        painter.setRenderHint(QPainter::Antialiasing);
        Frame(painter, index);
    });
}

}  // namespace tallowmere::bitmaps
