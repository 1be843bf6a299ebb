#include "ui/logic/convert_currency_logic.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringBadAmount = 146;

bool IsUsableRate(double rate) {
    return std::isfinite(rate) && rate > 0.0;
}

bool IsBlank(const std::string& text) {
    return platform::TrimAsciiSpace(text).empty();
}

}  // namespace

double RateBetween(const CCurrencyList& currencies, CurrencyId source, CurrencyId target) {
    if (source == target)
        return 1.0;
    const CCurrencyItem* s = currencies.FindById(source);
    const CCurrencyItem* t = currencies.FindById(target);
    if (s == nullptr || t == nullptr)
        return 0.0;
    const CurrencyId home = currencies.GetHomeCurrencyId();
    const double sourceRate = source == home ? 1.0 : s->GetRate();
    const double targetRate = target == home ? 1.0 : t->GetRate();
    if (!IsUsableRate(sourceRate) || !IsUsableRate(targetRate))
        return 0.0;
    const double rate = targetRate / sourceRate;
    return IsUsableRate(rate) ? rate : 0.0;
}

std::optional<double> ParseRateText(std::string_view text) {
    while (!text.empty() && platform::IsAsciiSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto digitAt = [&](std::size_t i) {
        return i < text.size() && platform::IsAsciiDigit(static_cast<unsigned char>(text[i]));
    };
    // from_chars would also read "inf" and "nan".
    if (!digitAt(0) && !(text.size() > 1 && text.front() == '.' && digitAt(1)))
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    (void)end;
    if (ec != std::errc())
        return std::nullopt;
    return negative ? -value : value;
}

std::string FormatRateText(double rate) {
    // The largest double has 309 digits before the point.
    std::array<char, 400> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rate,
                                         std::chars_format::fixed, 10);
    if (ec != std::errc())
        return "0.0000000000";
    return std::string(buffer.data(), end);
}

ConvertCurrencyLogic::ConvertCurrencyLogic(CAccounts& data, CurrencyId target, bool newTransaction,
                                           Messages& messages)
    : data_(data), target_(target), newTransaction_(newTransaction), messages_(messages) {}

void ConvertCurrencyLogic::FillEntries(CurrencyId select) {
    entries_.clear();
    const CCurrencyList& currencies = data_.Currencies();
    auto pos = currencies.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* item = dynamic_cast<const CCurrencyItem*>(currencies.GetNextLive(pos, false));
        if (item != nullptr)
            entries_.push_back({item->GetCurrencyId(), platform::Cp1252ToUtf8(item->GetSymbol())});
    }
    form_.currencyIndex = entries_.empty() ? -1 : 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].id == select) {
            form_.currencyIndex = static_cast<int>(i);
            break;
        }
    }
}

CurrencyId ConvertCurrencyLogic::SourceId() const {
    // With no currency to choose from, the caller's stays.
    if (form_.currencyIndex < 0 || form_.currencyIndex >= static_cast<int>(entries_.size()))
        return inputSource_;
    return entries_[form_.currencyIndex].id;
}

std::string ConvertCurrencyLogic::TargetText() const {
    return platform::Cp1252ToUtf8(data_.GetCurrencySymbolById(target_));
}

ConvertField ConvertCurrencyLogic::Open(const ConvertCurrencyData& in) {
    inputSource_ = in.sourceCurrency;
    FillEntries(in.sourceCurrency);
    form_.sourceText = in.sourceText;
    form_.convertedText = in.convertedText;
    form_.rateText = "1.0";
    const Cents source = ParseMoney(in.sourceText);
    if (source != 0) {
        const double rate =
            static_cast<double>(ParseMoney(in.convertedText)) / static_cast<double>(source);
        form_.rateText = FormatRateText(rate);
    }
    const bool same = SourceId() == target_;
    form_.rateEnabled = !same;
    if (same || newTransaction_)
        return ConvertField::kSource;
    return ConvertField::kRate;
}

