#include "model/money.h"

#include <atomic>
#include <charconv>
#include <limits>

#include "platform/locale_chars.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

std::atomic<char> gDecimal{'.'};
std::atomic<char> gThousands{','};
std::atomic<int> gDateOrder{0};
std::atomic<char> gDateSeparator{'/'};

// A locale's separator that is a character beyond ASCII (several bytes in
// UTF-8).
bool IsWideSeparator(std::string_view text) {
    return !text.empty() && static_cast<unsigned char>(text[0]) >= 0x80;
}

bool IsUsableSeparator(std::string_view text) {
    if (text.size() != 1)
        return false;
    unsigned char c = static_cast<unsigned char>(text[0]);
    return c >= 0x20 && c < 0x7F && !platform::IsAsciiDigit(c) && c != '+' && c != '-';
}

// Digits of the magnitude, then the decimal character before the last two.
std::size_t FormatFull(bool negative, std::uint64_t magnitude, char* out, char decimal) {
    std::size_t n = 0;
    if (magnitude == 0) {
        out[n++] = '0';
        return n;
    }
    if (negative)
        out[n++] = '-';
    if (magnitude < 10) {
        out[n++] = decimal;
        out[n++] = '0';
        out[n++] = static_cast<char>('0' + magnitude);
        return n;
    }
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, magnitude);
    (void)ec;  // 20 digits at most always fit
    std::size_t count = static_cast<std::size_t>(end - digits);
    for (std::size_t i = 0; i < count; ++i) {
        if (i == count - 2)
            out[n++] = decimal;
        out[n++] = digits[i];
    }
    return n;
}

}  // namespace

char LocaleDecimalChar() {
    return gDecimal.load(std::memory_order_relaxed);
}
char LocaleThousandsChar() {
    return gThousands.load(std::memory_order_relaxed);
}

int LocaleDateOrder() {
    return gDateOrder.load(std::memory_order_relaxed);
}
char LocaleDateSeparator() {
    return gDateSeparator.load(std::memory_order_relaxed);
}

void LoadLocaleSeparators() {
    std::string decimal;
    std::string thousands;
    if (platform::ReadLocaleSeparators(decimal, thousands))
        SetLocaleSeparators(decimal, thousands);
    std::string dateFormat;
    if (platform::ReadLocaleDateFormat(dateFormat))
        SetLocaleDateFormat(dateFormat);
}

void SetLocaleSeparators(std::string_view decimal, std::string_view thousands) {
    char dec = LocaleDecimalChar();
    if (IsUsableSeparator(decimal))
        dec = decimal[0];
    else if (IsWideSeparator(decimal))
        dec = '.';
    char thou = LocaleThousandsChar();
    if (IsUsableSeparator(thousands) && thousands[0] != dec)
        thou = thousands[0];
    else if (IsWideSeparator(thousands))
        thou = ' ';
    if (thou == dec)
        thou = dec == ',' ? ' ' : ',';
    gDecimal.store(dec, std::memory_order_relaxed);
    gThousands.store(thou, std::memory_order_relaxed);
}

DateFormatChars ParseDateFormat(std::string_view format) {
    // The two shorthands, spelled out.
    std::string text;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == 'D' || format[i + 1] == 'F')) {
            text += format[i + 1] == 'D' ? "%m/%d/%y" : "%Y-%m-%d";
            ++i;
        } else {
            text += format[i];
        }
    }

    std::string fields;  // 'd', 'm' and 'y' in the order they come
    DateFormatChars result;
    bool afterFirstField = false;  // the next literal character is the separator
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (afterFirstField) {
                const auto c = static_cast<unsigned char>(text[i]);
                const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
                if (c >= 0x20 && c < 0x7F && !platform::IsAsciiDigit(c) && !letter)
                    result.separator = text[i];
                afterFirstField = false;
            }
            continue;
        }
        // glibc's flags, widths and E/O modifiers ("%-d", "%Ey").
        ++i;
        while (i < text.size() &&
               (std::string_view("-_0^#EO").find(text[i]) != std::string_view::npos ||
                platform::IsAsciiDigit(static_cast<unsigned char>(text[i]))))
            ++i;
        if (i == text.size())
            break;
        char field = 0;
        if (text[i] == 'd' || text[i] == 'e')
            field = 'd';
        else if (text[i] == 'm')
            field = 'm';
        else if (text[i] == 'y' || text[i] == 'Y')
            field = 'y';
        if (field == 0)
            continue;
        afterFirstField = fields.empty();
        fields += field;
    }
    if (fields == "dmy")
        result.order = 1;
    else if (fields == "ymd")
        result.order = 2;
    return result;
}

