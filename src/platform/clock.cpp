#include "platform/clock.h"

#include <time.h>

#include <atomic>

namespace tallowmere::platform {
namespace {

class RealClock final : public Clock {
  public:
    LocalTime LocalNow() const override {
        LocalTime out;
        const time_t now = time(nullptr);
        struct tm fields {};
        if (localtime_r(&now, &fields) == nullptr)
            return out;
        out.year = fields.tm_year + 1900;
        out.month = fields.tm_mon + 1;
        out.day = fields.tm_mday;
        out.hour = fields.tm_hour;
        out.minute = fields.tm_min;
        // A leap second has no place in the callers' 86400-second days.
        out.second = fields.tm_sec > 59 ? 59 : fields.tm_sec;
        return out;
    }

    std::uint32_t TickCount() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                        static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
        // Wraps after about 49.7 days, as callers of a 32-bit tick expect.
        return static_cast<std::uint32_t>(ms);
    }
};

// Null means the system clock; tests may swap it from any thread.
std::atomic<const Clock*> g_installed{nullptr};

}  // namespace

const Clock& SystemClock() {
    static const RealClock clock;
    return clock;
}

const Clock& CurrentClock() {
    const Clock* clock = g_installed.load(std::memory_order_acquire);
    return clock != nullptr ? *clock : SystemClock();
}

void SetClock(const Clock* clock) {
    g_installed.store(clock, std::memory_order_release);
}

}  // namespace tallowmere::platform
