// The desktop program.
#include <signal.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "model/string_table.h"
#include "ui/about_dlg.h"
#include "ui/app_commands.h"
#include "ui/logic/display_check.h"
#include "ui/main_frame.h"

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

    QApplication app(argc, argv);
    // The toolkit took the user's locale for everything; numbers in files and
    // the order of named lists must not follow it.
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_COLLATE, "C");

    tallowmere::ui::CMainFrame frame;
    frame.setWindowTitle(QString::fromStdString(tallowmere::LoadString(57344)));
    tallowmere::ui::AppCommands appCommands(frame);
    appCommands.SetAboutHook([](QWidget* parent) { tallowmere::ui::RunAboutDialog(parent); });
    frame.SetAppCommands(&appCommands);
    frame.ShowWithStoredPlacement();
    const int code = QApplication::exec();
    frame.SetAppCommands(nullptr);
    return code;
}
