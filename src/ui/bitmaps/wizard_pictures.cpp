// 218-221: the pictures of the setup wizard. The first three stand beside
// the three things to check before the first sync (the app running on the
// phone, the phone on Wi-Fi, this computer on the same network); the fourth
// is the phone's sync screen that the second page walks through.
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRectF>
#include <algorithm>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

namespace tallowmere::bitmaps {

namespace {

using namespace colour;

const QColor kCase(54, 60, 70);
const QColor kGlass(236, 242, 248);
const QColor kScreenBlue(30, 84, 140);

// A phone standing upright; returns its screen.
QRectF Phone(const Ink& ink, double x, double y, double w, double h) {
    QPainter& p = ink.Painter();
    const double radius = w * 0.17;
    const QPainterPath body = ink.Box(x, y, w, h, radius);
    QLinearGradient metal(x, y, x + w, y);
    metal.setColorAt(0, kCase.lighter(135));
    metal.setColorAt(0.5, kCase);
    metal.setColorAt(1, kCase.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawPath(body);
    ink.Outline(body, kCase.darker(170));
    const double side = std::max(2.0, w * 0.07);
    const double top = std::max(5.0, h * 0.09);
    const QRectF screen(x + side, y + top, w - 2 * side, h - 2 * top);
    ink.Flat(ink.Area(screen.x(), screen.y(), screen.width(), screen.height()), kGlass);
    // The earpiece above the screen and the home bar below it.
    ink.Line(x + w * 0.38, y + top / 2, x + w * 0.62, y + top / 2, kGrey, std::max(1.0, h / 80));
    ink.Line(x + w * 0.4, y + h - top / 2, x + w * 0.6, y + h - top / 2, kSilver,
             std::max(1.0, h / 80));
    return screen;
}

// The program's own tile (the sun over the mere), as on its icon.
void AppTile(QPainter& p, const QRectF& where) {
    p.drawImage(where, DrawProgramIcon(48));
}

// The Wi-Fi sign: a dot and three arcs opening upwards, centred on the dot.
void WifiSign(const Ink& ink, double cx, double cy, double size, const QColor& colour) {
    const double step = size / 3;
    for (int i = 1; i <= 3; ++i) {
        const double r = step * i;
        QPainterPath arc;
        arc.arcMoveTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 45);
        arc.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), 45, 90);
        ink.Stroke(arc, colour, size / 7);
    }
    QPainterPath dot;
    dot.addEllipse(QPointF(cx, cy), size / 8, size / 8);
    ink.Flat(ink.Map(dot), colour);
}

// A few lines of a list on a screen.
void ListRows(const Ink& ink, const QRectF& area, int rows, double pitch) {
    for (int i = 0; i < rows; ++i) {
        const double y = area.y() + i * pitch;
        ink.Flat(ink.Area(area.x(), y, pitch * 0.55, pitch * 0.55), kSky);
        ink.Line(area.x() + pitch * 0.8, y + pitch * 0.28, area.right() - (i % 2) * pitch,
                 y + pitch * 0.28, kSilver, pitch * 0.22);
    }
}

// A desktop monitor on its stand; returns its screen.
QRectF Monitor(const Ink& ink, double x, double y, double w, double h) {
    const double standTop = y + h * 0.78;
    ink.Fill(ink.Poly({{x + w * 0.42, standTop},
                       {x + w * 0.58, standTop},
                       {x + w * 0.62, y + h - 2},
                       {x + w * 0.38, y + h - 2}}),
             kGrey, kSlate);
    ink.Fill(ink.Box(x + w * 0.26, y + h - 3, w * 0.48, 3, 1), kSilver, kSlate);
    ink.Fill(ink.Box(x, y, w, h * 0.8, 2.5), kCase, kCase.darker(170));
    const QRectF screen(x + 2.5, y + 2.5, w - 5, h * 0.8 - 5);
    QLinearGradient glow(screen.topLeft(), screen.bottomLeft());
    glow.setColorAt(0, kScreenBlue.lighter(140));
    glow.setColorAt(1, kScreenBlue);
    ink.Painter().setPen(Qt::NoPen);
    ink.Painter().setBrush(glow);
    ink.Painter().drawRect(screen);
    return screen;
}

// A Wi-Fi router with its antennas and lights.
void Router(const Ink& ink, double x, double y, double w, double h) {
    ink.Line(x + w * 0.2, y, x + w * 0.12, y - h * 0.9, kSlate, 1.4);
    ink.Line(x + w * 0.8, y, x + w * 0.88, y - h * 0.9, kSlate, 1.4);
    ink.Fill(ink.Box(x, y, w, h, 2), kSilver, kSlate);
    for (int i = 0; i < 3; ++i)
        ink.Flat(ink.Area(x + w * 0.22 + i * w * 0.2, y + h * 0.45, 2, 2), i == 0 ? kGreen : kLeaf);
}

}  // namespace

