#pragma once
// One connection of a sync run with its time limits: every receive and send
// waits at most the idle time-out and never past the deadline, so a silent
// peer costs at most that long.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace tallowmere::handheld {

class CSyncLink {
  public:
    using Clock = std::chrono::steady_clock;

    CSyncLink(int fd, std::chrono::milliseconds idle, Clock::time_point deadline)
        : fd_(fd), idle_(idle), deadline_(deadline) {}

    // The bytes of the text, without terminator.
    bool SendText(std::string_view text);
    bool SendBytes(const void* data, std::size_t size);
    // One receive of at most size bytes: the count, 0 when the peer closed,
    // -1 on error or time-out.
    long Receive(void* buffer, std::size_t size);
    // One receive of at most max bytes as text up to its first NUL; empty
    // when nothing came.
    std::string ReceiveText(std::size_t max);
    // One receive of at most size bytes whose content does not matter;
    // false when nothing came.
    bool ReceiveAck(std::size_t size);

    Clock::time_point Deadline() const { return deadline_; }
    void SetDeadline(Clock::time_point deadline) { deadline_ = deadline; }
    int Fd() const { return fd_; }

  private:
    // What is left of the idle time-out and the deadline; zero or less when
    // the deadline has passed.
    std::chrono::milliseconds Budget() const;

    int fd_;
    std::chrono::milliseconds idle_;
    Clock::time_point deadline_;
};

}  // namespace tallowmere::handheld
