#include "model/palm_time.h"

#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

#include "model/id_lock.h"
#include "platform/clock.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

namespace ch = std::chrono;

constexpr ch::sys_days kPalmEpochDay{ch::year{1904} / ch::January / 1};
constexpr ch::sys_days kFileTimeEpochDay{ch::year{1601} / ch::January / 1};
static_assert(static_cast<FileTime>((kPalmEpochDay - kFileTimeEpochDay).count()) * kSecondsPerDay *
                  kFileTimeUnitsPerSecond ==
              kPalmEpochFileTime);

constexpr FileTime kUnitsPerDay = FileTime{kSecondsPerDay} * kFileTimeUnitsPerSecond;
// The last and first years a FileTime calendar date may carry.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

ch::year_month_day Ymd(int year, int month, int day) {
    // Out-of-range values are made impossible before they reach chrono's
    // narrower fields.
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 || day > 31) {
        return ch::year_month_day{ch::year{1}, ch::month{0}, ch::day{0}};
    }
    return ch::year_month_day{ch::year{year}, ch::month{static_cast<unsigned>(month)},
                              ch::day{static_cast<unsigned>(day)}};
}

bool IsTimeOfDay(int hour, int minute, int second) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

// Seconds from 1904-01-01 00:00:00, negative before it; the date must be ok.
std::int64_t SecondsFromEpoch(const ch::year_month_day& ymd, int hour, int minute, int second) {
    std::int64_t days = (ch::sys_days{ymd} - kPalmEpochDay).count();
    return days * kSecondsPerDay + std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second;
}

PalmTime ClampToRange(std::int64_t seconds) {
    return static_cast<PalmTime>(std::clamp<std::int64_t>(seconds, 0, kPalmTimeMax));
}

DateFields MakeDayFields(int month, int day, int year) {
    DateFields f;
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.year = static_cast<std::int16_t>(year);
    return f;
}

std::tm ToTm(const DateFields& f) {
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    ch::year_month_day ymd = Ymd(f.year, f.month, f.day);
    if (ymd.ok()) {
        ch::sys_days day{ymd};
        tm.tm_wday = static_cast<int>(ch::weekday{day}.c_encoding());
        tm.tm_yday = (day - ch::sys_days{ymd.year() / ch::January / 1}).count();
    }
    return tm;
}

// Guarded by IdLock.
std::uint16_t gUniqueCounter = 0;

std::mutex gFormatterMutex;
DateFormatter gFormatter;  // guarded by gFormatterMutex

struct LocaleFree {
    void operator()(std::remove_pointer_t<locale_t>* loc) const { freelocale(loc); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

// The user's "%x" date through a locale object of its own, so the global
// locale (which the UI toolkit changes) never matters.
std::string FormatWithLcTime(PalmTime t) {
    LocaleHandle loc(newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr)));
    if (!loc)
        loc.reset(newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr)));
    if (!loc)
        return std::string();
    std::tm tm = ToTm(DateFields::FromPalmTime(t));
    char buffer[257];
    std::size_t n = strftime_l(buffer, sizeof buffer, "%x", &tm, loc.get());
    std::string text(buffer, n);
    // Model texts are Windows-1252.
    if (std::strcmp(nl_langinfo_l(CODESET, loc.get()), "UTF-8") == 0) {
        text = platform::Utf8ToCp1252(text);
    }
    return text;
}

}  // namespace

DateFields DateFields::FromPalmTime(PalmTime t) {
    ch::year_month_day ymd{kPalmEpochDay + ch::days{t / kSecondsPerDay}};
    PalmTime rest = t % kSecondsPerDay;
    DateFields f;
    f.year = static_cast<std::int16_t>(static_cast<int>(ymd.year()));
    f.month = static_cast<std::int16_t>(static_cast<unsigned>(ymd.month()));
    f.day = static_cast<std::int16_t>(static_cast<unsigned>(ymd.day()));
    f.hour = static_cast<std::int16_t>(rest / 3600);
    f.minute = static_cast<std::int16_t>(rest / 60 % 60);
    f.second = static_cast<std::int16_t>(rest % 60);
    return f;
}

bool DateFields::IsValid() const {
    return Ymd(year, month, day).ok() && IsTimeOfDay(hour, minute, second);
}

