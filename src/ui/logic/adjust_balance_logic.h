#pragma once
// "Adjust Ending Balance" (dialog 141): the amount text and the kind of
// balance it replaces, 0 the current balance, 1 the cleared one. OK sets
// that balance, which moves the opening balance and saves the account.
#include <array>
#include <string>

#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere {
class CAccount;
}

namespace tallowmere::ui {

inline constexpr int kAdjustAmount = 1006;
inline constexpr int kAdjustKind = 1060;
// The edit takes at most this many characters as typed.
inline constexpr int kAdjustAmountChars = 15;
// The kind combo's entries, in this order: "Balance", "Cleared".
inline constexpr std::array<int, 2> kBalanceKindEntries = {3411, 3412};

struct AdjustBalanceForm {
    int kind = 0;  // the combo's index
    std::string amountText;
};

// The balance of the kind, formatted in full. A kind the combo does not
// offer (the online balance, 2, which the view's read-out may show) opens
// as the current balance.
AdjustBalanceForm OpenAdjustBalance(const CAccount& account, int kind);

// The user chose another kind: the text becomes that balance.
void ChangeBalanceKind(const CAccount& account, AdjustBalanceForm& form, int kind);

// OK: an amount outside the dialogs' range is refused with 146; otherwise
// the balance is set and a failed save shown, and the dialog closes.
OkResult AcceptAdjustBalance(CAccount& account, const AdjustBalanceForm& form, Messages& messages);

}  // namespace tallowmere::ui
