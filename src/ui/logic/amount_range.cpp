#include "ui/logic/amount_range.h"

#include <cmath>
#include <limits>

namespace tallowmere::ui {

bool RoundToAmount(double hundredths, Cents* out) {
    const double r = std::round(hundredths);  // half away from zero
    // Well inside 2^63, so the cast below is defined; the exact bound is
    // checked on the integer.
    if (!std::isfinite(r) || std::fabs(r) > 9.0e18)
        return false;
    const auto value = static_cast<Cents>(r);
    if (!InAmountRange(value))
        return false;
    *out = value;
    return true;
}

std::string FormatWideMoney(WideCents value) {
    if (value >= std::numeric_limits<Cents>::min() && value <= std::numeric_limits<Cents>::max())
        return FormatMoney(static_cast<Cents>(value), kMoneyFull);
    const bool negative = value < 0;
    auto magnitude = static_cast<unsigned __int128>(negative ? -value : value);
    std::string digits;
    // Past 64 bits there are always more than two digits.
    while (magnitude != 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    }
    digits.insert(digits.size() - 2, 1, LocaleDecimalChar());
    return negative ? "-" + digits : digits;
}

}  // namespace tallowmere::ui
