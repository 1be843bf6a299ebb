#pragma once
// The choices of the Reports and Budgets pages: the fixed entries of their
// combos in order, and the settings read from the controls, handed to the
// report and stored for the user.
#include <span>

#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {
class CReport;
}

namespace tallowmere::ui {

struct ReportChoice {
    int value = 0;
    int stringId = 0;
};

// All nine periods; Budgets offers only the six calendar periods.
std::span<const ReportChoice> ReportPeriodChoices();
std::span<const ReportChoice> BudgetPeriodChoices();
// "Payee", "Category", "Class".
std::span<const ReportChoice> GroupByChoices();
// "Textual", "Chart".
std::span<const ReportChoice> DisplayChoices();
// "All", "Income", "Expenses"; a chart has no "All".
std::span<const ReportChoice> AmountTypeChoices(bool chart);

struct ReportSettings {
    bool budgets = false;
    RecordId account;  // none: every account (Budgets: always)
    int groupBy = 0;
    int period = 0;
    PalmTime start = 0;
    PalmTime end = 0;
    bool showEmpty = false;
    bool chart = false;
    int amountType = 0;
};

// The settings into the report; the dates become whole days.
void ApplyReportSettings(CReport& report, const ReportSettings& settings);
// "Last Report Account", "Last Report By", "Last Report Period", "Last Start
// Date" and "Last End Date" for Reports; "Last Budget By" and "Last Budget
// Period" for Budgets.
void StoreReportSettings(const ReportSettings& settings);

}  // namespace tallowmere::ui
