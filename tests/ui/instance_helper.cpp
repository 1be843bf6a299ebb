// A small program for the single-instance process tests: the program's
// start-up around the single-instance object and nothing else.
//   instance_helper LOCK_FOLDER [ARGUMENTS...]
// A second start hands ARGUMENTS over and prints "second <ms>" (the time from
// the claim to the end of the hand-over). The running copy prints "first",
// then "text <text>" for every hand-over, and ends with 0 on SIGTERM or
// SIGINT.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "ui/one_instance.h"
#include "ui/termination_signals.h"

using tallowmere::ui::COneInstance;
using tallowmere::ui::TerminationSignals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return 2;
    COneInstance instance(arguments[1].toStdString());
    QElapsedTimer clock;
    clock.start();
    if (instance.Claim() == COneInstance::Role::kSecond) {
        instance.HandOver(arguments.mid(2));
        std::printf("second %lld\n", static_cast<long long>(clock.elapsed()));
        return 0;
    }
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::closeRequested, &app,
                     &QCoreApplication::quit);
    QObject::connect(&instance, &COneInstance::commandLineReceived, [](const QString& text) {
        std::printf("text %s\n", qPrintable(text));
        std::fflush(stdout);
    });
    instance.SetFrameReady({});
    std::printf("first\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
