#include "model/palm_time.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "platform/clock.h"

namespace tallowmere {
namespace {

namespace ch = std::chrono;

DateFields Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f;
}

PalmTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return Fields(year, month, day, hour, minute, second).TryToPalmTime().value();
}

class FakeClock : public platform::Clock {
  public:
    platform::LocalTime now;
    platform::LocalTime LocalNow() const override { return now; }
    std::uint32_t TickCount() const override { return 0; }
};

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock_); }
    void TearDown() override { platform::SetClock(nullptr); }
    void SetNow(int year, int month, int day, int hour, int minute, int second) {
        clock_.now = {year, month, day, hour, minute, second};
    }
    FakeClock clock_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name))
            old_ = old;
        setenv(name, value, 1);
        tzset();
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
        tzset();
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PalmTimeTest, ConvertsKnownDatesBothWays) {
    struct Case {
        DateFields fields;
        PalmTime t;
    };
    const Case cases[] = {
        {Fields(1904, 1, 1), 0},          {Fields(2040, 2, 6, 6, 28, 15), 0xFFFFFFFF},
        {Fields(1904, 1, 1, 0, 0, 1), 1}, {Fields(1904, 3, 1), 60 * 86400},  // 1904 is a leap year
        {Fields(1970, 1, 1), 2082844800}, {Fields(2000, 2, 29, 23, 59, 59), 3034713599},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        EXPECT_EQ(c.fields.TryToPalmTime(), c.t);
        EXPECT_EQ(c.fields.ToPalmTime(), c.t);
        EXPECT_EQ(DateFields::FromPalmTime(c.t), c.fields);
    }
}

TEST(PalmTimeTest, CheckedConversionRefusesImpossibleAndOutOfRangeFields) {
    const DateFields refused[] = {
        Fields(1903, 12, 31, 23, 59, 59),
        Fields(2040, 2, 6, 6, 28, 16),
        Fields(2041, 1, 1),
        Fields(2010, 13, 1),
        Fields(2010, 0, 1),
        Fields(2010, 2, 31),
        Fields(2100, 2, 29),
        Fields(2010, 4, 31),
        Fields(2010, 1, 0),
        Fields(2010, 1, 32),
        Fields(2010, 1, 1, 24),
        Fields(2010, 1, 1, 0, 60),
        Fields(2010, 1, 1, 0, 0, 60),
        Fields(2010, 1, 1, 0, 0, -1),
        Fields(-32768, 1, 1),
    };
    for (const DateFields& f : refused) {
        SCOPED_TRACE(std::to_string(f.year) + "-" + std::to_string(f.month) + "-" +
                     std::to_string(f.day) + " " + std::to_string(f.hour) + ":" +
                     std::to_string(f.minute) + ":" + std::to_string(f.second));
        EXPECT_FALSE(f.TryToPalmTime().has_value());
    }
    // The unchecked form wraps valid fields as the format always did and
    // gives 0 for impossible ones.
    EXPECT_EQ(Fields(2040, 2, 6, 6, 28, 16).ToPalmTime(), 0u);
    EXPECT_EQ(Fields(1903, 12, 31, 23, 59, 59).ToPalmTime(), 0xFFFFFFFFu);
    EXPECT_EQ(Fields(2010, 2, 31).ToPalmTime(), 0u);
    EXPECT_TRUE(Fields(2000, 2, 29).IsValid());
    EXPECT_FALSE(Fields(2010, 2, 29).IsValid());
}

TEST(PalmTimeTest, RandomDatesAgreeWithTheCivilCalendar) {
    const ch::sys_days epoch{ch::year{1904} / 1 / 1};
    std::mt19937 gen(1904);
    for (int i = 0; i < 5000; ++i) {
        PalmTime t = gen();
        DateFields f = DateFields::FromPalmTime(t);
        ch::year_month_day ymd{epoch + ch::days{t / 86400}};
        ASSERT_EQ(f.year, static_cast<int>(ymd.year())) << t;
        ASSERT_EQ(f.month, static_cast<int>(static_cast<unsigned>(ymd.month()))) << t;
        ASSERT_EQ(f.day, static_cast<int>(static_cast<unsigned>(ymd.day()))) << t;
        ASSERT_EQ(f.hour * 3600 + f.minute * 60 + f.second, static_cast<int>(t % 86400)) << t;
        ASSERT_EQ(f.ToPalmTime(), t);
    }
}

