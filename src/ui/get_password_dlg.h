#pragma once
// The password prompt (dialog 174), at start-up and when switching users: a
// user combo (1043), disabled when the user is fixed, and a masked password
// edit (1042). OK closes with 1 only for a right password, which keys the
// data cipher; Esc and Cancel give 2.
#include <QDialog>

#include "ui/logic/get_password_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QLineEdit;

namespace tallowmere::ui {

class CGetPasswordDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CGetPasswordDlg)

  public:
    // user: the one preselected; fixed: only that one may be chosen.
    CGetPasswordDlg(MPasswordApp& app, CUserItem* user, bool fixed, QWidget* parent = nullptr);
    ~CGetPasswordDlg() override;

    // After OK: the user whose password was right.
    CUserItem* GetUser() const { return logic_.GetUser(); }

    void accept() override;
    void reject() override;
    void done(int result) override;

  private:
    ServiceMessages messages_;
    GetPasswordLogic logic_;
    QComboBox* users_ = nullptr;
    QLineEdit* password_ = nullptr;
};

}  // namespace tallowmere::ui
