// The register's commands: new, edit, delete, status, transfer, select all,
// the row and read-out pop-up menus, the status-cell click, the header sort
// and the read-outs' clicks. Each command that writes a file runs inside the
// busy lock and does nothing when the lock is not had, so no save of the
// window ever lands inside a sync's merge.
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>

#include "model/preferences.h"
#include "model/show_columns.h"
#include "platform/text_1252.h"
#include "ui/logic/command_id.h"
#include "ui/logic/page_columns.h"
#include "ui/logic/register_commands.h"
#include "ui/logic/view_menus.h"
#include "ui/main_frame.h"
#include "ui/owner_list_model.h"
#include "ui/register_list_ctrl.h"
#include "ui/review_transaction_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/transaction_dlg.h"
#include "ui/transfer_dlg.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kButtonNew = 5005;
constexpr int kButtonEdit = 5006;
constexpr int kButtonDelete = 5007;
constexpr int kAdjustEndingBalance = 32792;

QString MenuText(const std::string& cp1252) {
    // A name's '&' is a character, not a mnemonic.
    return QString::fromStdString(platform::Cp1252ToUtf8(cp1252))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A menu of the view's table: commands as actions named "cmd_<id>",
// pop-ups as sub-menus; popups gets each sub-menu by its position in menu.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& table, int parent,
              std::map<int, QMenu*>* popupsByPosition) {
    for (const MenuEntry& e : MenuChildren(table, parent)) {
        if (e.IsSeparator()) {
            menu.addSeparator();
        } else if (e.IsPopup()) {
            QMenu* sub = menu.addMenu(QString::fromStdString(e.text));
            sub->setObjectName(QStringLiteral("menu_%1").arg(e.id));
            FillMenu(*sub, table, e.id, nullptr);
            if (popupsByPosition != nullptr)
                (*popupsByPosition)[e.position] = sub;
        } else {
            QAction* action = menu.addAction(QString::fromStdString(e.text));
            action->setObjectName(QStringLiteral("cmd_%1").arg(e.id));
            action->setData(e.id);
        }
    }
}

// Menu menuId (its root's entries) in a fresh QMenu.
void BuildViewMenu(QMenu& menu, int menuId, std::map<int, QMenu*>* popups) {
    menu.setObjectName(QStringLiteral("menu_%1").arg(menuId));
    FillMenu(menu, ViewPopupMenu(menuId), menuId, popups);
}

QAction* FindCommand(const QMenu& menu, int id) {
    return menu.findChild<QAction*>(QStringLiteral("cmd_%1").arg(id));
}

// The review's register and its editor, for Edit on a downloaded row.
class ReviewHooks final : public MReviewRegister, public MTransactionEditor {
  public:
    explicit ReviewHooks(CTallowmereView& view) : view_(view) {}
    void RefreshRegister() override {
        view_.RefreshForAccount(
            view_.CurrentAccount() != nullptr ? view_.CurrentAccount()->Header().GetId() : kNoneId);
    }
    bool EditTransaction(QWidget* parent, CAccount& account, CTransaction& t) override {
        return RunTransactionDialog(parent, view_.Data(), account, &t) == 1;
    }

  private:
    CTallowmereView& view_;
};

class PaneHost final : public TransactionViewHost {
  public:
    explicit PaneHost(CTallowmereView& view) : view_(view) {}
    void RefreshPanes() override { view_.RefreshAccountsPane(); }

  private:
    CTallowmereView& view_;
};

using IdKey = std::array<std::uint8_t, 8>;

// Calls back when a mouse button is let go over the watched object (the
// header: the end of a drag or of a divider's double-click).
class ReleaseWatcher final : public QObject {
  public:
    ReleaseWatcher(QObject* watched, std::function<void()> released)
        : QObject(watched), released_(std::move(released)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease)
            QTimer::singleShot(0, this, [this] { released_(); });
        return false;
    }

  private:
    std::function<void()> released_;
};

std::vector<RecordId> IdsOf(const std::vector<CTransaction*>& rows) {
    std::vector<RecordId> ids;
    ids.reserve(rows.size());
    for (const CTransaction* t : rows)
        ids.push_back(t->GetId());
    return ids;
}

}  // namespace

