#include "ui/logic/report_page_logic.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "model/chart.h"
#include "model/preferences.h"
#include "model/registry.h"
#include "model/report.h"
#include "model/string_table.h"
#include "ui_logic/view_pages_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class TestChart final : public CChart {
  protected:
    void DrawSlice(int, int, int, const ChartSlice&) override {}
    void DrawLabel(int, int, int, const ChartSlice&) override {}
};

std::vector<int> Values(const ComboFill& fill) {
    std::vector<int> values;
    for (const ComboChoice& c : fill.entries)
        values.push_back(c.value);
    return values;
}

class ReportPageLogicTest : public test::ViewPagesTest {};

TEST(ReportPageChoices, TheTablesListTheirEntriesInTheirOrderWithTheirTexts) {
    const std::vector<ComboChoice> periods(ReportPeriodChoices().begin(),
                                           ReportPeriodChoices().end());
    const std::vector<ComboChoice> expectedPeriods = {
        {0, 526}, {1, 527}, {2, 528}, {3, 529}, {4, 530}, {5, 531}, {6, 532}, {7, 533}, {8, 534}};
    EXPECT_EQ(periods, expectedPeriods);
    const std::vector<ComboChoice> budget(BudgetPeriodChoices().begin(),
                                          BudgetPeriodChoices().end());
    const std::vector<ComboChoice> expectedBudget = {{2, 528}, {3, 529}, {4, 530},
                                                     {5, 531}, {6, 532}, {7, 533}};
    EXPECT_EQ(budget, expectedBudget);
    EXPECT_EQ(std::vector<ComboChoice>(GroupByChoices().begin(), GroupByChoices().end()),
              (std::vector<ComboChoice>{{0, 202}, {1, 203}, {2, 207}}));
    EXPECT_EQ(std::vector<ComboChoice>(DisplayChoices().begin(), DisplayChoices().end()),
              (std::vector<ComboChoice>{{0, 355}, {1, 356}}));
    const auto textual = AmountTypeChoices(kReportTextual);
    EXPECT_EQ(std::vector<ComboChoice>(textual.begin(), textual.end()),
              (std::vector<ComboChoice>{{0, 280}, {1, 358}, {2, 359}}));
    const auto chart = AmountTypeChoices(kReportChart);
    EXPECT_EQ(std::vector<ComboChoice>(chart.begin(), chart.end()),
              (std::vector<ComboChoice>{{1, 358}, {2, 359}}));
}

TEST(ReportPageChoices, EveryTextThePagesShowIsInTheStringTable) {
    std::vector<int> ids = {151, 181, 224, 227, 235, 236, 237, 238, 239, 525};
    for (const auto choices : {ReportPeriodChoices(), GroupByChoices(), DisplayChoices(),
                               AmountTypeChoices(kReportTextual)}) {
        for (const ComboChoice& c : choices)
            ids.push_back(c.stringId);
    }
    for (const int id : ids)
        EXPECT_FALSE(LoadString(id).empty()) << id;
}

TEST(ReportPageChoices, AValueOrIndexTheComboDoesNotHoldGivesTheFirstEntry) {
    EXPECT_EQ(ChoiceIndexOf(BudgetPeriodChoices(), 6), 4);
    EXPECT_EQ(ChoiceIndexOf(BudgetPeriodChoices(), 8), 0);
    EXPECT_EQ(ChoiceValueAt(BudgetPeriodChoices(), 4), 6);
    EXPECT_EQ(ChoiceValueAt(BudgetPeriodChoices(), 6), 2);
    EXPECT_EQ(ChoiceValueAt(BudgetPeriodChoices(), -1), 2);
    EXPECT_EQ(ChoiceValueAt(AmountTypeChoices(kReportChart), 0), 1);
}

TEST_F(ReportPageLogicTest, TheAccountComboListsAllThenTheAccountsByName) {
    const std::vector<ReportAccountChoice> choices = ReportAccountChoices(*data_);
    ASSERT_EQ(choices.size(), 6u);
    EXPECT_EQ(choices[0].stringId, 525);
    EXPECT_TRUE(choices[0].account.IsNull());
    std::vector<std::string> names;
    for (std::size_t i = 1; i < choices.size(); ++i) {
        names.push_back(choices[i].name);
        EXPECT_EQ(choices[i].stringId, 0);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"American Express", "Checking", "Mastercard",
                                               "Savings", "Visa"}));
    EXPECT_EQ(ReportAccountIndexOf(choices, Account("Savings").Header().GetId()), 4);
    EXPECT_EQ(ReportAccountIndexOf(choices, RecordId::Fixed(0x7777)), 0);
}

