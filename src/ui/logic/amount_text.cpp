#include "ui/logic/amount_text.h"

#include "platform/text_1252.h"

namespace tallowmere::ui {

std::optional<Cents> ParseAmountText(std::string_view text) {
    const Cents value = ParseMoney(text);
    if (value > kMaxDialogAmount || value < -kMaxDialogAmount)
        return std::nullopt;
    return value;
}

std::optional<std::uint32_t> ParseWholeNumber(std::string_view text) {
    text = platform::TrimAsciiSpace(text);
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!platform::IsAsciiDigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0x7FFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace tallowmere::ui
