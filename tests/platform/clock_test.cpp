#include "platform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

namespace tallowmere::platform {
namespace {

class FakeClock final : public Clock {
  public:
    LocalTime LocalNow() const override { return {2009, 12, 31, 23, 59, 58}; }
    std::uint32_t TickCount() const override { return 0xFFFFFFF0u; }
};

class ClockTest : public ::testing::Test {
  protected:
    void TearDown() override { SetClock(nullptr); }
};

TEST_F(ClockTest, InstalledClockIsUsedAndNullRestoresTheSystemClock) {
    EXPECT_EQ(&CurrentClock(), &SystemClock());

    const FakeClock fake;
    SetClock(&fake);
    EXPECT_EQ(&CurrentClock(), &fake);
    const LocalTime now = CurrentClock().LocalNow();
    EXPECT_EQ(now.year, 2009);
    EXPECT_EQ(now.month, 12);
    EXPECT_EQ(now.second, 58);
    EXPECT_EQ(CurrentClock().TickCount(), 0xFFFFFFF0u);

    SetClock(nullptr);
    EXPECT_EQ(&CurrentClock(), &SystemClock());
}

// Catches the struct tm offsets (year from 1900, month from 0).
TEST_F(ClockTest, SystemLocalNowMatchesLocaltime) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const time_t before = time(nullptr);
        const LocalTime now = SystemClock().LocalNow();
        if (time(nullptr) != before)
            continue;  // a second boundary fell in between

        struct tm expected {};
        ASSERT_NE(localtime_r(&before, &expected), nullptr);
        EXPECT_EQ(now.year, expected.tm_year + 1900);
        EXPECT_EQ(now.month, expected.tm_mon + 1);
        EXPECT_EQ(now.day, expected.tm_mday);
        EXPECT_EQ(now.hour, expected.tm_hour);
        EXPECT_EQ(now.minute, expected.tm_min);
        EXPECT_EQ(now.second, expected.tm_sec);
        return;
    }
    GTEST_SKIP() << "the clock kept crossing second boundaries";
}

}  // namespace
}  // namespace tallowmere::platform