void CTallowmereView::ConnectRegisterCommands() {
    connect(list_, &CRegisterListCtrl::rowDoubleClicked, this, [this](int row) {
        // The row double-clicked is the one edited, whatever the press chose.
        if ((page_ == 0 || page_ == 3) && row >= 0 && !list_->selectionModel()->isRowSelected(row))
            list_->SetSelection(row, true);
        // On Reports and Budgets the same command opens the row's details.
        DispatchViewCommand(ToInt(CommandId::kEditTransaction));
    });
    connect(list_->header(), &QHeaderView::sectionClicked, this,
            &CTallowmereView::OnRegisterHeaderClicked);
    // A drag ended: the register's widths go into the page's column set.
    new ReleaseWatcher(list_->header()->viewport(), [this] {
        if (page_ != 0 && page_ != 3)
            return;
        std::vector<ShownColumnWidth> shown;
        const QHeaderView* header = list_->header();
        for (int section = 0; section < header->count(); ++section) {
            if (!header->isSectionHidden(section))
                shown.push_back({list_->GetColumnId(section), header->sectionSize(section)});
        }
        const ListPage listPage = page_ == 3 ? ListPage::kReconcile : ListPage::kRegister;
        CShowColumns set = ValidPageColumns(
            listPage, page_ == 3 ? LoadShowColumnsReconcile() : LoadShowColumnsRegister());
        if (!StoreColumnWidths(set, shown))
            return;
        if (page_ == 3)
            SaveShowColumnsReconcile(set);
        else
            SaveShowColumnsRegister(set);
    });
}

void CTallowmereView::DispatchViewCommand(int id) {
    if (auto* frame = qobject_cast<CMainFrame*>(window())) {
        frame->Router().Dispatch(id);
        return;
    }
    const std::optional<CommandState> state = QueryCommand(id);
    if (state && state->enabled)
        RunCommand(id);
}

// --- routing ---

std::optional<CommandState> CTallowmereView::QueryRegisterCommand(int id) {
    const bool registerPage = page_ == 0 || page_ == 3;
    RegisterCommandContext context;
    context.page = page_;
    context.selectedRows = static_cast<int>(list_->selectionModel()->selectedRows().size());
    context.accountCount = static_cast<int>(data_->GetAccountCount());
    context.selectedAccounts = static_cast<int>(pane_->selectionModel()->selectedRows().size());
    switch (id) {
        case ToInt(CommandId::kNewTransaction):
        case ToInt(CommandId::kTransfer):
        case ToInt(CommandId::kDeleteTransaction):
        case ToInt(CommandId::kSelectAll):
        case ToInt(CommandId::kEditCopy):
        case ToInt(CommandId::kEditCut):
        case ToInt(CommandId::kEditPaste):
            return CommandState{ViewCommandEnabled(id, context), false};
        case ToInt(CommandId::kEditTransaction):
        case kPopupEdit:
            // Reports and Budgets answer it with their details.
            if (!registerPage)
                return std::nullopt;
            return CommandState{true, false};
        case kButtonNew:
        case kButtonEdit:
        case kButtonDelete:
        case kPopupStatusFirst:
        case kPopupStatusFirst + 1:
        case kPopupStatusFirst + 2:
        case kPopupStatusFirst + 3:
            return CommandState{registerPage, false};
        default:
            return std::nullopt;
    }
}

bool CTallowmereView::RunRegisterCommand(int id) {
    switch (id) {
        case ToInt(CommandId::kNewTransaction):
        case kButtonNew:
            OnNewTransaction();
            return true;
        case ToInt(CommandId::kEditTransaction):
        case kPopupEdit:
        case kButtonEdit:
            if (page_ != 0 && page_ != 3)
                return false;
            OnEditTransaction();
            return true;
        case ToInt(CommandId::kDeleteTransaction):
        case kButtonDelete:
            OnDeleteTransaction();
            return true;
        case ToInt(CommandId::kTransfer):
            OnTransfer();
            return true;
        case ToInt(CommandId::kSelectAll):
            if (page_ == 0 || page_ == 3)
                list_->SelectAll(true);
            return true;
        case ToInt(CommandId::kEditCopy):
        case ToInt(CommandId::kEditCut):
        case ToInt(CommandId::kEditPaste):
            return true;
        case kPopupStatusFirst:
        case kPopupStatusFirst + 1:
        case kPopupStatusFirst + 2:
        case kPopupStatusFirst + 3:
            SetTransactionStatus(id - kPopupStatusFirst);
            return true;
        default:
            return false;
    }
}

// --- selection ---

std::vector<CTransaction*> CTallowmereView::SelectedTransactions() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<CTransaction*> out;
    out.reserve(rows.size());
    for (const int row : rows) {
        if (CTransaction* t = list_->GetTransactionAt(row))
            out.push_back(t);
    }
    return out;
}

