#pragma once
// "Purge Transactions" (dialog 143): what to purge and, for the first
// choice, the day before which. Purge asks first and closes with 1 on Yes;
// No keeps the dialog. Cancel, Esc and the close box give 2.
#include <QDialog>

#include "ui/logic/purge_logic.h"
#include "ui/ui_services.h"

class QButtonGroup;
class QDateEdit;

namespace tallowmere::ui {

class CPurgeTransactionsDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPurgeTransactionsDlg)

  public:
    explicit CPurgeTransactionsDlg(QWidget* parent = nullptr);
    ~CPurgeTransactionsDlg() override;

    // Filled by a confirmed Purge.
    const PurgeValues& Values() const { return values_; }

    void accept() override;
    void reject() override;

  private:
    ServiceMessages messages_;
    PurgeValues values_;
    QButtonGroup* mode_;
    QDateEdit* date_;
};

// The view's Purge Transactions command: on 1 *values holds the kind and
// the date for the account's purge. The dialog's code.
int RunPurgeTransactionsDialog(QWidget* parent, PurgeValues& values);

}  // namespace tallowmere::ui
