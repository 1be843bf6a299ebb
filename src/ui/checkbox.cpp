#include "ui/checkbox.h"

#include <QPalette>

namespace tallowmere::ui {

CCheckbox::CCheckbox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

CCheckbox::~CCheckbox() = default;

void CCheckbox::SetBackgroundColor(const QColor& colour) {
    // A button's roles are Button and ButtonText; these two colours are the
    // control's own, the indicator keeps the style's.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    colours.setColor(QPalette::WindowText, textColour_);
    setPalette(colours);
    setAutoFillBackground(true);
    update();
}

}  // namespace tallowmere::ui