void CTallowmereView::SelectTransactionIds(const std::vector<RecordId>& ids) {
    // One pass over the rows: a look-up per id would walk them per id.
    std::set<IdKey> wanted;
    for (const RecordId& id : ids)
        wanted.insert(id.bytes);
    std::vector<int> rows;
    rows.reserve(ids.size());
    const int count = list_->GetItemCount();
    for (int row = 0; row < count && rows.size() < wanted.size(); ++row) {
        const CTransaction* t = list_->GetTransactionAt(row);
        if (t != nullptr && wanted.count(t->GetId().bytes) != 0)
            rows.push_back(row);
    }
    // One selection of runs of rows: thousands of rows select at once.
    QItemSelection selection;
    COwnerListModel& model = list_->Model();
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] <= rows[j] + 1)
            ++j;
        selection.select(model.index(rows[i], 0), model.index(rows[j], 0));
        i = j + 1;
    }
    list_->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!rows.empty()) {
        list_->selectionModel()->setCurrentIndex(model.index(rows.front(), 0),
                                                 QItemSelectionModel::NoUpdate);
        list_->EnsureVisible(rows.front());
    }
}

void CTallowmereView::AfterRegisterEdit(const std::vector<RecordId>& reselect) {
    list_->ResetItemCount();
    SelectTransactionIds(reselect);
    list_->viewport()->update();
    pane_->viewport()->update();
    RefreshTotals();
    update();  // the reconcile totals
    RefreshFilterCombo(filter_);
}

// --- new, edit, delete, transfer ---

void CTallowmereView::OnNewTransaction() {
    if (current_ == nullptr)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    std::set<IdKey> before;
    for (const auto& t : current_->Transactions())
        before.insert(t->GetId().bytes);
    PaneHost host(*this);
    const int result = RunTransactionDialog(this, *data_, *current_, nullptr, false, &host);
    if (result != 1)
        return;
    const CTransaction* added = nullptr;
    for (const auto& t : current_->Transactions()) {
        if (before.count(t->GetId().bytes) == 0) {
            added = t.get();
            break;
        }
    }
    if (added != nullptr && page_ == 0 && filter_ != 0 && !added->MatchesStatus(filter_)) {
        filter_ = 0;
        list_->SetFilter(filter_);
    }
    list_->ResetItemCount();
    list_->viewport()->update();
    SelectTransaction(added);
    RefreshAccountsPane();
    update();
    RefreshFilterCombo(filter_);
    list_->setFocus();
}

void CTallowmereView::OnEditTransaction() {
    EditTransaction();
}

void CTallowmereView::EditTransaction() {
    if (current_ == nullptr)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const std::vector<CTransaction*> rows = SelectedTransactions();
    if (rows.size() != 1)
        return;
    CTransaction* t = rows.front();
    const RecordId id = t->GetId();
    if (t->GetReviewState() == 1) {
        ReviewHooks hooks(*this);
        RunReviewTransactionDialog(this, *data_, *current_, t, &hooks, &hooks);
        list_->ResetItemCount();
        SelectTransaction(current_->FindTransactionById(id));
        list_->viewport()->update();
    } else {
        PaneHost host(*this);
        const int result = RunTransactionDialog(this, *data_, *current_, t, false, &host);
        if (result == 1 || result == 101) {
            list_->ResetItemCount();
            if (result == 1)
                SelectTransaction(current_->FindTransactionById(id));
            list_->viewport()->update();
            RefreshAccountsPane();
            update();
        }
    }
    RefreshFilterCombo(filter_);
    list_->setFocus();
}

void CTallowmereView::OnDeleteTransaction() {
    if (current_ == nullptr || (page_ != 0 && page_ != 3))
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const std::vector<CTransaction*> rows = SelectedTransactions();
    if (rows.empty())
        return;
    const DeletePlan plan = PlanDelete({rows.begin(), rows.end()});
    ServiceMessages messages(this);
    if (plan.refusedStringId != 0) {
        messages.Show(StringMessage(plan.refusedStringId));
        return;
    }
    if (messages.Show(StringMessage(plan.questionStringId, {}, Buttons::kYesNo, Icon::kQuestion,
                                    Answer::kNo)) != Answer::kYes)
        return;
    const int first = list_->GetFirstSelectedItem();
    // By record id: a mirror in this same account moves the rows after it.
    const int code = data_->DeleteTransactions(*current_, plan.ids, false);
    if (code != 0)
        ShowFileErrorMessage(code);
    list_->ResetItemCount();
    const int row = RowAfterDelete(first, list_->GetItemCount());
    list_->SetSelection(row, true);
    if (row >= 0)
        list_->EnsureVisible(row);
    list_->viewport()->update();
    RefreshAccountsPane();
    update();
    RefreshFilterCombo(filter_);
    list_->setFocus();
}

