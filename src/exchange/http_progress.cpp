#include "exchange/http_progress.h"

#include <utility>

namespace tallowmere::exchange {

ProgressPacer::ProgressPacer(std::function<bool()> keepGoing, std::function<void()> pump,
                             std::chrono::milliseconds interval, Clock clock)
    : keepGoing_(std::move(keepGoing)),
      pump_(std::move(pump)),
      intervalMs_(interval.count() > 0 ? static_cast<std::uint64_t>(interval.count()) : 0),
      clock_(std::move(clock)) {}

std::uint64_t ProgressPacer::NowMs() const {
    if (clock_)
        return clock_();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

bool ProgressPacer::Poll() {
    ++calls_;
    if (pump_) {
        const std::uint64_t now = NowMs();
        if (pumps_ == 0 || now - lastPumpMs_ >= intervalMs_) {
            lastPumpMs_ = now;
            ++pumps_;
            pump_();
        }
    }
    return !keepGoing_ || keepGoing_();
}

bool ProgressPacer::Callback(void* userData, int, int) {
    return userData == nullptr || static_cast<ProgressPacer*>(userData)->Poll();
}

}  // namespace tallowmere::exchange
