#include "ui/logic/budget_page_logic.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "model/preferences.h"
#include "model/report.h"
#include "ui_logic/view_pages_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class BudgetPageLogicTest : public test::ViewPagesTest {};

TEST_F(BudgetPageLogicTest, EnteringOffersTheSixCalendarPeriodsAndFallsBackToTheFirst) {
    struct Case {
        std::optional<std::uint32_t> by, period;
        int groupBy, periodValue, selected;
    };
    const Case cases[] = {
        {{}, {}, 0, 2, 0},        // nothing stored: period 0 is not offered
        {1, 0, 1, 2, 0},          // Last 30 Days
        {2, 1, 2, 2, 0},          // Last 90 Days
        {0, 8, 0, 2, 0},          // Custom
        {1, 99, 1, 2, 0},         //
        {1, 6, 1, 6, 4},          // This Quarter
        {5, 7, 0, 7, 5},          // a grouping out of range
        {0xFFFFFFFF, 3, 0, 3, 1}  //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.by.value_or(999) << " " << c.period.value_or(999));
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
        if (c.by)
            SetPrefLastBudgetBy(*c.by);
        if (c.period)
            SetPrefLastBudgetPeriod(*c.period);
        SetPrefShowEmptyItems(true);
        const BudgetPageState state = EnterBudgets();
        EXPECT_EQ(state.groupBy, c.groupBy);
        EXPECT_EQ(state.period, c.periodValue);
        EXPECT_TRUE(state.showEmpty);
        EXPECT_EQ(state.sort, ReportSort{});
        const BudgetPageControls controls = BudgetControls(state);
        EXPECT_EQ(controls.period.entries.size(), 6u);
        EXPECT_EQ(controls.period.selected, c.selected);
        EXPECT_EQ(controls.groupBy.selected, c.groupBy);
        EXPECT_TRUE(controls.showEmptyChecked);
        EXPECT_TRUE(controls.showEmptyEnabled);
    }
}

TEST_F(BudgetPageLogicTest, TheControlsChangeTheirPartOfTheState) {
    BudgetPageState state = EnterBudgets();
    state.sort = {22, true};
    BudgetPeriodChanged(state, 4);
    EXPECT_EQ(state.period, 6);
    BudgetPeriodChanged(state, 6);  // beyond the six
    EXPECT_EQ(state.period, 2);
    BudgetGroupByChanged(state, 2);
    EXPECT_EQ(state.groupBy, 2);
    BudgetShowEmptyToggled(state, true);
    EXPECT_TRUE(GetPrefShowEmptyItems());
    EXPECT_EQ(state.sort, ReportSort{});
}

TEST_F(BudgetPageLogicTest, RecomputeReportsEveryAccountOverThePeriodAndStoresTheChoices) {
    AddEntries();
    BudgetPageState state = EnterBudgets();
    BudgetGroupByChanged(state, 1);
    BudgetPeriodChanged(state, 4);  // This Quarter
    CReport report(*data_);
    report.SetAccountId(Account("Savings").Header().GetId());  // a Reports leftover
    report.SetSignFilter(kReportExpensesOnly);
    const int rows = RecomputeBudget(report, state, messages_);
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(rows, static_cast<int>(report.GetItemCount()));
    EXPECT_EQ(report.GetBudgetMode(), 1);
    EXPECT_TRUE(report.GetAccountId().IsNull());
    EXPECT_EQ(report.GetStart(), At(2012, 1, 1));
    EXPECT_EQ(report.GetEnd(), At(2012, 3, 31, 23, 59, 59));
    EXPECT_EQ(report.GetTotal(), -10000 + 250000 - 4000 - 2500);
    EXPECT_EQ(GetPrefLastBudgetBy(), 1u);
    EXPECT_EQ(GetPrefLastBudgetPeriod(), 6u);
}

TEST_F(BudgetPageLogicTest, TheTotalsScaleTheBudgetAndTakeTheDifferenceFromTheScaledBudget) {
    AddEntries();
    struct Case {
        int periodIndex;
        Cents budget;
    };
    // 150.00 a month over two categories.
    const Case cases[] = {{0, 15000}, {1, 45000}, {2, 180000}, {3, 15000}, {4, 45000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.periodIndex);
        BudgetPageState state = EnterBudgets();
        BudgetGroupByChanged(state, 1);
        BudgetPeriodChanged(state, c.periodIndex);
        CReport report(*data_);
        RecomputeBudget(report, state, messages_);
        const BudgetTotals totals =
            ComputeBudgetTotals(report, MoneyStyle{data_->GetHomeCurrencySymbol(), true});
        EXPECT_EQ(totals.budget, c.budget);
        EXPECT_EQ(totals.actual, report.GetTotal());
        EXPECT_EQ(totals.difference, report.GetTotal() - c.budget);
        EXPECT_EQ(totals.budgetText.text, "$" + FormatMoney(c.budget, kMoneyFull));
        EXPECT_EQ(totals.differenceText.negative, totals.difference < 0);
    }
    // Last Month: Dining -40.00 against 150.00.
    BudgetPageState state = EnterBudgets();
    BudgetGroupByChanged(state, 1);
    BudgetPeriodChanged(state, 0);
    CReport report(*data_);
    RecomputeBudget(report, state, messages_);
    const BudgetTotals totals = ComputeBudgetTotals(report, MoneyStyle{"$", false});
    EXPECT_EQ(totals.actual, -4000);
    EXPECT_EQ(totals.difference, -19000);
    EXPECT_EQ(totals.differenceText.text, "$-190");
    EXPECT_TRUE(totals.differenceText.negative);
    EXPECT_TRUE(totals.actualText.negative);
    EXPECT_FALSE(totals.budgetText.negative);
}

}  // namespace
}  // namespace tallowmere::ui
