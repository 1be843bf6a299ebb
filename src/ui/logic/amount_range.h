#pragma once
// The range of amounts the dialogs accept, and sums that cannot overflow.
// An amount text beyond the range (the parse saturates, so a long digit
// string lands there too) is refused with the dialog's amount message.
#include <string>

#include "model/money.h"

namespace tallowmere::ui {

// "You need to specify an amount for this transaction."
inline constexpr int kStringNeedAmount = 171;

// 2^56 whole units and 99 hundredths, both signs.
inline constexpr Cents kAmountLimit = 7205759403792793699;

// Ten saturated amounts and their differences fit easily.
using WideCents = __int128;

constexpr bool InAmountRange(WideCents value) {
    return value >= -kAmountLimit && value <= kAmountLimit;
}

// A double of hundredths rounded half away from zero, when it is finite and
// the result lies in the range; false otherwise (nothing is cast then).
bool RoundToAmount(double hundredths, Cents* out);

// The full money text (as FormatMoney's full mode) of any wide value.
std::string FormatWideMoney(WideCents value);

}  // namespace tallowmere::ui
