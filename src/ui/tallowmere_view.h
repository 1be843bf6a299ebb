#pragma once
// CTallowmereView: the working surface in the middle of the main window. It
// owns the current user's data set, shows it on four pages (Register,
// Reports, Budgets, Reconcile) over one list, draws its labels, read-outs
// and totals itself, and runs the handheld sync server, whose notices reach
// it through one queued channel. A reload never pulls the data out from
// under running work: it waits for every dialog, box, pop-up and command,
// and a load that fails keeps what is shown.
//
// The parts live in files of their own: controls and layout
// (tallowmere_view.cpp), drawing (tallowmere_view_draw.cpp), loading and
// pages (tallowmere_view_data.cpp, tallowmere_view_pages.cpp) and the sync
// (tallowmere_view_sync.cpp).
#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "model/report.h"
#include "platform/named_mutex.h"
#include "sync/sync_server.h"
#include "ui/accounts_list_ctrl.h"
#include "ui/icon_list.h"
#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"
#include "ui/logic/budget_page_logic.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/file_commands.h"
#include "ui/logic/reload_gate.h"
#include "ui/logic/report_page_logic.h"
#include "ui/logic/view_layout.h"
#include "ui/main_frame.h"
#include "ui/transaction_list_ctrl.h"
#include "ui/win_chart.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTabBar;

namespace tallowmere {
class CUserItem;
}

namespace tallowmere::ui {

struct PopupEntry;
enum class SetField;
class CIconListButton;
class CRegisterListCtrl;
class CTallowmereApp;
class CTallowmereView;
class PrintCommands;
class SyncEventsAdapter;
class SyncEventsReceiver;
class ViewPaneHeader;

// The busy lock of an editing command: waits up to the timeout for
// "LockwrenDesktopBusy" and holds it for the scope when the wait succeeded.
// The same thread may take it again inside; the view counts the nesting, and
// a reload asked for meanwhile runs when the outermost lock is released.
class CBusyLock {
  public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{2000};
    explicit CBusyLock(CTallowmereView& view, std::chrono::milliseconds timeout = kDefaultTimeout);
    ~CBusyLock();
    CBusyLock(const CBusyLock&) = delete;
    CBusyLock& operator=(const CBusyLock&) = delete;
    bool Held() const { return lock_.has_value(); }
    void Release();

