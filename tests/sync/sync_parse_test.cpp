#include "sync/sync_parse.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>

#include "sync/device_identity.h"
#include "sync/discovery_guard.h"

namespace tallowmere::handheld {
namespace {

TEST(ParseDiscoveryPort, TakesAPortAfterTheFirstBar) {
    const struct {
        std::string text;
        int port;
    } cases[] = {
        {"AndroidSyncRequest|5000", 5000},
        {"|1", 1},
        {"|65535", 65535},
        {"|  +42xyz", 42},
        {"a|7|8", 7},
        {"|\t\n 99", 99},
        {"", 0},
        {"no bar 5000", 0},
        {"|", 0},
        {"|abc", 0},
        {"|0", 0},
        {"|-5", 0},
        {"|-0", 0},
        {"|65536", 0},
        {"|70000", 0},
        {"|99999999999999999999999", 0},
        {"|+", 0},
        {std::string("|12\0"
                     "34",
                     6),
         12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.port, ParseDiscoveryPort(c.text)) << c.text;
}

TEST(DiscoveryReplyPort, NeedsTheRequestWordBeforeAnyNul) {
    EXPECT_EQ(5000, DiscoveryReplyPort("xxAndroidSyncRequestyy|5000"));
    EXPECT_EQ(0, DiscoveryReplyPort("AndroidSyncRequest"));
    EXPECT_EQ(0, DiscoveryReplyPort("AndroidSyncReques|5000"));
    EXPECT_EQ(0, DiscoveryReplyPort(std::string("\0AndroidSyncRequest|5000", 24)));
    EXPECT_EQ(0, DiscoveryReplyPort(std::string("AndroidSyncRequest\0|5000", 24)));
}

TEST(ParseTransferSize, ReadsADecimalPrefixWithinTheCap) {
    const struct {
        std::string text;
        bool ok;
        std::uint64_t size;
    } cases[] = {
        {"0", true, 0},
        {"4096", true, 4096},
        {" +12abc", true, 12},
        {"5000", true, 5000},
        {"5001", false, 0},
        {"-1", false, 0},
        {"-0", true, 0},
        {"", false, 0},
        {"abc", false, 0},
        {"99999999999999999999", false, 0},
        {"184467440737095516160", false, 0},
        {std::string("5\0"
                     "00",
                     4),
         true, 5},
    };
    for (const auto& c : cases) {
        std::uint64_t size = 77;
        EXPECT_EQ(c.ok, ParseTransferSize(c.text, 5000, size)) << c.text;
        EXPECT_EQ(c.size, size) << c.text;
    }
}

TEST(IsLocalNetworkSource, AcceptsLoopbackPrivateAndLinkLocalOnly) {
    const struct {
        const char* address;
        bool local;
    } cases[] = {
        {"127.0.0.1", true},        {"127.255.1.2", true},    {"10.1.2.3", true},
        {"172.16.0.1", true},       {"172.31.255.255", true}, {"172.32.0.1", false},
        {"172.15.0.1", false},      {"192.168.1.7", true},    {"192.169.1.7", false},
        {"169.254.3.4", true},      {"8.8.8.8", false},       {"0.0.0.0", false},
        {"255.255.255.255", false},
    };
    for (const auto& c : cases) {
        in_addr a{};
        ASSERT_EQ(1, inet_pton(AF_INET, c.address, &a));
        EXPECT_EQ(c.local, IsLocalNetworkSource(a)) << c.address;
    }
}

TEST(CDiscoveryRateLimit, LimitsEachSourceAndTheWholeWithinOneSecond) {
    using namespace std::chrono_literals;
    CDiscoveryRateLimit limit(2, 3);
    const auto t0 = CDiscoveryRateLimit::Clock::time_point() + 100s;
    EXPECT_TRUE(limit.Allow(1, t0));
    EXPECT_TRUE(limit.Allow(1, t0 + 1ms));
    EXPECT_FALSE(limit.Allow(1, t0 + 2ms));  // per source
    EXPECT_TRUE(limit.Allow(2, t0 + 3ms));
    EXPECT_FALSE(limit.Allow(3, t0 + 4ms));  // overall
    EXPECT_TRUE(limit.Allow(1, t0 + 1001ms));
    EXPECT_TRUE(limit.Allow(3, t0 + 1002ms));
}

TEST(IsAcceptableDeviceSerial, TakesOnlyPrintableAsciiThatCanNameAFolder) {
    const struct {
        std::string serial;
        bool ok;
    } cases[] = {
        {"ABC-123", true},
        {"a.b", true},
        {"...", true},
        {std::string(199, 's'), true},
        {"!~", true},
        {"caf\xE9", false},
        {"caf\xC3\xA9", false},
        {"\x80", false},
        {"a b", false},
        {" ", false},
        {"", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"a\\b", false},
        {std::string("a\0b", 3), false},
        {"a\tb", false},
        {"a\x7F", false},
        {std::string(200, 's'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ok, IsAcceptableDeviceSerial(c.serial)) << c.serial;
}

TEST(DeviceDisplayName, FitsTheUserRecord) {
    EXPECT_EQ("Phone", DeviceDisplayName(std::string("Phone\0tail", 10)));
    EXPECT_EQ(std::string(199, 'n'), DeviceDisplayName(std::string(300, 'n')));
}

TEST(CribMatches, ComparesAllFortyBytes) {
    const PasswordCrib stored = CribFromText("secret");
    EXPECT_TRUE(CribMatches(stored, "secret"));
    EXPECT_FALSE(CribMatches(stored, "secre"));
    EXPECT_FALSE(CribMatches(stored, "secret!"));
    EXPECT_FALSE(CribMatches(stored, ""));
    // No password: only the empty crib.
    EXPECT_TRUE(CribMatches(PasswordCrib{}, ""));
    EXPECT_FALSE(CribMatches(PasswordCrib{}, "anything"));
    // A stored crib that begins with a zero byte is not "no password".
    PasswordCrib binary{};
    binary[5] = 0x42;
    EXPECT_FALSE(CribMatches(binary, ""));
    // Forty bytes without a terminator, and a longer text stored cut.
    const std::string forty(40, 'k');
    EXPECT_TRUE(CribMatches(CribFromText(forty), forty));
    EXPECT_TRUE(CribMatches(CribFromText(forty + "more"), forty + "more"));
}

}  // namespace
}  // namespace tallowmere::handheld
