#include "ui/transaction_dlg_runner.h"

namespace tallowmere::ui {

CTransactionDlgRunner::CTransactionDlgRunner(QWidget* parent, DataSetSource data,
                                             TransactionViewHost* host, TransactionEditors editors)
    : parent_(parent), data_(std::move(data)), host_(host), editors_(std::move(editors)) {}

TransactionDialogOutcome CTransactionDlgRunner::EditTransaction(CAccount& account,
                                                                const CTransaction& t) {
    return Run(account, t, false);
}

TransactionDialogOutcome CTransactionDlgRunner::RecordTransaction(CAccount& account,
                                                                  const CTransaction& occurrence) {
    return Run(account, occurrence, true);
}

TransactionDialogOutcome CTransactionDlgRunner::Run(CAccount& account, const CTransaction& t,
                                                    bool recordMode) {
    CAccounts* data = data_ ? data_() : nullptr;
    if (data == nullptr)
        return {};
    CTransactionDlg dialog(*data, account, &t, recordMode, host_, editors_, parent_.data());
    const int code = Services().RunDialog(dialog);
    return {code, !dialog.SaveFailed()};
}

}  // namespace tallowmere::ui
