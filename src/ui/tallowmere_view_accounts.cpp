// The account commands of the view (new, delete, account info) and the
// routing of the users, files and accounts commands.
#include "exchange/fi_list.h"
#include "model/users.h"
#include "ui/account_info_dlg.h"
#include "ui/logic/command_id.h"
#include "ui/online_setup_dlg.h"
#include "ui/register_list_ctrl.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

// The account dialog's Online Setup over the data set's institution list;
// none (the button disabled) without one.
OnlineSetupRunner OnlineSetupFor(const CAccounts& data, const CAccount* account) {
    auto* list = dynamic_cast<CFiList*>(data.GetInstitutionList());
    if (list == nullptr)
        return {};
    return MakeOnlineSetupRunner(data, *list, account != nullptr ? account->GetName() : "");
}

}  // namespace

std::optional<CommandState> CTallowmereView::QueryMoreCommand(int id) const {
    if (id >= ToInt(CommandId::kFirstUser) && id <= ToInt(CommandId::kLastUser))
        return CommandState{true, false};
    const bool hasAccount = current_ != nullptr;
    switch (static_cast<CommandId>(id)) {
        case CommandId::kSetPassword:
            return CommandState{user_ != nullptr, false};
        case CommandId::kNewAccount:
        case CommandId::kUpcomingTransactions:
        case CommandId::kImportOfx:
        case CommandId::kImportQif:
        case CommandId::kImportCsv:
        case CommandId::kEditPayees:
        case CommandId::kEditCategories:
        case CommandId::kEditClasses:
        case CommandId::kEditCurrencies:
        case CommandId::kEditTransactionTypes:
        case CommandId::kEditScheduled:
        case CommandId::kAndroidSync:
        case CommandId::kCheckForUpdates:
        case CommandId::kShowColumns:
        case CommandId::kSetFont:
        case CommandId::kPreferences:
            return CommandState{true, false};
        case CommandId::kRowColor:
            return CommandState{page_ != 0 || hasAccount, false};
        case CommandId::kDeleteAccount:
        case CommandId::kAccountInfo:
        case CommandId::kExportQif:
        case CommandId::kExportCsv:
        case CommandId::kAdjustEndingBalance:
        case CommandId::kPurgeTransactions:
            return CommandState{hasAccount, false};
        default:
            return std::nullopt;
    }
}

bool CTallowmereView::RunMoreCommand(int id) {
    switch (static_cast<CommandId>(id)) {
        case CommandId::kSetPassword:
            OnSetPassword();
            return true;
        case CommandId::kUpcomingTransactions:
            OnUpcoming();
            return true;
        case CommandId::kImportOfx:
            OnImport(ImportKind::kOfx);
            return true;
        case CommandId::kImportQif:
            OnImport(ImportKind::kQif);
            return true;
        case CommandId::kImportCsv:
            OnImport(ImportKind::kCsv);
            return true;
        case CommandId::kExportQif:
            OnExport(true);
            return true;
        case CommandId::kExportCsv:
            OnExport(false);
            return true;
        case CommandId::kNewAccount:
            OnNewAccount();
            return true;
        case CommandId::kDeleteAccount:
            OnDeleteAccount();
            return true;
        case CommandId::kAccountInfo:
            OnAccountInfo();
            return true;
        case CommandId::kEditPayees:
        case CommandId::kEditCategories:
        case CommandId::kEditClasses:
        case CommandId::kEditCurrencies:
        case CommandId::kEditTransactionTypes:
        case CommandId::kEditScheduled:
            OnListEditor(id);
            return true;
        case CommandId::kAdjustEndingBalance:
            OnAdjustEndingBalance();
            return true;
        case CommandId::kPurgeTransactions:
            OnPurgeTransactions();
            return true;
        case CommandId::kAndroidSync:
            OnAndroidSync();
            return true;
        case CommandId::kCheckForUpdates:
            OnCheckForUpdates();
            return true;
        case CommandId::kShowColumns:
            OnShowColumns();
            return true;
        case CommandId::kRowColor:
            OnRowColor();
            return true;
        case CommandId::kSetFont:
            OnSetFont();
            return true;
        case CommandId::kPreferences:
            OnPreferences();
            return true;
        default:
            return false;
    }
}

void CTallowmereView::OnNewAccount() {
    if (user_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    if (page_ == 0)
        SaveTopRow(current_);
    const AccountInfoOutcome outcome =
        RunAccountInfoDialog(this, *data_, nullptr, user_->GetDataFolder(kProductWord), icons_,
                             OnlineSetupFor(*data_, nullptr));
    if (outcome.code != 1 || outcome.account == nullptr)
        return;
    RefreshAccountsPane();
    ShowAccount(outcome.account);
    SelectAccountInPane(outcome.account);
}

void CTallowmereView::OnDeleteAccount() {
    if (current_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ServiceMessages messages(this);
    if (messages.Show(StringMessage(kStringDeleteAccountQuestion, {}, Buttons::kYesNo,
                                    Icon::kQuestion, Answer::kNo)) != Answer::kYes)
        return;
    // Kept until the view no longer shows it.
    std::unique_ptr<CAccount> removed;
    const int code = data_->DeleteAccount(*current_, &removed);
    if (code != 0) {
        ShowFileErrorMessage(code);
        return;
    }
    ShowAccount(data_->GetAccountAt(0));
    RefreshAccountsPane();
    SelectAccountInPane(current_);
}

void CTallowmereView::OnAccountInfo() {
    if (current_ == nullptr || user_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const AccountInfoOutcome outcome =
        RunAccountInfoDialog(this, *data_, current_, user_->GetDataFolder(kProductWord), icons_,
                             OnlineSetupFor(*data_, current_));
    if (outcome.code != 1)
        return;
    RefreshAccountsPane();
    list_->viewport()->update();
    RefreshTotals();
    update();
}

}  // namespace tallowmere::ui
