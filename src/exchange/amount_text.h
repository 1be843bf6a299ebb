#pragma once
// Amounts as CSV and QIF files write them: full hundredths, no grouping,
// "." or "," as decimal character by the number format.
#include <string>
#include <string_view>

#include "model/money.h"

namespace tallowmere::exchange {

// The "ImportExport Number Format" preference.
inline constexpr int kNumberFormatPoint = 0;  // 1234.56, grouping ","
inline constexpr int kNumberFormatComma = 1;  // 1234,56, grouping "."

// Any value other than 1 is the decimal point.
char DecimalCharOf(int numberFormat);
char GroupingCharOf(int numberFormat);

std::string FormatAmountText(Cents cents, int numberFormat);

// Never fails: a text without digits reads as 0 (IsAmountText tells).
Cents ParseAmountText(std::string_view text, int numberFormat);

// True when the text holds a number that ParseAmountText reads: an optional
// "$" and sign, then at least one digit (blanks around are allowed).
bool IsAmountText(std::string_view text, int numberFormat);

// a + b and a - b into out; false (out unchanged) when the result does not
// fit, as amounts read from a file may be anything.
bool AddAmounts(Cents a, Cents b, Cents& out);
bool SubtractAmounts(Cents a, Cents b, Cents& out);

}  // namespace tallowmere::exchange
