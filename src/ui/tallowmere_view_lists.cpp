// The view's list editors and the account commands around them: Adjust
// Ending Balance, Purge Transactions, the handheld sync settings and the
// check for updates.
#include <QUrl>

#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/adjust_ending_balance_dlg.h"
#include "ui/list_editor_dlgs.h"
#include "ui/logic/command_id.h"
#include "ui/purge_transactions_dlg.h"
#include "ui/register_list_ctrl.h"
#include "ui/scheduled_list_dlg.h"
#include "ui/sync_pref_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"
#include "ui/work_progress_wnd.h"

namespace tallowmere::ui {
namespace {

// The product's download page: there is no update library on this system,
// so the check always opens it.
constexpr int kStringDownloadPage = 603;

// What the list editors redraw while they run.
class ListEditorView final : public MListEditorView {
  public:
    explicit ListEditorView(CTallowmereView& view) : view_(view) {}
    void RepaintRegister() override { view_.RegisterList()->viewport()->update(); }
    void RefreshAccounts() override {
        view_.RefreshAccountsPane();
        view_.RegisterList()->viewport()->update();
        view_.RefreshTotals();
    }

  private:
    CTallowmereView& view_;
};

}  // namespace

void CTallowmereView::OnListEditor(int id) {
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ListEditorView host(*this);
    bool names = false;
    switch (static_cast<CommandId>(id)) {
        case CommandId::kEditPayees:
            RunPayeesListDialog(this, *data_);
            names = true;
            break;
        case CommandId::kEditCategories:
            RunCategoryListDialog(this, *data_, &host, &iconDatabase_, &icons_);
            names = true;
            break;
        case CommandId::kEditClasses:
            RunClassListDialog(this, *data_, &host);
            names = true;
            break;
        case CommandId::kEditCurrencies:
            RunCurrencyListDialog(this, *data_, &host);
            break;
        case CommandId::kEditTransactionTypes:
            RunTransactionTypesDialog(this, *data_);
            break;
        case CommandId::kEditScheduled:
            // The scheduled items show nowhere in the view.
            RunScheduledListDialog(this, *data_, current_);
            return;
        default:
            return;
    }
    // Names changed: the report's groups may have too.
    if (names && (page_ == 1 || page_ == 2)) {
        RecomputeReport();
        return;
    }
    list_->viewport()->update();
    RefreshTotals();
    update();
}

void CTallowmereView::OnAdjustEndingBalance() {
    if (current_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    if (RunAdjustEndingBalanceDialog(this, *current_, balanceTypes_[1]) != 1)
        return;
    list_->ResetItemCount();
    RefreshAccountsPane();
    RefreshFilterCombo(filter_);
    RefreshTotals();
    update();
}

void CTallowmereView::OnPurgeTransactions() {
    if (current_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    PurgeValues values;
    if (RunPurgeTransactionsDialog(this, values) != 1)
        return;
    // The selection by id: rows move when others go.
    RecordId selected;
    const int row = list_->GetFirstSelectedItem();
    if (const CTransaction* t = row >= 0 ? list_->GetTransactionAt(row) : nullptr)
        selected = t->GetId();
    int code = 0;
    {
        CWorkProgressWnd progress(
            this, QStringLiteral("Purge Transactions"),
            QString::fromStdString(platform::Cp1252ToUtf8(current_->GetName())));
        code = current_->PurgeTransactions(values.mode, values.date, progress.Callback());
    }
    if (code != 0)
        ShowFileErrorMessage(code);
    list_->ResetItemCount();
    const int again = selected.IsNull() ? -1 : list_->FindTransactionRow(selected);
    list_->SetSelection(again, true);
    RefreshAccountsPane();
    RefreshFilterCombo(filter_);
    RefreshTotals();
    update();
}

void CTallowmereView::OnAndroidSync() {
    RunSyncPrefDialog(this);
}

void CTallowmereView::OnCheckForUpdates() {
    Services().OpenUrl(QUrl(QString::fromStdString(LoadString(kStringDownloadPage))));
}

}  // namespace tallowmere::ui
