#pragma once
// The Reconcile page without its widgets: the statement details it starts
// from, what it draws, marking every row, and finishing with an adjustment
// for a difference the user accepts. Each step that changes the account
// saves it and shows a failed save.
#include <string>

#include "model/money.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/messages.h"
#include "ui/logic/statement_details_logic.h"

namespace tallowmere {
class CAccount;
}

namespace tallowmere::ui {

inline constexpr int kReconcileMarkAll = 5013;
inline constexpr int kReconcileUnmarkAll = 5014;
inline constexpr int kReconcileDone = 5022;

// What the statement dialog opens with: the account's type, and from its
// reconcile state the balances as money texts, the statement date and the
// focus mode (the state, 0 never, 1 under way, 2 reconciled before).
StatementDetailsValues ReconcileStatementValues(const CAccount& account);

// The dialog's OK: each value that differs from the account header's is
// written with its change bit (opening 0x10000, ending 0x20000, date
// 0x40000); when any did, the account is saved and a failure shown. 0 or
// the save's result.
int ApplyStatementDetails(CAccount& account, const StatementDetailsValues& values,
                          Messages& messages);

// Labels 235-238 with the statement date, the two statement balances and
// the difference; text 239 below them.
inline constexpr int kReconcileClosingDateLabel = 235;
inline constexpr int kReconcileBeginningLabel = 236;
inline constexpr int kReconcileEndingLabel = 237;
inline constexpr int kReconcileDifferenceLabel = 238;
inline constexpr int kReconcileInstructions = 239;
struct ReconcileTexts {
    std::string closingDate;  // UTF-8
    CellText beginning;
    CellText ending;
    CellText difference;
};
ReconcileTexts ReconcileDrawnTexts(const CAccount& account, const MoneyStyle& money);

// Marks (or unmarks) every unreconciled row, each changed one modified, and
// saves the account once when any changed; a failure is shown. 0 or the
// save's result.
int MarkAllReconcileRows(CAccount& account, bool mark, Messages& messages);

enum class FinishResult {
    kCancelled,  // the question was cancelled: nothing changed, stay
    kFinished,   // reconciled and saved: back to the Register page
    kFailed,     // the save failed and was shown; the account is as before
};

// "Done": with a difference, question 151 (Yes adds the adjustment, No goes
// on without, Cancel stays). Then the marked rows become reconciled and the
// account is saved; without a difference 181 follows. When that save fails
// it is shown and the account returns to what it was before Done, so the
// page and the file agree.
FinishResult FinishReconcile(CAccount& account, Messages& messages);

}  // namespace tallowmere::ui
