#pragma once
// Setting, changing or removing a user's password: dialog 173 asks for the
// old password in edit 1041, dialog 182 (a user without a password) does
// not; both take the new password (1042) and its confirmation (1043). OK
// checks, in this order, that the two match (141), that the old one is
// right (142) and that the new one is acceptable (143), then changes the
// password; the first failure shows its message and the dialog stays open.
#include <string>
#include <string_view>

#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"
#include "ui/logic/password_app.h"

namespace tallowmere::ui {

// Windows-1252 texts, wiped once OK has used them.
struct SetPasswordForm {
    std::string oldPassword;
    std::string newPassword;
    std::string confirmPassword;
};

// Empty (no password), or at least 2 characters of which at least one
// differs from the first.
bool IsAcceptableNewPassword(std::string_view password);

class SetPasswordLogic {
  public:
    static constexpr int kDialogWithOldPassword = 173;
    static constexpr int kDialogWithoutOldPassword = 182;
    static constexpr int kOldPasswordLabel = 1044;
    static constexpr int kOldPasswordEdit = 1041;
    static constexpr int kNewPasswordEdit = 1042;
    static constexpr int kConfirmPasswordEdit = 1043;
    static constexpr int kMaxPasswordLength = 32;

    // dataSet: the user's loaded data, which takes the new key (may be null).
    SetPasswordLogic(MPasswordApp& app, Messages& messages, CAccounts* dataSet)
        : app_(app), messages_(messages), dataSet_(dataSet) {}

    // Before opening; gives whether the user has a password.
    bool BindUser(CUserItem& user);
    bool HasPassword() const { return hasPassword_; }
    int DialogId() const {
        return hasPassword_ ? kDialogWithOldPassword : kDialogWithoutOldPassword;
    }

    DialogStep Ok(SetPasswordForm form);

  private:
    DialogStep Refuse(int stringId, int focusId);

    MPasswordApp& app_;
    Messages& messages_;
    CAccounts* dataSet_;
    CUserItem* user_ = nullptr;
    bool hasPassword_ = false;
};

}  // namespace tallowmere::ui
