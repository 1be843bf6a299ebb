// The view's child controls, their fonts, places and visibility by page, and
// the commands it answers itself.
#include "ui/tallowmere_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontInfo>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <algorithm>

#include "model/preferences.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/icon_list_button.h"
#include "ui/logic/command_id.h"
#include "ui/logic/filter_combo.h"
#include "ui/logic/print_job.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/logic/view_pages.h"
#include "ui/owner_header_ctrl.h"
#include "ui/palm_date.h"
#include "ui/print_commands.h"
#include "ui/register_list_ctrl.h"
#include "ui/sync_events_adapter.h"
#include "ui/sync_events_receiver.h"
#include "ui/ui_services.h"
#include "ui/ui_text.h"
#include "ui/view_pane_header.h"
#include "ui/view_tab_bar.h"

namespace tallowmere::ui {
namespace {

// The command buttons' strip (shared strip 1: bitmap 168, 28 x 20) and the
// dialogs' (shared strip 0: bitmap 166, 23 x 23).
constexpr int kCommandStrip = 1;
const QColor kStripMask(255, 153, 51);
constexpr int kMaxFontPixels = 12;

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

QComboBox* MakeCombo(QWidget* parent, int id) {
    auto* combo = Named(new QComboBox(parent), id);
    combo->setMaxVisibleItems(12);  // about 200 pixels of drop-down
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

QDateEdit* MakeDate(QWidget* parent, int id) {
    auto* date = Named(new QDateEdit(parent), id);
    date->setCalendarPopup(true);
    LimitToPalmRange(*date);
    return date;
}

}  // namespace

// --- busy lock ---

CBusyLock::CBusyLock(CTallowmereView& view, std::chrono::milliseconds timeout) : view_(view) {
    lock_.emplace(view.busyMutex_, timeout);
    if (lock_->Held())
        view_.reload_.EnterWork();
    else
        lock_.reset();
}

CBusyLock::~CBusyLock() {
    Release();
}

void CBusyLock::Release() {
    if (!lock_)
        return;
    lock_.reset();
    if (view_.reload_.LeaveWork(ModalDepth()))
        QTimer::singleShot(0, &view_, [view = &view_] { view->TryPendingReload(); });
}

// --- construction ---

CTallowmereView::CTallowmereView(CTallowmereApp& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      data_(std::make_unique<CAccounts>()),
      report_(std::make_unique<CReport>(*data_)),
      busyMutex_(handheld::kDesktopBusyMutexName),
      print_(std::make_unique<PrintCommands>()) {
    setObjectName(QStringLiteral("tallowmereView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    filter_ = ClampFilter(GetPrefTransactionFilter());
    showDecimals_ = GetPrefShowDecimals();
    for (int i = 0; i < 2; ++i)
        balanceTypes_[static_cast<std::size_t>(i)] = static_cast<int>(GetPrefBalanceType(i) % 3);

    SetupIconList(kCommandStrip, 168, 1, 20, 28, 20, 0, kStripMask);
    SetupIconList(0, 166, 1, 4, 23, 23, 0, kStripMask);
    viewStrip_.Load(203, 1, 1, 12, 10, 0, QColor(255, 204, 255));
    marker_.Load(182, 1, 1, 9, 6, 0, QColor(255, 255, 255));
    icons_.SetDatabaseDrawer([this](QPainter& painter, const QRect& rect, int iconId) {
        return iconDatabase_.DrawIcon(painter, rect, static_cast<std::uint16_t>(iconId + 256));
    });

    CreateControls();
    // Dropped files are imported (after the drop has ended).
    setAcceptDrops(true);
    CreatePageControls();
    AttachPageCommands();
    ApplyFonts();
    ConnectRegisterCommands();

    reloadRetry_.setInterval(250);
    connect(&reloadRetry_, &QTimer::timeout, this, [this] { TryPendingReload(); });
    SetModalEndObserver([this] {
        if (reload_.MayRun(ModalDepth()))
            QTimer::singleShot(0, this, [this] { TryPendingReload(); });
    });

    CUserItem* user = app_.GetCurrentUser();
    list_->setUpdatesEnabled(false);
    if (user == nullptr || !LoadUserData(*user))
        AfterSwap(nullptr);  // the pages laid out over an empty data set
    QTimer::singleShot(0, this, [this] {
        ScrollToTopRow();
        list_->setUpdatesEnabled(true);
    });
    setAcceptDrops(true);
}

CTallowmereView::~CTallowmereView() {
    SetModalEndObserver({});
    StopSync();
    if (current_ != nullptr && page_ == 0)
        SaveTopRow(current_);
}

void CTallowmereView::CreateControls() {
    tabs_ = Named(new ViewTabBar(this), view_id::kTabs);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    for (int page = 0; page < kViewPageCount; ++page)
        tabs_->addTab(Text(TabStringId(page)));
    connect(tabs_, &QTabBar::currentChanged, this, &CTallowmereView::OnTabChanged);

    paneHeader_ = Named(new ViewPaneHeader(this), view_id::kPaneHeader);

    pane_ = new CAccountsListCtrl(data_.get(), this);
    pane_->Create(QRect(), this, view_id::kAccountsPane);
    pane_->SetOwnerView(this);
    pane_->SetIconPainter(&icons_);
    pane_->SetShowDecimals(showDecimals_);
    pane_->SetBalanceKind(balanceTypes_[0]);
    connect(pane_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnAccountChosen(); });

    list_ = new CRegisterListCtrl(data_.get(), this);
    list_->Create(QRect(), this, view_id::kRegisterList);
    list_->SetOwnerView(this);
    list_->SetIconPainter(&icons_);
    list_->SetShowDecimals(showDecimals_);
    list_->SetShowYear(GetPrefShowYear());
    list_->SetFilter(filter_);

    filterCombo_ = MakeCombo(this, view_id::kFilterCombo);
    connect(filterCombo_, &QComboBox::activated, this, &CTallowmereView::OnFilterChosen);

    for (const ViewButton& b : ViewButtons()) {
        auto* button = Named(new CIconListButton(this), b.id);
        button->SetIconList(kCommandStrip);
        button->SetImages(b.normal, b.pressed);
        button->setFocusPolicy(Qt::NoFocus);
        const int id = b.id;
        // Through the main window's routing, as a menu command goes.
        connect(button, &QAbstractButton::clicked, this, [this, id] {
            if (auto* frame = qobject_cast<CMainFrame*>(window()))
                frame->Router().Dispatch(id);
        });
        buttons_[b.id] = button;
        controls_[b.id] = button;
    }
    controls_[view_id::kTabs] = tabs_;
    controls_[view_id::kPaneHeader] = paneHeader_;
    controls_[view_id::kAccountsPane] = pane_;
    controls_[view_id::kRegisterList] = list_;
    controls_[view_id::kFilterCombo] = filterCombo_;
}

void CTallowmereView::CreatePageControls() {
    showEmpty_ = Named(new QCheckBox(Text(198), this), view_id::kShowEmpty);
    showEmpty_->setChecked(GetPrefShowEmptyItems());
    done_ = Named(new QPushButton(Text(229), this), view_id::kDone);
    reportAccount_ = MakeCombo(this, view_id::kReportAccount);
    groupBy_ = MakeCombo(this, view_id::kGroupBy);
    period_ = MakeCombo(this, view_id::kPeriod);
    display_ = MakeCombo(this, view_id::kDisplay);
    amountType_ = MakeCombo(this, view_id::kAmountType);
    startDate_ = MakeDate(this, view_id::kStartDate);
    endDate_ = MakeDate(this, view_id::kEndDate);
    const std::pair<int, QWidget*> pageControls[] = {
        {view_id::kShowEmpty, showEmpty_},
        {view_id::kDone, done_},
        {view_id::kReportAccount, reportAccount_},
        {view_id::kGroupBy, groupBy_},
        {view_id::kPeriod, period_},
        {view_id::kDisplay, display_},
        {view_id::kAmountType, amountType_},
        {view_id::kStartDate, startDate_},
        {view_id::kEndDate, endDate_},
    };
    for (const auto& [id, widget] : pageControls) {
        controls_[id] = widget;
        widget->hide();
    }
    for (QComboBox* combo : {reportAccount_, groupBy_, period_, display_, amountType_}) {
        const int id = combo->objectName().mid(3).toInt();
        connect(combo, &QComboBox::activated, this, [this, id] { OnReportControlChanged(id); });
    }
    for (QDateEdit* date : {startDate_, endDate_}) {
        const int id = date->objectName().mid(3).toInt();
        connect(date, &QDateEdit::userDateChanged, this,
                [this, id] { OnReportControlChanged(id); });
    }
    connect(showEmpty_, &QCheckBox::clicked, this,
            [this] { OnReportControlChanged(view_id::kShowEmpty); });
}

void CTallowmereView::ApplyFonts() {
    // Every font of the view is the list's, no taller than 12 pixels.
    QFont base = list_->font();
    const int pixels = std::min(kMaxFontPixels, QFontInfo(base).pixelSize());
    base.setPixelSize(std::max(1, pixels));
    labelFont_ = base;
    controlFont_ = base;
    displayFont_ = base;
    displayFont_.setPixelSize(10);
    font13_ = base;
    font13_.setPixelSize(13);
    boldFont_ = base;
    boldFont_.setPixelSize(10);
    boldFont_.setWeight(QFont::Bold);
    for (QWidget* w : std::initializer_list<QWidget*>{tabs_, paneHeader_, filterCombo_, showEmpty_,
                                                      done_, reportAccount_, groupBy_, period_,
                                                      display_, amountType_, startDate_, endDate_})
        w->setFont(controlFont_);
    list_->setFont(labelFont_);
    pane_->setFont(labelFont_);
}

// --- layout ---

ViewMetrics CTallowmereView::Metrics() const {
    ViewMetrics m;
    m.width = width();
    m.height = height();
    m.tabBandHeight = tabs_->sizeHint().height();
    m.headerHeight = QFontMetrics(controlFont_).height() + 8;
    m.controlHeight = std::max(period_->sizeHint().height(), startDate_->sizeHint().height());
    const QFontMetrics labels(labelFont_);
    m.textHeight = labels.height();
    int widest = 0;
    for (const int id : {520, 521, 522, 523, 524, 357, 360})
        widest = std::max(widest, labels.horizontalAdvance(Text(id)));
    m.labelWidth = widest + 4;
    return m;
}

void CTallowmereView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (list_ != nullptr)
        ApplyLayout();
}

void CTallowmereView::ApplyLayout() {
    layout_ = LayoutView(Metrics(), page_);
    const auto place = [this](QWidget* w, const ViewRect& r) {
        w->setGeometry(r.x, r.y, r.width, r.height);
    };
    place(tabs_,
          ViewRect{layout_.tabs.x, layout_.tabs.y,
                   std::min(layout_.tabs.width, tabs_->sizeHint().width()), layout_.tabs.height});
    place(paneHeader_, layout_.paneHeader);
    place(pane_, layout_.pane);
    place(list_, layout_.list);
    place(filterCombo_, layout_.filterCombo);
    for (const ViewControlRect& c : layout_.buttons)
        place(buttons_.at(c.id), c.rect);
    for (const ViewControlRect& c : layout_.definitions)
        place(controls_.at(c.id), c.rect);
    if (page_ == 3)
        place(done_, layout_.done);
    if (pane_->GetColumnCount() > 0)
        pane_->header()->resizeSection(0, std::max(0, pane_->viewport()->width()));
    update();
}

void CTallowmereView::ApplyVisibility() {
    for (const int id : ViewControlIds()) {
        const auto it = controls_.find(id);
        if (it != controls_.end())
            it->second->setVisible(IsControlVisible(id, page_, chartMode_ != 0));
    }
    paneHeader_->SetText(Text(PaneHeaderStringId(page_)));
    ApplyLayout();
}

// --- choices ---

void CTallowmereView::OnTabChanged(int index) {
    if (index == page_)
        return;
    if (!SelectPage(index)) {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(page_);
    }
}

void CTallowmereView::OnAccountChosen() {
    const int row = pane_->GetFirstSelectedItem();
    if (row < 0 || page_ != 0)
        return;
    CAccount* chosen = data_->GetAccountAt(static_cast<std::size_t>(row));
    if (chosen == nullptr || chosen == current_)
        return;
    if (current_ != nullptr)
        SaveTopRow(current_);
    ShowAccount(chosen);
    RefreshFilterCombo(filter_);
}

void CTallowmereView::OnFilterChosen(int index) {
    const int filter = filterCombo_->itemData(index).toInt();
    filter_ = ClampFilter(static_cast<unsigned>(filter));
    SetPrefTransactionFilter(static_cast<std::uint32_t>(filter_));
    list_->SetFilter(filter_);
    list_->ResetItemCount();
    list_->viewport()->update();
    RefreshTotals();
    list_->setFocus();
}

void CTallowmereView::RefreshFilterCombo(int filter) {
    const QSignalBlocker blocker(filterCombo_);
    const auto texts = FilterComboTexts(current_);
    filterCombo_->clear();
    for (int i = 0; i < kFilterCount; ++i)
        filterCombo_->addItem(
            QString::fromStdString(platform::Cp1252ToUtf8(texts[static_cast<std::size_t>(i)])), i);
    filterCombo_->setCurrentIndex(ClampFilter(static_cast<unsigned>(filter)));
}

// --- commands ---

std::optional<CommandState> CTallowmereView::QueryCommand(int id) {
    // The pages' own meaning of a command (Edit on Reports) comes first.
    if (std::optional<CommandState> state = QueryPageCommand(id))
        return state;
    if (std::optional<CommandState> state = QueryRegisterCommand(id))
        return state;
    switch (id) {
        case ToInt(CommandId::kFilePrint):
        case ToInt(CommandId::kFilePrintPreview):
        case ToInt(CommandId::kFilePrintSetup):
            return CommandState{true, false};
        default:
            return QueryMoreCommand(id);
    }
}

void CTallowmereView::RunCommand(int id) {
    if (RunPageCommand(id) || RunRegisterCommand(id))
        return;
    switch (id) {
        case ToInt(CommandId::kFilePrint):
        case ToInt(CommandId::kFilePrintPreview): {
            PrintViewState state;
            state.page = page_;
            state.currentAccount = current_;
            state.registerFilter = filter_;
            state.registerBalanceType = balanceTypes_[1];
            state.report = report_.get();
            state.chartMode = chartMode_ != 0;
            const PrintJob job = MakePrintJob(*data_, state);
            if (id == ToInt(CommandId::kFilePrint))
                print_->Print(this, job, labelFont_);
            else
                print_->Preview(this, job, labelFont_);
            break;
        }
        case ToInt(CommandId::kFilePrintSetup):
            print_->PageSetup(this);
            break;
        default:
            RunMoreCommand(id);
            break;
    }
}

void CTallowmereView::ShowAccountPopupMenu(const QPoint&) {}

}  // namespace tallowmere::ui
