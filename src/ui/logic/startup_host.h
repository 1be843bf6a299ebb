#pragma once
// What the start-up sequence asks of the world outside its own rules: the
// single-instance claim, the process-wide services, the platform library,
// the users, the password prompt and the windows. The program answers with
// the real thing (ui/app_windows.h); tests script each answer and read the
// order of the calls.
#include "model/users.h"

namespace tallowmere::ui {

class MStartupHost {
  public:
    enum class InstanceRole { kFirst, kSecond };

    virtual ~MStartupHost() = default;

    // Takes the one-per-user lock and listens for later starts.
    virtual InstanceRole ClaimInstance() = 0;
    // A later start: hands the command line to the running copy, bounded in
    // time.
    virtual void HandOverToRunningCopy() = 0;
    // The core's error reports: a message box on the window thread, the log
    // from any other.
    virtual void InstallErrorSink() = 0;
    // The money characters of the user's locale.
    virtual void LoadLocaleSeparators() = 0;
    // "Tallowmere_Language.txt" from the program's folder, when there is one.
    virtual void LoadLanguageOverride() = 0;
    // 0, or the code of the failure.
    virtual int InitializePlatform() = 0;
    // The date order and separator of the user's locale.
    virtual void LoadLocaleFormats() = 0;
    // Dates in the user's locale for every date text of the core.
    virtual void InstallDateFormatter() = 0;
    // Users whose first sync never ended are removed.
    virtual void RemovePendingUsers() = 0;
    virtual void EnumerateUsers(CUserList& users) = 0;
    // The password prompt, user preselected and the choice of user open. The
    // prompt keys the data cipher; it gives the user signed in as, or null
    // when it was cancelled.
    virtual CUserItem* PromptPassword(CUserItem* user) = 0;
    virtual void ShowStartupScreen() = 0;
    // The main window and its view, which reads the current user's data and
    // closes the start-up screen 500 ms later. False ends start-up.
    virtual bool CreateMainWindow() = 0;
    // The view reads the current user's data again (keyed by a later prompt).
    virtual void ReloadData() = 0;
    // Places the main window by "WinPos" and shows it.
    virtual void ShowMainWindow() = 0;
    // A first run: the setup wizard, modeless, with the main window hidden;
    // the wizard shows the main window (or ends the program) itself.
    virtual void StartSetupWizard() = 0;
};

}  // namespace tallowmere::ui