void SetLocaleDateFormat(std::string_view format) {
    const DateFormatChars chars = ParseDateFormat(format);
    gDateOrder.store(chars.order, std::memory_order_relaxed);
    gDateSeparator.store(chars.separator, std::memory_order_relaxed);
}

std::size_t FormatMoneyBuffer(Cents cents, std::span<char, kMoneyBufferSize> buffer, int mode,
                              char decimal) {
    char* out = buffer.data();
    bool negative = cents < 0;
    // The magnitude as unsigned, so that the most negative value is defined.
    std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(cents) + 1 : static_cast<std::uint64_t>(cents);
    std::size_t n = 0;
    if (mode == kMoneyWhole) {
        // Truncated toward zero; only a positive remainder above 50 rounds up,
        // so 1.50 reads 1 and -1.99 reads -1.
        Cents whole = cents / 100;
        if (cents - whole * 100 > 50)
            ++whole;
        auto [end, ec] = std::to_chars(out, out + kMoneyTextMax, whole);
        (void)ec;  // 20 characters at most always fit
        n = static_cast<std::size_t>(end - out);
    } else {
        n = FormatFull(negative, magnitude, out, decimal);
        if (mode == kMoneyTrimmed && n > 0 && out[n - 1] == '0') {
            --n;
            if (n >= 2 && out[n - 1] == '0')
                n -= 2;
        }
    }
    out[n] = '\0';
    return n;
}

std::string FormatMoney(Cents cents, int mode) {
    char buffer[kMoneyBufferSize];
    std::size_t n = FormatMoneyBuffer(cents, buffer, mode, LocaleDecimalChar());
    return std::string(buffer, n);
}

Cents ParseMoney(std::string_view text) {
    return ParseMoneyWith(text, LocaleDecimalChar(), LocaleThousandsChar());
}

Cents ParseMoneyWith(std::string_view text, char decimal, char thousands) {
    std::size_t i = 0;
    if (i < text.size() && IsDollarSign(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The most negative value has one more unit of magnitude than the largest.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<Cents>::max()) + (negative ? 1 : 0);
    std::uint64_t value = 0;
    bool inFraction = false;
    int positions = 0;
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == static_cast<unsigned char>(decimal)) {
            inFraction = true;  // a repeated decimal character takes no position
            continue;
        }
        bool isDigit = platform::IsAsciiDigit(c);
        if (!isDigit && c != static_cast<unsigned char>(thousands))
            break;
        if (inFraction) {
            if (positions == 2)
                break;
            ++positions;
        }
        if (isDigit) {
            unsigned digit = c - '0';
            value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
        }
    }
    std::uint64_t scale = positions == 0 ? 100 : (positions == 1 ? 10 : 1);
    value = value > limit / scale ? limit : value * scale;
    if (!negative)
        return static_cast<Cents>(value);
    // Negate in unsigned arithmetic; value 2^63 maps to the most negative.
    return static_cast<Cents>(~value + 1);
}

bool IsNumericText(std::string_view text) {
    return IsNumericTextWith(text, LocaleDecimalChar(), LocaleThousandsChar());
}

bool IsNumericTextWith(std::string_view text, char decimal, char thousands) {
    std::size_t i = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (!platform::IsAsciiDigit(static_cast<unsigned char>(c)) && c != decimal &&
            c != thousands) {
            return false;
        }
    }
    return true;
}

}  // namespace tallowmere
