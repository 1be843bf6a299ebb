#include "ui/transaction_dlg_runner.h"

#include "ui/list_editor_hooks.h"

namespace tallowmere::ui {

CTransactionDlgRunner::CTransactionDlgRunner(QWidget* parent, DataSetSource data,
                                             TransactionViewHost* host, MListEditorView* lists)
    : parent_(parent), data_(std::move(data)), host_(host), lists_(lists) {}

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
    CTransactionDlg dialog(*data, account, &t, recordMode, host_, ListEditorHooks(*data, lists_),
                           parent_.data());
    const int code = Services().RunDialog(dialog);
    return {code, !dialog.SaveFailed()};
}

}  // namespace tallowmere::ui
