#include "ui/app_windows.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>

#include "model/error_sink.h"
#include "model/money.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/program_version.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "sync/pending_users.h"
#include "ui/about_dlg.h"
#include "ui/date_formatter.h"
#include "ui/get_password_dlg.h"
#include "ui/sync_events_receiver.h"
#include "ui/tallowmere_view.h"

namespace tallowmere::ui {
namespace {

constexpr char kLanguageFile[] = "/Tallowmere_Language.txt";
constexpr int kPlatformInitFlag = 1;

}  // namespace

AppWindows::AppWindows(CTallowmereApp& app, std::string lockFolder)
    : app_(app), instance_(std::move(lockFolder)) {}

AppWindows::~AppWindows() {
    if (view_ != nullptr)
        view_->StopSync();
    if (frame_)
        frame_->SetAppCommands(nullptr);
    if (sinkInstalled_)
        SetErrorSink(nullptr);
    SetDateFormatter({});
}

MStartupHost::InstanceRole AppWindows::ClaimInstance() {
    if (instance_.Claim() == COneInstance::Role::kSecond)
        return InstanceRole::kSecond;
    // From here a logout or kill closes the program by its own way.
    termination_ = std::make_unique<TerminationSignals>();
    connect(termination_.get(), &TerminationSignals::closeRequested, this,
            &AppWindows::OnCloseRequested);
    return InstanceRole::kFirst;
}

void AppWindows::HandOverToRunningCopy() {
    instance_.HandOver(QCoreApplication::arguments().mid(1));
}

void AppWindows::InstallErrorSink() {
    SetErrorSink(&errorSink_);
    sinkInstalled_ = true;
}

void AppWindows::LoadLocaleSeparators() {
    tallowmere::LoadLocaleSeparators();
}

void AppWindows::LoadLanguageOverride() {
    // Only from the program's own folder; a missing file is the usual case.
    const QString path = QCoreApplication::applicationDirPath() + kLanguageFile;
    LoadStringTableOverride(path.toStdString());
}

int AppWindows::InitializePlatform() {
    return Platform::Initialize(kPlatformInitFlag, kProductWord);
}

void AppWindows::LoadLocaleFormats() {
    CTallowmereApp::LoadLocaleFormats();
}

void AppWindows::InstallDateFormatter() {
    SetDateFormatter(MakeDateFormatter(QLocale::system()));
}

void AppWindows::RemovePendingUsers() {
    handheld::RemovePendingUsers(nullptr);
}

void AppWindows::EnumerateUsers(CUserList& users) {
    const std::lock_guard lock(app_.UsersMutex());
    users.Enumerate(kProductWord, std::nullopt);
}

CUserItem* AppWindows::PromptPassword(CUserItem* user) {
    CGetPasswordDlg prompt(app_, user, false);
    return Services().RunDialog(prompt) == 1 ? prompt.GetUser() : nullptr;
}

void AppWindows::ShowStartupScreen() {
    splash_ = std::make_unique<COmbrelScreenWnd>();
    splash_->Show();
}

void AppWindows::CloseStartupScreen() {
    if (!splash_)
        return;
    splash_->Close();
    splash_.reset();
}

bool AppWindows::CreateMainWindow() {
    frame_ = std::make_unique<CMainFrame>();
    commands_ = std::make_unique<AppCommands>(*frame_);
    commands_->SetAboutHook([this](QWidget* parent) { OnAppAbout(parent); });
    frame_->SetAppCommands(commands_.get());
    if (CUserItem* user = app_.GetCurrentUser()) {
        frame_->setWindowTitle(QString::fromStdString(
            FormatText("%s %s - %s", {std::string("Tallowmere"), ProgramVersionText(),
                                      platform::Cp1252ToUtf8(user->GetName())})));
    }
    // The view reads the current user's data as it is made.
    auto* view = new CTallowmereView(app_, frame_.get());
    connect(view, &CTallowmereView::titleChanged, frame_.get(), &QWidget::setWindowTitle);
    frame_->SetView(view, view);
    view_ = view;
    // The users items are made each time the User menu opens.
    if (auto* users = frame_->findChild<QMenu*>(QStringLiteral("menu_3205")))
        connect(users, &QMenu::aboutToShow, view, [view, users] { view->FillUsersMenu(*users); });
    if (syncFactory_)
        view->StartSync(syncFactory_, syncOptions_);
    connect(&instance_, &COneInstance::databaseNotify, frame_.get(),
            [this](quint32 wParam, quint32 lParam) { frame_->OnDatabaseNotify(wParam, lParam); });
    // The view's one-shot timer; also on a first run.
    QTimer::singleShot(kStartupScreenMs, frame_.get(), [this] {
        CloseStartupScreen();
        if (view_ != nullptr)
            view_->OfferDueScheduled();
    });
    return true;
}

void AppWindows::ReloadData() {
    // Read again with the key the later prompt gave.
    if (view_ != nullptr)
        view_->ReloadData();
}

void AppWindows::ShowMainWindow() {
    if (wizard_ && wizard_->IsRunning()) {
        // The wizard's Finish.
        ShowMainWindowAfterWizard();
        return;
    }
    frame_->ShowWithStoredPlacement();
    instance_.SetFrameReady(
        [this]() -> QWidget* { return UserGuideOrFrame(wizard_.get(), frame_.get()); });
}

void AppWindows::StartSetupWizard() {
    // No Qt parent: a hidden parent confuses window managers.
    wizard_ = std::make_unique<CUserGuidePS>(*this, app_.GetUsers(), &app_.UsersMutex());
    if (view_ != nullptr && view_->SyncReceiver() != nullptr)
        view_->SyncReceiver()->SetUserGuide(wizard_.get());
    wizard_->Start();
    // A later copy brings the wizard forward while it runs.
    instance_.SetFrameReady(
        [this]() -> QWidget* { return UserGuideOrFrame(wizard_.get(), frame_.get()); });
}

void AppWindows::SetSyncServer(CTallowmereView::SyncServerFactory factory,
                               handheld::SyncServerOptions options) {
    syncFactory_ = std::move(factory);
    syncOptions_ = std::move(options);
}

bool AppWindows::SwitchUser(const std::string& folderName) {
    return view_ != nullptr && view_->SwitchUser(folderName);
}

void AppWindows::ShowMainWindowAfterWizard() {
    // Finish without a switch shows the current user: never its protected
    // data read without the key.
    if (CUserItem* current = app_.GetCurrentUser();
        current != nullptr && app_.UserHasPassword(*current) && !app_.HasCipherKey()) {
        CUserItem* chosen = PromptPassword(current);
        if (chosen == nullptr) {
            Quit();
            return;
        }
        app_.SetCurrentUser(chosen);
        SetPrefCurrentUser(chosen->GetFolderName());
        ReloadData();
    }
    frame_->ShowWithStoredPlacement();
}

void AppWindows::Quit() {
    QCoreApplication::exit(0);
}

void AppWindows::OnAppAbout(QWidget* parent) {
    RunAboutDialog(parent);
}

void AppWindows::OnCloseRequested() {
    // A prompt or a box first: its cancel ends whatever waits on it.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    CloseStartupScreen();
    if (wizard_ && wizard_->IsRunning())
        wizard_->reject();
    if (frame_)
        frame_->close();
}

int AppWindows::Run() {
    const int code = QApplication::exec();
    return app_.ExitInstance(code);
}

}  // namespace tallowmere::ui
