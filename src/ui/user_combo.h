#pragma once
// A combo box of users, filled by the user list: each entry shows a user's
// name and carries the user.
#include <QComboBox>
#include <string>

#include "model/users.h"

namespace tallowmere::ui {

class QtUserCombo final : public CUserList::MCombo {
  public:
    explicit QtUserCombo(QComboBox& box) : box_(box) {}
    void ResetContent() override;
    int AddString(const std::string& text, CUserItem* user) override;
    void SetCurSel(int index) override;

  private:
    QComboBox& box_;
};

// The user of the combo's current entry; null when none is selected.
CUserItem* SelectedUser(const QComboBox& box);

}  // namespace tallowmere::ui
