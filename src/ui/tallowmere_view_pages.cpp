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
#include "ui/logic/report_choices.h"
#include "ui/logic/statement_details_logic.h"
#include "ui/logic/view_pages.h"
#include "ui/palm_date.h"
#include "ui/register_list_ctrl.h"
#include "ui/statement_details_dlg.h"
#include "ui/tallowmere_view.h"

namespace tallowmere::ui {
namespace {

QString Str(int id) {
    return QString::fromStdString(platform::Cp1252ToUtf8(LoadString(id)));
}

void FillChoices(QComboBox& combo, std::span<const ReportChoice> choices, int selected) {
    const QSignalBlocker blocker(&combo);
    combo.clear();
    for (const ReportChoice& c : choices)
        combo.addItem(Str(c.stringId), c.value);
    const int index = combo.findData(selected);
    combo.setCurrentIndex(index >= 0 ? index : 0);
}

int SelectedValue(const QComboBox& combo) {
    return combo.currentIndex() >= 0 ? combo.currentData().toInt() : 0;
}

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

void CTallowmereView::EnterReports() {
    chartMode_ = std::min<int>(GetPrefLastReportType(), 1);
    reportSortColumn_ = kReportSortName;
    reportSortAscending_ = true;
    list_->SetMode(CTransactionListCtrl::kModeReport);
    list_->SetReport(report_.get());
    list_->SetSelection(-1, true);
    FillReportAccountCombo();
    FillGroupByCombo(GetPrefLastReportBy());
    FillPeriodCombo(GetPrefLastReportPeriod(), false);
    FillDisplayCombo();
    FillAmountTypeCombo();
    ApplyReportColumns();
    showEmpty_->setEnabled(chartMode_ == 0);
    RecomputeReport();
}

void CTallowmereView::EnterBudgets() {
    reportSortColumn_ = kReportSortName;
    reportSortAscending_ = true;
    list_->SetMode(CTransactionListCtrl::kModeBudget);
    list_->SetReport(report_.get());
    list_->SetSelection(-1, true);
    FillGroupByCombo(GetPrefLastBudgetBy());
    FillPeriodCombo(GetPrefLastBudgetPeriod(), true);
    ApplyReportColumns();
    showEmpty_->setEnabled(true);
    RecomputeReport();
}

void CTallowmereView::FillReportAccountCombo() {
    const QSignalBlocker blocker(reportAccount_);
    reportAccount_->clear();
    reportAccount_->addItem(Str(525), -1);
    const RecordId last = GetPrefLastReportAccount();
    int selected = 0;
    for (std::size_t i = 0; i < data_->GetAccountCount(); ++i) {
        const CAccount* a = data_->GetAccountAt(i);
        reportAccount_->addItem(
            QString::fromStdString(platform::Cp1252ToUtf8(a->Header().GetName())),
            static_cast<int>(i));
        if (!last.IsNull() && a->Header().GetId() == last)
            selected = static_cast<int>(i) + 1;
    }
    reportAccount_->setCurrentIndex(selected);
}

void CTallowmereView::FillGroupByCombo(std::uint32_t stored) {
    FillChoices(*groupBy_, GroupByChoices(), static_cast<int>(std::min<std::uint32_t>(stored, 9)));
}

void CTallowmereView::FillPeriodCombo(std::uint32_t stored, bool budgets) {
    const auto choices = budgets ? BudgetPeriodChoices() : ReportPeriodChoices();
    FillChoices(*period_, choices, static_cast<int>(std::min<std::uint32_t>(stored, 99)));
    const int period = SelectedValue(*period_);
    if (!budgets && period == kReportCustomRange) {
        SetDate(*startDate_, GetPrefLastStartDate());
        SetDate(*endDate_, GetPrefLastEndDate());
    } else {
        SetPeriodDates(period);
    }
}

void CTallowmereView::FillDisplayCombo() {
    FillChoices(*display_, DisplayChoices(), chartMode_);
}

void CTallowmereView::FillAmountTypeCombo() {
    const int stored = GetPrefLastAmountType(static_cast<std::int16_t>(chartMode_));
    FillChoices(*amountType_, AmountTypeChoices(chartMode_ != 0), stored);
}

void CTallowmereView::SetPeriodDates(int period) {
    PalmTime start = DayToPalmTime(startDate_->date());
    PalmTime end = DayToPalmTime(endDate_->date());
    ReportDateRange(period, start, end);
    SetDate(*startDate_, start);
    SetDate(*endDate_, end);
}

void CTallowmereView::ApplyReportColumns() {
    const bool budgets = page_ == 2;
    const ListPage listPage = budgets ? ListPage::kBudgets : ListPage::kReports;
    CShowColumns stored = budgets ? LoadShowColumnsBudget() : LoadShowColumnsReport();
    const std::vector<PageColumn> shown =
        list_->SetPageColumns(listPage, stored, SelectedValue(*groupBy_));
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
    switch (controlId) {
        case view_id::kReportAccount:
            FillGroupByCombo(GetPrefLastReportBy());
            ApplyReportColumns();
            break;
        case view_id::kGroupBy:
            ApplyReportColumns();
            break;
        case view_id::kPeriod:
            if (SelectedValue(*period_) != kReportCustomRange)
                SetPeriodDates(SelectedValue(*period_));
            break;
        case view_id::kStartDate:
        case view_id::kEndDate: {
            const QSignalBlocker blocker(period_);
            period_->setCurrentIndex(period_->count() - 1);
            break;
        }
        case view_id::kDisplay:
            chartMode_ = SelectedValue(*display_) != 0 ? 1 : 0;
            SetPrefLastReportType(static_cast<std::uint16_t>(chartMode_));
            FillAmountTypeCombo();
            showEmpty_->setEnabled(chartMode_ == 0);
            ApplyVisibility();
            break;
        case view_id::kAmountType:
            SetPrefLastAmountType(static_cast<std::int16_t>(chartMode_),
                                  static_cast<std::uint16_t>(SelectedValue(*amountType_)));
            break;
        case view_id::kShowEmpty:
            SetPrefShowEmptyItems(showEmpty_->isChecked());
            reportSortColumn_ = kReportSortName;
            reportSortAscending_ = true;
            break;
        default:
            break;
    }
    RecomputeReport();
}

void CTallowmereView::RecomputeReport() {
    if (page_ != 1 && page_ != 2)
        return;
    const bool budgets = page_ == 2;
    ReportSettings settings;
    settings.budgets = budgets;
    settings.groupBy = SelectedValue(*groupBy_);
    settings.period = SelectedValue(*period_);
    settings.start = DayToPalmTime(startDate_->date());
    settings.end = DayToPalmTime(endDate_->date());
    settings.showEmpty = showEmpty_->isChecked();
    if (!budgets) {
        const int accountIndex = SelectedValue(*reportAccount_);
        const CAccount* account = accountIndex >= 0
                                      ? data_->GetAccountAt(static_cast<std::size_t>(accountIndex))
                                      : nullptr;
        settings.account = account != nullptr ? account->Header().GetId() : RecordId();
        settings.chart = chartMode_ != 0;
        settings.amountType = SelectedValue(*amountType_);
    }
    ApplyReportSettings(*report_, settings);
    StoreReportSettings(settings);
    const int code = report_->Compute();
    if (code != 0 && code != -1)
        ShowFileErrorMessage(code);
    if (reportSortColumn_ != kReportSortName || !reportSortAscending_)
        report_->SortItems(reportSortColumn_, reportSortAscending_);
    if (!budgets && chartMode_ != 0)
        report_->BuildSlices(chart_);
    else
        chart_.AllocateSlices(0);
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
    Cents opening = 0;
    Cents ending = 0;
    PalmTime date = 0;
    StatementDetailsValues values;
    values.focusMode = current_->GetReconcileState(opening, ending, date);
    values.accountType = current_->Header().GetType();
    values.closingDate = date;
    values.beginningBalance = FormatMoney(opening, kMoneyFull);
    values.endingBalance = FormatMoney(ending, kMoneyFull);
    if (RunStatementDetailsDialog(this, values) != 1)
        return false;
    AccountHeader& header = current_->Header();
    bool changed = false;
    // Each setter marks its own change bit.
    const Cents beginning = ParseMoney(values.beginningBalance);
    if (beginning != header.GetReconcileOpening()) {
        header.SetReconcileOpening(beginning);
        changed = true;
    }
    const Cents endingValue = ParseMoney(values.endingBalance);
    if (endingValue != header.GetReconcileEnding()) {
        header.SetReconcileEnding(endingValue);
        changed = true;
    }
    if (values.closingDate != header.GetReconcileDate()) {
        header.SetReconcileDate(values.closingDate);
        changed = true;
    }
    if (changed) {
        if (const int code = current_->Save(); code != 0)
            ShowFileErrorMessage(code);
    }
    return true;
}

}  // namespace tallowmere::ui
