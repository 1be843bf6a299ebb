#include "ui/logic/budget_amount_logic.h"

#include "model/window_text.h"
#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringBadAmount = 146;
constexpr char kPromptTemplate[] = "Enter the monthly budget amount for %s.";

}  // namespace

BudgetAmountForm OpenBudgetAmount(std::string_view label, Cents budget) {
    BudgetAmountForm form;
    form.prompt = FormatWindowText(kPromptTemplate, platform::Cp1252ToUtf8(label));
    form.direction = budget > 0 ? kDirectionDeposit : kDirectionWithdrawal;
    form.amountText = FormatMoney(budget > 0 ? budget : SaturatingNegate(budget), kMoneyFull);
    return form;
}

OkResult AcceptBudgetAmount(const BudgetAmountForm& form, Messages& messages, Cents& amount) {
    const Cents parsed = ParseMoney(form.amountText);
    if (!InAmountRange(parsed)) {
        messages.Show(StringMessage(kStringBadAmount));
        return OkResult::Stay(kBudgetAmount);
    }
    amount = form.direction == kDirectionWithdrawal ? -parsed : parsed;
    return OkResult::Close();
}

}  // namespace tallowmere::ui