ConvertField ConvertCurrencyLogic::Work(bool fromButton) {
    const bool hasSource = !IsBlank(form_.sourceText);
    const bool hasRate = !IsBlank(form_.rateText);
    const bool hasConverted = !IsBlank(form_.convertedText);
    const Cents source = hasSource ? ParseMoney(form_.sourceText) : 0;
    const Cents converted = hasConverted ? ParseMoney(form_.convertedText) : 0;
    const auto refuse = [&](ConvertField field) {
        messages_.Show(StringMessage(kStringBadAmount));
        return field;
    };
    if (!InAmountRange(source))
        return refuse(ConvertField::kSource);
    if (!InAmountRange(converted))
        return refuse(ConvertField::kConverted);
    const double rate = ParseRateText(form_.rateText).value_or(0.0);

    if (hasSource && hasRate) {
        Cents result = 0;
        if (!RoundToAmount(static_cast<double>(source) * rate, &result))
            return refuse(ConvertField::kRate);
        form_.convertedText = FormatMoney(result, kMoneyFull);
        return ConvertField::kConverted;
    }
    if (hasSource && hasConverted) {
        const double ratio =
            source == 0 ? 0.0 : static_cast<double>(converted) / static_cast<double>(source);
        form_.rateText = FormatRateText(ratio);
        return ConvertField::kRate;
    }
    if (hasRate && hasConverted) {
        Cents result = converted;
        if (rate != 0.0 && !RoundToAmount(static_cast<double>(converted) / rate, &result))
            return refuse(ConvertField::kRate);
        form_.sourceText = FormatMoney(result, kMoneyFull);
        return ConvertField::kSource;
    }
    if (fromButton)
        messages_.Show(StringMessage(kStringNeedTwoFields));
    return ConvertField::kNone;
}

ConvertField ConvertCurrencyLogic::Calculate() {
    return Work(true);
}

ConvertField ConvertCurrencyLogic::OnCurrencyChanged(int index) {
    if (index >= 0 && index < static_cast<int>(entries_.size()))
        form_.currencyIndex = index;
    const CurrencyId source = SourceId();
    form_.rateText = FormatRateText(RateBetween(data_.Currencies(), source, target_));
    form_.convertedText.clear();
    form_.rateEnabled = source != target_;
    return Work(false);
}

void ConvertCurrencyLogic::BeforeCurrenciesEdited() {
    remembered_ = SourceId();
}

void ConvertCurrencyLogic::AfterCurrenciesEdited() {
    FillEntries(remembered_);
    form_.rateEnabled = SourceId() != target_;
}

bool ConvertCurrencyLogic::Ok(ConvertCurrencyData* out, ConvertField* focus) {
    const auto refuse = [&](ConvertField field) {
        messages_.Show(StringMessage(kStringBadAmount));
        if (focus != nullptr)
            *focus = field;
        return false;
    };
    if (!IsBlank(form_.sourceText) && !InAmountRange(ParseMoney(form_.sourceText)))
        return refuse(ConvertField::kSource);
    if (!IsBlank(form_.convertedText) && !InAmountRange(ParseMoney(form_.convertedText)))
        return refuse(ConvertField::kConverted);

    // Only a rate that can be one is learnt; anything else is left unsaid.
    const CurrencyId source = SourceId();
    const std::optional<double> rate = ParseRateText(form_.rateText);
    if (source != target_ && rate && IsUsableRate(*rate)) {
        CCurrencyList& currencies = data_.Currencies();
        const CurrencyId home = currencies.GetHomeCurrencyId();
        CCurrencyItem* item = nullptr;
        double stored = 0.0;
        if (source == home) {
            item = currencies.FindById(target_);
            stored = *rate;
        } else if (target_ == home) {
            item = currencies.FindById(source);
            stored = 1.0 / *rate;
        }
        if (item != nullptr && IsUsableRate(stored)) {
            item->SetRate(stored);
            currencies.Save();  // a failed save reports itself
        }
    }
    if (out != nullptr)
        *out = {source, form_.sourceText, form_.convertedText};
    return true;
}

}  // namespace tallowmere::ui
