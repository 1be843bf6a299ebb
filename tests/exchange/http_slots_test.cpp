// The thin slots of the client: agent header, random text, cancel and failure
// tests, and the ISO date texts.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "exchange/http.h"
#include "exchange/win32_http.h"

namespace tallowmere::exchange {
namespace {

class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        const char* old = getenv("TZ");
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (had_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    bool had_ = false;
    std::string old_;
};

PalmTime Date(int y, int mo, int d, int h, int mi, int s) {
    DateFields f;
    f.year = static_cast<std::int16_t>(y);
    f.month = static_cast<std::int16_t>(mo);
    f.day = static_cast<std::int16_t>(d);
    f.hour = static_cast<std::int16_t>(h);
    f.minute = static_cast<std::int16_t>(mi);
    f.second = static_cast<std::int16_t>(s);
    return f.ToPalmTime();
}

TEST(Win32HttpSlots, Basics) {
    Win32Http http;
    EXPECT_TRUE(http.SupportsSecure());
    EXPECT_TRUE(http.IsCancelled(1223));
    EXPECT_FALSE(http.IsCancelled(0));
    EXPECT_FALSE(http.IsFailure(0));
    EXPECT_FALSE(http.IsFailure(1223));
    EXPECT_TRUE(http.IsFailure(12002));
    EXPECT_EQ(http.GetEpochOffset(), 2082844800u);
    http.Reset();
    std::unique_ptr<Stream> agent = http.GetAgentHeader();
    ASSERT_NE(agent, nullptr);
    std::string text;
    std::uint8_t c = 0;
    while (agent->ReadByte(c))
        text += static_cast<char>(c);
    EXPECT_EQ(text, "User-Agent: Linux Tallowmere Desktop 1.0.0.0");
    EXPECT_NE(&GetHttpClient(), nullptr);
    EXPECT_EQ(&GetHttpClient(), &GetHttpClient());
}

TEST(Win32HttpSlots, RandomText) {
    Win32Http http;
    const std::string a = http.MakeRandomText();
    const std::string b = http.MakeRandomText();
    EXPECT_EQ(a.size(), 31u);
    EXPECT_NE(a, b);
    for (char ch : a)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch))) << ch;
}

TEST(Win32HttpSlots, IsoDateTimes) {
    ZoneScope zone("EST5EDT,M3.2.0,M11.1.0");
    Win32Http http;
    EXPECT_EQ(http.GetTimeZoneBias(), 5 * 3600);
    const PalmTime winter = Date(2024, 1, 15, 9, 30, 5);
    EXPECT_STREQ(http.FormatIsoDateTime(winter, false), "2024-01-15T09:30:05-0500");
    EXPECT_STREQ(http.FormatIsoDateTime(winter, true), "2024-01-15T14:30:05Z");
    const PalmTime summer = Date(2024, 7, 1, 23, 0, 0);
    EXPECT_STREQ(http.FormatIsoDateTime(summer, false), "2024-07-01T23:00:00-0400");
    EXPECT_STREQ(http.FormatIsoDateTime(summer, true), "2024-07-02T03:00:00Z");

    EXPECT_EQ(http.ParseIsoDateTime("2024-01-15T09:30:05"), winter);
    EXPECT_EQ(http.ParseIsoDateTime("2024-01-15T09:30:05-0500"), winter);
    EXPECT_EQ(http.ParseIsoDateTime("2024-01-15T14:30:05Z"), winter);
    EXPECT_EQ(http.ParseIsoDateTime("2024-07-02T03:00:00Z"), summer);
    EXPECT_EQ(http.ParseIsoDateTime(http.FormatIsoDateTime(summer, true)), summer);
}

TEST(Win32HttpSlots, ParseIsoDateTimeRefusesShortOrBadText) {
    Win32Http http;
    for (const char* bad :
         {"", "2024", "2024-01-15T09:30:0", "2024-01-15T09:30:xx", "2024-13-15T09:30:05",
          "2024-02-30T09:30:05", "2024-01-15T25:00:00", "1800-01-01T00:00:00"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(http.ParseIsoDateTime(bad), 0u);
    }
    EXPECT_EQ(http.ParseIsoDateTime(nullptr), 0u);
    // Exactly 19 characters: index 19 is the terminator, not read past.
    const std::string exact = "2024-01-15T09:30:05";
    char* heap = static_cast<char*>(std::malloc(exact.size() + 1));
    std::memcpy(heap, exact.c_str(), exact.size() + 1);
    EXPECT_NE(http.ParseIsoDateTime(heap), 0u);
    std::free(heap);
}

}  // namespace
}  // namespace tallowmere::exchange
