#include "ui/logic/budget_page_logic.h"

#include <cstdint>

#include "model/preferences.h"
#include "model/report.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

int Offered(std::span<const ComboChoice> choices, std::int64_t stored) {
    for (const ComboChoice& c : choices) {
        if (c.value == stored)
            return c.value;
    }
    return choices.empty() ? 0 : choices.front().value;
}

}  // namespace

BudgetPageState EnterBudgets() {
    BudgetPageState state;
    state.groupBy = Offered(GroupByChoices(), GetPrefLastBudgetBy());
    state.period = Offered(BudgetPeriodChoices(), GetPrefLastBudgetPeriod());
    state.showEmpty = GetPrefShowEmptyItems();
    state.sort = ReportSort{};
    return state;
}

BudgetPageControls BudgetControls(const BudgetPageState& state) {
    BudgetPageControls c;
    c.groupBy = FillChoices(GroupByChoices(), state.groupBy);
    c.period = FillChoices(BudgetPeriodChoices(), state.period);
    c.showEmptyChecked = state.showEmpty;
    c.showEmptyEnabled = true;
    return c;
}

void BudgetGroupByChanged(BudgetPageState& state, int index) {
    state.groupBy = ChoiceValueAt(GroupByChoices(), index);
}

void BudgetPeriodChanged(BudgetPageState& state, int index) {
    state.period = ChoiceValueAt(BudgetPeriodChoices(), index);
}

void BudgetShowEmptyToggled(BudgetPageState& state, bool checked) {
    state.showEmpty = checked;
    SetPrefShowEmptyItems(checked);
    state.sort = ReportSort{};
}

int RecomputeBudget(CReport& report, BudgetPageState& state, Messages& messages) {
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(state.period, start, end);
    report.SetBudgetMode(1);
    report.SetAccountId(RecordId{});
    report.SetGroupBy(static_cast<std::uint8_t>(state.groupBy));
    report.SetPeriodKind(static_cast<std::uint8_t>(state.period));
    report.SetRange(start, end);
    report.SetShowEmptyRows(state.showEmpty ? 1 : 0);
    report.SetSignFilter(kReportAllAmounts);
    report.SetOtherBucket(0);
    SetPrefLastBudgetBy(static_cast<std::uint32_t>(state.groupBy));
    SetPrefLastBudgetPeriod(static_cast<std::uint32_t>(state.period));
    const int result = report.Compute();
    // -1 means only that there is no account to report on: nothing failed.
    if (result != 0 && result != -1)
        ShowFileErrorMessage(messages, result);
    if (!state.sort.IsComputedOrder())
        report.SortItems(state.sort.column, state.sort.ascending);
    return static_cast<int>(report.GetItemCount());
}

BudgetTotals ComputeBudgetTotals(const CReport& report, const MoneyStyle& money) {
    BudgetTotals t;
    // The difference is taken from the budget scaled to the period, the one
    // shown beside it, as each row's Difference cell takes its own.
    t.budget = ScaleBudgetToPeriod(report.GetPeriodKind(), report.GetBudgetTotal());
    t.actual = report.GetTotal();
    t.difference = SaturatingAdd(t.actual, SaturatingNegate(t.budget));
    t.budgetText = MoneyCellText(money.symbol, t.budget, money.decimals);
    t.actualText = MoneyCellText(money.symbol, t.actual, money.decimals);
    t.differenceText = MoneyCellText(money.symbol, t.difference, money.decimals);
    return t;
}

}  // namespace tallowmere::ui