TEST(PalmTimeTest, FileTimeConversionsTruncateTowardZero) {
    constexpr FileTime kSecond = 10'000'000;
    const FileTime epoch = PalmTimeToFileTime(0);
    // 1601-01-01 to 1904-01-01 is 110,667 days.
    EXPECT_EQ(epoch, 110'667ULL * 86400 * kSecond);
    EXPECT_EQ(PalmTimeToFileTime(0xFFFFFFFF), epoch + 0xFFFFFFFFULL * kSecond);
    EXPECT_EQ(FileTimeToPalmTime(epoch + kSecond - 1), 0u);
    EXPECT_EQ(FileTimeToPalmTime(epoch + kSecond), 1u);
    EXPECT_EQ(FileTimeToPalmTime(epoch - kSecond + 1), 0u);
    EXPECT_EQ(FileTimeToPalmTime(epoch - kSecond), 0xFFFFFFFFu);
    EXPECT_EQ(FileTimeToPalmTime(PalmTimeToFileTime(3034713599)), 3034713599u);
}

TEST(PalmTimeTest, SystemTimeConversions) {
    // 1601-01-01 was a Monday, 1904-01-01 a Friday.
    std::optional<SystemTime> start = FileTimeToSystemTime(0);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->year, 1601);
    EXPECT_EQ(start->day_of_week, 1);

    SystemTime st = PalmTimeToSystemTime(At(2000, 2, 29, 23, 59, 59));
    EXPECT_EQ(st.year, 2000);
    EXPECT_EQ(st.month, 2);
    EXPECT_EQ(st.day, 29);
    EXPECT_EQ(st.day_of_week, 2);  // a Tuesday
    EXPECT_EQ(st.hour, 23);
    EXPECT_EQ(st.minute, 59);
    EXPECT_EQ(st.second, 59);
    EXPECT_EQ(st.milliseconds, 0);
    EXPECT_EQ(PalmTimeToSystemTime(0).day_of_week, 5);

    st.milliseconds = 999;  // dropped by the truncation
    EXPECT_EQ(SystemTimeToPalmTime(st), At(2000, 2, 29, 23, 59, 59));
    std::optional<FileTime> ft = SystemTimeToFileTime(st);
    ASSERT_TRUE(ft);
    EXPECT_EQ(FileTimeToSystemTime(*ft)->milliseconds, 999);

    SystemTime bad = st;
    bad.day = 30;
    EXPECT_FALSE(SystemTimeToFileTime(bad));
    EXPECT_EQ(SystemTimeToPalmTime(bad), 0u);
    bad = st;
    bad.milliseconds = 1000;
    EXPECT_FALSE(SystemTimeToFileTime(bad));
    bad = st;
    bad.year = 1600;
    EXPECT_FALSE(SystemTimeToFileTime(bad));
    EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ULL));
    EXPECT_TRUE(FileTimeToSystemTime(0x7FFFFFFFFFFFFFFFULL));
}

TEST(PalmTimeTest, DaysInMonth) {
    struct Case {
        int month;
        int year;
        int days;
    };
    const Case cases[] = {
        {2, 1900, 28}, {2, 2000, 29}, {2, 2004, 29}, {2, 2100, 28},  {2, 2010, 28},  {1, 2010, 31},
        {4, 2010, 30}, {6, 2010, 30}, {9, 2010, 30}, {11, 2010, 30}, {12, 2010, 31}, {8, 2010, 31},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
    }
}

TEST(PalmTimeTest, FieldHelpers) {
    DateFields f = Fields(2010, 1, 31, 10, 20, 30);
    f.StepBackMonth();
    EXPECT_EQ(f, Fields(2009, 12, 31, 10, 20, 30));
    f = Fields(2010, 3, 31);
    f.StepBackMonth();
    EXPECT_EQ(f, Fields(2010, 2, 31));  // the day is not touched

    f = Fields(2010, 5, 6, 10, 20, 30);
    f.SetStartOfDay();
    EXPECT_EQ(f, Fields(2010, 5, 6));
    f.SetEndOfDay();
    EXPECT_EQ(f, Fields(2010, 5, 6, 23, 59, 59));
}

