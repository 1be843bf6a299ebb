#include "ui/logic/convert_currency_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "model/error_sink.h"
#include "model/list_file_names.h"
#include "platform/atomic_file.h"
#include "ui_logic/dialog_data_fixture.h"

namespace tallowmere::ui {
namespace {

constexpr CurrencyId kDollar = 1;  // the home currency of a new data set
constexpr CurrencyId kPound = 4;
constexpr CurrencyId kEuro = 9;

class ConvertCurrencyLogicTest : public ::testing::Test {
  protected:
    ConvertCurrencyLogicTest() : set(test::LoadDefaultDataSet("convert")) {
        // Units per one home dollar.
        Rate(kEuro, 0.8);
        Rate(kPound, 0.5);
        EXPECT_EQ(set->Currencies().Save(), 0);
    }

    void Rate(CurrencyId id, double rate) { set->Currencies().FindById(id)->SetRate(rate); }
    double StoredRate(CurrencyId id) { return set->Currencies().FindById(id)->GetRate(); }
    double FiledRate(CurrencyId id) {
        CCurrencyList list;
        EXPECT_EQ(list.Load(set->GetFolder() + "/" + kCurrenciesListFile), 0);
        return list.FindById(id)->GetRate();
    }
    int IndexOf(const ConvertCurrencyLogic& logic, CurrencyId id) {
        for (std::size_t i = 0; i < logic.Entries().size(); ++i) {
            if (logic.Entries()[i].id == id)
                return static_cast<int>(i);
        }
        return -1;
    }

