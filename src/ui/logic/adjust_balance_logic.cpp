#include "ui/logic/adjust_balance_logic.h"

#include "model/account.h"
#include "ui/logic/amount_range.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringBadAmount = 146;

int OfferedKind(int kind) {
    return kind == 1 ? 1 : 0;
}

}  // namespace

AdjustBalanceForm OpenAdjustBalance(const CAccount& account, int kind) {
    AdjustBalanceForm form;
    form.kind = OfferedKind(kind);
    form.amountText = FormatMoney(account.GetBalance(form.kind), kMoneyFull);
    return form;
}

void ChangeBalanceKind(const CAccount& account, AdjustBalanceForm& form, int kind) {
    kind = OfferedKind(kind);
    if (kind == form.kind)
        return;
    form.kind = kind;
    form.amountText = FormatMoney(account.GetBalance(kind), kMoneyFull);
}

OkResult AcceptAdjustBalance(CAccount& account, const AdjustBalanceForm& form, Messages& messages) {
    const Cents amount = ParseMoney(form.amountText);
    if (!InAmountRange(amount)) {
        messages.Show(StringMessage(kStringBadAmount));
        return OkResult::Stay(kAdjustAmount);
    }
    if (const int r = account.SetBalance(OfferedKind(form.kind), amount); r != 0)
        ShowFileErrorMessage(messages, r);
    return OkResult::Close();
}

}  // namespace tallowmere::ui
