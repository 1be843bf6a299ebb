// The users of the view: the users menu, a switch chosen there, the
// password command, and the offer of due scheduled transactions after the
// start and after each switch.
#include <QAction>
#include <QMenu>
#include <mutex>

#include "model/users.h"
#include "platform/text_1252.h"
#include "ui/command_actions.h"
#include "ui/logic/command_id.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/logic/upcoming_logic.h"
#include "ui/logic/users_menu.h"
#include "ui/set_password_dlg.h"
#include "ui/tallowmere_view.h"
#include "ui/transaction_dlg_runner.h"
#include "ui/ui_services.h"
#include "ui/upcoming_transactions_dlg.h"

namespace tallowmere::ui {
namespace {

constexpr char kUserFolderProperty[] = "userFolder";

bool IsUsersItem(const QAction& action) {
    if (action.property(kUserFolderProperty).isValid())
        return true;
    const int id = CommandOf(action);
    return id >= ToInt(CommandId::kFirstUser) && id <= ToInt(CommandId::kLastUser);
}

// What the Upcoming dialog and its transaction dialog redraw in the view.
class UpcomingHosts final : public UpcomingViewHost, public TransactionViewHost {
  public:
    explicit UpcomingHosts(CTallowmereView& view) : view_(view) {}
    void RefreshForAccount(const RecordId& account) override { view_.RefreshForAccount(account); }
    void RefreshPanes() override {
        view_.RefreshAccountsPane();
        view_.RefreshTotals();
    }

  private:
    CTallowmereView& view_;
};

}  // namespace

void CTallowmereView::FillUsersMenu(QMenu& menu) {
    // The items go where the first users item was (the placeholder "Users"
    // at first).
    int place = -1;
    const QList<QAction*> actions = menu.actions();
    for (int i = 0; i < actions.size(); ++i) {
        QAction* action = actions[i];
        if (!IsUsersItem(*action))
            continue;
        if (place < 0)
            place = i;
        menu.removeAction(action);
        // The placeholder is the frame's command action; only ours go (the
        // menu is opening, so none of them is running).
        if (action->property(kUserFolderProperty).isValid())
            delete action;
    }
    if (place < 0)
        place = 0;
    QAction* before = menu.actions().value(place, nullptr);

    std::vector<UserMenuEntry> entries;
    {
        const std::lock_guard lock(app_.UsersMutex());
        entries = UsersMenuEntries(app_.GetUsers(), user_, ToInt(CommandId::kFirstUser));
    }
    for (const UserMenuEntry& entry : entries) {
        auto* action =
            new QAction(QString::fromStdString(platform::Cp1252ToUtf8(entry.name)), &menu);
        action->setObjectName(QStringLiteral("user_%1").arg(entry.id));
        action->setProperty(kUserFolderProperty, QByteArray::fromStdString(entry.folder));
        action->setCheckable(true);
        action->setChecked(entry.checked);
        connect(action, &QAction::triggered, this,
                [this, folder = entry.folder] { OnUserChosen(folder); });
        menu.insertAction(before, action);
    }
}

void CTallowmereView::OnUserChosen(const std::string& folder) {
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    // The current user and a user gone from the list change nothing.
    SwitchUser(folder);
}

void CTallowmereView::OnSetPassword() {
    if (user_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    // The dialog's OK makes the change (every account file under the new
    // key, or none) and says what failed.
    CSetPasswordDlg dialog(app_, *user_, data_.get(), this);
    Services().RunDialog(dialog);
}

void CTallowmereView::OfferDueScheduled() {
    if (!data_->Scheduled().HasDueItems())
        return;
    ServiceMessages messages(this);
    if (messages.Show(StringMessage(kStringDueScheduledQuestion, {}, Buttons::kYesNo,
                                    Icon::kQuestion, Answer::kYes)) != Answer::kYes)
        return;
    OnUpcoming();
}

void CTallowmereView::OnUpcoming() {
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    UpcomingHosts hosts(*this);
    const DataSetSource source = [this] { return data_.get(); };
    CTransactionDlgRunner runner(this, source, &hosts);
    RunUpcomingTransactionsDialog(this, source, runner, &hosts);
}

}  // namespace tallowmere::ui