void CTallowmereView::OnTransfer() {
    if (page_ != 0)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const TransferOutcome outcome = RunTransferDialog(this, *data_, current_);
    if (outcome.code == 1 && outcome.result == 0) {
        pane_->viewport()->update();
        if (outcome.created != nullptr) {
            list_->ResetItemCount();
            SelectTransaction(outcome.created);
        }
        RefreshAccountsPane();
        RefreshFilterCombo(filter_);
    }
    list_->setFocus();
}

// --- status ---

void CTallowmereView::SetTransactionStatus(int status) {
    if (current_ == nullptr || (page_ != 0 && page_ != 3))
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const std::vector<CTransaction*> rows = SelectedTransactions();
    bool changed = false;
    for (CTransaction* t : rows) {
        if (const auto byte = StatusAfterSet(t->GetStatus(), status)) {
            t->SetStatus(*byte);
            changed = true;
        }
    }
    if (!changed)
        return;
    current_->RecalcBalances();
    // Status is a sort key of every mode but the memo's: the rows move.
    const int code = current_->ResortTransactions();
    if (code != 0)
        ShowFileErrorMessage(code);
    AfterRegisterEdit(IdsOf(rows));
}

bool CTallowmereView::ToggleTransactionStatus(int mode, CTransaction& t) {
    if (current_ == nullptr)
        return false;
    const bool reconcile = mode == CTransactionListCtrl::kModeReconcile;
    const auto byte = StatusAfterClick(t.GetStatus(), reconcile);
    if (!byte)
        return false;
    CBusyLock lock(*this);
    if (!lock.Held())
        return false;
    t.SetStatus(*byte);
    int code = 0;
    if (reconcile) {
        // The mark is no sort key.
        code = current_->Save();
    } else {
        current_->RecalcBalances();
        code = current_->ResortTransactions();
    }
    if (code != 0)
        ShowFileErrorMessage(code);
    list_->ResetItemCount();
    list_->viewport()->update();
    pane_->viewport()->update();
    RefreshTotals();
    update();
    RefreshFilterCombo(filter_);
    return true;
}

// --- pop-up menus ---

