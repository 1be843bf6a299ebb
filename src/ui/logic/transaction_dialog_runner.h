#pragma once
// How the report-details and upcoming dialogs open the transaction dialog:
// on a transaction of its own account, or in record mode on a new
// occurrence for the scheduled item's account. The program runs the real
// dialog inside the busy lock; tests script the outcome.
namespace tallowmere {
class CAccount;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// The dialog's result besides OK (1) and Cancel (2): the transaction was
// deleted or purged.
inline constexpr int kTransactionDialogGone = 101;

struct TransactionDialogOutcome {
    int code = 2;
    // On OK: every write went through (true for an OK that changed nothing).
    // A failed save was shown by the dialog; the caller builds nothing on it.
    bool saved = false;
};

class TransactionDialogRunner {
  public:
    virtual ~TransactionDialogRunner() = default;
    // Edits t, a transaction of account.
    virtual TransactionDialogOutcome EditTransaction(CAccount& account, const CTransaction& t) = 0;
    // Record mode: on OK the occurrence is added to account as a new
    // transaction.
    virtual TransactionDialogOutcome RecordTransaction(CAccount& account,
                                                       const CTransaction& occurrence) = 0;
};

}  // namespace tallowmere::ui
