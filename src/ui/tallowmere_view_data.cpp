// Loading a user's data, reloading it after a sync or another program's
// notice, the user switch, and showing an account on the register page.
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <algorithm>
#include <limits>
#include <mutex>

#include "exchange/desktop_load_options.h"
#include "model/preferences.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/color_ref.h"
#include "ui/get_password_dlg.h"
#include "ui/logic/file_error_message.h"
#include "ui/logic/page_columns.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/logic/view_pages.h"
#include "ui/owner_header_ctrl.h"
#include "ui/register_list_ctrl.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringFileNotRead = 3101;
constexpr std::chrono::milliseconds kRetryWait{20};
constexpr char kIconDatabase[] = "BrackwaterIcons";

QFont FontFromLogFont(const LogFont& stored, const QFont& fallback) {
    QFont font = fallback;
    const std::string face(stored.faceName.data(),
                           std::find(stored.faceName.begin(), stored.faceName.end(), '\0'));
    if (!face.empty())
        font.setFamily(QString::fromStdString(platform::Cp1252ToUtf8(face)));
    if (stored.height < 0)
        font.setPixelSize(std::clamp(-stored.height, 1, 200));
    else if (stored.height > 0)
        font.setPixelSize(std::clamp(stored.height, 1, 200));
    font.setBold(stored.weight >= 700);
    font.setItalic(stored.italic != 0);
    return font;
}

}  // namespace

// --- loading ---

int CTallowmereView::LoadFolder(const std::string& folder, AccountsLoadFailure& failure) {
    // The set shown stays in place, and alive, until the new one has loaded
    // whole; a box the load shows meanwhile paints the old set.
    return CAccounts::LoadInto(data_, folder, DesktopLoadOptions(app_.GetHeaderCipher()), &failure);
}

bool CTallowmereView::LoadUserData(CUserItem& user) {
    const std::string folder = user.GetDataFolder(kProductWord);
    AccountsLoadFailure failure;
    CAccount* const before = current_;
    if (LoadFolder(folder, failure) != 0) {
        // The set shown before stays, with its title.
        current_ = before;
        ShowLoadFailure(failure);
        return false;
    }
    user_ = &user;
    CAccount* chosen = data_->FindAccountByFilePath(GetPrefLastActiveAccount());
    if (chosen == nullptr)
        chosen = data_->GetAccountAt(0);

    iconDatabase_.LoadFromFile(folder, kIconDatabase);
    LogFont stored;
    if (GetPrefDisplayFont(stored)) {
        displayFont_ = FontFromLogFont(stored, displayFont_);
        list_->setFont(displayFont_);
    }
    page_ = 0;
    {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(0);
    }
    AfterSwap(chosen);
    CreateUserPrefsKey();
    EnterDueScheduled();
    RefreshFilterCombo(filter_);
    return true;
}

void CTallowmereView::AfterSwap(CAccount* current) {
    // Everything that pointed into the old set points into the new one.
    report_->SetData(*data_);
    chart_.AllocateSlices(0);
    pane_->SetDataSet(data_.get());
    list_->SetDataSet(data_.get());
    current_ = nullptr;
    page_ = 0;
    list_->SetMode(CTransactionListCtrl::kModeRegister);
    ApplyVisibility();
    ApplyRegisterColumns(0);
    if (pane_->GetColumnCount() == 0)
        pane_->InsertColumnWithId(0, 0, QString(), std::max(1, pane_->viewport()->width()));
    pane_->ResetItemCount();
    ShowAccount(current);
    SelectAccountInPane(current_);
    SetTitle();
}

void CTallowmereView::EnterDueScheduled() {
    // It writes files: not while a sync writes them. Without the lock the
    // items stay due until the next load.
    CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const int code = data_->EnterDueScheduled();
    if (code != 0)
        ShowFileErrorMessage(code);
    if (current_ != nullptr) {
        list_->ResetItemCount();
        pane_->viewport()->update();
    }
}

void CTallowmereView::SetTitle() {
    if (user_ == nullptr)
        return;
    std::string name;
    {
        // The sync thread renames users under this lock.
        const std::lock_guard lock(app_.UsersMutex());
        name = user_->GetName();
    }
    const QString title = QString::fromStdString(ViewTitleText(platform::Cp1252ToUtf8(name)));
    if (QWidget* top = window(); top != nullptr && top != this)
        top->setWindowTitle(title);
    emit titleChanged(title);
}

void CTallowmereView::ShowLoadFailure(const AccountsLoadFailure& failure) {
    ServiceMessages messages(this);
    messages.Show(StringMessage(kStringFileNotRead,
                                {std::string(failure.path), std::int64_t{failure.code}},
                                Buttons::kOk, Icon::kWarning));
}

// --- reloading ---

