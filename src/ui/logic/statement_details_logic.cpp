#include "ui/logic/statement_details_logic.h"

#include <cstdint>
#include <string_view>

#include "model/account_header.h"
#include "ui/logic/amount_range.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringNoBeginning = 149;
constexpr int kStringNoEnding = 150;

// A balance reads as money only when all of it is money: "12a" would
// otherwise be taken as 12.00 and "abc" as 0.00.
bool Valid(const std::string& text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '$')
        digits.remove_prefix(1);
    const bool anyDigit = digits.find_first_of("0123456789") != std::string_view::npos;
    return anyDigit && IsNumericText(digits) && InAmountRange(ParseMoney(text));
}

}  // namespace

StatementDetailsForm OpenStatementDetails(const StatementDetailsValues& values) {
    StatementDetailsForm form;
    form.closingDate = values.closingDate;
    form.beginningBalance = values.beginningBalance;
    form.endingBalance = values.endingBalance;
    form.showCreditHint = values.accountType == kCreditCard || values.accountType == kLineOfCredit;
    switch (values.focusMode) {
        case 1:
            form.focusId = kStatementEnding;
            form.selectFocusText = true;
            break;
        case 2:
            form.endingBalance.clear();
            form.focusId = kStatementEnding;
            break;
        default:
            form.endingBalance.clear();
            form.focusId = kStatementClosingDate;
            break;
    }
    return form;
}

void PickClosingDay(StatementDetailsForm& form, PalmTime day) {
    const std::int64_t at =
        std::int64_t{PalmTimeDayBound(day, 1)} + form.closingDate % kSecondsPerDay;
    form.closingDate = at > kPalmTimeMax ? kPalmTimeMax : static_cast<PalmTime>(at);
}

OkResult AcceptStatementDetails(const StatementDetailsForm& form, Messages& messages,
                                StatementDetailsValues& values) {
    if (!Valid(form.beginningBalance)) {
        messages.Show(StringMessage(kStringNoBeginning));
        return OkResult::Stay(kStatementBeginning);
    }
    if (!Valid(form.endingBalance)) {
        messages.Show(StringMessage(kStringNoEnding));
        return OkResult::Stay(kStatementEnding);
    }
    values.beginningBalance = form.beginningBalance;
    values.endingBalance = form.endingBalance;
    values.closingDate = form.closingDate;
    return OkResult::Close();
}

}  // namespace tallowmere::ui