QImage DrawWizardPicture218() {
    QImage image = NewImage(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Ink ink(p, 1);
    const QRectF screen = Phone(ink, 17, 2, 30, 60);
    // The app on screen: its title band, its tile and its register.
    ink.Flat(ink.Area(screen.x(), screen.y(), screen.width(), 6), kScreenBlue);
    AppTile(p, QRectF(screen.center().x() - 8, screen.y() + 9, 16, 16));
    ListRows(ink, QRectF(screen.x() + 2.5, screen.y() + 29, screen.width() - 5, 18), 4, 4.5);
    return image;
}

QImage DrawWizardPicture219() {
    QImage image = NewImage(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Ink ink(p, 1);
    const QRectF screen = Phone(ink, 6, 6, 28, 56);
    ink.Flat(ink.Area(screen.x(), screen.y(), screen.width(), 6), kScreenBlue);
    WifiSign(ink, screen.center().x(), screen.y() + 30, 12, kBlue);
    ListRows(ink, QRectF(screen.x() + 2.5, screen.y() + 34, screen.width() - 5, 8), 2, 4.5);
    // The network's waves reaching the phone.
    WifiSign(ink, 48, 30, 16, kBlue);
    return image;
}

QImage DrawWizardPicture220() {
    QImage image = NewImage(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Ink ink(p, 1);
    const QRectF screen = Monitor(ink, 1, 4, 44, 40);
    // The program's window on the computer's screen.
    ink.Fill(ink.Box(screen.x() + 4, screen.y() + 3, screen.width() - 8, screen.height() - 6, 1),
             kWhite, kNavy);
    ink.Flat(ink.Area(screen.x() + 4.5, screen.y() + 3.5, screen.width() - 9, 3), kNavy);
    AppTile(p, QRectF(screen.x() + 7, screen.y() + 9, 10, 10));
    ListRows(ink, QRectF(screen.x() + 19, screen.y() + 9, screen.width() - 25, 10), 3, 3.5);
    // The same network, by cable or by air.
    QPainterPath cable;
    cable.moveTo(30, 44);
    cable.cubicTo(30, 57, 36, 57.5, 44, 57.5);
    ink.Stroke(cable, kSlate, 1.2);
    Router(ink, 43, 53, 20, 9);
    WifiSign(ink, 54, 40, 11, kBlue);
    return image;
}

QImage DrawWizardPicture221() {
    constexpr int kWidth = 150;
    constexpr int kHeight = 240;
    QImage image = NewImage(kWidth, kHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Ink ink(p, 1);
    const QRectF screen = Phone(ink, 10, 2, 130, 236);
    const double left = screen.x();
    const double width = screen.width();

    // The title band of the sync screen.
    ink.Flat(ink.Area(left, screen.y(), width, 26), kScreenBlue);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(12);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kWhite);
    p.drawText(QRectF(left + 8, screen.y(), width - 16, 26), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Synchronize"));

    // The desktops found on the network, the first one chosen.
    double y = screen.y() + 34;
    for (int i = 0; i < 2; ++i) {
        const QRectF row(left + 6, y, width - 12, 24);
        if (i == 0)
            ink.Fill(ink.Box(row.x(), row.y(), row.width(), row.height(), 3), kSky.lighter(130),
                     kBlue);
        const QRectF glyph = Monitor(ink, row.x() + 5, row.y() + 4, 18, 16);
        ink.Flat(ink.Area(glyph.x() + 2, glyph.y() + 2, glyph.width() - 4, 2), kWhite);
        ink.Line(row.x() + 29, row.y() + 9, row.right() - 10 - i * 14, row.y() + 9,
                 i == 0 ? kNavy : kGrey, 2);
        ink.Line(row.x() + 29, row.y() + 15.5, row.right() - 30, row.y() + 15.5, kSilver, 1.5);
        y += 28;
    }

    // Or the desktop's address, typed in.
    y += 6;
    ink.Line(left + 8, y, left + 58, y, kGrey, 1.5);
    y += 7;
    ink.Fill(ink.Box(left + 6, y, width - 12, 22, 3), kWhite, kGrey);
    QFont field(QStringLiteral("DejaVu Sans Mono"));
    field.setPixelSize(11);
    p.setFont(field);
    p.setPen(kInk);
    p.drawText(QRectF(left + 12, y, width - 24, 22), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("192.168.1.5"));

    // The button that starts it.
    const QRectF button(left + 10, screen.bottom() - 44, width - 20, 30);
    const QPainterPath face = ink.Box(button.x(), button.y(), button.width(), button.height(), 6);
    ink.Fill(face, kGreen);
    QFont label(QStringLiteral("DejaVu Sans"));
    label.setPixelSize(12);
    label.setBold(true);
    p.setFont(label);
    p.setPen(kWhite);
    p.drawText(button, Qt::AlignCenter, QStringLiteral("Start Sync"));
    return image;
}

}  // namespace tallowmere::bitmaps
