#include "ui/account_icon_frame.h"

#include <QPainter>

#include "ui/icon_painter.h"

namespace tallowmere::ui {

AccountIconFrame::AccountIconFrame(const IconPainter& icons, QWidget* parent)
    : QFrame(parent), icons_(icons) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

AccountIconFrame::~AccountIconFrame() = default;

void AccountIconFrame::SetIconIndex(std::uint16_t index) {
    index_ = index;
    update();
}

QSize AccountIconFrame::sizeHint() const {
    // Room for the large strip's 31 x 27 icons.
    return {44, 40};
}

void AccountIconFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    icons_.DrawIcon(painter, contentsRect(), index_);
}

}  // namespace tallowmere::ui
