#pragma once
// The application object's windows and its ties to the desktop: the
// single-instance claim, the start-up screen, the main window with its
// commands, the password prompt, the error sink, the locale's dates, and the
// close request of SIGTERM and SIGINT. The start-up sequence runs on it
// (startup_controller.h); Run() then runs the event loop and the shut-down.
#include <QObject>
#include <QPointer>
#include <memory>

#include "ui/app_commands.h"
#include "ui/logic/startup_host.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/main_frame.h"
#include "ui/ombrel_screen_wnd.h"
#include "ui/one_instance.h"
#include "ui/tallowmere_view.h"
#include "ui/termination_signals.h"
#include "ui/ui_error_sink.h"
#include "ui/user_guide_ps.h"

namespace tallowmere::ui {

class AppWindows final : public QObject, public MStartupHost, public MUserGuideHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppWindows)

  public:
    // The start-up screen closes this long after the main view is made.
    static constexpr int kStartupScreenMs = 500;

    // lockFolder: where the single-instance lock and socket live; empty
    // means the user's lock folder.
    explicit AppWindows(CTallowmereApp& app, std::string lockFolder = {});
    ~AppWindows() override;

    // The event loop until the main window closes, then the shut-down;
    // gives the process's exit code.
    int Run();

    void ShowStartupScreen() override;
    void CloseStartupScreen();
    void ShowMainWindow() override;
    void OnAppAbout(QWidget* parent);

    CMainFrame* MainFrame() const { return frame_.get(); }
    COmbrelScreenWnd* StartupScreen() const { return splash_.get(); }

    // The start-up's steps.
    InstanceRole ClaimInstance() override;
    void HandOverToRunningCopy() override;
    void InstallErrorSink() override;
    void LoadLocaleSeparators() override;
    void LoadLanguageOverride() override;
    int InitializePlatform() override;
    void LoadLocaleFormats() override;
    void InstallDateFormatter() override;
    void RemovePendingUsers() override;
    void EnumerateUsers(CUserList& users) override;
    CUserItem* PromptPassword(CUserItem* user) override;
    bool CreateMainWindow() override;
    void ReloadData() override;
    void StartSetupWizard() override;

    // The setup wizard's host: the switch to the user it made, the main
    // window (a protected user's password first), and the end on Cancel.
    bool SwitchUser(const std::string& folderName) override;
    void ShowMainWindowAfterWizard();
    void Quit() override;
    CUserGuidePS* SetupWizard() const { return wizard_.get(); }

    // How the view's sync server is made (before CreateMainWindow); tests
    // give loopback and free ports. A null factory starts no server.
    void SetSyncServer(CTallowmereView::SyncServerFactory factory,
                       handheld::SyncServerOptions options);

  private:
    void OnCloseRequested();

    CTallowmereApp& app_;
    COneInstance instance_;
    std::unique_ptr<TerminationSignals> termination_;
    UiErrorSink errorSink_;
    bool sinkInstalled_ = false;
    std::unique_ptr<COmbrelScreenWnd> splash_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<AppCommands> commands_;
    QPointer<CTallowmereView> view_;
    std::unique_ptr<CUserGuidePS> wizard_;
    CTallowmereView::SyncServerFactory syncFactory_ = CTallowmereView::DefaultSyncServerFactory();
    handheld::SyncServerOptions syncOptions_;
};

}  // namespace tallowmere::ui