std::optional<PalmTime> DateFields::TryToPalmTime() const {
    if (!IsValid())
        return std::nullopt;
    std::int64_t seconds = SecondsFromEpoch(Ymd(year, month, day), hour, minute, second);
    if (seconds < 0 || seconds > kPalmTimeMax)
        return std::nullopt;
    return static_cast<PalmTime>(seconds);
}

PalmTime DateFields::ToPalmTime() const {
    if (!IsValid())
        return 0;
    return static_cast<PalmTime>(SecondsFromEpoch(Ymd(year, month, day), hour, minute, second));
}

void DateFields::SetStartOfDay() {
    hour = 0;
    minute = 0;
    second = 0;
}

void DateFields::SetEndOfDay() {
    hour = 23;
    minute = 59;
    second = 59;
}

void DateFields::StepBackMonth() {
    if (month == 1) {
        month = 12;
        year = static_cast<std::int16_t>(year - 1);
    } else {
        month = static_cast<std::int16_t>(month - 1);
    }
}

PalmTime PalmTimeNow() {
    platform::LocalTime now = platform::CurrentClock().LocalNow();
    if (now.year < 1904)
        return 0;
    if (now.year > 2040)
        return kPalmTimeMax;
    ch::year_month_day ymd = Ymd(now.year, now.month, now.day);
    if (!ymd.ok())
        return 0;
    return ClampToRange(SecondsFromEpoch(ymd, now.hour, now.minute, now.second));
}

PalmTime FileTimeToPalmTime(FileTime value) {
    // Truncated toward zero on both sides of the epoch, then modulo 2^32.
    if (value >= kPalmEpochFileTime) {
        return static_cast<PalmTime>((value - kPalmEpochFileTime) / kFileTimeUnitsPerSecond);
    }
    FileTime before = (kPalmEpochFileTime - value) / kFileTimeUnitsPerSecond;
    return static_cast<PalmTime>(0 - before);
}

FileTime PalmTimeToFileTime(PalmTime t) {
    return kPalmEpochFileTime + FileTime{t} * kFileTimeUnitsPerSecond;
}

std::optional<FileTime> SystemTimeToFileTime(const SystemTime& st) {
    ch::year_month_day ymd = Ymd(st.year, st.month, st.day);
    if (!ymd.ok() || !IsTimeOfDay(st.hour, st.minute, st.second) || st.milliseconds > 999) {
        return std::nullopt;
    }
    auto days = static_cast<FileTime>((ch::sys_days{ymd} - kFileTimeEpochDay).count());
    FileTime seconds =
        days * kSecondsPerDay + FileTime{st.hour} * 3600 + FileTime{st.minute} * 60 + st.second;
    return (seconds * 1000 + st.milliseconds) * 10'000;
}

std::optional<SystemTime> FileTimeToSystemTime(FileTime value) {
    if (value > static_cast<FileTime>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    ch::sys_days day = kFileTimeEpochDay + ch::days{static_cast<int>(value / kUnitsPerDay)};
    ch::year_month_day ymd{day};
    FileTime ms = value % kUnitsPerDay / 10'000;
    SystemTime st;
    st.year = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    st.month = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()));
    st.day_of_week = static_cast<std::uint16_t>(ch::weekday{day}.c_encoding());
    st.day = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    st.hour = static_cast<std::uint16_t>(ms / 3'600'000);
    st.minute = static_cast<std::uint16_t>(ms / 60'000 % 60);
    st.second = static_cast<std::uint16_t>(ms / 1000 % 60);
    st.milliseconds = static_cast<std::uint16_t>(ms % 1000);
    return st;
}

PalmTime SystemTimeToPalmTime(const SystemTime& st) {
    std::optional<FileTime> ft = SystemTimeToFileTime(st);
    return ft ? FileTimeToPalmTime(*ft) : 0;
}

SystemTime PalmTimeToSystemTime(PalmTime t) {
    // Every PalmTime lies well inside the FileTime calendar.
    return FileTimeToSystemTime(PalmTimeToFileTime(t)).value_or(SystemTime{});
}

