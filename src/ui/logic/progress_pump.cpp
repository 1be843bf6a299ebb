#include "ui/logic/progress_pump.h"

#include <utility>

namespace tallowmere::ui {

ProgressPump::ProgressPump(std::function<void()> pump, Clock clock)
    : pump_(std::move(pump)), clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return std::chrono::steady_clock::now(); };
    last_ = clock_();
}

void ProgressPump::Step() {
    const auto now = clock_();
    if (now - last_ < kInterval)
        return;
    last_ = now;
    ++pumps_;
    if (pump_)
        pump_();
}

}  // namespace tallowmere::ui
