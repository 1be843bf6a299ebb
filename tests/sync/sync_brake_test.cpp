#include "sync/sync_brake.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tallowmere::handheld {
namespace {

using namespace std::chrono_literals;

struct ManualClock {
    CSyncBrake::Clock::time_point now{};
    CSyncBrake::Now Now() {
        return [this] { return now; };
    }
};

constexpr std::uint32_t kAddress = 0x0100007F;
constexpr std::uint32_t kOtherAddress = 0x0200007F;

// The wait after the n-th wrong password in a row: it doubles from 1 s and
// stops at 60 s.
TEST(SyncBrake, TheWaitDoublesFromOneSecondUpToAMinute) {
    ManualClock clock;
    CSyncBrake brake(clock.Now());
    const std::chrono::milliseconds waits[] = {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s, 60s};
    for (std::chrono::milliseconds wait : waits) {
        SCOPED_TRACE(wait.count());
        brake.Failed("KNOWN-1", kAddress);
        clock.now += wait - 1ms;
        EXPECT_TRUE(brake.SerialWaits("KNOWN-1"));
        EXPECT_TRUE(brake.AddressWaits(kAddress));
        clock.now += 1ms;
        EXPECT_FALSE(brake.SerialWaits("KNOWN-1"));
        EXPECT_FALSE(brake.AddressWaits(kAddress));
    }
}

TEST(SyncBrake, SerialsAndAddressesWaitApartAndASuccessForgetsBoth) {
    ManualClock clock;
    CSyncBrake brake(clock.Now());
    brake.Failed("KNOWN-1", kAddress);
    // Serials compare without ASCII case, as the users they name do.
    EXPECT_TRUE(brake.SerialWaits("known-1"));
    EXPECT_FALSE(brake.SerialWaits("KNOWN-2"));
    EXPECT_FALSE(brake.AddressWaits(kOtherAddress));

    // A second failure from elsewhere: the serial's wait doubles, the new
    // address starts at one second.
    clock.now += 1s;
    brake.Failed("KNOWN-1", kOtherAddress);
    clock.now += 1500ms;
    EXPECT_TRUE(brake.SerialWaits("KNOWN-1"));
    EXPECT_FALSE(brake.AddressWaits(kOtherAddress));

    clock.now += 1s;
    brake.Succeeded("KNOWN-1", kOtherAddress);
    brake.Failed("KNOWN-1", kOtherAddress);
    clock.now += 1s;
    EXPECT_FALSE(brake.SerialWaits("KNOWN-1"));
    EXPECT_FALSE(brake.AddressWaits(kOtherAddress));
}

}  // namespace
}  // namespace tallowmere::handheld
