#include "model/ofx_datetime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace tallowmere {
namespace {

PalmTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f.TryToPalmTime().value();
}

// Zone corrections depend on the machine's zone; each test pins it.
class OfxDateTimeTest : public ::testing::Test {
  protected:
    void UseZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    void SetUp() override { UseZone("UTC0"); }
};

TEST_F(OfxDateTimeTest, ReadsTheFormsBanksSend) {
    struct Case {
        const char* text;
        PalmTime expected;
    } cases[] = {
        {"20240105", At(2024, 1, 5)},
        {"20240105123456", At(2024, 1, 5, 12, 34, 56)},
        {"20240105123456.789", At(2024, 1, 5, 12, 34, 56)},
        // The offset is in hours; the stated moment is 17:34:56 UTC.
        {"20240105123456.789[-5:EST]", At(2024, 1, 5, 17, 34, 56)},
        {"20240105123456[+1:CET]", At(2024, 1, 5, 11, 34, 56)},
        {"20240105123456[1:CET]", At(2024, 1, 5, 11, 34, 56)},
        {"20240105120000[-10:HST]", At(2024, 1, 5, 22, 0, 0)},
        {"20240105120000[-3.5:NST]", At(2024, 1, 5, 15, 0, 0)},
        {"20240105120000[+05]", At(2024, 1, 5, 7, 0, 0)},
        {"20240105120000[-5]", At(2024, 1, 5, 17, 0, 0)},
        // A date alone may carry a zone; the correction can cross midnight.
        {"20240105[+2:EET]", At(2024, 1, 4, 22, 0, 0)},
        {"20240105[0:GMT]", At(2024, 1, 5)},
        {"20240105123456[0:GMT]", At(2024, 1, 5, 12, 34, 56)},
        {"20240105 123456", At(2024, 1, 5, 12, 34, 56)},
        {" 2024 01 05 ", At(2024, 1, 5)},
        {"20240229", At(2024, 2, 29)},
        {"19040101000001", 1},
        {"20400206062815", 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseOfxDateTime(c.text), c.expected) << c.text;
}

TEST_F(OfxDateTimeTest, TextsThatAreNoDateGiveZero) {
    const char* cases[] = {
        "",
        "202401",          // no day
        "2024010512",      // an hour without minutes and seconds
        "202401051234",    // no seconds
        "20241305",        // month 13
        "20240005",        // month 0
        "20240230",        // 30 February
        "20230229",        // not a leap year
        "20240100",        // day 0
        "20240105240000",  // hour 24
        "20240105126000",  // minute 60
        "20240105123456.7",
        "20240105123456.",
        "20240105x",
        "2024O105",
        "20240105123456[",
        "20240105123456[-",
        "20240105123456[-5",
        "20240105123456[:EST]",
        "20240105123456[x5:EST]",
        "20240105123456[5x]",
        "20240105123456 EST",
        "18991231",              // before the date range
        "20410101",              // after it
        "20400206062815[-1:X]",  // the correction leaves the range
    };
    for (const char* text : cases)
        EXPECT_EQ(ParseOfxDateTime(text), 0u) << '"' << text << '"';
}

TEST_F(OfxDateTimeTest, ZoneCorrectionGivesTheMachinesLocalTime) {
    UseZone("CET-1CEST,M3.5.0,M10.5.0/3");
    // Noon in New York is 18:00 in Berlin in winter, 18:00 in summer too
    // (both zones keep daylight saving on those dates).
    EXPECT_EQ(ParseOfxDateTime("20240105120000[-5:EST]"), At(2024, 1, 5, 18, 0, 0));
    EXPECT_EQ(ParseOfxDateTime("20240705120000[-4:EDT]"), At(2024, 7, 5, 18, 0, 0));
    // The bank's own zone is the machine's: the fields stay as given.
    EXPECT_EQ(ParseOfxDateTime("20240105120000[+1:CET]"), At(2024, 1, 5, 12, 0, 0));
    // Without a zone the text is already local.
    EXPECT_EQ(ParseOfxDateTime("20240105120000"), At(2024, 1, 5, 12, 0, 0));
}

}  // namespace
}  // namespace tallowmere
