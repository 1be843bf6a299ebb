#pragma once
// "Transfer Funds" (dialog 140): day, From, Amount, To and Cleared. OK
// closes with 1 only for two different accounts and an amount in range;
// Cancel, Esc and the close box give 2. The dialog changes nothing; the
// caller books the transfer with the values.
#include <QDialog>

#include "ui/logic/transfer_logic.h"
#include "ui/ui_services.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace tallowmere::ui {

class CTransferDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransferDlg)

  public:
    CTransferDlg(CAccounts& data, const CAccount* current, QWidget* parent = nullptr);
    ~CTransferDlg() override;

    // Filled by OK.
    const TransferValues& Values() const { return values_; }

    void accept() override;
    void reject() override;

  private:
    void Push(const TransferForm& form);
    TransferForm Pull() const;

    CAccounts& data_;
    ServiceMessages messages_;
    TransferForm form_;
    TransferValues values_;
    QDateEdit* date_;
    QComboBox* from_;
    QLineEdit* amount_;
    QComboBox* to_;
    QCheckBox* cleared_;
};

struct TransferOutcome {
    int code = 2;    // the dialog's
    int result = 0;  // the booking's, after OK; a failure was shown
    TransferValues values;
    CTransaction* created = nullptr;  // the side in current, if either
};

// The view's transfer command: runs the dialog over parent through the UI
// services and on OK books the transfer, showing a failed save.
TransferOutcome RunTransferDialog(QWidget* parent, CAccounts& data, CAccount* current);

}  // namespace tallowmere::ui
