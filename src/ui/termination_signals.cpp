#include "ui/termination_signals.h"

#include <signal.h>

#include <QSocketNotifier>

namespace tallowmere::ui {

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent), pipe_(SignalPipe::Install({SIGTERM, SIGINT})) {
    if (!pipe_)
        return;
    notifier_ = new QSocketNotifier(pipe_->ReadFd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        if (!pipe_->Drain().empty())
            emit closeRequested();
    });
}

TerminationSignals::~TerminationSignals() {
    // The notifier watches the pipe's descriptor: gone before the pipe closes.
    delete notifier_;
}

}  // namespace tallowmere::ui
