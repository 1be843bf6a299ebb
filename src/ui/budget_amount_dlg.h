#pragma once
// "Budget Amount" (dialog 147): the monthly budget of a row of the budget
// page, as an amount and Deposit or Withdrawal. OK closes with 1 when the
// amount is in range; Cancel, Esc and the close box give 2.
#include <QDialog>
#include <string_view>

#include "ui/logic/budget_amount_logic.h"
#include "ui/ui_services.h"

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace tallowmere::ui {

class CBudgetAmountDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBudgetAmountDlg)

  public:
    // label: the row's text as stored (Windows-1252).
    CBudgetAmountDlg(std::string_view label, Cents budget, QWidget* parent = nullptr);
    ~CBudgetAmountDlg() override;

    // The budget OK gave.
    Cents GetAmount() const { return amount_; }

    void accept() override;
    void reject() override;

  private:
    void Push(const BudgetAmountForm& form);
    BudgetAmountForm Pull() const;

    ServiceMessages messages_;
    BudgetAmountForm form_;
    Cents amount_ = 0;
    QLabel* prompt_;
    QLineEdit* amountEdit_;
    QButtonGroup* direction_;
};

// The budget page's Set Budget Amount: budget in, the new budget out on OK.
// The dialog's code.
int RunBudgetAmountDialog(QWidget* parent, std::string_view label, Cents& budget);

}  // namespace tallowmere::ui
