#pragma once
// "Budget Amount" (dialog 147): the monthly budget of one row of the budget
// page as a magnitude and a direction. A budget of 0 or less opens as a
// withdrawal; OK gives the magnitude, negated for a withdrawal.
#include <string>
#include <string_view>

#include "model/money.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere::ui {

inline constexpr int kBudgetPrompt = 1067;
inline constexpr int kBudgetAmount = 1006;
inline constexpr int kBudgetDeposit = 1070;
inline constexpr int kBudgetWithdrawal = 1071;

// The radio group's values.
inline constexpr int kDirectionNone = -1;
inline constexpr int kDirectionDeposit = 0;
inline constexpr int kDirectionWithdrawal = 1;

struct BudgetAmountForm {
    std::string prompt;  // UTF-8, the prompt filled with the row's label
    std::string amountText;
    int direction = kDirectionNone;
};

// label is the row's text as stored (Windows-1252): a category, payee or
// class name, which may hold a '%'.
BudgetAmountForm OpenBudgetAmount(std::string_view label, Cents budget);

// OK: an amount outside the dialogs' range is refused with 146; otherwise
// *amount gets the budget and the dialog closes.
OkResult AcceptBudgetAmount(const BudgetAmountForm& form, Messages& messages, Cents& amount);

}  // namespace tallowmere::ui