TEST(PalmTimeTest, QuarterRangesForEveryMonth) {
    struct Quarter {
        int startMonth, endMonth, endDay, yearShift;
    };
    // Index by month - 1.
    const Quarter current[12] = {
        {1, 3, 31, 0}, {1, 3, 31, 0},   {1, 3, 31, 0},   {4, 6, 30, 0},
        {4, 6, 30, 0}, {4, 6, 30, 0},   {7, 9, 30, 0},   {7, 9, 30, 0},
        {7, 9, 30, 0}, {10, 12, 31, 0}, {10, 12, 31, 0}, {10, 12, 31, 0},
    };
    const Quarter previous[12] = {
        {10, 12, 31, -1}, {10, 12, 31, -1}, {10, 12, 31, -1}, {1, 3, 31, 0},
        {1, 3, 31, 0},    {1, 3, 31, 0},    {4, 6, 30, 0},    {4, 6, 30, 0},
        {4, 6, 30, 0},    {7, 9, 30, 0},    {7, 9, 30, 0},    {7, 9, 30, 0},
    };
    for (int month = 1; month <= 12; ++month) {
        SCOPED_TRACE(month);
        for (bool prev : {false, true}) {
            const Quarter& q = (prev ? previous : current)[month - 1];
            DateFields fields = Fields(2010, month, 15, 10, 20, 30);
            DateFields end;
            (prev ? PreviousQuarterRange : CurrentQuarterRange)(fields, end);
            int year = 2010 + q.yearShift;
            EXPECT_EQ(fields, Fields(year, q.startMonth, 1, 10, 20, 30));
            EXPECT_EQ(end, Fields(year, q.endMonth, q.endDay, 10, 20, 30));
        }
    }
    for (int month : {0, 13}) {
        for (auto range : {CurrentQuarterRange, PreviousQuarterRange}) {
            DateFields fields = Fields(2010, month, 15);
            DateFields end = Fields(1999, 9, 9);
            range(fields, end);
            EXPECT_EQ(fields, Fields(2010, month, 15));
            EXPECT_EQ(end, Fields(1999, 9, 9));
        }
    }
}

TEST(PalmTimeTest, DayBoundsAndSameDay) {
    const PalmTime noon = At(2010, 2, 15, 12, 0, 0);
    const PalmTime start = At(2010, 2, 15);
    const PalmTime end = At(2010, 2, 15, 23, 59, 59);
    EXPECT_EQ(PalmTimeDayBound(noon, 1), start);
    EXPECT_EQ(PalmTimeDayBound(noon, 2), end);
    EXPECT_EQ(PalmTimeDayBound(noon, 0), noon);
    EXPECT_EQ(PalmTimeDayBound(noon, 3), noon);
    // The last day of the range ends at its last second, never wrapping.
    EXPECT_EQ(PalmTimeDayBound(0xFFFFFFFF, 1), At(2040, 2, 6));
    EXPECT_EQ(PalmTimeDayBound(0xFFFFFFFF, 2), 0xFFFFFFFFu);
    EXPECT_EQ(PalmTimeDayBound(At(2040, 2, 6), 2), 0xFFFFFFFFu);

    EXPECT_TRUE(IsSameDay(start, noon));
    EXPECT_TRUE(IsSameDay(end, noon));
    EXPECT_FALSE(IsSameDay(start - 1, noon));
    EXPECT_FALSE(IsSameDay(end + 1, noon));
}

TEST_F(ClockTest, ReadsNowFromTheInstalledClock) {
    SetNow(2010, 2, 15, 13, 14, 15);
    const PalmTime now = At(2010, 2, 15, 13, 14, 15);
    EXPECT_EQ(PalmTimeNow(), now);
    EXPECT_EQ(NowAsPalmTime(), now);
    EXPECT_EQ(TodayBound(0), now);
    EXPECT_EQ(TodayBound(1), At(2010, 2, 15));
    EXPECT_EQ(TodayBound(2), At(2010, 2, 15, 23, 59, 59));
    EXPECT_EQ(TodayBound(3), now);
    EXPECT_EQ(CombineDateWithNow(At(2001, 5, 6, 8, 0, 0)), At(2001, 5, 6, 13, 14, 15));
    // On the last day, a time of day past the range's end stops at its end.
    EXPECT_EQ(CombineDateWithNow(At(2040, 2, 6, 1, 0, 0)), 0xFFFFFFFFu);
}

