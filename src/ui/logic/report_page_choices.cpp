#include "ui/logic/report_page_choices.h"

#include <array>

#include "model/account.h"
#include "model/accounts.h"
#include "platform/text_1252.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringAll = 525;

constexpr std::array<ComboChoice, 9> kReportPeriods = {{
    {0, 526},  // "Last 30 Days"
    {1, 527},  // "Last 90 Days"
    {2, 528},  // "Last Month"
    {3, 529},  // "Last Quarter"
    {4, 530},  // "Last Year"
    {5, 531},  // "This Month"
    {6, 532},  // "This Quarter"
    {7, 533},  // "This Year"
    {8, 534},  // "Custom"
}};
constexpr std::array<ComboChoice, 6> kBudgetPeriods = {{
    {2, 528},
    {3, 529},
    {4, 530},
    {5, 531},
    {6, 532},
    {7, 533},
}};
constexpr std::array<ComboChoice, 3> kGroupBy = {{{0, 202}, {1, 203}, {2, 207}}};
constexpr std::array<ComboChoice, 2> kDisplay = {{{kReportTextual, 355}, {kReportChart, 356}}};
constexpr std::array<ComboChoice, 3> kAmountTypes = {{{0, 280}, {1, 358}, {2, 359}}};

}  // namespace

std::span<const ComboChoice> ReportPeriodChoices() {
    return kReportPeriods;
}
std::span<const ComboChoice> BudgetPeriodChoices() {
    return kBudgetPeriods;
}
std::span<const ComboChoice> GroupByChoices() {
    return kGroupBy;
}
std::span<const ComboChoice> DisplayChoices() {
    return kDisplay;
}
std::span<const ComboChoice> AmountTypeChoices(int display) {
    // A pie has no room for signs: the chart shows income or expenses.
    if (display == kReportChart)
        return std::span<const ComboChoice>(kAmountTypes).subspan(1);
    return kAmountTypes;
}

int ChoiceIndexOf(std::span<const ComboChoice> choices, int value) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].value == value)
            return static_cast<int>(i);
    }
    return 0;
}

int ChoiceValueAt(std::span<const ComboChoice> choices, int index) {
    if (choices.empty())
        return 0;
    if (index < 0 || static_cast<std::size_t>(index) >= choices.size())
        index = 0;
    return choices[static_cast<std::size_t>(index)].value;
}

ComboFill FillChoices(std::span<const ComboChoice> choices, int value) {
    ComboFill fill;
    fill.entries.assign(choices.begin(), choices.end());
    fill.selected = ChoiceIndexOf(choices, value);
    return fill;
}

std::vector<ReportAccountChoice> ReportAccountChoices(const CAccounts& data) {
    std::vector<ReportAccountChoice> choices;
    choices.reserve(data.GetAccountCount() + 1);
    choices.push_back({RecordId{}, kStringAll, {}});
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i) {
        const CAccount* account = data.GetAccountAt(i);
        if (account != nullptr)
            choices.push_back(
                {account->Header().GetId(), 0, platform::Cp1252ToUtf8(account->GetDisplayName())});
    }
    return choices;
}

int ReportAccountIndexOf(const std::vector<ReportAccountChoice>& choices, const RecordId& account) {
    if (account.IsNull())
        return 0;
    for (std::size_t i = 1; i < choices.size(); ++i) {
        if (choices[i].account == account)
            return static_cast<int>(i);
    }
    return 0;
}

}  // namespace tallowmere::ui