TEST_F(ReportPageLogicTest, EnteringTakesEachChoiceFromItsStoredValue) {
    struct Case {
        const char* what;
        std::optional<std::uint32_t> by, period, start, end;
        std::optional<std::uint16_t> type, amountTextual, amountChart;
        bool savings;  // "Last Report Account" names Savings
        bool strangeAccount;
        // expected
        int groupBy, periodValue, display, amountType;
        PalmTime startAt, endAt;
        bool accountSavings;
    };
    const PalmTime last90Start = At(2011, 12, 16);
    const PalmTime todayEnd = At(2012, 3, 15, 23, 59, 59);
    const Case cases[] = {
        {"nothing stored",
         {},
         {},
         {},
         {},
         {},
         {},
         {},
         false,
         false,  //
         0,
         1,
         0,
         0,
         last90Start,
         todayEnd,
         false},
        {"custom dates",
         2,
         8,
         At(2011, 5, 1),
         At(2011, 6, 30, 23, 59, 59),
         {},
         2,
         {},
         true,
         false,
         2,
         8,
         0,
         2,
         At(2011, 5, 1),
         At(2011, 6, 30, 23, 59, 59),
         true},
        {"this month",
         1,
         5,
         At(2011, 5, 1),
         At(2011, 6, 30),
         {},
         1,
         {},
         false,
         false,  //
         1,
         5,
         0,
         1,
         At(2012, 3, 1),
         At(2012, 3, 31, 23, 59, 59),
         false},
        {"values out of range",
         7,
         99,
         {},
         {},
         5,
         7,
         {},
         false,
         true,  //
         0,
         0,
         0,
         0,
         At(2012, 2, 14),
         todayEnd,
         false},
        {"chart, stored All",
         {},
         4,
         {},
         {},
         1,
         2,
         0,
         false,
         false,  //
         0,
         4,
         1,
         1,
         At(2011, 1, 1),
         At(2011, 12, 31, 23, 59, 59),
         false},
        {"chart, expenses",
         {},
         7,
         {},
         {},
         1,
         {},
         2,
         false,
         false,  //
         0,
         7,
         1,
         2,
         At(2012, 1, 1),
         At(2012, 12, 31, 23, 59, 59),
         false},
        {"chart, out of range",
         {},
         2,
         {},
         {},
         1,
         {},
         9,
         false,
         false,  //
         0,
         2,
         1,
         1,
         At(2012, 2, 1),
         At(2012, 2, 29, 23, 59, 59),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
        if (c.by)
            SetPrefLastReportBy(*c.by);
        if (c.period)
            SetPrefLastReportPeriod(*c.period);
        if (c.start)
            SetPrefLastStartDate(*c.start);
        if (c.end)
            SetPrefLastEndDate(*c.end);
        if (c.type)
            SetPrefLastReportType(*c.type);
        if (c.amountTextual)
            SetPrefLastAmountType(0, *c.amountTextual);
        if (c.amountChart)
            SetPrefLastAmountType(1, *c.amountChart);
        if (c.savings)
            SetPrefLastReportAccount(Account("Savings").Header().GetId());
        if (c.strangeAccount)
            SetPrefLastReportAccount(RecordId::Fixed(0x4242));

        const ReportPageState state = EnterReports(*data_);
        EXPECT_EQ(state.groupBy, c.groupBy);
        EXPECT_EQ(state.period, c.periodValue);
        EXPECT_EQ(state.display, c.display);
        EXPECT_EQ(state.amountType, c.amountType);
        EXPECT_EQ(state.start, c.startAt);
        EXPECT_EQ(state.end, c.endAt);
        EXPECT_EQ(state.sort, ReportSort{});
        EXPECT_EQ(state.account, c.accountSavings ? Account("Savings").Header().GetId() : kNoneId);

        const ReportPageControls controls = ReportControls(*data_, state);
        EXPECT_EQ(controls.accountSelected, c.accountSavings ? 4 : 0);
        EXPECT_EQ(controls.groupBy.selected, c.groupBy);
        EXPECT_EQ(controls.period.selected, c.periodValue);
        EXPECT_EQ(controls.display.selected, c.display);
        EXPECT_EQ(controls.start, c.startAt);
        EXPECT_EQ(controls.end, c.endAt);
        const bool chart = c.display == kReportChart;
        const std::vector<int> offered = chart ? std::vector<int>{1, 2} : std::vector<int>{0, 1, 2};
        EXPECT_EQ(Values(controls.amountType), offered);
        EXPECT_EQ(controls.amountType.entries[controls.amountType.selected].value, c.amountType);
        EXPECT_EQ(controls.showEmptyEnabled, !chart);
        EXPECT_EQ(controls.listVisible, !chart);
    }
}

TEST_F(ReportPageLogicTest, AShortStoredAccountIdSelectsAll) {
    std::array<std::uint8_t, 8> id{};
    Account("Savings").Header().GetId().ToBytes(id.data());
    RegWriteBinary(RegRoot::kCurrentUser, GetCurrentUserPrefsKeyPath(), "Last Report Account",
                   std::span<const std::uint8_t>(id.data(), 3));
    const ReportPageState state = EnterReports(*data_);
    EXPECT_TRUE(state.account.IsNull());
    EXPECT_EQ(ReportControls(*data_, state).accountSelected, 0);
}

TEST_F(ReportPageLogicTest, ThePeriodSetsThePickersAndAPickerSetsCustom) {
    ReportPageState state = EnterReports(*data_);
    ReportPeriodChanged(state, 5);  // This Month
    EXPECT_EQ(state.period, 5);
    EXPECT_EQ(state.start, At(2012, 3, 1));
    EXPECT_EQ(state.end, At(2012, 3, 31, 23, 59, 59));

    ReportPeriodChanged(state, 8);  // Custom keeps the days shown
    EXPECT_EQ(state.period, 8);
    EXPECT_EQ(state.start, At(2012, 3, 1));
    EXPECT_EQ(state.end, At(2012, 3, 31, 23, 59, 59));

    ReportPeriodChanged(state, 6);
    ReportDatesChanged(state, At(2012, 2, 3, 12), At(2012, 2, 9, 12));
    EXPECT_EQ(state.period, 8);
    EXPECT_EQ(state.start, At(2012, 2, 3));
    EXPECT_EQ(state.end, At(2012, 2, 9, 23, 59, 59));
    EXPECT_EQ(ReportControls(*data_, state).period.selected, 8);
}

TEST_F(ReportPageLogicTest, TheDisplayBringsItsOwnStoredAmountType) {
    SetPrefLastAmountType(0, 2);
    ReportPageState state = EnterReports(*data_);
    ASSERT_EQ(state.amountType, 2);

    ReportDisplayChanged(state, 1);  // nothing stored for the chart: All gives Income
    EXPECT_EQ(GetPrefLastReportType(), 1);
    EXPECT_EQ(state.display, kReportChart);
    EXPECT_EQ(state.amountType, 1);

    ReportAmountTypeChanged(state, 1);  // Expenses, the chart's second entry
    EXPECT_EQ(state.amountType, 2);
    EXPECT_EQ(GetPrefLastAmountType(1), 2);
    EXPECT_EQ(GetPrefLastAmountType(0), 2);

    ReportAmountTypeChanged(state, 0);
    ReportDisplayChanged(state, 0);
    EXPECT_EQ(GetPrefLastReportType(), 0);
    EXPECT_EQ(state.amountType, 2);  // the textual display's own
    EXPECT_EQ(GetPrefLastAmountType(1), 1);
}

TEST_F(ReportPageLogicTest, TheOtherControlsChangeTheirPartOfTheState) {
    ReportPageState state = EnterReports(*data_);
    state.sort = {23, false};

    ReportGroupByChanged(state, 2);
    EXPECT_EQ(state.groupBy, 2);
    ReportGroupByChanged(state, 3);
    EXPECT_EQ(state.groupBy, 0);

    SetPrefLastReportBy(1);
    ReportAccountChanged(*data_, state, 2);  // Checking
    EXPECT_EQ(state.account, Account("Checking").Header().GetId());
    EXPECT_EQ(state.groupBy, 1);
    ReportAccountChanged(*data_, state, 0);
    EXPECT_TRUE(state.account.IsNull());
    ReportAccountChanged(*data_, state, 17);
    EXPECT_TRUE(state.account.IsNull());

    ReportShowEmptyToggled(state, true);
    EXPECT_TRUE(state.showEmpty);
    EXPECT_TRUE(GetPrefShowEmptyItems());
    EXPECT_EQ(state.sort, ReportSort{});
    ReportShowEmptyToggled(state, false);
    EXPECT_FALSE(GetPrefShowEmptyItems());
}

TEST_F(ReportPageLogicTest, RecomputeReportsTheStateAndStoresTheChoices) {
    AddEntries();
    ReportPageState state = EnterReports(*data_);
    ReportGroupByChanged(state, 1);
    ReportPeriodChanged(state, 6);  // This Quarter
    CReport report(*data_);
    TestChart chart;
    const int rows = RecomputeReport(report, chart, state, messages_);
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(rows, static_cast<int>(report.GetItemCount()));
    EXPECT_GT(rows, 0);
    EXPECT_EQ(report.GetTotal(), -10000 + 250000 - 4000 - 2500);
    EXPECT_EQ(report.GetGroupBy(), kReportByCategory);
    EXPECT_EQ(report.GetStart(), At(2012, 1, 1));
    EXPECT_EQ(GetPrefLastReportBy(), 1u);
    EXPECT_EQ(GetPrefLastReportPeriod(), 6u);
    EXPECT_EQ(GetPrefLastStartDate(), At(2012, 1, 1));
    EXPECT_EQ(GetPrefLastEndDate(), At(2012, 3, 31, 23, 59, 59));
    EXPECT_TRUE(GetPrefLastReportAccount().IsNull());
    EXPECT_EQ(chart.GetCount(), 0);

    const CellText total =
        ReportTotalText(report, MoneyStyle{data_->GetHomeCurrencySymbol(), true});
    EXPECT_EQ(total.text, "$2335.00");
    EXPECT_FALSE(total.negative);

    // One account, expenses only.
    ReportAccountChanged(*data_, state, 4);  // Savings
    ReportAmountTypeChanged(state, 2);
    RecomputeReport(report, chart, state, messages_);
    EXPECT_EQ(report.GetTotal(), -2500);
    EXPECT_EQ(GetPrefLastReportAccount(), Account("Savings").Header().GetId());
}

TEST_F(ReportPageLogicTest, ChartModeFillsTheSlicesFromIncomeOrExpenses) {
    AddEntries();
    ReportPageState state = EnterReports(*data_);
    ReportGroupByChanged(state, 1);
    ReportPeriodChanged(state, 6);
    ReportDisplayChanged(state, 1);
    ASSERT_EQ(state.amountType, 1);
    ReportAmountTypeChanged(state, 1);  // Expenses
    CReport report(*data_);
    TestChart chart;
    RecomputeReport(report, chart, state, messages_);
    EXPECT_EQ(report.GetSignFilter(), kReportExpensesOnly);
    EXPECT_EQ(report.GetTotal(), -10000 - 4000 - 2500);
    ASSERT_EQ(chart.GetCount(), 2);  // Groceries and Dining; "Other" holds nothing
    EXPECT_EQ(chart.GetSlice(0)->Label(), "Dining");
    EXPECT_EQ(chart.GetSlice(1)->Label(), "Groceries");
}

TEST_F(ReportPageLogicTest, ASortOtherThanTheNameOrderIsAppliedAfterComputing) {
    AddEntries();
    ReportPageState state = EnterReports(*data_);
    ReportGroupByChanged(state, 0);  // payees
    ReportPeriodChanged(state, 6);
    ASSERT_TRUE(SortByHeader(state.sort, 23));
    CReport report(*data_);
    TestChart chart;
    ASSERT_EQ(RecomputeReport(report, chart, state, messages_), 3);
    EXPECT_EQ(report.GetItem(0)->GetName(), "Corner Grocery");
    EXPECT_EQ(report.GetItem(1)->GetName(), "Trattoria");
    EXPECT_EQ(report.GetItem(2)->GetName(), "Paycheck");

    ASSERT_TRUE(SortByHeader(state.sort, 23));  // the same column flips
    EXPECT_EQ(state.sort, (ReportSort{23, false}));
    RecomputeReport(report, chart, state, messages_);
    EXPECT_EQ(report.GetItem(0)->GetName(), "Paycheck");

    EXPECT_FALSE(SortByHeader(state.sort, 20));
    EXPECT_EQ(state.sort, (ReportSort{23, false}));
    ASSERT_TRUE(SortByHeader(state.sort, 21));
    EXPECT_EQ(state.sort, ReportSort{});
}

TEST_F(ReportPageLogicTest, AnAccountThatIsGoneFallsBackToAllWithoutAMessage) {
    AddEntries();
    ReportPageState state = EnterReports(*data_);
    ReportPeriodChanged(state, 6);
    state.account = RecordId::Fixed(0x4242);
    CReport report(*data_);
    TestChart chart;
    RecomputeReport(report, chart, state, messages_);
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(state.account.IsNull());
    EXPECT_TRUE(GetPrefLastReportAccount().IsNull());
    EXPECT_EQ(report.GetTotal(), -10000 + 250000 - 4000 - 2500);
}

TEST(ReportColumns, TheIconColumnShowsOnlyWhenGroupingByCategory) {
    for (const int by : {0, 1, 2}) {
        SCOPED_TRACE(by);
        EXPECT_EQ(ReportColumnShown(20, by), by == 1);
        for (const int id : {21, 22, 23, 24})
            EXPECT_TRUE(ReportColumnShown(id, by));
        EXPECT_FALSE(ReportColumnShown(25, by));
    }
}

}  // namespace
}  // namespace tallowmere::ui
