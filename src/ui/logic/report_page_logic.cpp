#include "ui/logic/report_page_logic.h"

#include <cstdint>

#include "model/accounts.h"
#include "model/chart.h"
#include "model/preferences.h"
#include "model/report.h"
#include "ui/logic/file_error_message.h"

namespace tallowmere::ui {
namespace {

// The stored value when the combo offers it, else the combo's first entry.
int Offered(std::span<const ComboChoice> choices, std::int64_t stored) {
    for (const ComboChoice& c : choices) {
        if (c.value == stored)
            return c.value;
    }
    return choices.empty() ? 0 : choices.front().value;
}

void SetRangeOfPeriod(ReportPageState& state) {
    if (state.period != kReportCustomRange)
        ReportDateRange(state.period, state.start, state.end);
}

void ApplyToReport(CReport& report, const ReportPageState& state) {
    report.SetBudgetMode(0);
    report.SetAccountId(state.account);
    report.SetGroupBy(static_cast<std::uint8_t>(state.groupBy));
    report.SetPeriodKind(static_cast<std::uint8_t>(state.period));
    report.SetRange(state.start, state.end);
    report.SetShowEmptyRows(state.showEmpty ? 1 : 0);
    report.SetSignFilter(static_cast<std::uint8_t>(state.amountType));
    // The pie folds the slivers too thin to see into "Other".
    report.SetOtherBucket(state.display == kReportChart ? 1 : 0);
}

void StoreChoices(const ReportPageState& state) {
    SetPrefLastReportAccount(state.account);
    SetPrefLastReportBy(static_cast<std::uint32_t>(state.groupBy));
    SetPrefLastReportPeriod(static_cast<std::uint32_t>(state.period));
    SetPrefLastStartDate(state.start);
    SetPrefLastEndDate(state.end);
}

}  // namespace

ReportPageState EnterReports(const CAccounts& data) {
    ReportPageState state;
    state.display = Offered(DisplayChoices(), GetPrefLastReportType());
    const RecordId account = GetPrefLastReportAccount();
    if (!account.IsNull() && data.FindAccountById(account) != nullptr)
        state.account = account;
    state.groupBy = Offered(GroupByChoices(), GetPrefLastReportBy());
    state.period = Offered(ReportPeriodChoices(), GetPrefLastReportPeriod());
    if (state.period == kReportCustomRange) {
        state.start = GetPrefLastStartDate();
        state.end = GetPrefLastEndDate();
    } else {
        SetRangeOfPeriod(state);
    }
    state.amountType = Offered(AmountTypeChoices(state.display),
                               GetPrefLastAmountType(static_cast<std::int16_t>(state.display)));
    state.showEmpty = GetPrefShowEmptyItems();
    state.sort = ReportSort{};
    return state;
}

ReportPageControls ReportControls(const CAccounts& data, const ReportPageState& state) {
    ReportPageControls c;
    c.accounts = ReportAccountChoices(data);
    c.accountSelected = ReportAccountIndexOf(c.accounts, state.account);
    c.groupBy = FillChoices(GroupByChoices(), state.groupBy);
    c.period = FillChoices(ReportPeriodChoices(), state.period);
    c.start = state.start;
    c.end = state.end;
    c.display = FillChoices(DisplayChoices(), state.display);
    c.amountType = FillChoices(AmountTypeChoices(state.display), state.amountType);
    c.showEmptyChecked = state.showEmpty;
    c.showEmptyEnabled = state.display == kReportTextual;
    c.listVisible = state.display == kReportTextual;
    return c;
}

void ReportAccountChanged(const CAccounts& data, ReportPageState& state, int index) {
    const std::vector<ReportAccountChoice> choices = ReportAccountChoices(data);
    state.account = index > 0 && static_cast<std::size_t>(index) < choices.size()
                        ? choices[static_cast<std::size_t>(index)].account
                        : RecordId{};
    state.groupBy = Offered(GroupByChoices(), GetPrefLastReportBy());
}

void ReportGroupByChanged(ReportPageState& state, int index) {
    state.groupBy = ChoiceValueAt(GroupByChoices(), index);
}

void ReportPeriodChanged(ReportPageState& state, int index) {
    state.period = ChoiceValueAt(ReportPeriodChoices(), index);
    SetRangeOfPeriod(state);
}

void ReportDatesChanged(ReportPageState& state, PalmTime start, PalmTime end) {
    // The pickers show days; the range holds the whole of both.
    state.start = PalmTimeDayBound(start, 1);
    state.end = PalmTimeDayBound(end, 2);
    state.period = kReportCustomRange;
}

void ReportDisplayChanged(ReportPageState& state, int index) {
    state.display = ChoiceValueAt(DisplayChoices(), index);
    SetPrefLastReportType(static_cast<std::uint16_t>(state.display));
    state.amountType = Offered(AmountTypeChoices(state.display),
                               GetPrefLastAmountType(static_cast<std::int16_t>(state.display)));
}

void ReportAmountTypeChanged(ReportPageState& state, int index) {
    state.amountType = ChoiceValueAt(AmountTypeChoices(state.display), index);
    SetPrefLastAmountType(static_cast<std::int16_t>(state.display),
                          static_cast<std::uint16_t>(state.amountType));
}

void ReportShowEmptyToggled(ReportPageState& state, bool checked) {
    state.showEmpty = checked;
    SetPrefShowEmptyItems(checked);
    state.sort = ReportSort{};
}

int RecomputeReport(CReport& report, CChart& chart, ReportPageState& state, Messages& messages) {
    ApplyToReport(report, state);
    StoreChoices(state);
    int result = report.Compute();
    if (result == -1 && !state.account.IsNull()) {
        // The chosen account has gone (a reload, a deletion): report on all.
        state.account = RecordId{};
        ApplyToReport(report, state);
        StoreChoices(state);
        result = report.Compute();
    }
    // -1 means only that there is no account to report on: nothing failed.
    if (result != 0 && result != -1)
        ShowFileErrorMessage(messages, result);
    if (!state.sort.IsComputedOrder())
        report.SortItems(state.sort.column, state.sort.ascending);
    if (state.display == kReportChart)
        report.BuildSlices(chart);
    return static_cast<int>(report.GetItemCount());
}

CellText ReportTotalText(const CReport& report, const MoneyStyle& money) {
    return MoneyCellText(money.symbol, report.GetTotal(), money.decimals);
}

}  // namespace tallowmere::ui
