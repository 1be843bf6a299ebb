#include "exchange/amount_text.h"

#include <array>

#include "exchange/line_reader.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {

char DecimalCharOf(int numberFormat) {
    return numberFormat == kNumberFormatComma ? ',' : '.';
}

char GroupingCharOf(int numberFormat) {
    return numberFormat == kNumberFormatComma ? '.' : ',';
}

std::string FormatAmountText(Cents cents, int numberFormat) {
    std::array<char, kMoneyBufferSize> buffer{};
    const std::size_t n = FormatMoneyBuffer(cents, std::span<char, kMoneyBufferSize>(buffer),
                                            kMoneyFull, DecimalCharOf(numberFormat));
    return std::string(buffer.data(), n);
}

Cents ParseAmountText(std::string_view text, int numberFormat) {
    return ParseMoneyWith(TrimBlanks(text), DecimalCharOf(numberFormat),
                          GroupingCharOf(numberFormat));
}

bool IsAmountText(std::string_view text, int numberFormat) {
    text = TrimBlanks(text);
    std::size_t i = 0;
    if (i < text.size() && IsDollarSign(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const char decimal = DecimalCharOf(numberFormat);
    const char grouping = GroupingCharOf(numberFormat);
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (platform::IsAsciiDigit(c))
            return true;
        if (text[i] != decimal && text[i] != grouping)
            return false;
    }
    return false;
}

bool AddAmounts(Cents a, Cents b, Cents& out) {
    Cents r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

bool SubtractAmounts(Cents a, Cents b, Cents& out) {
    Cents r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

}  // namespace tallowmere::exchange
