#include "ui/logic/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tallowmere::ui {

namespace {

// The write end the handler uses; -1 when no pipe is installed.
std::atomic<int> g_writeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnSignal(int signal) {
    const int saved = errno;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signal);
        // A full pipe already holds a wake-up; losing this byte loses nothing.
        [[maybe_unused]] const ssize_t n = write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

std::unique_ptr<SignalPipe> SignalPipe::Install(std::initializer_list<int> numbers) {
    if (g_writeFd.load() >= 0)
        return nullptr;
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        return nullptr;
    std::unique_ptr<SignalPipe> pipe(new SignalPipe());
    pipe->readFd_ = fds[0];
    pipe->writeFd_ = fds[1];
    g_writeFd.store(fds[1]);
    for (int signal : numbers) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted calls go on: the loop acts on the byte, not on EINTR.
        action.sa_flags = SA_RESTART;
        struct sigaction previous {};
        if (sigaction(signal, &action, &previous) == 0)
            pipe->previous_.emplace_back(signal, previous);
    }
    return pipe;
}

SignalPipe::~SignalPipe() {
    for (auto it = previous_.rbegin(); it != previous_.rend(); ++it)
        sigaction(it->first, &it->second, nullptr);
    g_writeFd.store(-1);
    close(readFd_);
    close(writeFd_);
}

std::vector<int> SignalPipe::Drain() {
    std::vector<int> signals;
    unsigned char buffer[64];
    while (true) {
        const ssize_t n = read(readFd_, buffer, sizeof buffer);
        if (n > 0) {
            signals.insert(signals.end(), buffer, buffer + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return signals;
}

}  // namespace tallowmere::ui
