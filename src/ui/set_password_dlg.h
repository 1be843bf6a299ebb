#pragma once
// Setting, changing or removing the user's password: dialog 173 with the old
// password (1041), or 182 for a user without one, where it is not asked;
// then the new password (1042) and its confirmation (1043), all masked. OK
// closes with 1 once the password is changed; Esc and Cancel give 2.
#include <QDialog>

#include "ui/logic/set_password_logic.h"
#include "ui/ui_services.h"

class QLabel;
class QLineEdit;

namespace tallowmere::ui {

class CSetPasswordDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetPasswordDlg)

  public:
    // dataSet: the user's loaded data, which takes the new key (may be null).
    CSetPasswordDlg(MPasswordApp& app, CUserItem& user, CAccounts* dataSet,
                    QWidget* parent = nullptr);
    ~CSetPasswordDlg() override;

    bool HasPassword() const { return logic_.HasPassword(); }

    void accept() override;
    void reject() override;
    void done(int result) override;

  private:
    QLineEdit* Edit(int id) const;

    ServiceMessages messages_;
    SetPasswordLogic logic_;
    QLineEdit* old_ = nullptr;
    QLineEdit* new_ = nullptr;
    QLineEdit* confirm_ = nullptr;
};

}  // namespace tallowmere::ui
