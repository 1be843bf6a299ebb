#pragma once
// The currency conversion apart from its widgets: three texts, the amount in
// a source currency, the rate and the amount in the account's (target)
// currency, of which Calculate works out the missing one.
//
// A stored rate means units of that currency per one home unit. The rate
// text means target units per one source unit: rate(T) / rate(S), the home
// currency's rate taken as 1. OK teaches the list the rate used when one of
// the two currencies is the home currency.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/accounts.h"
#include "model/currency.h"
#include "ui/logic/messages.h"

namespace tallowmere::ui {

inline constexpr int kStringNeedTwoFields = 173;

// What the caller hands in and, after OK, takes back. Amount texts as the
// transaction dialog shows them.
struct ConvertCurrencyData {
    CurrencyId sourceCurrency = 0;
    std::string sourceText;     // the amount in the source currency
    std::string convertedText;  // the amount in the account's currency
};

struct ConvertCurrencyForm {
    int currencyIndex = -1;  // into Entries(); -1 when the list is empty
    std::string sourceText;
    std::string rateText;
    std::string convertedText;
    bool rateEnabled = true;
};

enum class ConvertField { kNone, kSource, kRate, kConverted };

struct CurrencyEntry {
    CurrencyId id = 0;
    std::string text;  // the symbol, UTF-8
};

// Target units per one source unit; 1 when source and target are the same,
// 0 when either is not in the list or a rate needed is not above 0.
double RateBetween(const CCurrencyList& currencies, CurrencyId source, CurrencyId target);

// The value of a rate text: blanks, then a decimal number with '.' as the
// point whatever the locale (no exponent, no inf or nan); the rest of the
// text is ignored. Nothing when no number starts the text.
std::optional<double> ParseRateText(std::string_view text);
// "%.10f" without the C library's locale.
std::string FormatRateText(double rate);

class ConvertCurrencyLogic {
  public:
    // target: the account's currency. newTransaction decides where the
    // focus starts.
    ConvertCurrencyLogic(CAccounts& data, CurrencyId target, bool newTransaction,
                         Messages& messages);

    // Fills the entries and the form; the answer is the field to focus.
    ConvertField Open(const ConvertCurrencyData& in);

    const std::vector<CurrencyEntry>& Entries() const { return entries_; }
    ConvertCurrencyForm& Form() { return form_; }
    const ConvertCurrencyForm& Form() const { return form_; }
    // The account currency's text beside the converted amount, UTF-8.
    std::string TargetText() const;

    // The Calculate button: the field to focus with its text selected, or
    // kNone after a message (173 when fewer than two fields are filled, 146
    // for an amount out of range).
    ConvertField Calculate();
    // Another source currency was chosen: its rate, the converted amount
    // worked out again (no 173 here: choosing a currency is no request).
    ConvertField OnCurrencyChanged(int index);
    // Around the currencies editor: the chosen currency is kept by id.
    void BeforeCurrenciesEdited();
    void AfterCurrenciesEdited();
    // True: close with OK, *out filled. False: 146 was shown; *focus names
    // the field.
    bool Ok(ConvertCurrencyData* out, ConvertField* focus);

  private:
    CurrencyId SourceId() const;
    void FillEntries(CurrencyId select);
    ConvertField Work(bool fromButton);

    CAccounts& data_;
    CurrencyId target_;
    bool newTransaction_;
    Messages& messages_;
    std::vector<CurrencyEntry> entries_;
    ConvertCurrencyForm form_;
    CurrencyId inputSource_ = 0;
    CurrencyId remembered_ = 0;
};

}  // namespace tallowmere::ui
