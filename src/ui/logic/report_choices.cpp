#include "ui/logic/report_choices.h"

#include <array>
#include <cstdint>

#include "model/preferences.h"
#include "model/report.h"

namespace tallowmere::ui {
namespace {

constexpr std::array<ReportChoice, 9> kPeriods = {{
    {0, 526},
    {1, 527},
    {2, 528},
    {3, 529},
    {4, 530},
    {5, 531},
    {6, 532},
    {7, 533},
    {8, 534},
}};
constexpr std::array<ReportChoice, 3> kGroupBy = {{{0, 202}, {1, 203}, {2, 207}}};
constexpr std::array<ReportChoice, 2> kDisplay = {{{0, 355}, {1, 356}}};
constexpr std::array<ReportChoice, 3> kAmountTypes = {{{0, 280}, {1, 358}, {2, 359}}};

}  // namespace

std::span<const ReportChoice> ReportPeriodChoices() {
    return kPeriods;
}

std::span<const ReportChoice> BudgetPeriodChoices() {
    return std::span<const ReportChoice>(kPeriods).subspan(2, 6);
}

std::span<const ReportChoice> GroupByChoices() {
    return kGroupBy;
}

std::span<const ReportChoice> DisplayChoices() {
    return kDisplay;
}

std::span<const ReportChoice> AmountTypeChoices(bool chart) {
    return chart ? std::span<const ReportChoice>(kAmountTypes).subspan(1)
                 : std::span<const ReportChoice>(kAmountTypes);
}

void ApplyReportSettings(CReport& report, const ReportSettings& s) {
    report.SetBudgetMode(s.budgets ? 1 : 0);
    report.SetAccountId(s.budgets ? RecordId() : s.account);
    report.SetGroupBy(static_cast<std::uint8_t>(s.groupBy));
    report.SetPeriodKind(static_cast<std::uint8_t>(s.period));
    PalmTime start = s.start;
    PalmTime end = s.end;
    ReportDateRange(s.period, start, end);
    report.SetRange(start, end);
    report.SetShowEmptyRows(s.showEmpty && !s.chart ? 1 : 0);
    report.SetSignFilter(static_cast<std::uint8_t>(s.budgets ? 0 : s.amountType));
    report.SetOtherBucket(s.chart ? 1 : 0);
}

void StoreReportSettings(const ReportSettings& s) {
    if (s.budgets) {
        SetPrefLastBudgetBy(static_cast<std::uint32_t>(s.groupBy));
        SetPrefLastBudgetPeriod(static_cast<std::uint32_t>(s.period));
        return;
    }
    SetPrefLastReportAccount(s.account);
    SetPrefLastReportBy(static_cast<std::uint32_t>(s.groupBy));
    SetPrefLastReportPeriod(static_cast<std::uint32_t>(s.period));
    SetPrefLastStartDate(s.start);
    SetPrefLastEndDate(s.end);
}

}  // namespace tallowmere::ui
