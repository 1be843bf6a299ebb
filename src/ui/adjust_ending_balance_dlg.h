#pragma once
// "Adjust Ending Balance" (dialog 141): a new balance of the chosen kind for
// the account. Choosing another kind shows that balance. OK sets it (the
// account saves, a failure is shown) and closes with 1; Cancel, Esc and the
// close box give 2.
#include <QDialog>

#include "ui/logic/adjust_balance_logic.h"
#include "ui/ui_services.h"

class QComboBox;
class QLineEdit;

namespace tallowmere::ui {

class CAdjustEndingBalanceDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAdjustEndingBalanceDlg)

  public:
    CAdjustEndingBalanceDlg(CAccount& account, int balanceKind, QWidget* parent = nullptr);
    ~CAdjustEndingBalanceDlg() override;

    void accept() override;
    void reject() override;

  private:
    void Push();
    void KindChosen(int index);

    CAccount& account_;
    ServiceMessages messages_;
    AdjustBalanceForm form_;
    QLineEdit* amount_;
    QComboBox* kind_;
};

// The view's Adjust Ending Balance command with the read-out's balance kind;
// the dialog's code.
int RunAdjustEndingBalanceDialog(QWidget* parent, CAccount& account, int balanceKind);

}  // namespace tallowmere::ui
