// Switching pages, and the Reports, Budgets and Reconcile pages: their
// choices, stored per user, and the report computed from them.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <algorithm>
#include <limits>

#include "model/money.h"
#include "model/preferences.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/logic/page_columns.h"
#include "ui/logic/reconcile_page_logic.h"
#include "ui/logic/statement_details_logic.h"
#include "ui/logic/view_pages.h"
#include "ui/palm_date.h"
#include "ui/register_list_ctrl.h"
#include "ui/statement_details_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

void SetDate(QDateEdit& edit, PalmTime t) {
    const QSignalBlocker blocker(&edit);
    edit.setDate(ToQDate(t));
}

}  // namespace

bool CTallowmereView::SelectPage(int page) {
    if (page < 0 || page >= kViewPageCount)
        return false;
    if (page == 3 && page_ != 3 && !EnterReconcile())
        return false;
    if (page_ == 0 && page != 0 && current_ != nullptr)
        current_->SetTopRow(static_cast<std::int16_t>(
            std::clamp(list_->GetTopIndex(), 0, int{std::numeric_limits<std::int16_t>::max()})));
    page_ = page;
    {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(page);
    }
    if (page != 1)
        chartMode_ = 0;
    switch (page) {
        case 0:
        case 3:
            list_->SetMode(page == 0 ? CTransactionListCtrl::kModeRegister
                                     : CTransactionListCtrl::kModeReconcile);
            list_->SetAccount(current_);
            ApplyRegisterColumns(page);
            list_->SetSort(sortColumn_, sortDirection_);
            list_->ResetItemCount();
            if (page == 0) {
                ScrollToTopRow();
            } else {
                list_->SetSelection(-1, true);
                list_->SetTopIndex(0);
            }
            break;
        case 1:
            EnterReports();
            break;
        case 2:
            EnterBudgets();
            break;
        default:
            break;
    }
    ApplyRowColor();
    ApplyVisibility();
    list_->viewport()->update();
    update();
    return true;
}

// --- Reports and Budgets ---

namespace {

void PushCombo(QComboBox& combo, const ComboFill& fill) {
    const QSignalBlocker blocker(&combo);
    combo.clear();
    for (const ComboChoice& c : fill.entries)
        combo.addItem(Text(c.stringId), c.value);
    combo.setCurrentIndex(fill.selected);
}

}  // namespace

void CTallowmereView::EnterReports() {
    reportState_ = ui::EnterReports(*data_);
    chartMode_ = reportState_.display == kReportChart ? 1 : 0;
    list_->SetMode(CTransactionListCtrl::kModeReport);
    list_->SetReport(report_.get());
    list_->SetSelection(-1, true);
    PushReportControls();
    ApplyReportColumns();
    RecomputeReport();
}

void CTallowmereView::EnterBudgets() {
    budgetState_ = ui::EnterBudgets();
    list_->SetMode(CTransactionListCtrl::kModeBudget);
    list_->SetReport(report_.get());
    list_->SetSelection(-1, true);
    PushBudgetControls();
    ApplyReportColumns();
    RecomputeReport();
}

void CTallowmereView::PushReportControls() {
    const ReportPageControls c = ReportControls(*data_, reportState_);
    {
        const QSignalBlocker blocker(reportAccount_);
        reportAccount_->clear();
        for (const ReportAccountChoice& a : c.accounts)
            reportAccount_->addItem(a.stringId != 0 ? Text(a.stringId)
                                                    : QString::fromStdString(a.name));
        reportAccount_->setCurrentIndex(c.accountSelected);
    }
    PushCombo(*groupBy_, c.groupBy);
    PushCombo(*period_, c.period);
    PushCombo(*display_, c.display);
    PushCombo(*amountType_, c.amountType);
    SetDate(*startDate_, c.start);
    SetDate(*endDate_, c.end);
    const QSignalBlocker blocker(showEmpty_);
    showEmpty_->setChecked(c.showEmptyChecked);
    showEmpty_->setEnabled(c.showEmptyEnabled);
}

void CTallowmereView::PushBudgetControls() {
    const BudgetPageControls c = BudgetControls(budgetState_);
    PushCombo(*groupBy_, c.groupBy);
    PushCombo(*period_, c.period);
    const QSignalBlocker blocker(showEmpty_);
    showEmpty_->setChecked(c.showEmptyChecked);
    showEmpty_->setEnabled(c.showEmptyEnabled);
}

