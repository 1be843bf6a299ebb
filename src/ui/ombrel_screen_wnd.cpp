#include "ui/ombrel_screen_wnd.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <utility>

#include "ui/bitmaps.h"

namespace tallowmere::ui {

COmbrelScreenWnd::COmbrelScreenWnd() : COmbrelScreenWnd(QPixmap::fromImage(Bitmap(146))) {}

COmbrelScreenWnd::COmbrelScreenWnd(QPixmap picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(std::move(picture)) {
    setObjectName(QStringLiteral("id_1588"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

COmbrelScreenWnd::~COmbrelScreenWnd() = default;

bool COmbrelScreenWnd::Show() {
    if (picture_.isNull())
        return false;
    const QSize size = picture_.deviceIndependentSize().toSize();
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size,
                                        screen->availableGeometry()));
    show();
    repaint();
    return true;
}

void COmbrelScreenWnd::Close() {
    close();
}

void COmbrelScreenWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

}  // namespace tallowmere::ui
