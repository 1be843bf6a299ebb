#include "platform/adapter_id.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tallowmere::platform {
namespace {

class AdapterIdTest : public ::testing::Test {
  protected:
    void TearDown() override { SetAdapterSource(nullptr); }
};

TEST_F(AdapterIdTest, InjectedSourceIsUsedUntilReset) {
    AdapterStatus fake{};
    fake[0] = 0xAB;
    fake[599] = 0xCD;
    int calls = 0;
    SetAdapterSource([&] {
        ++calls;
        return std::optional<AdapterStatus>(fake);
    });
    EXPECT_EQ(CurrentAdapterStatus(), fake);
    EXPECT_EQ(calls, 1);

    SetAdapterSource([] { return std::optional<AdapterStatus>(); });
    EXPECT_FALSE(CurrentAdapterStatus().has_value());

    SetAdapterSource(nullptr);
    EXPECT_EQ(CurrentAdapterStatus(), ReadAdapterStatus());
    EXPECT_EQ(calls, 1);
}

TEST_F(AdapterIdTest, RealStatusIsEmptyOrAnAddressFollowedByZeros) {
    const std::optional<AdapterStatus> status = ReadAdapterStatus();
    if (!status)
        return;
    EXPECT_TRUE(std::any_of(status->begin(), status->begin() + 6, [](auto b) { return b != 0; }));
    EXPECT_TRUE(std::all_of(status->begin() + 6, status->end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(ReadAdapterStatus(), status) << "the machine id must not change between calls";
}

TEST_F(AdapterIdTest, ChoosesTheFirstUsableInterfaceByName) {
    using Bytes = std::vector<std::uint8_t>;
    const Bytes eth0 = {0x02, 0xFC, 0, 0, 0, 0x01};
    const Bytes wlan0 = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    const Bytes zero(6, 0);
    const Bytes infiniband(20, 0x11);

    struct Case {
        const char* label;
        std::vector<HardwareInterface> interfaces;
        std::optional<Bytes> expected;
    };
    const Case cases[] = {
        {"nothing", {}, std::nullopt},
        {"name order, not list order", {{"wlan0", false, wlan0}, {"eth0", false, eth0}}, eth0},
        {"loopback skipped even with an address",
         {{"a-lo", true, wlan0}, {"eth0", false, eth0}},
         eth0},
        {"all-zero address skipped", {{"dummy0", false, zero}, {"wlan0", false, wlan0}}, wlan0},
        {"address of another length skipped",
         {{"ib0", false, infiniband}, {"wlan0", false, wlan0}},
         wlan0},
        {"only unusable ones", {{"lo", true, zero}, {"tun0", false, {}}}, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<AdapterStatus> status = ChooseAdapterStatus(c.interfaces);
        ASSERT_EQ(status.has_value(), c.expected.has_value()) << c.label;
        if (!status)
            continue;
        EXPECT_TRUE(std::equal(c.expected->begin(), c.expected->end(), status->begin())) << c.label;
        EXPECT_TRUE(std::all_of(status->begin() + 6, status->end(), [](auto b) { return b == 0; }))
            << c.label;
    }
}

}  // namespace
}  // namespace tallowmere::platform
