#pragma once
// Amount and number texts as the dialogs read them: the lenient money
// reading of the model, refused outside the range every dialog accepts, and
// whole numbers for the integer fields.
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/money.h"

namespace tallowmere::ui {

// The largest magnitude a dialog accepts, in hundredths: 2^56 units and .99.
inline constexpr Cents kMaxDialogAmount = 7205759403792793699;

// The amount of the text, read as ParseMoney reads it ("$1,234.56", "12abc"
// gives 12.00); empty when it lies outside ±kMaxDialogAmount. A text too long
// for 64 bits saturates in the reading and is refused, never wrapped.
std::optional<Cents> ParseAmountText(std::string_view text);

// A whole number of the integer fields: blanks around one to ten digits,
// at most 2^31 - 1. Signs and anything else are refused (empty).
std::optional<std::uint32_t> ParseWholeNumber(std::string_view text);

}  // namespace tallowmere::ui
