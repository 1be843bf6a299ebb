#pragma once
// The fixed entries of the Reports and Budgets pages' combos, in the order
// the pages list them, each with its value and the string id of its text;
// and the report account combo: "All", then the data set's accounts. A
// stored value that a combo does not offer selects its first entry.
#include <span>
#include <string>
#include <vector>

#include "model/record_id.h"

namespace tallowmere {
class CAccounts;
}

namespace tallowmere::ui {

// Control ids of the two pages.
inline constexpr int kReportShowEmptyCheck = 5012;
inline constexpr int kReportAccountCombo = 5015;
inline constexpr int kReportByCombo = 5016;
inline constexpr int kReportPeriodCombo = 5017;
inline constexpr int kReportStartPicker = 5018;
inline constexpr int kReportEndPicker = 5019;
inline constexpr int kReportDisplayCombo = 5020;
inline constexpr int kReportAmountCombo = 5021;

// Display values.
inline constexpr int kReportTextual = 0;
inline constexpr int kReportChart = 1;

struct ComboChoice {
    int value = 0;
    int stringId = 0;
    friend bool operator==(const ComboChoice&, const ComboChoice&) = default;
};

// What a combo lists and which entry is selected.
struct ComboFill {
    std::vector<ComboChoice> entries;
    int selected = 0;
    friend bool operator==(const ComboFill&, const ComboFill&) = default;
};

// The nine periods of the Reports page (values 0-8).
std::span<const ComboChoice> ReportPeriodChoices();
// The six calendar periods of the Budgets page (values 2-7).
std::span<const ComboChoice> BudgetPeriodChoices();
// Payee, Category, Class.
std::span<const ComboChoice> GroupByChoices();
// Textual, Chart.
std::span<const ComboChoice> DisplayChoices();
// All, Income, Expenses; in chart mode without All.
std::span<const ComboChoice> AmountTypeChoices(int display);

// The index of the entry holding value; 0 when none does.
int ChoiceIndexOf(std::span<const ComboChoice> choices, int value);
// The value of the entry at index; the first entry's for an index the
// combo does not have.
int ChoiceValueAt(std::span<const ComboChoice> choices, int index);
// The entries and the index of value in them.
ComboFill FillChoices(std::span<const ComboChoice> choices, int value);

// One entry of the report account combo: All (no account, string 525) or an
// account with its name (UTF-8).
struct ReportAccountChoice {
    RecordId account;  // none for All
    int stringId = 0;  // 525 for All, else 0
    std::string name;  // empty for All
    friend bool operator==(const ReportAccountChoice&, const ReportAccountChoice&) = default;
};

// All, then every account of the data set in its order, which is by name.
std::vector<ReportAccountChoice> ReportAccountChoices(const CAccounts& data);
// The entry of the account; 0 (All) when none has that id.
int ReportAccountIndexOf(const std::vector<ReportAccountChoice>& choices, const RecordId& account);

}  // namespace tallowmere::ui
