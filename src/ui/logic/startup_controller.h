#pragma once
// The program's start-up, in this order:
//   the single-instance claim (a later start hands over and ends, code 0);
//   the error sink and the locale's money characters; the text override;
//   the random generator seeded from the tick count's low 16 bits;
//   the platform library (a failure shows message 506 with its code in
//   hexadecimal and ends, code 1); the locale's date order and separator and
//   the date formatter; the preference keys; users of unfinished first syncs
//   removed, the users enumerated and the one "CurrentUser" names taken, a
//   password change cut short finished or undone; "DisplayUserGuide" read
//   (1 is a first run); the password prompt for a user who has one, except
//   on a first run (cancel ends, code 0); the start-up screen; "CurrentUser"
//   written; the main window and its view (a failure ends, code 1); and the
//   main window shown.
// Until the setup wizard exists, a first run shows the main window like any
// other run and leaves "DisplayUserGuide" as it is. The main window never
// shows a protected user's data without the password: on a first run the
// prompt comes before the window is shown, and the data is read again with
// the key.
#include "ui/logic/messages.h"
#include "ui/logic/startup_host.h"
#include "ui/logic/tallowmere_app.h"

namespace tallowmere::ui {

struct StartupResult {
    enum class Outcome {
        kRunning,         // the main window is up: run the event loop
        kHandedOver,      // another copy runs and was told
        kPlatformFailed,  // message 506 was shown
        kCancelled,       // the password prompt was left
        kNoMainWindow,    // the main window could not be made
    };
    Outcome outcome = Outcome::kRunning;
    // The process's exit code when start-up ended.
    int exitCode = 0;
    bool firstRun = false;
};

class StartupController {
  public:
    StartupController(CTallowmereApp& app, MStartupHost& host, Messages& messages)
        : app_(app), host_(host), messages_(messages) {}

    StartupResult Run();

  private:
    enum class SignInResult { kNoPassword, kSignedIn, kCancelled };
    // The prompt, when the current user has a password.
    SignInResult SignIn();

    CTallowmereApp& app_;
    MStartupHost& host_;
    Messages& messages_;
};

}  // namespace tallowmere::ui
