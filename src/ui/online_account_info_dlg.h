#pragma once
// "Edit Account" (dialog 158): the bank account typed in by hand when the
// bank reported none: its type among those a bank serves (1020), its
// number (1106) and its routing number (1107).
#include <QDialog>

#include "ui/logic/online_account_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QLineEdit;

namespace tallowmere::ui {

class COnlineAccountInfoDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineAccountInfoDlg)

  public:
    COnlineAccountInfoDlg(const CAccounts& data, const BankAccountIds& ids,
                          QWidget* parent = nullptr);
    ~COnlineAccountInfoDlg() override;

    const BankAccountIds& Values() const { return values_; }

    void accept() override;
    void reject() override;

  private:
    const CAccounts& data_;
    BankAccountIds opened_;
    BankAccountIds values_;
    ServiceMessages messages_;
    QComboBox* type_;
    QLineEdit* number_;
    QLineEdit* routing_;
};

}  // namespace tallowmere::ui
