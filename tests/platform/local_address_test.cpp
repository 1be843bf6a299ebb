#include "platform/local_address.h"

#include <gtest/gtest.h>

#include "platform/socket.h"

namespace tallowmere::platform {
namespace {

TEST(PickLocalIpAddress, TakesTheLastUpInterfaceThatIsNotLoopback) {
    const std::vector<Ipv4Interface> interfaces = {
        {"lo", "127.0.0.1", true, true},
        {"eth0", "192.168.1.5", true, false},
        {"wlan0", "10.0.0.7", true, false},
        {"eth1", "172.16.0.9", false, false},
    };
    EXPECT_EQ("10.0.0.7", PickLocalIpAddress(interfaces));
    EXPECT_EQ("", PickLocalIpAddress({{"lo", "127.0.0.1", true, true}}));
    EXPECT_EQ("", PickLocalIpAddress({}));
}

TEST(ListInterfaceAddresses, GivesDottedAddresses) {
    for (const auto& a : ListInterfaceAddresses()) {
        in_addr parsed{};
        EXPECT_TRUE(ParseIpv4(a.ipv4, parsed)) << a.name;
    }
}

}  // namespace
}  // namespace tallowmere::platform
