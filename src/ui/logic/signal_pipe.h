#pragma once
// Turns process signals into bytes on a pipe, so that the event loop, not the
// signal handler, acts on them: the handler only writes the signal's number.
#include <signal.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace tallowmere::ui {

class SignalPipe {
  public:
    // Installs handlers for the given signals; nullptr when a pipe is already
    // installed in this process or the pipe cannot be made.
    static std::unique_ptr<SignalPipe> Install(std::initializer_list<int> numbers);
    // Puts the handlers that were there before back.
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable when a signal came.
    int ReadFd() const { return readFd_; }
    // The signals that came since the last call, in order; does not wait.
    std::vector<int> Drain();

  private:
    SignalPipe() = default;

    int readFd_ = -1;
    int writeFd_ = -1;
    std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace tallowmere::ui
