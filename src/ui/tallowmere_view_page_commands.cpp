// The commands of the Reports, Budgets and Reconcile pages: a row's
// details (button, pop-up, Edit, double-click, the chart), its budget, the
// header sort, the chart's selection, marking every reconcile row and
// finishing the reconcile; and the Upcoming Transactions dialog.
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPushButton>
#include <functional>

#include "model/report.h"
#include "ui/budget_amount_dlg.h"
#include "ui/logic/command_id.h"
#include "ui/logic/page_commands.h"
#include "ui/logic/reconcile_page_logic.h"
#include "ui/logic/report_details_logic.h"
#include "ui/logic/report_sort.h"
#include "ui/logic/view_pages.h"
#include "ui/register_list_ctrl.h"
#include "ui/report_details_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/transaction_dlg_runner.h"
#include "ui/ui_services.h"
#include "ui/upcoming_transactions_dlg.h"

namespace tallowmere::ui {
namespace {

constexpr int kPageRegister = 0;
constexpr int kPageReports = 1;
constexpr int kPageBudgets = 2;
constexpr int kPageReconcile = 3;

// Hands the events of the object it watches to a function; true consumes.
class EventHook final : public QObject {
  public:
    EventHook(QObject* parent, std::function<bool(QEvent*)> hook)
        : QObject(parent), hook_(std::move(hook)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return watched == parent() && hook_(event);
    }

  private:
    std::function<bool(QEvent*)> hook_;
};

// What the dialogs opened here ask of the view after they wrote.
class ViewRefresher final : public TransactionViewHost, public UpcomingViewHost {
  public:
    explicit ViewRefresher(CTallowmereView& view) : view_(view) {}
    void RefreshPanes() override {
        view_.RefreshAccountsPane();
        if (const CAccount* current = view_.CurrentAccount())
            view_.RefreshForAccount(current->Header().GetId());
    }
    void RefreshForAccount(const RecordId& account) override { view_.RefreshForAccount(account); }

  private:
    CTallowmereView& view_;
};

// The transaction dialog inside the busy lock: the details dialog takes
// none while it only shows, so a sync may run; each edit waits for it.
class LockedTransactionRunner final : public TransactionDialogRunner {
  public:
    LockedTransactionRunner(CTallowmereView& view, DataSetSource data, ViewRefresher& host)
        : view_(view), runner_(&view, std::move(data), &host) {}

    TransactionDialogOutcome EditTransaction(CAccount& account, const CTransaction& t) override {
        CBusyLock lock(view_);
        if (!lock.Held())
            return {};
        return runner_.EditTransaction(account, t);
    }
    TransactionDialogOutcome RecordTransaction(CAccount& account,
                                               const CTransaction& occurrence) override {
        CBusyLock lock(view_);
        if (!lock.Held())
            return {};
        return runner_.RecordTransaction(account, occurrence);
    }

