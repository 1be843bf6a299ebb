#pragma once
// "Statement Details" (dialog 148): the closing date and the beginning and
// ending balances of a bank statement. Continue closes with 1 when both
// balances are given; Cancel, Esc and the close box give 2.
#include <QDialog>

#include "ui/logic/statement_details_logic.h"
#include "ui/ui_services.h"

class QDateEdit;
class QLabel;
class QLineEdit;

namespace tallowmere::ui {

class CStatementDetailsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CStatementDetailsDlg)

  public:
    explicit CStatementDetailsDlg(const StatementDetailsValues& values, QWidget* parent = nullptr);
    ~CStatementDetailsDlg() override;

    // Taken over from the controls by Continue.
    const StatementDetailsValues& Values() const { return values_; }

    void accept() override;
    void reject() override;

  private:
    ServiceMessages messages_;
    StatementDetailsValues values_;
    StatementDetailsForm form_;
    QDateEdit* date_;
    QLineEdit* beginning_;
    QLineEdit* ending_;
    QLabel* creditHint_;
};

// The view's start of a reconcile: values in (the reconcile state's balances
// as money text, its date and its mode as the focus mode), the chosen ones
// out on 1. The dialog's code.
int RunStatementDetailsDialog(QWidget* parent, StatementDetailsValues& values);

}  // namespace tallowmere::ui