void CTallowmereView::ShowRegisterPopupMenu(const QPoint& globalPos) {
    QMenu menu(this);
    if (page_ == 1 || page_ == 2) {
        BuildViewMenu(menu, page_ == 1 ? kReportsMenu : kBudgetsMenu, nullptr);
        for (QAction* action : menu.findChildren<QAction*>()) {
            if (action->data().isValid())
                action->setEnabled(
                    QueryCommand(action->data().toInt()).value_or(CommandState{}).enabled);
        }
        QAction* chosen = Services().Popup(menu, globalPos);
        if (chosen != nullptr && chosen->data().isValid())
            DispatchViewCommand(chosen->data().toInt());
        return;
    }
    std::map<int, QMenu*> popups;
    BuildViewMenu(menu, kRegisterMenu, &popups);
    const std::vector<CTransaction*> rows = SelectedTransactions();
    const RegisterPopup model = BuildRegisterPopup(*data_, {rows.begin(), rows.end()});
    if (model.checkedStatus >= 0) {
        if (QAction* status = FindCommand(menu, kPopupStatusFirst + model.checkedStatus)) {
            status->setCheckable(true);
            status->setChecked(true);
        }
    }
    // Each entry carries its record; the action only points at it.
    std::map<QAction*, std::pair<SetField, const PopupEntry*>> entries;
    const auto fill = [&](int position, SetField field, const std::vector<PopupEntry>& list) {
        QMenu* sub = popups.count(position) != 0 ? popups[position] : nullptr;
        if (sub == nullptr)
            return;
        sub->clear();
        for (const PopupEntry& e : list) {
            QAction* action = sub->addAction(MenuText(e.text));
            if (e.checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            entries[action] = {field, &e};
        }
        sub->setEnabled(!list.empty());
    };
    fill(kSetPayeePosition, SetField::kPayee, model.payees);
    fill(kSetCategoryPosition, SetField::kCategory, model.categories);
    fill(kSetClassPosition, SetField::kClass, model.classes);

    QAction* chosen = Services().Popup(menu, globalPos);
    if (chosen == nullptr)
        return;
    const auto it = entries.find(chosen);
    if (it != entries.end()) {
        SetSelectedField(it->second.first, *it->second.second);
        return;
    }
    if (chosen->data().isValid())
        DispatchViewCommand(chosen->data().toInt());
}

void CTallowmereView::SetSelectedField(SetField field, const PopupEntry& entry) {
    if (current_ == nullptr)
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const std::vector<CTransaction*> rows = SelectedTransactions();
    if (rows.empty())
        return;
    if (rows.size() == 1 && rows.front()->IsSplitTransferCopy()) {
        ServiceMessages messages(this);
        messages.Show(StringMessage(kStringSplitTransferCopy));
        return;
    }
    // An entry gone from its list since the menu was built sets nothing.
    if (!EntryStillLive(*data_, field, entry))
        return;
    const std::vector<RecordId> ids = IdsOf(rows);
    // As the transaction dialog would edit each row, so transfers and splits
    // keep their mirrors; copies of split lines are left alone.
    const int code = data_->ModifyTransactions(
        *current_, ids, [&](CTransaction& t) { ApplyEntry(field, entry, t); });
    if (code != 0)
        ShowFileErrorMessage(code);
    AfterRegisterEdit(ids);
}

// --- sort ---

void CTallowmereView::OnRegisterHeaderClicked(int section) {
    if ((page_ != 0 && page_ != 3) || current_ == nullptr)
        return;
    const SortChoice choice =
        SortAfterHeaderClick(sortColumn_, sortDirection_ != 0, list_->GetColumnId(section));
    if (choice.beep) {
        Services().Beep();
        return;
    }
    if (choice.column == sortColumn_ && choice.ascending == (sortDirection_ != 0))
        return;
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const std::vector<RecordId> selected = IdsOf(SelectedTransactions());
    current_->SetSortMode(static_cast<std::int16_t>(choice.column));
    current_->SetSortAscending(choice.ascending);
    sortColumn_ = choice.column;
    sortDirection_ = choice.ascending ? 1 : 0;
    const int code = current_->ResortTransactions();
    if (code != 0)
        ShowFileErrorMessage(code);
    list_->SetSort(sortColumn_, sortDirection_);
    list_->ResetItemCount();
    SelectTransactionIds(selected);
    list_->viewport()->update();
    list_->header()->viewport()->update();
}

// --- the balance read-outs ---

void CTallowmereView::ShowBalanceMenu(int which) {
    const ViewRect& r = which == 0 ? layout_.netWorthReadout : layout_.accountReadout;
    QMenu menu(this);
    BuildViewMenu(menu, kBalanceMenu, nullptr);
    const int current = balanceTypes_[static_cast<std::size_t>(which)];
    if (QAction* checked = FindCommand(menu, BalanceTypeCommand(current))) {
        checked->setCheckable(true);
        checked->setChecked(true);
    }
    QAction* chosen = Services().Popup(menu, mapToGlobal(QPoint(r.x, r.y + r.height)));
    if (chosen == nullptr || !chosen->data().isValid())
        return;
    const int type = BalanceTypeOfCommand(chosen->data().toInt());
    if (type < 0)
        return;
    balanceTypes_[static_cast<std::size_t>(which)] = type;
    SetPrefBalanceType(which, static_cast<std::uint32_t>(type));
    if (which == 0)
        pane_->SetBalanceKind(type);
    RefreshTotals();
    update();
}

void CTallowmereView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (page_ == 0 && event->button() == Qt::LeftButton) {
        for (const int which : {0, 1}) {
            const ViewRect& r = which == 0 ? layout_.netWorthReadout : layout_.accountReadout;
            if (!QRect(r.x, r.y, r.width, r.height).contains(at))
                continue;
            if (which == 1 && current_ == nullptr)
                break;
            if (ReadoutHasMarker(which, filter_)) {
                event->accept();
                ShowBalanceMenu(which);
                return;
            }
        }
    }
    QWidget::mousePressEvent(event);
}

void CTallowmereView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const ViewRect& r = layout_.accountReadout;
    if (page_ == 0 && current_ != nullptr && event->button() == Qt::LeftButton &&
        QRect(r.x, r.y, r.width, r.height).contains(at)) {
        event->accept();
        DispatchViewCommand(kAdjustEndingBalance);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace tallowmere::ui
