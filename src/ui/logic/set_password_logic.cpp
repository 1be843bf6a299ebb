#include "ui/logic/set_password_logic.h"

#include "ui/logic/wipe.h"

namespace tallowmere::ui {

bool IsAcceptableNewPassword(std::string_view password) {
    if (password.empty())
        return true;
    return password.size() >= 2 && password.find_first_not_of(password[0]) != password.npos;
}

bool SetPasswordLogic::BindUser(CUserItem& user) {
    user_ = &user;
    hasPassword_ = app_.UserHasPassword(user);
    return hasPassword_;
}

DialogStep SetPasswordLogic::Ok(SetPasswordForm form) {
    DialogStep step;
    if (user_ == nullptr) {
        step = DialogStep::Close(2);
    } else if (form.newPassword != form.confirmPassword) {
        step = Refuse(141, kNewPasswordEdit);
    } else if (hasPassword_ && !app_.VerifyPassword(*user_, form.oldPassword)) {
        step = Refuse(142, kOldPasswordEdit);
    } else if (!IsAcceptableNewPassword(form.newPassword)) {
        step = Refuse(143, kNewPasswordEdit);
    } else if (app_.ChangePassword(*user_, form.newPassword, dataSet_, messages_) != 0) {
        // The change said why; nothing was changed.
        step = DialogStep::Stay(kNewPasswordEdit, true);
    } else {
        step = DialogStep::Close(1);
    }
    Wipe(form.oldPassword);
    Wipe(form.newPassword);
    Wipe(form.confirmPassword);
    return step;
}

DialogStep SetPasswordLogic::Refuse(int stringId, int focusId) {
    messages_.Show(StringMessage(stringId));
    return DialogStep::Stay(focusId, true);
}

}  // namespace tallowmere::ui
