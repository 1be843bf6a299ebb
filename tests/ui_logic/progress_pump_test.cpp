#include "ui/logic/progress_pump.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

using namespace std::chrono_literals;

TEST(ProgressPumpTest, PumpsAtMostOncePerInterval) {
    auto now = std::chrono::steady_clock::time_point{} + 1h;
    int pumped = 0;
    ProgressPump pump([&] { ++pumped; }, [&] { return now; });
    // Steps closer than the interval do not pump; the interval counts from
    // the start and then from the last pump.
    const struct {
        std::chrono::milliseconds advance;
        int pumps;
    } steps[] = {{10ms, 0}, {39ms, 0}, {1ms, 1}, {49ms, 1}, {1ms, 2}, {500ms, 3}, {0ms, 3}};
    for (const auto& step : steps) {
        now += step.advance;
        pump.Step();
        EXPECT_EQ(step.pumps, pumped);
    }
    EXPECT_EQ(3, pump.PumpCount());
}

}  // namespace
}  // namespace tallowmere::ui
