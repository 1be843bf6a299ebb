#pragma once
// SIGTERM and SIGINT (a logout, kill, Ctrl+C in a terminal) ask the program to
// close by its normal shut-down path: the signal only wakes the event loop,
// which then emits closeRequested(). The application connects it to closing
// its main window (or cancelling the wizard while it runs).
#include <QObject>
#include <memory>

#include "ui/logic/signal_pipe.h"

class QSocketNotifier;

namespace tallowmere::ui {

class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts the signals' earlier handlers back.
    ~TerminationSignals() override;

    // False when the handlers could not be installed (one object per process).
    bool Installed() const { return pipe_ != nullptr; }

  signals:
    void closeRequested();

  private:
    std::unique_ptr<SignalPipe> pipe_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tallowmere::ui
