#pragma once
// The Budgets page without its widgets: grouping and one of the six
// calendar periods, taken from the stored preferences on entering, changed
// by the controls, turned into budget rows by the recompute; and the three
// totals under the Budget, Actual and Difference columns.
#include "model/money.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/messages.h"
#include "ui/logic/report_page_choices.h"
#include "ui/logic/report_sort.h"

namespace tallowmere {
class CReport;
}

namespace tallowmere::ui {

struct BudgetPageState {
    int groupBy = 0;
    int period = 2;  // 2-7
    bool showEmpty = false;
    ReportSort sort;
    friend bool operator==(const BudgetPageState&, const BudgetPageState&) = default;
};

struct BudgetPageControls {
    ComboFill groupBy;
    ComboFill period;
    bool showEmptyChecked = false;
    bool showEmptyEnabled = true;
};

// "Last Budget By", "Last Budget Period" (a period the page does not offer
// gives its first, Last Month), "Show Empty Items"; the name column
// ascending.
BudgetPageState EnterBudgets();

BudgetPageControls BudgetControls(const BudgetPageState& state);

void BudgetGroupByChanged(BudgetPageState& state, int index);
void BudgetPeriodChanged(BudgetPageState& state, int index);
void BudgetShowEmptyToggled(BudgetPageState& state, bool checked);

// The report over every account in budget mode for the period's range;
// stores "Last Budget By" and "Last Budget Period"; computes and sorts. A
// failure other than an empty data set shows the file error. The number of
// rows.
int RecomputeBudget(CReport& report, BudgetPageState& state, Messages& messages);

// Label 227 and, under their columns: the budget total over the period, the
// actual total, and actual less that budget, as the rows count it.
inline constexpr int kBudgetTotalsLabel = 227;
struct BudgetTotals {
    Cents budget = 0;
    Cents actual = 0;
    Cents difference = 0;
    CellText budgetText;
    CellText actualText;
    CellText differenceText;
};
BudgetTotals ComputeBudgetTotals(const CReport& report, const MoneyStyle& money);

}  // namespace tallowmere::ui
