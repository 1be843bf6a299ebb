#include "ui/icon_list_button.h"

#include <QPainter>

#include "ui/icon_list.h"

namespace tallowmere::ui {

CIconListButton::CIconListButton(QWidget* parent) : QAbstractButton(parent) {}

CIconListButton::~CIconListButton() = default;

void CIconListButton::SetIconList(int strip) {
    strip_ = strip;
    updateGeometry();
    update();
}

void CIconListButton::SetImages(int normal, int pressed) {
    normal_ = normal;
    pressed_ = pressed;
    update();
}

QSize CIconListButton::sizeHint() const {
    const CIconList* list = SharedIconList(strip_);
    if (list == nullptr || list->ImageWidth() <= 0)
        return QAbstractButton::sizeHint();
    return {list->ImageWidth(), list->ImageHeight()};
}

void CIconListButton::paintEvent(QPaintEvent*) {
    // A disabled button keeps its image: the face is all there is to draw.
    const CIconList* list = SharedIconList(strip_);
    if (list == nullptr)
        return;
    QPainter painter(this);
    list->Draw(painter, isDown() ? pressed_ : normal_, rect());
}

}  // namespace tallowmere::ui
