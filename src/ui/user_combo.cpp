#include "ui/user_combo.h"

#include <QSignalBlocker>

#include "platform/text_1252.h"

namespace tallowmere::ui {

void QtUserCombo::ResetContent() {
    const QSignalBlocker blocker(box_);
    box_.clear();
}

int QtUserCombo::AddString(const std::string& text, CUserItem* user) {
    const QSignalBlocker blocker(box_);
    box_.addItem(QString::fromStdString(platform::Cp1252ToUtf8(text)),
                 QVariant::fromValue(static_cast<void*>(user)));
    return box_.count() - 1;
}

void QtUserCombo::SetCurSel(int index) {
    const QSignalBlocker blocker(box_);
    box_.setCurrentIndex(index);
}

CUserItem* SelectedUser(const QComboBox& box) {
    if (box.currentIndex() < 0)
        return nullptr;
    return static_cast<CUserItem*>(box.currentData().value<void*>());
}

}  // namespace tallowmere::ui
