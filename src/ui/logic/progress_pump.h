#pragma once
// When long work on the UI thread lets the window system in: at most once
// per interval, so the work is not slowed by the pumping itself.
#include <chrono>
#include <functional>

namespace tallowmere::ui {

class ProgressPump {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kInterval{50};

    // pump: lets the window system in. clock: the time (the steady clock
    // unless a test gives one).
    explicit ProgressPump(std::function<void()> pump, Clock clock = {});

    // Called as the work goes on; pumps when the interval has passed since
    // the last pump (or the start).
    void Step();
    int PumpCount() const { return pumps_; }

  private:
    std::function<void()> pump_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_;
    int pumps_ = 0;
};

}  // namespace tallowmere::ui
