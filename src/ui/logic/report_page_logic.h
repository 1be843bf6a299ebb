#pragma once
// The Reports page without its widgets: the choices its controls hold, how
// entering the page takes them from the stored preferences, each control's
// change as a step of the page's state, and the recompute that turns the
// state into report rows (and pie slices in chart mode). The widget fills
// its controls from ReportControls after every step, with their signals
// blocked, and recomputes.
#include <string>
#include <vector>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/messages.h"
#include "ui/logic/report_page_choices.h"
#include "ui/logic/report_sort.h"

namespace tallowmere {
class CAccounts;
class CChart;
class CReport;
}  // namespace tallowmere

namespace tallowmere::ui {

struct ReportPageState {
    RecordId account;  // none: every account
    int groupBy = 0;   // 0 payee, 1 category, 2 class
    int period = 0;    // 0-8, 8 Custom
    PalmTime start = 0;
    PalmTime end = 0;
    int display = kReportTextual;
    int amountType = 0;  // 0 all, 1 income, 2 expenses
    bool showEmpty = false;
    ReportSort sort;
    friend bool operator==(const ReportPageState&, const ReportPageState&) = default;
};

// What the page's controls show for a state.
struct ReportPageControls {
    std::vector<ReportAccountChoice> accounts;
    int accountSelected = 0;
    ComboFill groupBy;
    ComboFill period;
    PalmTime start = 0;  // the pickers
    PalmTime end = 0;
    ComboFill display;
    ComboFill amountType;
    bool showEmptyChecked = false;
    bool showEmptyEnabled = true;  // Textual only
    bool listVisible = true;       // hidden in chart mode
};

// Entering the page: every choice from the stored preferences, a stored
// value that the combos do not offer giving their first entry (an account
// no longer in the data set gives All); the pickers from "Last Start Date"
// and "Last End Date" for Custom, else the period's range; the name column
// ascending.
ReportPageState EnterReports(const CAccounts& data);

ReportPageControls ReportControls(const CAccounts& data, const ReportPageState& state);

// The control steps; each index is the combo's entry index. After each the
// page recomputes.
// Another account: "By" is taken again from "Last Report By".
void ReportAccountChanged(const CAccounts& data, ReportPageState& state, int index);
void ReportGroupByChanged(ReportPageState& state, int index);
// Any period but Custom sets the pickers to its range.
void ReportPeriodChanged(ReportPageState& state, int index);
// A picker the user changed: the period becomes Custom.
void ReportDatesChanged(ReportPageState& state, PalmTime start, PalmTime end);
// Stores "Last Report Type"; the amount type becomes the stored one of that
// display ("Last Amount Type - %d"), Income for a stored All in chart mode.
void ReportDisplayChanged(ReportPageState& state, int index);
// Stores the amount type for the current display.
void ReportAmountTypeChanged(ReportPageState& state, int index);
// Stores "Show Empty Items"; the sort goes back to the name column ascending.
void ReportShowEmptyToggled(ReportPageState& state, bool checked);

// Hands the state to the report, stores the choices ("Last Report
// Account", "By", "Period", "Start Date", "End Date"), computes, sorts
// unless the sort is the computed order, and in chart mode fills the
// chart's slices. When the chosen account is gone the page falls back to
// All and computes once more; any other failure shows the file error. The
// number of rows.
int RecomputeReport(CReport& report, CChart& chart, ReportPageState& state, Messages& messages);

// The total under the Amount column: label 224 and the report's total.
inline constexpr int kReportTotalLabel = 224;
CellText ReportTotalText(const CReport& report, const MoneyStyle& money);

}  // namespace tallowmere::ui