  private:
    CTallowmereView& view_;
    std::optional<platform::NamedMutexLock> lock_;
};

class CTallowmereView final : public QWidget,
                              public CMainFrame::MView,
                              public CTransactionListCtrl::MOwnerView,
                              public CAccountsListCtrl::MOwnerView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTallowmereView)

  public:
    // Makes the sync server of the view from its options; the default
    // builds it as given. Tests hand in free ports.
    using SyncServerFactory =
        std::function<std::unique_ptr<handheld::CHandheldSyncServer>(handheld::SyncServerOptions)>;
    static SyncServerFactory DefaultSyncServerFactory();

    // Reads the preferences, makes the child controls and loads the app's
    // current user. The sync threads start with StartSync (none without a
    // factory).
    explicit CTallowmereView(CTallowmereApp& app, QWidget* parent = nullptr);
    ~CTallowmereView() override;

    // Builds the sync server with the factory and starts both threads; the
    // options' events, users and current user are the view's. False when a
    // thread could not start (a port in use, say).
    bool StartSync(const SyncServerFactory& factory,
                   handheld::SyncServerOptions options = handheld::SyncServerOptions());
    // Stops and joins the threads (also done on destruction).
    void StopSync();
    handheld::CHandheldSyncServer* SyncServer() const { return server_.get(); }
    SyncEventsReceiver* SyncReceiver() const { return receiver_.get(); }

    // --- the data ---
    // Loads the user's folder into a fresh data set and swaps it in only when
    // every file loaded, then enters the due automatic scheduled
    // transactions. On failure what is shown stays, and the failing file is
    // said. False then.
    bool LoadUserData(CUserItem& user);
    // Reads the current user's data again (after a sync, or another program's
    // notice), now or, while work runs or the busy lock is held elsewhere, as
    // soon as it may.
    void ReloadData();
    // The switch to another user with its own key; on any failure the old
    // data, key, user and "CurrentUser" stay. False then.
    bool SwitchUser(CUserItem& user);
    bool SwitchUser(const std::string& folderName);
    CAccounts& Data() const { return *data_; }
    CReport& Report() const { return *report_; }
    CAccount* CurrentAccount() const { return current_; }
    CUserItem* CurrentUser() const { return user_; }

    // --- pages ---
    int Page() const { return page_; }
    // Switches the page. Entering Reconcile first asks for the statement;
    // when that is cancelled the page stays and false is returned.
    bool SelectPage(int page) override;
    void ShowAccount(CAccount* account);
    void RefreshAccountsPane();
    void RefreshForAccount(const RecordId& id);
    void RefreshTotals();
    void RefreshFilterCombo(int filter);
    void SelectTransaction(const CTransaction* t);
    void SelectAccountInPane(const CAccount* account);
    // Stores the register's top row into the account's header and saves it,
    // only when it changed. The save's result (0 when nothing was written).
    int SaveTopRow(CAccount* account);
    int GetRegisterItemCount() const;
    int Filter() const { return filter_; }
    bool ChartMode() const { return chartMode_ != 0; }
    // The Reports and Budgets pages read their controls into the report and
    // compute it (the chart's slices too).
    void RecomputeReport();

    // A failed save's message box.
    void ShowFileErrorMessage(int code);
    // The account and category icons: 256 + n from the icon database, 0-64
    // from the built-in strips by the rectangle's size, 65-255 nothing.
    bool DrawIcon(QPainter& painter, const QRect& rect, int iconIndex) const;
    const IconPainter& Icons() const { return icons_; }

    // The busy lock and how deep the UI thread holds it now.
    platform::NamedMutex& BusyMutex() { return busyMutex_; }
    int BusyDepth() const { return reload_.Depth(); }
    bool ReloadPending() const { return reload_.IsPending(); }

    CRegisterListCtrl* RegisterList() const { return list_; }
    CAccountsListCtrl* AccountsPane() const { return pane_; }
    QTabBar* Tabs() const { return tabs_; }
    const QFont& LabelFont() const { return labelFont_; }
    // The layout of the current page as last applied.
    const ViewLayout& Layout() const { return layout_; }

    // --- the frame's view ---
    std::optional<CommandState> QueryCommand(int id) override;
    void RunCommand(int id) override;
    void OnReloadRequest(std::uint32_t wParam, std::uint32_t lParam) override;

    // --- the lists' owner ---
    bool ToggleTransactionStatus(int mode, CTransaction& t) override;
    void ShowRegisterPopupMenu(const QPoint& globalPos) override;
    void OnSetBudgetAmount() override;
    void ShowAccountPopupMenu(const QPoint& globalPos) override;

    // --- sync notices (from the receiver) ---
    // The run's user was found or made: passed to the wizard, and the title
    // changes when it is the current user.
    void NotifySyncUser(const std::string& folderName, bool created);

    // --- users, files and accounts (tallowmere_view_users.cpp,
    // tallowmere_view_files.cpp, tallowmere_view_accounts.cpp,
    // tallowmere_view_lists.cpp, tallowmere_view_settings.cpp) ---
    // Puts one item per user in place of the users items of menu (the
    // current user checked); choosing one switches to that user.
    void FillUsersMenu(QMenu& menu);
    // The start-up and user-switch offer: when scheduled items are due, asks
    // 153; Yes opens Upcoming.
    void OfferDueScheduled();
    // Imports the files in order (file-system bytes), each by its extension.
    void ImportDroppedFiles(const std::vector<std::string>& paths);
    // Imports path with the kind's importer into target, or (null) into the
    // account the file or the user chooses; inside the caller's busy lock.
    void ImportFile(ImportKind kind, const std::string& path, CAccount* target);

  signals:
    // The main window's title changed (UTF-8).
    void titleChanged(const QString& title);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    friend class CBusyLock;

    // Controls and layout.
    void CreateControls();
    void CreatePageControls();
    void ApplyFonts();
    void ApplyLayout();
    void ApplyVisibility();
    ViewMetrics Metrics() const;
    void OnTabChanged(int index);
    void OnAccountChosen();
    void OnFilterChosen(int index);

    // Loading.
    int LoadFolder(const std::string& folder, AccountsLoadFailure& failure);
    void AfterSwap(CAccount* current);
    void EnterDueScheduled();
    void SetTitle();
    void ShowLoadFailure(const AccountsLoadFailure& failure);
    void TryPendingReload();
    bool ReloadNow(std::chrono::milliseconds wait);
    void ApplyRegisterColumns(int page);
    void ApplyRowColor();
    void ScrollToTopRow();

    // Reports, Budgets, Reconcile.
    void EnterReports();
    void EnterBudgets();
    bool EnterReconcile();
    // The page's controls from its state, their signals blocked.
    void PushReportControls();
    void PushBudgetControls();
    void ApplyReportColumns();
    void OnReportControlChanged(int controlId);

    // Drawing.
    void DrawLabels(QPainter& painter) const;
    void DrawRegisterReadouts(QPainter& painter);
    void DrawReportTotals(QPainter& painter) const;
    void DrawBudgetTotals(QPainter& painter) const;
    void DrawReconcile(QPainter& painter) const;
    void DrawChart(QPainter& painter);
    int HeaderSectionX(std::uint16_t columnId, int& width) const;
    void DrawMoneyRight(QPainter& painter, const QRect& rect, Cents amount,
                        const std::string& symbol) const;
    // A money text right-aligned, red when negative.
    void DrawCellText(QPainter& painter, const QRect& rect, const CellText& money) const;

    // Sync.
    void AttachSync();

    // Users, files and accounts.
    std::optional<CommandState> QueryMoreCommand(int id) const;
    bool RunMoreCommand(int id);
    void OnUserChosen(const std::string& folder);
    void OnSetPassword();
    void OnUpcoming();
    void OnImport(ImportKind kind);
    void OnExport(bool qif);
    void OnNewAccount();
    void OnDeleteAccount();
    void OnAccountInfo();
    void OnListEditor(int id);
    void OnAdjustEndingBalance();
    void OnPurgeTransactions();
    void OnAndroidSync();
    void OnCheckForUpdates();
    void OnShowColumns();
    void OnRowColor();
    void OnSetFont();
    void OnPreferences();

    // Register commands (tallowmere_view_register.cpp).
  public:
    void OnNewTransaction();
    void OnEditTransaction();
    void EditTransaction();
    void OnDeleteTransaction();
    void OnTransfer();
    void SetTransactionStatus(int status);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    std::optional<CommandState> QueryRegisterCommand(int id);
    bool RunRegisterCommand(int id);
    void ConnectRegisterCommands();
    std::vector<CTransaction*> SelectedTransactions() const;
    void SelectTransactionIds(const std::vector<RecordId>& ids);
    void AfterRegisterEdit(const std::vector<RecordId>& reselect);
    void SetSelectedField(SetField field, const PopupEntry& entry);
    void OnRegisterHeaderClicked(int section);
    void ShowBalanceMenu(int which);
    void DispatchViewCommand(int id);

    CTallowmereApp& app_;
    CUserItem* user_ = nullptr;
    std::unique_ptr<CAccounts> data_;
    std::unique_ptr<CReport> report_;
    CWinChart chart_;
    CAccount* current_ = nullptr;
    platform::NamedMutex busyMutex_;
    CReloadGate reload_;
    QTimer reloadRetry_;

    int page_ = 0;
    int filter_ = 0;
    std::array<int, 2> balanceTypes_{};
    int chartMode_ = 0;
    bool showDecimals_ = true;
    std::uint16_t sortColumn_ = 2;
    std::uint8_t sortDirection_ = 1;
    ReportPageState reportState_;
    BudgetPageState budgetState_;

    // Children.
    QTabBar* tabs_ = nullptr;
    ViewPaneHeader* paneHeader_ = nullptr;
    CAccountsListCtrl* pane_ = nullptr;
    CRegisterListCtrl* list_ = nullptr;
    QComboBox* filterCombo_ = nullptr;
    std::map<int, CIconListButton*> buttons_;
    QCheckBox* showEmpty_ = nullptr;
    QPushButton* done_ = nullptr;
    QComboBox* reportAccount_ = nullptr;
    QComboBox* groupBy_ = nullptr;
    QComboBox* period_ = nullptr;
    QComboBox* display_ = nullptr;
    QComboBox* amountType_ = nullptr;
    QDateEdit* startDate_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    std::map<int, QWidget*> controls_;
    ViewLayout layout_;

    // Fonts and images.
    QFont labelFont_;
    QFont controlFont_;
    QFont displayFont_;
    QFont font13_;
    QFont boldFont_;
    IconPainter icons_;
    CIconResourceList iconDatabase_;
    CIconList marker_;
    CIconList viewStrip_;

    std::unique_ptr<PrintCommands> print_;

    // The sync: the adapter outlives the server that calls it.
    std::unique_ptr<SyncEventsAdapter> adapter_;
    std::unique_ptr<SyncEventsReceiver> receiver_;
    std::unique_ptr<handheld::CHandheldSyncServer> server_;

    // --- the Reports, Budgets and Reconcile commands and the dialogs they
    // open (tallowmere_view_page_commands.cpp) ---
  public:
    // Upcoming Transactions (32809), inside the busy lock; the start-up
    // offer's Yes too.
    void OnUpcomingTransactions();
    // Details of the chosen report row (the one selected row, or the chart's
    // selected slice); message 192 without one.
    void OnReportDetails();
    // The pie of the Reports page as last drawn.
    const CChart& Chart() const { return chart_; }

  private:
    void AttachPageCommands();
    // The commands the pages answer; nothing for the rest.
    std::optional<CommandState> QueryPageCommand(int id) const;
    // False when the pages do not answer the command.
    bool RunPageCommand(int id);
    void OpenReportDetails(const CReportItem& row);
    void OnReportHeaderClicked(int section);
    // The list's sort arrow (and its name cells) after the page's sort.
    void ApplyReportSortArrow();
    // A click selects the slice under it, a double-click opens its details.
    bool OnChartMouse(const QMouseEvent& event, bool doubleClick);
    void OnMarkAllRows(bool mark);
    void OnFinishReconcile();
};

}  // namespace tallowmere::ui
