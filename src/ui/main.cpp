// The desktop program.
#include <signal.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "ui/app_windows.h"
#include "ui/logic/display_check.h"
#include "ui/logic/startup_controller.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/ui_services.h"

int main(int argc, char** argv) {
    // Signal dispositions belong to the process, so the program sets them,
    // before any thread starts: a peer that closes its socket early and a
    // save past the file-size limit must fail that call (EPIPE, EFBIG), not
    // end the program.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);

    if (!tallowmere::ui::HasDisplay([](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value != nullptr ? value : "");
        })) {
        std::fprintf(stderr, "%s\n", tallowmere::ui::NoDisplayMessage().c_str());
        return 2;
    }

    QApplication qtApp(argc, argv);
    // The toolkit took the user's locale for everything; numbers in files and
    // the order of named lists must not follow it.
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_COLLATE, "C");

    using tallowmere::ui::StartupResult;
    tallowmere::ui::CTallowmereApp app;
    tallowmere::ui::AppWindows windows(app);
    tallowmere::ui::ServiceMessages messages;
    const StartupResult started = tallowmere::ui::StartupController(app, windows, messages).Run();
    switch (started.outcome) {
        case StartupResult::Outcome::kRunning:
            return windows.Run();
        case StartupResult::Outcome::kHandedOver:
            return started.exitCode;
        default:
            return app.ExitInstance(started.exitCode);
    }
}
