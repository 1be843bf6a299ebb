#pragma once
// Money: signed 64-bit hundredths of the currency unit, and its text forms in
// the user's locale.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace tallowmere {

using Cents = std::int64_t;

// Sums and negations of amounts read from files can leave the range; these
// stop at its ends instead.
inline Cents SaturatingAdd(Cents a, Cents b) {
    Cents r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<Cents>::max() : std::numeric_limits<Cents>::min();
    return r;
}
inline Cents SaturatingNegate(Cents v) {
    return v == std::numeric_limits<Cents>::min() ? std::numeric_limits<Cents>::max() : -v;
}

// Text modes of FormatMoney: full (1234.50), whole units (1235) and trimmed
// (1234.5). Any other mode acts as kMoneyFull.
inline constexpr int kMoneyFull = 0;
inline constexpr int kMoneyWhole = 1;
inline constexpr int kMoneyTrimmed = 2;

// The longest money text is 25 characters; a buffer also holds the NUL.
inline constexpr std::size_t kMoneyTextMax = 25;
inline constexpr std::size_t kMoneyBufferSize = kMoneyTextMax + 1;

// The process-wide separators, "." and "," until set. Written at start-up,
// read from any thread.
char LocaleDecimalChar();
char LocaleThousandsChar();

// The process-wide date order (0 month-day-year, 1 day-month-year, 2
// year-month-day) and date separator, 0 and "/" until set.
int LocaleDateOrder();
char LocaleDateSeparator();

// Reads the locale characters of the user's locale (LC_NUMERIC and LC_TIME
// from the environment, never the process-global locale) and adopts them as
// SetLocaleSeparators and SetLocaleDateFormat do. Characters of a locale part
// that cannot be read stay as they were.
void LoadLocaleSeparators();

// Adopts separator texts as a locale gives them (UTF-8 or single bytes).
// One printable ASCII character other than a digit or a sign is taken as it
// is, the thousands character only when it also differs from the decimal
// one. A non-ASCII separator (fr_FR groups with a no-break space) becomes "."
// for the decimal and a blank for the thousands character, never its first
// byte. Anything else leaves the previous character. Should the thousands
// character then equal the decimal one, it becomes ",", or a blank when the
// decimal character is ",".
void SetLocaleSeparators(std::string_view decimal, std::string_view thousands);

struct DateFormatChars {
    int order = 0;
    char separator = '/';
};

// The order and separator of a strftime date format: the order of its day
// (%d, %e), month (%m) and year (%y, %Y) fields, 0 for any order but the
// three; the separator is the first character after the first field when it
// is printable ASCII punctuation or a blank, else "/". "%D" reads as
// "%m/%d/%y" and "%F" as "%Y-%m-%d".
DateFormatChars ParseDateFormat(std::string_view format);
// Adopts the order and separator of a date format.
void SetLocaleDateFormat(std::string_view format);

// The money text with the locale's decimal character; no grouping.
std::string FormatMoney(Cents cents, int mode);

// The same with the given decimal character into a caller's buffer, NUL
// terminated; returns the text's length.
std::size_t FormatMoneyBuffer(Cents cents, std::span<char, kMoneyBufferSize> buffer, int mode,
                              char decimal);

// ParseMoneyWith with the locale's separators.
Cents ParseMoney(std::string_view text);

// Reads an optional leading "$", one optional sign, then digits with at most
// two fraction positions; reading stops at the first other character. A
// magnitude too large for Cents saturates to the largest value of that sign,
// so that range checks refuse it.
Cents ParseMoneyWith(std::string_view text, char decimal, char thousands);

// True for the empty text; otherwise true when, after one optional "-" or
// "+", every character is a digit, the decimal or the thousands character.
bool IsNumericText(std::string_view text);
bool IsNumericTextWith(std::string_view text, char decimal, char thousands);

inline bool IsDollarSign(char c) {
    return c == '$';
}

}  // namespace tallowmere
