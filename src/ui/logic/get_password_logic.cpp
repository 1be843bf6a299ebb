#include "ui/logic/get_password_logic.h"

#include "ui/logic/wipe.h"

namespace tallowmere::ui {

void GetPasswordLogic::Open(CUserList::MCombo& combo) const {
    app_.Users().FillCombo(combo, user_);
}

DialogStep GetPasswordLogic::Ok(CUserItem* chosen, std::string password) {
    // A fixed user is the one the caller named, whatever the combo shows.
    if (fixed_)
        chosen = user_;
    const bool right = chosen != nullptr && app_.VerifyPassword(*chosen, password);
    if (right) {
        app_.SetCipherKey(password);
        user_ = chosen;
    }
    Wipe(password);
    if (right)
        return DialogStep::Close(1);
    messages_.Show(StringMessage(144));
    return DialogStep::Stay(kPasswordEdit, true);
}

}  // namespace tallowmere::ui
