#include "ui/logic/edit_currency_logic.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/text_1252.h"
#include "ui/logic/list_editor.h"

namespace tallowmere::ui {

std::optional<double> ParseNumberText(std::string_view text) {
    text = platform::TrimAsciiSpace(text);
    if (text.empty())
        return std::nullopt;
    std::string_view digits = text;
    if (digits.front() == '+')
        digits.remove_prefix(1);
    // from_chars would also read "inf" and "nan"; a number starts with a
    // digit or a point.
    const std::string_view unsigned_part =
        !digits.empty() && digits.front() == '-' ? digits.substr(1) : digits;
    if (unsigned_part.empty() ||
        !(platform::IsAsciiDigit(static_cast<unsigned char>(unsigned_part.front())) ||
          unsigned_part.front() == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::string FormatNumberText(double value) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::general, 15);
    if (ec != std::errc())
        return "0";
    return std::string(buffer.data(), end);
}

EditCurrencyLogic::EditCurrencyLogic(const CCurrencyList& list, const CCurrencyItem* record,
                                     Messages& messages)
    : list_(list), record_(record), messages_(messages) {
    form_.symbol = record_ != nullptr ? platform::Cp1252ToUtf8(record_->GetSymbol()) : "";
    form_.rateText = FormatNumberText(record_ != nullptr ? record_->GetRate() : 1.0);
}

DialogStep EditCurrencyLogic::Ok() {
    const auto refuse = [this](int stringId, int focusId) {
        messages_.Show(StringMessage(stringId));
        return DialogStep::Stay(focusId, true);
    };
    // A negative rate would turn every converted amount around, and inf or
    // nan would spoil every total.
    const std::optional<double> rate = ParseNumberText(form_.rateText);
    if (!rate || !std::isfinite(*rate) || *rate < 0.0)
        return refuse(kStringEnterNumber, kCurrencyRate);
    const std::string symbol = CCurrencyItem::StoredSymbol(platform::Utf8ToCp1252(form_.symbol));
    if (symbol.empty())
        return refuse(kStringNotValidName, kCurrencySymbol);
    const bool changed = record_ == nullptr || symbol != record_->GetSymbol();
    if (changed && list_.SymbolExists(symbol))
        return refuse(kStringCurrencyExists, kCurrencySymbol);
    const double value = *rate == 0.0 ? 0.0 : *rate;  // no -0
    if (record_ != nullptr && list_.IsHomeCurrency(record_) && value != 1.0)
        return refuse(kStringHomeRateNotOne, kCurrencyRate);
    symbol_ = symbol;
    rate_ = value;
    return DialogStep::Close(1);
}

}  // namespace tallowmere::ui