DateFields PalmTimeToUtcFields(PalmTime t) {
    DateFields local = DateFields::FromPalmTime(t);
    std::tm tm = ToTm(local);
    tm.tm_isdst = -1;  // let the zone rules of that date decide
    tm.tm_wday = -1;   // mktime sets it on success; -1 is also a valid time_t
    std::time_t utc = std::mktime(&tm);
    std::tm out{};
    if (tm.tm_wday < 0 || gmtime_r(&utc, &out) == nullptr)
        return local;
    DateFields f;
    f.year = static_cast<std::int16_t>(out.tm_year + 1900);
    f.month = static_cast<std::int16_t>(out.tm_mon + 1);
    f.day = static_cast<std::int16_t>(out.tm_mday);
    f.hour = static_cast<std::int16_t>(out.tm_hour);
    f.minute = static_cast<std::int16_t>(out.tm_min);
    f.second = static_cast<std::int16_t>(out.tm_sec);
    return f;
}

PalmTime PalmTimeDayBound(PalmTime t, int mode) {
    PalmTime start = t - t % kSecondsPerDay;
    if (mode == 1)
        return start;
    if (mode == 2)
        return ClampToRange(std::int64_t{start} + kSecondsPerDay - 1);
    return t;
}

PalmTime TodayBound(int mode) {
    PalmTime now = PalmTimeNow();
    return mode != 0 ? PalmTimeDayBound(now, mode) : now;
}

bool IsSameDay(PalmTime t, PalmTime date) {
    return t >= PalmTimeDayBound(date, 1) && t <= PalmTimeDayBound(date, 2);
}

PalmTime CombineDateWithNow(PalmTime date) {
    PalmTime timeOfDay = PalmTimeNow() % kSecondsPerDay;
    return ClampToRange(std::int64_t{PalmTimeDayBound(date, 1)} + timeOfDay);
}

int DaysInMonth(int month, int year) {
    switch (month) {
        case 2: {
            bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            return leap ? 29 : 28;
        }
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        default:
            return 31;
    }
}

void CurrentQuarterRange(DateFields& fields, DateFields& end) {
    if (fields.month < 1 || fields.month > 12)
        return;
    int first = (fields.month - 1) / 3 * 3 + 1;
    end = fields;
    end.month = static_cast<std::int16_t>(first + 2);
    end.day = static_cast<std::int16_t>(DaysInMonth(end.month, end.year));
    fields.month = static_cast<std::int16_t>(first);
    fields.day = 1;
}

void PreviousQuarterRange(DateFields& fields, DateFields& end) {
    if (fields.month < 1 || fields.month > 12)
        return;
    int first = (fields.month - 1) / 3 * 3 + 1 - 3;
    int year = fields.year;
    if (first < 1) {
        first = 10;
        --year;
    }
    end = fields;
    end.year = static_cast<std::int16_t>(year);
    end.month = static_cast<std::int16_t>(first + 2);
    end.day = static_cast<std::int16_t>(DaysInMonth(end.month, end.year));
    fields.year = static_cast<std::int16_t>(year);
    fields.month = static_cast<std::int16_t>(first);
    fields.day = 1;
}

PalmTime MakeUniqueDate(int month, int day, int year) {
    PalmTime start = MakeDayFields(month, day, year).ToPalmTime();
    std::lock_guard lock(detail::IdLock());
    ++gUniqueCounter;
    return start + gUniqueCounter;
}

std::optional<PalmTime> TryMakeUniqueDate(int month, int day, int year) {
    if (year < 1904 || year > 2040)
        return std::nullopt;
    std::optional<PalmTime> start = MakeDayFields(month, day, year).TryToPalmTime();
    if (!start)
        return std::nullopt;
    std::lock_guard lock(detail::IdLock());
    auto next = static_cast<std::uint16_t>(gUniqueCounter + 1);
    if (std::uint64_t{*start} + next > kPalmTimeMax)
        return std::nullopt;
    gUniqueCounter = next;
    return *start + next;
}

void SetDateFormatter(DateFormatter formatter) {
    std::lock_guard lock(gFormatterMutex);
    gFormatter = std::move(formatter);
}

std::string FormatLocaleDate(PalmTime t, unsigned flags) {
    DateFormatter formatter;
    {
        std::lock_guard lock(gFormatterMutex);
        formatter = gFormatter;
    }
    std::string text = formatter ? formatter(t, flags) : FormatWithLcTime(t);
    if (text.size() > 256)
        text.resize(256);
    return text;
}

}  // namespace tallowmere