void CTallowmereView::OnReloadRequest(std::uint32_t wParam, std::uint32_t) {
    if (wParam == 1)
        ReloadData();
}

void CTallowmereView::ReloadData() {
    if (reload_.Request(ModalDepth()))
        TryPendingReload();
}

void CTallowmereView::TryPendingReload() {
    if (!reload_.MayRun(ModalDepth())) {
        if (!reload_.IsPending())
            reloadRetry_.stop();
        return;
    }
    // The first try waits as a command does; the retries only look, so the
    // window stays responsive while another program holds the lock.
    const auto wait = reloadRetry_.isActive() ? kRetryWait : CBusyLock::kDefaultTimeout;
    if (ReloadNow(wait)) {
        reloadRetry_.stop();
    } else if (!reloadRetry_.isActive()) {
        // The busy lock is held by another program: try again shortly.
        reloadRetry_.start();
    }
}

bool CTallowmereView::ReloadNow(std::chrono::milliseconds wait) {
    if (user_ == nullptr) {
        reload_.Done();
        return true;
    }
    CBusyLock lock(*this, wait);
    if (!lock.Held())
        return false;
    reload_.Done();
    const std::string remembered = current_ != nullptr ? current_->GetPath() : std::string();
    if (page_ == 0 && current_ != nullptr)
        current_->SetTopRow(static_cast<std::int16_t>(
            std::clamp(list_->GetTopIndex(), 0, int{std::numeric_limits<std::int16_t>::max()})));
    AccountsLoadFailure failure;
    CAccount* const before = current_;
    if (LoadFolder(user_->GetDataFolder(kProductWord), failure) != 0) {
        current_ = before;
        lock.Release();
        ShowLoadFailure(failure);
        return true;
    }
    CAccount* chosen = data_->FindAccountByFilePath(remembered);
    if (chosen == nullptr)
        chosen = data_->GetAccountAt(0);
    const int page = page_;
    report_->SetData(*data_);
    chart_.AllocateSlices(0);
    pane_->SetDataSet(data_.get());
    list_->SetDataSet(data_.get());
    current_ = chosen;
    list_->SetAccount(current_);
    pane_->ResetItemCount();
    switch (page) {
        case 0:
            list_->ResetItemCount();
            SelectAccountInPane(current_);
            RefreshTotals();
            break;
        case 1:
        case 2:
            if (page == 1)
                PushReportControls();
            RecomputeReport();
            break;
        case 3:
            list_->ResetItemCount();
            break;
        default:
            break;
    }
    pane_->viewport()->update();
    list_->viewport()->update();
    SetTitle();
    EnterDueScheduled();
    lock.Release();
    RefreshFilterCombo(filter_);
    list_->setFocus();
    return true;
}

// --- users ---

bool CTallowmereView::SwitchUser(const std::string& folderName) {
    CUserItem* user = nullptr;
    {
        const std::lock_guard lock(app_.UsersMutex());
        user = app_.GetUsers().FindByFolderExact(folderName);
    }
    return user != nullptr && SwitchUser(*user);
}

bool CTallowmereView::SwitchUser(CUserItem& user) {
    if (&user == user_)
        return true;
    if (current_ != nullptr && page_ == 0)
        SaveTopRow(current_);
    // The new user's data is read with its own key; the old key stays in
    // use until that load has succeeded.
    const std::shared_ptr<const CBlowfish> oldKey = app_.CipherKey();
    if (app_.UserHasPassword(user)) {
        CGetPasswordDlg prompt(app_, &user, true, this);
        if (Services().RunDialog(prompt) != 1) {
            app_.RestoreCipherKey(oldKey);
            return false;
        }
    } else {
        app_.SetCipherKey({});
    }
    const std::shared_ptr<const CBlowfish> newKey = app_.CipherKey();
    const HeaderCipher cipher = app_.GetHeaderCipher();
    app_.RestoreCipherKey(oldKey);

    AccountsLoadFailure failure;
    CAccount* const before = current_;
    const std::string folder = user.GetDataFolder(kProductWord);
    if (CAccounts::LoadInto(data_, folder, DesktopLoadOptions(cipher), &failure) != 0) {
        current_ = before;
        ShowLoadFailure(failure);
        return false;
    }
    app_.RestoreCipherKey(newKey);
    SetPrefCurrentUser(user.GetFolderName());
    app_.SetCurrentUser(&user);
    user_ = &user;
    CAccount* chosen = data_->FindAccountByFilePath(GetPrefLastActiveAccount());
    if (chosen == nullptr)
        chosen = data_->GetAccountAt(0);
    iconDatabase_.LoadFromFile(folder, kIconDatabase);
    page_ = 0;
    {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(0);
    }
    AfterSwap(chosen);
    CreateUserPrefsKey();
    EnterDueScheduled();
    RefreshFilterCombo(filter_);
    OfferDueScheduled();
    return true;
}

