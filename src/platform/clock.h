#pragma once
// Replaceable source of "now": every reader of the time goes through here so
// tests can pin it.
#include <cstdint>

namespace tallowmere::platform {

// Local wall-clock time broken into calendar fields (no zone, no DST flag).
struct LocalTime {
    int year = 1904;
    int month = 1;  // 1-12
    int day = 1;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime LocalNow() const = 0;
    // Milliseconds since an arbitrary start, truncated to 32 bits.
    virtual std::uint32_t TickCount() const = 0;
};

// The system clock (localtime_r, CLOCK_MONOTONIC).
const Clock& SystemClock();

// The clock in force; the system clock unless a test installed another.
const Clock& CurrentClock();

// Installs a clock (nullptr restores the system clock). The caller keeps
// ownership and must keep it alive while installed.
void SetClock(const Clock* clock);

}  // namespace tallowmere::platform
