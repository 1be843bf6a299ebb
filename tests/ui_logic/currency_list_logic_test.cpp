#include "ui/logic/currency_list_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui_logic/list_editor_fixture.h"

namespace tallowmere::ui {
namespace {

using Edit = EditCurrencyLogic;

constexpr CurrencyId kDollar = 1;
constexpr CurrencyId kEuro = 9;

class CurrencyListLogicTest : public test::DataSetTest {
  protected:
    CCurrencyList& List() const { return data_->Currencies(); }
    int Row(CurrencyId id) const { return List().IndexOf(List().FindById(id)); }
    CurrencyListLogic Logic(std::function<void(Edit&)> fill, int* runs = nullptr) {
        return CurrencyListLogic(*data_, messages_, test::Typing<Edit>(std::move(fill), runs),
                                 &view_);
    }
    // A currency of that id added as a record of the list (deleted: marked
    // so, behind the live ones).
    void AddRecord(CurrencyId id, bool deleted = false) {
        auto item = std::make_unique<CCurrencyItem>("X" + std::to_string(id));
        item->SetCurrencyId(id);
        CCurrencyItem* raw = item.get();
        List().AddItem(std::move(item));
        if (deleted)
            List().DeleteItem(raw);
    }
    static std::function<void(Edit&)> Typed(const char* symbol, const char* rate = "1") {
        return [symbol, rate](Edit& e) {
            e.Form().symbol = symbol;
            e.Form().rateText = rate;
        };
    }

