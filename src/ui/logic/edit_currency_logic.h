#pragma once
// "Edit Currency" (dialog 178) apart from its widgets: the symbol (at most 4
// characters) and the conversion rate, units of the currency per one unit
// of the home currency.
#include <optional>
#include <string>
#include <string_view>

#include "model/currency.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

inline constexpr int kCurrencySymbol = 1018;
inline constexpr int kCurrencyRate = 1001;
inline constexpr int kCurrencySymbolChars = 4;

inline constexpr int kStringHomeRateNotOne = 134;
inline constexpr int kStringCurrencyExists = 154;

struct EditCurrencyForm {
    std::string symbol;    // UTF-8, as typed
    std::string rateText;  // '.' as the decimal point whatever the locale
};

// A rate text as a number edit reads it: blanks, a decimal number (an
// exponent allowed), blanks and nothing else. No inf or nan.
std::optional<double> ParseNumberText(std::string_view text);
// A double as a number edit shows it: up to 15 significant digits, no
// trailing zeros ("1", "0.8", "1.25").
std::string FormatNumberText(double value);

class EditCurrencyLogic {
  public:
    // record: the currency edited; null for a new one (rate 1).
    EditCurrencyLogic(const CCurrencyList& list, const CCurrencyItem* record, Messages& messages);

    EditCurrencyForm& Form() { return form_; }
    const EditCurrencyForm& Form() const { return form_; }

    // A rate that is no number, not finite or negative: the number prompt
    // (0 stays allowed: it means no conversion). An empty symbol: 509. A
    // changed symbol that another currency has: 154. The home currency at a
    // rate other than 1: 134. Otherwise close.
    DialogStep Ok();

    // After OK: the symbol in Windows-1252 and the rate.
    const std::string& Symbol() const { return symbol_; }
    double Rate() const { return rate_; }

  private:
    const CCurrencyList& list_;
    const CCurrencyItem* record_;
    Messages& messages_;
    EditCurrencyForm form_;
    std::string symbol_;
    double rate_ = 1.0;
};

}  // namespace tallowmere::ui
