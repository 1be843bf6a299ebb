#pragma once
// The password prompt (dialog 174): the user to sign in as, chosen in combo
// 1043 unless the caller fixes it, and the password in edit 1042. OK keys
// the data cipher with a right password and closes; a wrong one says so
// (string 144) and stays open with the password selected.
#include <cstddef>
#include <string>

#include "model/users.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"
#include "ui/logic/password_app.h"

namespace tallowmere::ui {

class GetPasswordLogic {
  public:
    static constexpr int kDialogId = 174;
    static constexpr int kUserCombo = 1043;
    static constexpr int kPasswordEdit = 1042;
    static constexpr int kMaxPasswordLength = 32;

    GetPasswordLogic(MPasswordApp& app, Messages& messages) : app_(app), messages_(messages) {}

    // Before opening: the user to preselect, and whether only that one may
    // be chosen.
    void SetUser(CUserItem* user) { user_ = user; }
    void SetUserFixed(bool fixed) { fixed_ = fixed; }

    // Fills the combo with the application's users, the preselected one
    // selected.
    void Open(CUserList::MCombo& combo) const;
    bool UserComboEnabled() const { return !fixed_; }

    // chosen: the selected combo entry's user (null: none); password in
    // Windows-1252, wiped here.
    DialogStep Ok(CUserItem* chosen, std::string password);

    // After OK: the user whose password was right.
    CUserItem* GetUser() const { return user_; }

  private:
    MPasswordApp& app_;
    Messages& messages_;
    CUserItem* user_ = nullptr;
    bool fixed_ = false;
};

}  // namespace tallowmere::ui