    test::CountingView view_;
};

TEST_F(CurrencyListLogicTest, ANewCurrencyTakesTheNextFreeId) {
    struct Case {
        const char* what;
        std::vector<CurrencyId> live;
        std::vector<CurrencyId> deleted;
        CurrencyId expected;
    };
    const Case cases[] = {
        {"the defaults 1 to 32", {}, {}, 33},
        {"a deleted record counts", {}, {40}, 41},
        {"past 250 the lowest gap", {250}, {}, 33},
        {"255 does not wrap to 0", {255}, {33, 34}, 35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (const CurrencyId id : c.live)
            AddRecord(id);
        for (const CurrencyId id : c.deleted)
            AddRecord(id, true);
        CurrencyListLogic logic = Logic(Typed("Zl", "4.25"));
        const ListStep step = logic.New();
        const CCurrencyItem* made = List().FindById(c.expected);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->GetSymbol(), "Zl");
        EXPECT_DOUBLE_EQ(made->GetRate(), 4.25);
        EXPECT_EQ(step, ListStep::Select(List().IndexOf(made)));
        EXPECT_DOUBLE_EQ(Reload()->Currencies().FindById(c.expected)->GetRate(), 4.25);
    }
}

TEST_F(CurrencyListLogicTest, TheLimitOf250CountsDeletedRecords) {
    for (int id = 33; id <= 240; ++id)
        AddRecord(static_cast<CurrencyId>(id));
    for (int id = 241; id <= 250; ++id)
        AddRecord(static_cast<CurrencyId>(id), true);
    ASSERT_EQ(List().GetCount(true), 250u);
    int runs = 0;
    CurrencyListLogic logic = Logic(Typed("Zl"), &runs);
    EXPECT_EQ(logic.New(), ListStep::Nothing());
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(messages_.Ids(), std::vector<int>{175});
    EXPECT_EQ(messages_.shown[0].text, "You can only have a maximum of 15 currencies defined.");
}

TEST_F(CurrencyListLogicTest, RatesThatAreNoUsableNumberAreRefusedFirst) {
    struct Case {
        const char* symbol;
        const char* rate;
        int message;  // 0: accepted
        int focus;
        double stored;
    };
    const Case cases[] = {
        {"Zl", "abc", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "-1.5", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "inf", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "nan", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "1e400", kStringEnterNumber, kCurrencyRate, 0},
        {"Zl", "2.5x", kStringEnterNumber, kCurrencyRate, 0},
        {"", "abc", kStringEnterNumber, kCurrencyRate, 0},
        {"", "1", 509, kCurrencySymbol, 0},
        {"$", "1", 154, kCurrencySymbol, 0},
        {"c$", "1", 0, 0, 1.0},  // symbols compare with case
        {"Zl", " 0.25 ", 0, 0, 0.25},
        {"Zl", "-0", 0, 0, 0.0},
        {"Zl", "0", 0, 0, 0.0},  // no conversion
        {"Zl", "1.5e2", 0, 0, 150.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.symbol) + " " + c.rate);
        messages_.shown.clear();
        Edit edit(List(), nullptr, messages_);
        EXPECT_EQ(edit.Form().rateText, "1");
        edit.Form().symbol = c.symbol;
        edit.Form().rateText = c.rate;
        const DialogStep step = edit.Ok();
        if (c.message == 0) {
            EXPECT_TRUE(step.close);
            EXPECT_DOUBLE_EQ(edit.Rate(), c.stored);
            EXPECT_FALSE(std::signbit(edit.Rate()));
        } else {
            EXPECT_EQ(step, DialogStep::Stay(c.focus, true));
            EXPECT_EQ(messages_.Ids(), std::vector<int>{c.message});
        }
    }
    EXPECT_EQ(LoadString(kStringEnterNumber), "Please enter a number.");
}

TEST_F(CurrencyListLogicTest, EditKeepsTheHomeRateAtOneAndItsOwnSymbol) {
    Edit home(List(), List().FindById(kDollar), messages_);
    EXPECT_EQ(home.Form().symbol, "$");
    home.Form().rateText = "2";
    EXPECT_EQ(home.Ok(), DialogStep::Stay(kCurrencyRate, true));
    EXPECT_EQ(messages_.Ids(), std::vector<int>{134});

    messages_.shown.clear();
    List().FindById(kEuro)->SetRate(0.8);
    Edit euro(List(), List().FindById(kEuro), messages_);
    EXPECT_EQ(euro.Form().symbol, "\u20AC");
    EXPECT_EQ(euro.Form().rateText, "0.8");
    EXPECT_TRUE(euro.Ok().close);  // its own symbol is no duplicate
    euro.Form().symbol = "$";
    EXPECT_FALSE(euro.Ok().close);
    EXPECT_EQ(messages_.Ids(), std::vector<int>{154});

    messages_.shown.clear();
    CurrencyListLogic logic = Logic(Typed("EUR", "0.9"));
    EXPECT_EQ(logic.Edit(Row(kEuro)), ListStep::Select(Row(kEuro)));
    EXPECT_EQ(List().FindById(kEuro)->GetSymbol(), "EUR");
    EXPECT_EQ(Reload()->Currencies().FindById(kEuro)->GetSymbol(), "EUR");
    EXPECT_DOUBLE_EQ(Reload()->Currencies().FindById(kEuro)->GetRate(), 0.9);
}

TEST_F(CurrencyListLogicTest, DeletingACurrencyMovesItsAccountsHome) {
    CurrencyListLogic logic = Logic(Typed("unused"));
    EXPECT_EQ(logic.Delete(Row(kDollar)), ListStep::Nothing());
    EXPECT_EQ(messages_.Ids(), std::vector<int>{174});

    CAccount& savings = Account("Savings");
    savings.Header().SetCurrencyId(kEuro);
    ASSERT_EQ(savings.Save(), 0);
    messages_.shown.clear();
    EXPECT_EQ(logic.Delete(Row(kEuro)), ListStep::Nothing());  // No
    EXPECT_EQ(messages_.Ids(), std::vector<int>{514});
    EXPECT_NE(List().FindById(kEuro), nullptr);

    messages_.answers.push_back(Answer::kYes);
    EXPECT_EQ(logic.Delete(Row(kEuro)), ListStep::ClearSelection());
    EXPECT_EQ(List().FindById(kEuro), nullptr);
    EXPECT_EQ(view_.accountRefreshes, 1);
    const auto again = Reload();
    EXPECT_EQ(again->FindAccountByName("Savings")->Header().GetCurrencyId(), kDollar);
    EXPECT_EQ(again->Currencies().FindById(kEuro), nullptr);
}

TEST_F(CurrencyListLogicTest, AnAccountThatCannotBeSavedAfterADeleteIsShown) {
    CAccount& savings = Account("Savings");
    savings.Header().SetCurrencyId(kEuro);
    ASSERT_EQ(savings.Save(), 0);
    test::RecordingSink sink;
    CurrencyListLogic logic = Logic(Typed("unused"));
    messages_.answers.push_back(Answer::kYes);
    {
        test::FullDisk full;
        EXPECT_EQ(logic.Delete(Row(kEuro)), ListStep::ClearSelection());
    }
    ASSERT_EQ(messages_.shown.size(), 2u);
    EXPECT_EQ(messages_.shown[0].stringId, 514);
    EXPECT_EQ(messages_.shown[1].stringId, 184);  // a full disk says so
    EXPECT_EQ(messages_.shown[1].text, "Error saving file - insufficient disk space.");
    EXPECT_EQ(savings.Header().GetCurrencyId(), kDollar);  // kept in memory
    EXPECT_EQ(List().FindById(kEuro), nullptr);
    EXPECT_FALSE(sink.ids.empty());  // the list's own save reported itself
}

TEST_F(CurrencyListLogicTest, SetAsBaseMakesTheHomeCurrencyAtRateOne) {
    List().FindById(kEuro)->SetRate(0.8);
    List().FindById(4)->SetRate(0.6);
    CurrencyListLogic logic = Logic(Typed("unused"));
    EXPECT_EQ(logic.SetAsBase(Row(kEuro)), ListStep::Nothing());  // No
    EXPECT_EQ(messages_.Ids(), std::vector<int>{516});
    EXPECT_EQ(List().GetHomeCurrencyId(), kDollar);

    messages_.answers.push_back(Answer::kYes);
    EXPECT_EQ(logic.SetAsBase(Row(kEuro)), ListStep::Repaint());
    EXPECT_TRUE(logic.IsHome(Row(kEuro)));
    EXPECT_FALSE(logic.IsHome(Row(kDollar)));
    const auto again = Reload();
    EXPECT_EQ(again->Currencies().GetHomeCurrencyId(), kEuro);
    EXPECT_TRUE(again->Currencies().IsHomeChanged());
    EXPECT_DOUBLE_EQ(again->Currencies().FindById(kEuro)->GetRate(), 1.0);
    EXPECT_DOUBLE_EQ(again->Currencies().FindById(4)->GetRate(), 0.6);
}

}  // namespace
}  // namespace tallowmere::ui
