#pragma once
// "Statement Details" (dialog 148): the closing date and the beginning and
// ending balances of the bank statement a reconcile starts from. The caller
// gives the values and the focus mode (the account's reconcile state: 0
// never reconciled, 1 a reconcile under way, 2 reconciled before) and reads
// the values back after OK; it parses the balance texts itself.
#include <cstdint>
#include <string>

#include "model/palm_time.h"
#include "ui/logic/messages.h"
#include "ui/logic/ok_result.h"

namespace tallowmere::ui {

inline constexpr int kStatementClosingDate = 1073;
inline constexpr int kStatementBeginning = 1015;
inline constexpr int kStatementEnding = 1072;
inline constexpr int kStatementCreditHint = 1151;

struct StatementDetailsValues {
    std::uint8_t accountType = 0;
    PalmTime closingDate = 0;
    std::string beginningBalance;  // money texts, as shown and typed
    std::string endingBalance;
    int focusMode = 0;
};

struct StatementDetailsForm {
    PalmTime closingDate = 0;  // the picker shows its day
    std::string beginningBalance;
    std::string endingBalance;
    bool showCreditHint = false;
    int focusId = kStatementClosingDate;
    bool selectFocusText = false;
};

// Mode 0 empties the ending balance and focuses the date; mode 1 focuses
// the ending balance with its text selected; mode 2 empties it and focuses
// it. Any other mode acts as 0. The hint that credit balances are negative
// shows for credit cards (3) and lines of credit (7) only.
StatementDetailsForm OpenStatementDetails(const StatementDetailsValues& values);

// The picker's day: the closing date keeps the time of day it had (the
// last day of the date range ends at its last second).
void PickClosingDay(StatementDetailsForm& form, PalmTime day);

// OK ("Continue"): an empty beginning balance gives 149 and an empty ending
// balance 150, and so does a balance that is not wholly an amount (an
// optional "$", a sign, digits and separators) or lies beyond the dialogs'
// range, which no account could hold. Otherwise *values gets the texts and
// the closing date.
OkResult AcceptStatementDetails(const StatementDetailsForm& form, Messages& messages,
                                StatementDetailsValues& values);

}  // namespace tallowmere::ui