  private:
    CTallowmereView& view_;
    CTransactionDlgRunner runner_;
};

int SelectedRowCount(const CRegisterListCtrl& list) {
    const QItemSelectionModel* selection = list.selectionModel();
    return selection == nullptr ? 0 : static_cast<int>(selection->selectedRows().size());
}

void ShowSelectOneItem(QWidget* parent) {
    ServiceMessages(parent).Show(StringMessage(kStringSelectOneItem));
}

}  // namespace

void CTallowmereView::AttachPageCommands() {
    connect(list_->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { OnReportHeaderClicked(section); });
    // A row's double-click comes as Edit, which these pages read as Details.
    // "Done" goes through the main window's routing, as the icon buttons do.
    connect(done_, &QPushButton::clicked, this, [this] {
        if (auto* frame = qobject_cast<CMainFrame*>(window()))
            frame->Router().Dispatch(view_id::kDone);
    });
    // The chart is drawn on the view itself, where the hidden list would be.
    installEventFilter(new EventHook(this, [this](QEvent* event) {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
            return false;
        return OnChartMouse(*static_cast<QMouseEvent*>(event), type == QEvent::MouseButtonDblClick);
    }));
}

std::optional<CommandState> CTallowmereView::QueryPageCommand(int id) const {
    return PageCommandState(id, page_);
}

bool CTallowmereView::RunPageCommand(int id) {
    const std::optional<CommandState> state = PageCommandState(id, page_);
    if (!state)
        return false;
    if (!state->enabled)
        return true;
    switch (id) {
        case view_id::kDetails:
        case kCommandReportDetails:
        case ToInt(CommandId::kEditTransaction):
            OnReportDetails();
            break;
        case view_id::kSetBudget:
        case kCommandSetBudgetAmount:
            OnSetBudgetAmount();
            break;
        case view_id::kMarkAll:
        case view_id::kUnmarkAll:
            OnMarkAllRows(id == view_id::kMarkAll);
            break;
        case view_id::kDone:
            OnFinishReconcile();
            break;
        case ToInt(CommandId::kUpcomingTransactions):
            OnUpcomingTransactions();
            break;
        default:
            break;
    }
    return true;
}

// --- Reports and Budgets ---

void CTallowmereView::OnReportDetails() {
    if (page_ != kPageReports && page_ != kPageBudgets)
        return;
    const CReportItem* row = ChosenReportRow(
        *report_, chart_, ChartMode(), SelectedRowCount(*list_), list_->GetFirstSelectedItem());
    if (row == nullptr) {
        ShowSelectOneItem(this);
        return;
    }
    OpenReportDetails(*row);
}

void CTallowmereView::OpenReportDetails(const CReportItem& row) {
    // The dialog keeps its own copy of the row: the report may be computed
    // again (a reload) while it is open.
    const bool payeeColumn = DetailShowsPayee(*report_);
    ViewRefresher refresher(*this);
    DataSetSource data = [this] { return data_.get(); };
    LockedTransactionRunner runner(*this, data, refresher);
    RunReportDetailsDialog(this, data, *report_, row, payeeColumn, runner);
    RecomputeReport();
}

void CTallowmereView::OnSetBudgetAmount() {
    if (page_ != kPageBudgets)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const CReportItem* chosen = ChosenReportRow(*report_, chart_, false, SelectedRowCount(*list_),
                                                list_->GetFirstSelectedItem());
    if (chosen == nullptr) {
        ShowSelectOneItem(this);
        return;
    }
    const CReportItem row = *chosen;
    const BudgetAmountResult result =
        SetRowBudget(*report_, *data_, row, [this](std::string_view label, Cents& budget) {
            return RunBudgetAmountDialog(this, label, budget) == 1;
        });
    if (result == BudgetAmountResult::kStored || result == BudgetAmountResult::kFailed)
        RecomputeReport();
}

void CTallowmereView::OnReportHeaderClicked(int section) {
    if (page_ != kPageReports && page_ != kPageBudgets)
        return;
    ReportSort& sort = page_ == kPageReports ? reportState_.sort : budgetState_.sort;
    if (!SortByHeader(sort, list_->GetColumnId(section))) {
        Services().Beep();
        return;
    }
    list_->SetSelection(-1, true);
    report_->SortItems(sort.column, sort.ascending);
    ApplyReportSortArrow();
    list_->ResetItemCount();
    list_->viewport()->update();
    update();
}

void CTallowmereView::ApplyReportSortArrow() {
    const ReportSort& sort = page_ == kPageBudgets ? budgetState_.sort : reportState_.sort;
    list_->SetSort(static_cast<std::uint16_t>(sort.column), sort.ascending ? 1 : 0);
    list_->header()->viewport()->update();
}

bool CTallowmereView::OnChartMouse(const QMouseEvent& event, bool doubleClick) {
    if (page_ != kPageReports || !ChartMode() || event.button() != Qt::LeftButton)
        return false;
    const QPoint at = event.position().toPoint();
    if (!QRect(layout_.list.x, layout_.list.y, layout_.list.width, layout_.list.height)
             .contains(at))
        return false;
    int index = -1;
    chart_.HitTest(at.x(), at.y(), index);
    chart_.Select(index);
    update(layout_.list.x, layout_.list.y, layout_.list.width, layout_.list.height);
    if (doubleClick && index >= 0) {
        if (const CReportItem* row = chart_.GetItemData(index))
            OpenReportDetails(*row);
    }
    return true;
}

// --- Reconcile ---

void CTallowmereView::OnMarkAllRows(bool mark) {
    if (page_ != kPageReconcile || current_ == nullptr)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ServiceMessages messages(this);
    MarkAllReconcileRows(*current_, mark, messages);
    list_->viewport()->update();
    update();
    RefreshFilterCombo(filter_);
}

void CTallowmereView::OnFinishReconcile() {
    if (page_ != kPageReconcile || current_ == nullptr)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ServiceMessages messages(this);
    switch (FinishReconcile(*current_, messages)) {
        case FinishResult::kCancelled:
            return;
        case FinishResult::kFailed:
            // The account is as it was before Done: the page stays for
            // another try.
            list_->ResetItemCount();
            list_->viewport()->update();
            update();
            return;
        case FinishResult::kFinished:
            break;
    }
    SelectPage(kPageRegister);
    RefreshAccountsPane();
    RefreshFilterCombo(filter_);
    list_->setFocus();
}

// --- Upcoming Transactions ---

void CTallowmereView::OnUpcomingTransactions() {
    // Record, Skip and Record All write the account and scheduled files.
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ViewRefresher refresher(*this);
    DataSetSource data = [this] { return data_.get(); };
    LockedTransactionRunner runner(*this, data, refresher);
    RunUpcomingTransactionsDialog(this, data, runner, &refresher);
    RefreshForAccount(current_ != nullptr ? current_->Header().GetId() : RecordId{});
    RefreshFilterCombo(filter_);
}

}  // namespace tallowmere::ui