TEST_F(ClockTest, NowOutsideTheRangeStaysAtItsEnds) {
    struct Case {
        platform::LocalTime now;
        PalmTime expected;
    };
    const Case cases[] = {
        {{2040, 2, 6, 6, 28, 15}, 0xFFFFFFFF},
        {{2040, 2, 6, 6, 28, 16}, 0xFFFFFFFF},
        {{2040, 12, 31, 23, 59, 59}, 0xFFFFFFFF},
        {{2100, 1, 1, 0, 0, 0}, 0xFFFFFFFF},
        {{1904, 1, 1, 0, 0, 0}, 0},
        {{1903, 12, 31, 23, 59, 59}, 0},
        {{1970, 1, 1, 0, 0, 0}, 2082844800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now.year);
        clock_.now = c.now;
        EXPECT_EQ(PalmTimeNow(), c.expected);
    }
}

TEST(PalmTimeTest, UtcFieldsFollowTheZoneRulesOfTheDate) {
    ScopedEnv tz("TZ", "EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(PalmTimeToUtcFields(At(2010, 1, 15, 12, 0, 0)), Fields(2010, 1, 15, 17, 0, 0));
    EXPECT_EQ(PalmTimeToUtcFields(At(2010, 7, 15, 12, 0, 0)), Fields(2010, 7, 15, 16, 0, 0));
    EXPECT_EQ(PalmTimeToUtcFields(At(2010, 12, 31, 22, 30, 5)), Fields(2011, 1, 1, 3, 30, 5));
    ScopedEnv utc("TZ", "UTC0");
    EXPECT_EQ(PalmTimeToUtcFields(At(2010, 7, 15, 12, 0, 0)), Fields(2010, 7, 15, 12, 0, 0));
}

TEST(PalmTimeTest, MakeUniqueDateCountsFromOne) {
    // The counter is process-wide; a fresh process shows its first use.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const PalmTime day = At(2010, 2, 15);
            bool ok = MakeUniqueDate(2, 15, 2010) == day + 1 &&
                      MakeUniqueDate(2, 15, 2010) == day + 2 &&
                      // Refusals leave the counter alone.
                      !TryMakeUniqueDate(2, 30, 2010) && !TryMakeUniqueDate(13, 1, 2010) &&
                      !TryMakeUniqueDate(1, 0, 2010) && !TryMakeUniqueDate(12, 31, 1903) &&
                      !TryMakeUniqueDate(2, 7, 2040) && TryMakeUniqueDate(2, 15, 2010) == day + 3 &&
                      MakeUniqueDate(3, 1, 2010) == At(2010, 3, 1) + 4;
            // The counter is 16 bits: it comes round to 0.
            for (int i = 5; i < 65536; ++i)
                MakeUniqueDate(1, 1, 2000);
            ok = ok && MakeUniqueDate(2, 15, 2010) == day;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(PalmTimeTest, FormatLocaleDateUsesTheFormatterOrLcTime) {
    SetDateFormatter(
        [](PalmTime t, unsigned flags) { return std::to_string(t) + "/" + std::to_string(flags); });
    EXPECT_EQ(FormatLocaleDate(42, kDateLongDate), "42/2");
    SetDateFormatter([](PalmTime, unsigned) { return std::string(300, 'x'); });
    EXPECT_EQ(FormatLocaleDate(42, kDateShortDate), std::string(256, 'x'));

    SetDateFormatter(nullptr);
    ScopedEnv lc("LC_ALL", "C");
    EXPECT_EQ(FormatLocaleDate(At(2010, 2, 15, 13, 14, 15), kDateShortDate), "02/15/10");
}

}  // namespace
}  // namespace tallowmere
