#pragma once
// Progress with cancel for long exchanges. Progress calls come very often
// (libcurl calls back between reads, the SGML reader between elements), so a
// call only polls the cancel flag, which is cheap; the expensive part (a UI
// event pump, an animation step) runs at most once per interval. Nothing here
// sleeps: the 3 ms sleep of the original progress call would cost half a
// minute on a 1,000-transaction statement.
#include <chrono>
#include <cstdint>
#include <functional>

namespace tallowmere::exchange {

inline constexpr std::chrono::milliseconds kProgressPumpInterval{30};

class ProgressPacer {
  public:
    // Milliseconds on a monotonic clock.
    using Clock = std::function<std::uint64_t()>;

    // keepGoing is polled on every call and answers false once the user
    // cancelled; pump does the expensive work. Either may be empty. Without
    // a clock, std::chrono::steady_clock is used.
    ProgressPacer(std::function<bool()> keepGoing, std::function<void()> pump,
                  std::chrono::milliseconds interval = kProgressPumpInterval, Clock clock = {});

    // Pumps when the interval has passed since the last pump (the first call
    // always pumps), then polls; false when cancelled.
    bool Poll();

    // An HttpProgressCallback: userData is the pacer.
    static bool Callback(void* userData, int done, int total);

    std::uint64_t Calls() const { return calls_; }
    std::uint64_t Pumps() const { return pumps_; }

  private:
    std::uint64_t NowMs() const;

    std::function<bool()> keepGoing_;
    std::function<void()> pump_;
    std::uint64_t intervalMs_;
    Clock clock_;
    std::uint64_t lastPumpMs_ = 0;
    std::uint64_t calls_ = 0;
    std::uint64_t pumps_ = 0;
};

}  // namespace tallowmere::exchange