void CTallowmereView::ApplyReportColumns() {
    const bool budgets = page_ == 2;
    const ListPage listPage = budgets ? ListPage::kBudgets : ListPage::kReports;
    const CShowColumns stored = budgets ? LoadShowColumnsBudget() : LoadShowColumnsReport();
    const int groupBy = budgets ? budgetState_.groupBy : reportState_.groupBy;
    const std::vector<PageColumn> shown = list_->SetPageColumns(listPage, stored, groupBy);
    // The widths the room gave the rest columns are kept.
    CShowColumns checked = ValidPageColumns(listPage, stored);
    bool changed = false;
    for (const PageColumn& c : shown) {
        const int index = checked.IndexOfId(c.id);
        if (index >= 0 && checked.GetWidth(index) == kColumnWidthRest) {
            checked.SetWidth(index, static_cast<std::uint16_t>(std::clamp(c.width, 0, 0xFFFE)));
            changed = true;
        }
    }
    if (changed) {
        if (budgets)
            SaveShowColumnsBudget(checked);
        else
            SaveShowColumnsReport(checked);
    }
}

void CTallowmereView::OnReportControlChanged(int controlId) {
    if (page_ == 2) {
        switch (controlId) {
            case view_id::kGroupBy:
                BudgetGroupByChanged(budgetState_, groupBy_->currentIndex());
                ApplyReportColumns();
                break;
            case view_id::kPeriod:
                BudgetPeriodChanged(budgetState_, period_->currentIndex());
                break;
            case view_id::kShowEmpty:
                BudgetShowEmptyToggled(budgetState_, showEmpty_->isChecked());
                break;
            default:
                return;
        }
        PushBudgetControls();
        RecomputeReport();
        return;
    }
    if (page_ != 1)
        return;
    switch (controlId) {
        case view_id::kReportAccount:
            ReportAccountChanged(*data_, reportState_, reportAccount_->currentIndex());
            ApplyReportColumns();
            break;
        case view_id::kGroupBy:
            ReportGroupByChanged(reportState_, groupBy_->currentIndex());
            ApplyReportColumns();
            break;
        case view_id::kPeriod:
            ReportPeriodChanged(reportState_, period_->currentIndex());
            break;
        case view_id::kStartDate:
        case view_id::kEndDate:
            ReportDatesChanged(reportState_, DayToPalmTime(startDate_->date()),
                               DayToPalmTime(endDate_->date()));
            break;
        case view_id::kDisplay:
            ReportDisplayChanged(reportState_, display_->currentIndex());
            chartMode_ = reportState_.display == kReportChart ? 1 : 0;
            ApplyVisibility();
            break;
        case view_id::kAmountType:
            ReportAmountTypeChanged(reportState_, amountType_->currentIndex());
            break;
        case view_id::kShowEmpty:
            ReportShowEmptyToggled(reportState_, showEmpty_->isChecked());
            break;
        default:
            return;
    }
    PushReportControls();
    RecomputeReport();
}

void CTallowmereView::RecomputeReport() {
    if (page_ != 1 && page_ != 2)
        return;
    ServiceMessages messages(this);
    if (page_ == 2) {
        chart_.AllocateSlices(0);
        RecomputeBudget(*report_, budgetState_, messages);
    } else {
        ui::RecomputeReport(*report_, chart_, reportState_, messages);
        if (reportState_.display != kReportChart)
            chart_.AllocateSlices(0);
    }
    ApplyReportSortArrow();
    list_->ResetItemCount();
    list_->viewport()->update();
    update();
}

// --- Reconcile ---

bool CTallowmereView::EnterReconcile() {
    if (current_ == nullptr)
        return false;
    CBusyLock lock(*this);
    if (!lock.Held())
        return false;
    StatementDetailsValues values = ReconcileStatementValues(*current_);
    if (RunStatementDetailsDialog(this, values) != 1)
        return false;
    ServiceMessages messages(this);
    ApplyStatementDetails(*current_, values, messages);
    return true;
}

}  // namespace tallowmere::ui
