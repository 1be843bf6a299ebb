#include "ui/logic/page_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/chart.h"
#include "model/class_item.h"
#include "model/payee.h"
#include "model/report.h"
#include "ui/logic/budget_page_logic.h"
#include "ui_logic/view_pages_fixture.h"

namespace tallowmere::ui {
namespace {

class PageCommandsTest : public test::ViewPagesTest {
  protected:
    // This quarter's budget rows of a grouping, the empty ones too.
    CReport& Budgets(int groupBy) {
        if (!report_)
            report_ = std::make_unique<CReport>(*data_);
        state_.groupBy = groupBy;
        state_.period = kReportThisQuarter;
        state_.showEmpty = true;
        RecomputeBudget(*report_, state_, messages_);
        return *report_;
    }
    const CReportItem* Row(const std::string& label) const {
        for (std::size_t i = 0; i < report_->GetItemCount(); ++i) {
            if (report_->GetItem(i)->GetLabel() == label)
                return report_->GetItem(i);
        }
        std::string all;
        for (std::size_t i = 0; i < report_->GetItemCount(); ++i)
            all += "[" + report_->GetItem(i)->GetLabel() + "]";
        ADD_FAILURE() << "no row " << label << " in " << all;
        return nullptr;
    }

    BudgetPageState state_;
    std::unique_ptr<CReport> report_;  // made once the data set is loaded
};

// A chart that draws nothing: only its slices matter here.
class QuietChart final : public CChart {
  protected:
    void DrawSlice(int, int, int, const ChartSlice&) override {}
    void DrawLabel(int, int, int, const ChartSlice&) override {}
};

TEST_F(PageCommandsTest, EachCommandIsAnsweredOnItsPages) {
    struct Case {
        int id;
        std::optional<bool> onPage[4];  // nothing: left to the other commands
    };
    const Case cases[] = {
        {5010, {false, true, true, false}},
        {32823, {false, true, true, false}},
        {32771, {{}, true, true, {}}},
        {5011, {false, false, true, false}},
        {32824, {false, false, true, false}},
        {5013, {false, false, false, true}},
        {5014, {false, false, false, true}},
        {5022, {false, false, false, true}},
        {32809, {true, false, false, false}},
        {32789, {{}, {}, {}, {}}},
        {5006, {{}, {}, {}, {}}},
    };
    for (const Case& c : cases) {
        for (int page = 0; page < 4; ++page) {
            SCOPED_TRACE(testing::Message() << c.id << " on page " << page);
            const std::optional<CommandState> state = PageCommandState(c.id, page);
            ASSERT_EQ(state.has_value(), c.onPage[page].has_value());
            if (state) {
                EXPECT_EQ(state->enabled, *c.onPage[page]);
                EXPECT_FALSE(state->checked);
            }
        }
    }
}

TEST_F(PageCommandsTest, TheChosenRowIsTheOneSelectedRowOrTheSelectedSlice) {
    AddEntries();
    Budgets(kReportByCategory);
    ASSERT_GE(report_->GetItemCount(), 3u);
    QuietChart chart;
    report_->BuildSlices(chart);
    ASSERT_GE(chart.GetCount(), 2);
    struct Case {
        bool chartMode;
        int selectedCount, first, slice;
        const CReportItem* expected;
    };
    const Case cases[] = {
        {false, 0, -1, -1, nullptr},
        {false, 1, 2, -1, report_->GetItem(2)},
        {false, 2, 0, -1, nullptr},              // more than one
        {false, 1, 999, -1, nullptr},            // beyond the rows
        {false, 1, 0, 1, report_->GetItem(0)},   // the slice counts only on the chart
        {true, 1, 0, -1, nullptr},               // no slice selected
        {true, 0, -1, 1, chart.GetItemData(1)},  //
        {true, 3, 0, 0, chart.GetItemData(0)},   // the list's selection does not count
        {true, 0, -1, 999, nullptr},             // beyond the slices: none selected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.chartMode << " " << c.selectedCount << " " << c.first << " " << c.slice);
        chart.Select(c.slice);
        EXPECT_EQ(ChosenReportRow(*report_, chart, c.chartMode, c.selectedCount, c.first),
                  c.expected);
    }
}

TEST_F(PageCommandsTest, OnlyRowsWithAListItemBehindThemCanHoldABudget) {
    AddEntries();
    CAccount& checking = Account("Checking");
    // Without a payee or category, of class Business.
    auto bare = Entry(test::Day(2012, 3, 6), -700, "", kNoneId);
    bare->SetClassId(data_->Classes().FindByName("Business")->GetId());
    checking.AddTransaction(std::move(bare));
    checking.RecalcBalances();
    ASSERT_EQ(checking.Save(), 0);
    struct Case {
        int groupBy;
        std::string label;
        bool canHold;
    };
    const Case cases[] = {
        {kReportByCategory, "Groceries", true},     {kReportByCategory, "Dining", true},
        {kReportByCategory, "<Unassigned>", false}, {kReportByPayee, "Corner Grocery", true},
        {kReportByClass, "Business", true},         {kReportByClass, "<Unassigned>", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.groupBy << " " << c.label);
        Budgets(c.groupBy);
        const CReportItem* row = Row(c.label);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(CanHoldBudget(*data_, *row), c.canHold);
    }
    // The parents' sub-totals and "Other" of a report (budgets have none).
    Budgets(kReportByCategory);
    report_->SetBudgetMode(0);
    report_->SetShowEmptyRows(0);
    report_->SetRange(test::At(2011, 1, 1), test::At(2012, 12, 31));
    ASSERT_EQ(report_->Compute(), 0);
    const CReportItem* total = Row("    Total Auto");
    ASSERT_NE(total, nullptr);
    EXPECT_TRUE(total->IsSubTotal());
    EXPECT_FALSE(CanHoldBudget(*data_, *total));
    report_->SetSignFilter(kReportExpensesOnly);
    report_->SetOtherBucket(1);
    ASSERT_EQ(report_->Compute(), 0);
    bool other = false;
    for (std::size_t i = 0; i < report_->GetItemCount(); ++i) {
        if (report_->GetItem(i)->IsOther()) {
            other = true;
            EXPECT_FALSE(CanHoldBudget(*data_, *report_->GetItem(i)));
        }
    }
    EXPECT_TRUE(other);
    // Rows the report could make: a nameless payee, an account (a transfer),
    // the splits, a class gone.
    const CReportItem nameless(kReportByPayee, "", "", kNoneId, kNoneId, 0);
    EXPECT_FALSE(CanHoldBudget(*data_, nameless));
    const CReportItem account(kReportByCategory, "Savings", "", Account("Savings").Header().GetId(),
                              kNoneId, 0);
    EXPECT_FALSE(CanHoldBudget(*data_, account));
    const CReportItem split(kReportByCategory, "Split", "", SplitMarkerId, kNoneId, 0);
    EXPECT_FALSE(CanHoldBudget(*data_, split));
    const CReportItem goneClass(kReportByClass, "Gone", "", RecordId::Fixed(0x7777), kNoneId, 0);
    EXPECT_FALSE(CanHoldBudget(*data_, goneClass));
}

TEST_F(PageCommandsTest, SetBudgetOpensWithTheMonthlyBudgetAndStoresWhatOkGives) {
    AddEntries();
    Budgets(kReportByCategory);
    const CReportItem groceries = *Row("Groceries");
    // Cancel: nothing stored.
    std::string label;
    Cents opened = 0;
    EXPECT_EQ(SetRowBudget(*report_, *data_, groceries,
                           [&](std::string_view l, Cents& budget) {
                               label = std::string(l);
                               opened = budget;
                               budget = 99;
                               return false;
                           }),
              BudgetAmountResult::kCancelled);
    EXPECT_EQ(label, "Groceries");
    EXPECT_EQ(opened, 10000);  // a month's, not the quarter's 300.00
    EXPECT_EQ(data_->Categories().GetBudgetAmount(test::kPageGroceriesId), 10000);

    const auto enter = [](Cents amount) {
        return [amount](std::string_view, Cents& budget) {
            budget = amount;
            return true;
        };
    };
    EXPECT_EQ(SetRowBudget(*report_, *data_, groceries, enter(12345)), BudgetAmountResult::kStored);
    EXPECT_EQ(Reload()->Categories().GetBudgetAmount(test::kPageGroceriesId), 12345);

    // A payee's budget goes into the payee list's file.
    Budgets(kReportByPayee);
    EXPECT_EQ(SetRowBudget(*report_, *data_, *Row("Trattoria"), enter(-2500)),
              BudgetAmountResult::kStored);
    EXPECT_EQ(Reload()->Payees().GetBudgetAmount("Trattoria"), -2500);
    EXPECT_TRUE(messages_.shown.empty());

    // A row without a list item opens nothing.
    Budgets(kReportByCategory);
    bool opened2 = false;
    EXPECT_EQ(SetRowBudget(*report_, *data_, *Row("<Unassigned>"),
                           [&](std::string_view, Cents&) { return opened2 = true; }),
              BudgetAmountResult::kRefused);
    EXPECT_FALSE(opened2);
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(PageCommandsTest, AFailedBudgetSaveLeavesTheFileAsItWasAndShowsNoSecondMessage) {
    AddEntries();
    Budgets(kReportByCategory);
    const CReportItem dining = *Row("Dining");
    FailWrites();
    EXPECT_EQ(SetRowBudget(*report_, *data_, dining,
                           [](std::string_view, Cents& budget) {
                               budget = 77700;
                               return true;
                           }),
              BudgetAmountResult::kFailed);
    platform::SetWriteFault(nullptr);
    // The list's own report of the failure is the one message.
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(Reload()->Categories().GetBudgetAmount(test::kPageDiningId), 5000);
}

}  // namespace
}  // namespace tallowmere::ui
