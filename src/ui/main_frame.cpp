#include "ui/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <vector>

#include "model/preferences.h"
#include "model/string_table.h"
#include "model/window_placement.h"
#include "ui/bitmaps.h"
#include "ui/command_actions.h"
#include "ui/empty_view.h"
#include "ui/logic/command_id.h"
#include "ui/logic/menu_table.h"
#include "ui/one_instance.h"
#include "ui/ui_services.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

// Qt measures the client area where Windows measured the outer window; the
// few pixels of border make no difference to what fits.
constexpr int kMinWidth = 750;
constexpr int kMinHeight = 300;

constexpr int kStringUserGuide = 600;
constexpr int kStringQuestionsPage = 601;
constexpr int kStringSupportPage = 602;
constexpr int kStringDownloadPage = 603;
constexpr int kStringReady = 3213;
constexpr int kStatusBarId = 59393;
constexpr int kIndicatorIds[] = {59137, 59138, 59139};  // CAP, NUM, SCRL

constexpr int kProgramIcon = 128;
constexpr char kGrabVariable[] = "TALLOWMERE_TEST_GRAB";

WindowRect ToWindowRect(const QRect& r) {
    return WindowRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

QRect ToQRect(const WindowRect& r) {
    return QRect(r.left, r.top, static_cast<int>(r.Width()), static_cast<int>(r.Height()));
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    setMinimumSize(kMinWidth, kMinHeight);
    setWindowIcon(BitmapIcon(kProgramIcon));

    actions_ = new CommandActions(*this, router_);
    actions_->FillMenuBar(*menuBar(), MainMenuTable());
    AddFrameCommands();
    router_.SetFrame(&frameCommands_);
    BuildStatusBar();
    SetView(nullptr, nullptr);
}

CMainFrame::~CMainFrame() {
    SavePlacement();
    router_.SetView(nullptr);
}

void CMainFrame::SetView(QWidget* widget, MView* view) {
    router_.SetView(nullptr);
    view_ = nullptr;
    if (widget == nullptr || view == nullptr) {
        delete widget;  // taken, as promised, though it cannot serve
        auto* empty = new CEmptyView(this);
        widget = empty;
        view = empty;
    }
    setCentralWidget(widget);
    view_ = view;
    router_.SetView(view);
}

void CMainFrame::SetAppCommands(MCommandTarget* app) {
    router_.SetApp(app);
}

QAction* CMainFrame::CommandAction(int id) const {
    return actions_->Find(id);
}

void CMainFrame::AddFrameCommands() {
    frameCommands_.Add(ToInt(CommandId::kHelpUserGuide), [this] { OnHelpUserGuide(); });
    const std::pair<CommandId, int> pages[] = {
        {CommandId::kHelpQuestions, kStringQuestionsPage},
        {CommandId::kHelpSupport, kStringSupportPage},
        {CommandId::kHelpDownload, kStringDownloadPage},
    };
    for (const auto& entry : pages) {
        const int id = ToInt(entry.first);
        const int page = entry.second;
        frameCommands_.Add(id, [this, page] { OpenWebPage(page); });
        // On no menu; the actions exist so that they can be triggered.
        actions_->Action(id, Text(id));
    }
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("id_%1").arg(kStatusBarId));
    // A normal widget: menu prompts are temporary messages over it.
    auto* message = new QLabel(Text(kStringReady), bar);
    message->setObjectName(QStringLiteral("messagePane"));
    message->setIndent(4);
    bar->addWidget(message, 1);
    for (const int id : kIndicatorIds) {
        auto* indicator = new QLabel(Text(id), bar);
        indicator->setObjectName(QStringLiteral("id_%1").arg(id));
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setFrameShape(QFrame::Panel);
        indicator->setFrameShadow(QFrame::Sunken);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(indicator->text()) +
                                   16);
        // The lock keys' state cannot be read portably: the panes stay grey.
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
    }
}

void CMainFrame::OnHelpUserGuide() {
    // No check and no message: the shell says what it can.
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(Text(kStringUserGuide));
    Services().OpenUrl(QUrl::fromLocalFile(path));
}

void CMainFrame::OpenWebPage(int stringId) {
    Services().OpenUrl(QUrl(Text(stringId)));
}

void CMainFrame::ShowPlaced(const std::string& winPos) {
    std::vector<WindowRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(ToWindowRect(screen->availableGeometry()));
    const QScreen* primary = QGuiApplication::primaryScreen();
    const WindowRect primaryArea =
        primary != nullptr ? ToWindowRect(primary->availableGeometry()) : WindowRect{};
    const WindowPlan plan = PlanWindowPlacement(winPos, screens, primaryArea);
    setGeometry(ToQRect(plan.normal));
    if (plan.maximized)
        showMaximized();
    else
        showNormal();
}

void CMainFrame::ShowWithStoredPlacement() {
    ShowPlaced(GetPrefWinPos());
}

std::string CMainFrame::PlacementText() const {
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    return WindowPlacementToText(WindowPlacement{isMaximized(), ToWindowRect(normal)});
}

int CMainFrame::OnDatabaseNotify(std::uint32_t wParam, std::uint32_t lParam) {
    if (view_ != nullptr)
        view_->OnReloadRequest(wParam, lParam);
    return 0;
}

void CMainFrame::activateFromOtherInstance() {
    RaiseWindow(*this);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    placementPending_ = true;
    if (!grabbed_ && !qEnvironmentVariableIsEmpty(kGrabVariable)) {
        grabbed_ = true;
        // After the first layout and paint have run.
        QTimer::singleShot(0, this, &CMainFrame::GrabForTest);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        SavePlacement();
}

void CMainFrame::SavePlacement() {
    if (!placementPending_)
        return;
    placementPending_ = false;
    SetPrefWinPos(PlacementText());
}

void CMainFrame::GrabForTest() {
    const QDir folder(qEnvironmentVariable(kGrabVariable));
    // Written whole under a temporary name, so a watcher never reads half.
    const auto save = [this, &folder](const QString& name) {
        QSaveFile file(folder.filePath(name));
        if (file.open(QIODevice::WriteOnly) && grab().save(&file, "PNG"))
            file.commit();
    };
    // The Register, Reports and Budgets pages in turn, then back to
    // Register; never Reconcile, whose statement dialog waits for input.
    if (view_ != nullptr) {
        for (int page = 0; page < 3; ++page) {
            if (!view_->SelectPage(page))
                continue;
            QCoreApplication::processEvents();
            save(QStringLiteral("page-%1.png").arg(page));
        }
        view_->SelectPage(0);
        QCoreApplication::processEvents();
    }
    // Last: a watcher that sees it finds the pages there.
    save(QStringLiteral("frame.png"));
}

}  // namespace tallowmere::ui