// --- the register page ---

void CTallowmereView::ShowAccount(CAccount* account) {
    current_ = account;
    list_->SetAccount(account);
    if (account != nullptr) {
        SetPrefLastActiveAccount(account->GetPath());
        sortColumn_ = static_cast<std::uint16_t>(account->GetSortMode());
        sortDirection_ = account->GetSortAscending() ? 1 : 0;
    }
    if (page_ == 0 || page_ == 3) {
        list_->SetSort(sortColumn_, sortDirection_);
        list_->ResetItemCount();
        ScrollToTopRow();
    }
    ApplyRowColor();
    list_->viewport()->update();
    RefreshTotals();
    const bool hasAccount = account != nullptr;
    for (const int id :
         {view_id::kNew, view_id::kEdit, view_id::kDelete, view_id::kTransfer, view_id::kGoOnline})
        controls_.at(id)->setEnabled(hasAccount);
}

void CTallowmereView::ScrollToTopRow() {
    if (current_ == nullptr || page_ != 0)
        return;
    list_->SetTopIndex(std::max<int>(0, current_->GetTopRow()));
}

void CTallowmereView::ApplyRowColor() {
    std::uint32_t color = 0xFFFFFF;
    switch (page_) {
        case 0:
            if (current_ != nullptr)
                color = current_->GetColor();
            break;
        case 1:
            color = GetPrefReportsRowColor();
            break;
        case 2:
            color = GetPrefBudgetsRowColor();
            break;
        case 3:
            color = GetPrefReconcileRowColor();
            break;
        default:
            break;
    }
    list_->SetEvenRowColor(FromColorRef(color));
}

void CTallowmereView::ApplyRegisterColumns(int page) {
    const ListPage listPage = page == 3 ? ListPage::kReconcile : ListPage::kRegister;
    const CShowColumns stored = page == 3 ? LoadShowColumnsReconcile() : LoadShowColumnsRegister();
    list_->SetPageColumns(listPage, stored, kGroupByPayee);
}

void CTallowmereView::RefreshAccountsPane() {
    pane_->ResetItemCount();
    SelectAccountInPane(current_);
    RefreshTotals();
}

void CTallowmereView::RefreshForAccount(const RecordId& id) {
    if (current_ != nullptr && current_->Header().GetId() == id) {
        list_->ResetItemCount();
        list_->viewport()->update();
    }
    pane_->viewport()->update();
    RefreshTotals();
}

void CTallowmereView::RefreshTotals() {
    update(layout_.bottomBand.x, layout_.bottomBand.y, layout_.bottomBand.width,
           layout_.bottomBand.height);
    update(layout_.pane.x, layout_.pane.y, layout_.pane.width, layout_.pane.height);
    pane_->viewport()->update();
}

void CTallowmereView::SelectTransaction(const CTransaction* t) {
    if (t == nullptr) {
        list_->SetSelection(-1, true);
        return;
    }
    // In the rows of the page's own filter (filter 2 while reconciling).
    const int row = std::max(0, list_->FindTransactionRow(t->GetId()));
    if (row >= list_->GetItemCount())
        return;
    list_->SetSelection(row, true);
    list_->EnsureVisible(row);
}

void CTallowmereView::SelectAccountInPane(const CAccount* account) {
    for (std::size_t i = 0; i < data_->GetAccountCount(); ++i) {
        if (data_->GetAccountAt(i) == account) {
            const QSignalBlocker blocker(pane_->selectionModel());
            pane_->SetSelection(static_cast<int>(i), true);
            pane_->EnsureVisible(static_cast<int>(i));
            pane_->viewport()->update();
            return;
        }
    }
}

int CTallowmereView::SaveTopRow(CAccount* account) {
    if (account == nullptr || account != current_)
        return 0;
    const auto top = static_cast<std::int16_t>(
        std::clamp(list_->GetTopIndex(), 0, int{std::numeric_limits<std::int16_t>::max()}));
    // The whole file is written again: only for a real change.
    if (top == account->GetTopRow())
        return 0;
    account->SetTopRow(top);
    const int code = account->Save();
    if (code != 0)
        ShowFileErrorMessage(code);
    return code;
}

int CTallowmereView::GetRegisterItemCount() const {
    if (current_ == nullptr)
        return 0;
    switch (page_) {
        case 0:
            return current_->CountTransactions(filter_);
        case 3:
            return current_->CountTransactions(2);
        default:
            return 0;
    }
}

void CTallowmereView::ShowFileErrorMessage(int code) {
    ServiceMessages messages(this);
    ui::ShowFileErrorMessage(messages, code);
}

bool CTallowmereView::DrawIcon(QPainter& painter, const QRect& rect, int iconIndex) const {
    return icons_.DrawIcon(painter, rect, iconIndex);
}

}  // namespace tallowmere::ui
