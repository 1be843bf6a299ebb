#include "ui/view_pane_header.h"

#include <QPainter>

#include "ui/owner_header_ctrl.h"

namespace tallowmere::ui {

ViewPaneHeader::ViewPaneHeader(QWidget* parent) : QWidget(parent) {}

ViewPaneHeader::~ViewPaneHeader() = default;

void ViewPaneHeader::SetText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

void ViewPaneHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    PaintHeaderSection(painter, QRect(0, 0, width() + 10, height()), text_, -1, -1, nullptr);
}

}  // namespace tallowmere::ui
