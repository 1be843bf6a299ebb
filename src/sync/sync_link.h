#pragma once
// One connection of a sync run with its time limits: every receive and send
// waits at most the idle time-out and never past the deadline, so a silent
// peer costs at most that long. A transfer can add a floor on its average
// rate, so a trickle costs no more than a silence. Every wait also ends when
// the wake descriptor becomes readable (the server is stopping).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallowmere::handheld {

class CSyncLink {
  public:
    using Clock = std::chrono::steady_clock;

    CSyncLink(int fd, std::chrono::milliseconds idle, Clock::time_point deadline, int wakeFd = -1)
        : fd_(fd), idle_(idle), deadline_(deadline), wakeFd_(wakeFd) {}

    // The bytes of the text, without terminator.
    bool SendText(std::string_view text);
    bool SendBytes(const void* data, std::size_t size);
    // One receive of at most size bytes: the count, 0 when the peer closed,
    // -1 on error or time-out.
    long Receive(void* buffer, std::size_t size);
    // One receive of at most max bytes as text up to its first NUL; empty
    // when nothing came. The second form waits at most within.
    std::string ReceiveText(std::size_t max);
    std::string ReceiveText(std::size_t max, std::chrono::milliseconds within);
    // One receive of at most size bytes whose content does not matter;
    // false when nothing came.
    bool ReceiveAck(std::size_t size);

    Clock::time_point Deadline() const { return deadline_; }
    void SetDeadline(Clock::time_point deadline) { deadline_ = deadline; }
    // From now until cleared, every wait ends once the bytes moved since now
    // average fewer than bytesPerSecond, the first grace excepted; 0 sets no
    // floor.
    void SetRateFloor(std::uint64_t bytesPerSecond, std::chrono::milliseconds grace);
    void ClearRateFloor() { floorRate_ = 0; }
    int Fd() const { return fd_; }

  private:
    // What is left of the idle time-out, the deadline and the rate floor;
    // zero or less when one of the last two has passed.
    std::chrono::milliseconds Budget() const;
    long ReceiveWithin(void* buffer, std::size_t size, std::chrono::milliseconds within);

    int fd_;
    std::chrono::milliseconds idle_;
    Clock::time_point deadline_;
    int wakeFd_;
    std::uint64_t floorRate_ = 0;
    Clock::time_point floorStart_;
    std::chrono::milliseconds floorGrace_{0};
    std::uint64_t moved_ = 0;
};

}  // namespace tallowmere::handheld