    std::unique_ptr<CAccounts> set;
    test::RecordingMessages messages;
};

TEST_F(ConvertCurrencyLogicTest, RateBetweenIsTargetUnitsPerSourceUnit) {
    const CurrencyId zero = 20;
    Rate(zero, 0.0);
    Rate(kDollar, 3.0);  // the home currency counts as 1 whatever it holds
    struct Case {
        const char* what;
        CurrencyId source;
        CurrencyId target;
        double rate;
    };
    const Case cases[] = {
        {"home to euro", kDollar, kEuro, 0.8},
        {"euro to home", kEuro, kDollar, 1.25},
        {"euro to pound", kEuro, kPound, 0.625},
        {"the same currency", kPound, kPound, 1.0},
        {"the same currency of rate 0", zero, zero, 1.0},
        {"source of rate 0", zero, kDollar, 0.0},
        {"target of rate 0", kDollar, zero, 0.0},
        {"a missing target", kEuro, 200, 0.0},
        {"a missing source", 200, kDollar, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(RateBetween(set->Currencies(), c.source, c.target), c.rate) << c.what;
}

TEST_F(ConvertCurrencyLogicTest, RateTextsReadADecimalNumberWithAPoint) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.5", 1.5},        {"  2", 2.0},          {"+.25", 0.25},        {"-3.5x", -3.5},
        {"1,5", 1.0},        {"1e3", 1.0},          {"", std::nullopt},    {"abc", std::nullopt},
        {".", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt}, {"--1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseRateText(c.text), c.value) << c.text;
    EXPECT_EQ(FormatRateText(1.1), "1.1000000000");
    EXPECT_EQ(FormatRateText(0.0), "0.0000000000");
}

TEST_F(ConvertCurrencyLogicTest, CalculateWorksOutTheMissingText) {
    struct Case {
        const char* what;
        const char* source;
        const char* rate;
        const char* converted;
        ConvertField focus;
        const char* wantSource;
        const char* wantRate;
        const char* wantConverted;
        int message;
    };
    using F = ConvertField;
    const Case cases[] = {
        {"source and rate", "100.00", "1.5", "", F::kConverted, "100.00", "1.5", "150.00", 0},
        {"source and converted", "100.00", "", "150.00", F::kRate, "100.00", "1.5000000000",
         "150.00", 0},
        {"rate and converted", "", "2", "150.00", F::kSource, "75.00", "2", "150.00", 0},
        {"rate 0 and converted", "", "0", "150.00", F::kSource, "150.00", "0", "150.00", 0},
        {"all three: the source and rate win", "100.00", "2", "999.00", F::kConverted, "100.00",
         "2", "200.00", 0},
        {"0.29 at 1.0 keeps its cent", "0.29", "1.0", "", F::kConverted, "0.29", "1.0", ".29", 0},
        {"1.15 at 1.0 keeps its cent", "1.15", "1.0", "", F::kConverted, "1.15", "1.0", "1.15", 0},
        {"half a cent up", "0.01", "0.5", "", F::kConverted, "0.01", "0.5", ".01", 0},
        {"half a cent down", "-0.01", "0.5", "", F::kConverted, "-0.01", "0.5", "-.01", 0},
        {"source 0", "0.00", "", "150.00", F::kRate, "0.00", "0.0000000000", "150.00", 0},
        {"rate 0", "100.00", "0", "", F::kConverted, "100.00", "0", "0", 0},
        {"only a source", "100.00", "", "", F::kNone, "100.00", "", "", 173},
        {"only a rate", "", "1.5", "", F::kNone, "", "1.5", "", 173},
        {"only a converted amount", "", " ", "150.00", F::kNone, "", " ", "150.00", 173},
        {"source out of range", "72057594037927937", "1", "", F::kSource, "72057594037927937", "1",
         "", 146},
        {"converted out of range", "", "1", "-72057594037927937", F::kConverted, "", "1",
         "-72057594037927937", 146},
        {"a product out of range", "100.00", "100000000000000000000000", "", F::kRate, "100.00",
         "100000000000000000000000", "", 146},
        {"a quotient out of range", "", "0.00000000000000001", "1000.00", F::kRate, "",
         "0.00000000000000001", "1000.00", 146},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.ids.clear();
        ConvertCurrencyLogic logic(*set, kDollar, true, messages);
        logic.Open({kEuro, "", ""});
        logic.Form().sourceText = c.source;
        logic.Form().rateText = c.rate;
        logic.Form().convertedText = c.converted;
        EXPECT_EQ(logic.Calculate(), c.focus);
        EXPECT_EQ(logic.Form().sourceText, c.wantSource);
        EXPECT_EQ(logic.Form().rateText, c.wantRate);
        EXPECT_EQ(logic.Form().convertedText, c.wantConverted);
        EXPECT_EQ(messages.ids, c.message == 0 ? std::vector<int>{} : std::vector<int>{c.message});
    }
}

TEST_F(ConvertCurrencyLogicTest, OpeningDerivesTheRateAndPlacesTheFocus) {
    struct Case {
        const char* what;
        CurrencyId source;
        bool newTransaction;
        const char* sourceText;
        const char* converted;
        CurrencyId wantSource;
        const char* wantRate;
        bool rateEnabled;
        ConvertField focus;
    };
    using F = ConvertField;
    const Case cases[] = {
        // An existing 110.00 converted from 100.00 reopens with its rate.
        {"reopened", kEuro, false, "100.00", "110.00", kEuro, "1.1000000000", true, F::kRate},
        {"new", kEuro, true, "", "110.00", kEuro, "1.0", true, F::kSource},
        {"the account's own currency", kDollar, false, "", "", kDollar, "1.0", false, F::kSource},
        {"a currency not in the list", 200, false, "", "", kDollar, "1.0", false, F::kSource},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConvertCurrencyLogic logic(*set, kDollar, c.newTransaction, messages);
        EXPECT_EQ(logic.Open({c.source, c.sourceText, c.converted}), c.focus);
        EXPECT_EQ(logic.Entries()[logic.Form().currencyIndex].id, c.wantSource);
        EXPECT_EQ(logic.Form().rateText, c.wantRate);
        EXPECT_EQ(logic.Form().rateEnabled, c.rateEnabled);
        EXPECT_EQ(logic.Form().sourceText, c.sourceText);
        EXPECT_EQ(logic.Form().convertedText, c.converted);
    }
    ConvertCurrencyLogic logic(*set, kPound, true, messages);
    logic.Open({kEuro, "", ""});
    EXPECT_EQ(logic.Entries().size(), 32u);
    EXPECT_EQ(logic.Entries()[0].text, "$");
    EXPECT_EQ(logic.Entries()[IndexOf(logic, kEuro)].text, "\xE2\x82\xAC");
    EXPECT_EQ(logic.TargetText(), "\xC2\xA3");
    EXPECT_TRUE(messages.ids.empty());
}

TEST_F(ConvertCurrencyLogicTest, ChoosingACurrencyTakesItsRateWithoutAskingForTwoFields) {
    ConvertCurrencyLogic logic(*set, kDollar, true, messages);
    logic.Open({kDollar, "", ""});
    EXPECT_EQ(logic.OnCurrencyChanged(IndexOf(logic, kEuro)), ConvertField::kNone);
    EXPECT_EQ(logic.Form().rateText, "1.2500000000");
    EXPECT_TRUE(logic.Form().rateEnabled);
    EXPECT_TRUE(messages.ids.empty());

    logic.Form().sourceText = "100.00";
    logic.Form().convertedText = "1.00";
    EXPECT_EQ(logic.OnCurrencyChanged(IndexOf(logic, kPound)), ConvertField::kConverted);
    EXPECT_EQ(logic.Form().rateText, "2.0000000000");
    EXPECT_EQ(logic.Form().convertedText, "200.00");

    EXPECT_EQ(logic.OnCurrencyChanged(IndexOf(logic, kDollar)), ConvertField::kConverted);
    EXPECT_EQ(logic.Form().rateText, "1.0000000000");
    EXPECT_EQ(logic.Form().convertedText, "100.00");
    EXPECT_FALSE(logic.Form().rateEnabled);
    EXPECT_TRUE(messages.ids.empty());
}

TEST_F(ConvertCurrencyLogicTest, OkTeachesTheListTheRateUsed) {
    struct Case {
        const char* what;
        CurrencyId target;
        CurrencyId source;
        std::string rateText;
        double euro;  // the euro's stored rate afterwards
        double pound;
    };
    const Case cases[] = {
        {"from home: the target's rate is the text", kEuro, kDollar, "0.9", 0.9, 0.5},
        {"into home: the source's rate is its reciprocal", kDollar, kEuro, "1.6", 0.625, 0.5},
        {"neither is home", kPound, kEuro, "2", 0.8, 0.5},
        {"the same currency", kEuro, kEuro, "3", 0.8, 0.5},
        {"an empty rate", kDollar, kEuro, "", 0.8, 0.5},
        {"no number", kDollar, kEuro, "abc", 0.8, 0.5},
        {"rate 0", kDollar, kEuro, "0", 0.8, 0.5},
        {"a negative rate", kEuro, kDollar, "-2", 0.8, 0.5},
        {"a rate whose reciprocal is infinite", kDollar, kEuro, "0." + std::string(320, '0') + "1",
         0.8, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rate(kEuro, 0.8);
        Rate(kPound, 0.5);
        ASSERT_EQ(set->Currencies().Save(), 0);
        ConvertCurrencyLogic logic(*set, c.target, false, messages);
        logic.Open({c.source, "100.00", "90.00"});
        logic.Form().rateText = c.rateText;
        ConvertCurrencyData out;
        ConvertField focus = ConvertField::kNone;
        ASSERT_TRUE(logic.Ok(&out, &focus));
        EXPECT_EQ(out.sourceCurrency, c.source);
        EXPECT_EQ(out.sourceText, "100.00");
        EXPECT_EQ(out.convertedText, "90.00");
        EXPECT_DOUBLE_EQ(StoredRate(kEuro), c.euro);
        EXPECT_DOUBLE_EQ(StoredRate(kPound), c.pound);
        EXPECT_DOUBLE_EQ(FiledRate(kEuro), c.euro);
        EXPECT_DOUBLE_EQ(StoredRate(kDollar), 1.0);
    }
    EXPECT_TRUE(messages.ids.empty());
}

TEST_F(ConvertCurrencyLogicTest, OkRefusesAmountsOutOfRange) {
    ConvertCurrencyLogic logic(*set, kDollar, true, messages);
    logic.Open({kEuro, "", ""});
    logic.Form().sourceText = "1234567890123456789012345";
    logic.Form().rateText = "2";
    ConvertCurrencyData out{kPound, "x", "y"};
    ConvertField focus = ConvertField::kNone;
    EXPECT_FALSE(logic.Ok(&out, &focus));
    EXPECT_EQ(focus, ConvertField::kSource);
    EXPECT_EQ(messages.ids, std::vector<int>{146});
    EXPECT_EQ(out.sourceCurrency, kPound);
    EXPECT_DOUBLE_EQ(StoredRate(kEuro), 0.8);
}

TEST_F(ConvertCurrencyLogicTest, AFailedSaveOfTheRateIsReported) {
    struct Sink : ErrorSink {
        void Report(const ErrorReport& report) override { ids.push_back(report.string_id); }
        std::vector<int> ids;
    } sink;
    SetErrorSink(&sink);
    platform::SetWriteFault([](std::size_t, int& err) {
        err = 28;  // ENOSPC
        return false;
    });
    ConvertCurrencyLogic logic(*set, kDollar, false, messages);
    logic.Open({kEuro, "100.00", "200.00"});
    ConvertCurrencyData out;
    ConvertField focus = ConvertField::kNone;
    EXPECT_TRUE(logic.Ok(&out, &focus));
    platform::SetWriteFault(nullptr);
    SetErrorSink(nullptr);
    EXPECT_EQ(sink.ids, std::vector<int>{185});
    EXPECT_DOUBLE_EQ(StoredRate(kEuro), 0.5);  // kept in memory
    EXPECT_DOUBLE_EQ(FiledRate(kEuro), 0.8);
}

TEST_F(ConvertCurrencyLogicTest, TheCurrenciesEditorKeepsTheChoiceById) {
    ConvertCurrencyLogic logic(*set, kDollar, true, messages);
    logic.Open({kEuro, "", ""});
    logic.BeforeCurrenciesEdited();
    ASSERT_EQ(set->Currencies().DeleteItem(set->Currencies().FindById(kPound)), 0);
    logic.AfterCurrenciesEdited();
    EXPECT_EQ(logic.Entries().size(), 31u);
    EXPECT_EQ(logic.Entries()[logic.Form().currencyIndex].id, kEuro);

    logic.BeforeCurrenciesEdited();
    ASSERT_EQ(set->Currencies().DeleteItem(set->Currencies().FindById(kEuro)), 0);
    logic.AfterCurrenciesEdited();
    EXPECT_EQ(logic.Form().currencyIndex, 0);  // gone: the first entry, the home dollar
    EXPECT_FALSE(logic.Form().rateEnabled);
}

}  // namespace
}  // namespace tallowmere::ui
