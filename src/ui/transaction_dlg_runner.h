#pragma once
// The transaction dialog as the report-details and upcoming dialogs open
// it: over a parent, on the account the transaction belongs to or goes
// into, telling whether what it wrote reached its file, with its buttons
// opening the list editors. The caller holds the busy lock while it runs.
#include <QPointer>
#include <QWidget>

#include "ui/logic/data_set_source.h"
#include "ui/logic/transaction_dialog_runner.h"
#include "ui/transaction_dlg.h"

namespace tallowmere::ui {
class MListEditorView;
}

namespace tallowmere::ui {

class CTransactionDlgRunner final : public TransactionDialogRunner {
  public:
    // lists: where the editors' changes show beyond their own lists.
    CTransactionDlgRunner(QWidget* parent, DataSetSource data, TransactionViewHost* host = nullptr,
                          MListEditorView* lists = nullptr);

    TransactionDialogOutcome EditTransaction(CAccount& account, const CTransaction& t) override;
    TransactionDialogOutcome RecordTransaction(CAccount& account,
                                               const CTransaction& occurrence) override;

  private:
    TransactionDialogOutcome Run(CAccount& account, const CTransaction& t, bool recordMode);

    QPointer<QWidget> parent_;
    DataSetSource data_;
    TransactionViewHost* host_;
    MListEditorView* lists_;
};

}  // namespace tallowmere::ui
