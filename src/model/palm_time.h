#pragma once
// Dates: seconds since 1904-01-01 00:00:00 local time, no zone, no DST; every
// day has 86400 seconds. The range ends at 2040-02-06 06:28:15.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tallowmere {

using PalmTime = std::uint32_t;

inline constexpr PalmTime kPalmTimeMax = 0xFFFFFFFF;
inline constexpr PalmTime kSecondsPerDay = 86400;

// 100-ns units since 1601-01-01 00:00:00, the calendar the dates are counted
// on (our own type; no zone attached).
using FileTime = std::uint64_t;
inline constexpr FileTime kFileTimeUnitsPerSecond = 10'000'000;
// 1904-01-01 00:00:00 as a FileTime.
inline constexpr FileTime kPalmEpochFileTime = 9'561'628'800ULL * kFileTimeUnitsPerSecond;

// Calendar fields in the order of the Windows SYSTEMTIME record.
struct SystemTime {
    std::uint16_t year = 1601;
    std::uint16_t month = 1;        // 1-12
    std::uint16_t day_of_week = 0;  // 0 Sunday; ignored on input
    std::uint16_t day = 1;          // 1-31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// A broken-down date in this field order.
struct DateFields {
    std::int16_t second = 0;
    std::int16_t minute = 0;
    std::int16_t hour = 0;
    std::int16_t day = 1;    // 1-31
    std::int16_t month = 1;  // 1-12
    std::int16_t year = 1904;

    static DateFields FromPalmTime(PalmTime t);

    // True for a date that exists (years 1601-30827) and a time of day within
    // 00:00:00-23:59:59.
    bool IsValid() const;

    // The checked conversion for callers that read outside data: empty for
    // impossible fields and for dates outside the PalmTime range.
    std::optional<PalmTime> TryToPalmTime() const;

    // Valid fields outside the range wrap modulo 2^32, as the file format
    // always did; impossible fields give 0.
    PalmTime ToPalmTime() const;

    void SetStartOfDay();  // 00:00:00
    void SetEndOfDay();    // 23:59:59
    // Month - 1, January to December of the year before; the day stays.
    void StepBackMonth();

    friend bool operator==(const DateFields&, const DateFields&) = default;
};

// The current local time from the installed clock. A clock outside the range
// reads as its nearest end: after 2040-02-06 06:28:15 every "now" is that last
// second (a limit of the format), before 1904 it is 0.
PalmTime PalmTimeNow();
inline PalmTime NowAsPalmTime() {
    return PalmTimeNow();
}

// (value - epoch) / 10,000,000, truncated toward zero, modulo 2^32.
PalmTime FileTimeToPalmTime(FileTime value);
FileTime PalmTimeToFileTime(PalmTime t);

// Empty for impossible fields (milliseconds included), as Windows refuses them.
std::optional<FileTime> SystemTimeToFileTime(const SystemTime& st);
// Empty beyond the last representable year (values of 2^63 and above).
std::optional<SystemTime> FileTimeToSystemTime(FileTime value);

// No zone conversion. Impossible fields give 0.
PalmTime SystemTimeToPalmTime(const SystemTime& st);
SystemTime PalmTimeToSystemTime(PalmTime t);

// Takes t as local time and gives the UTC fields under the zone rules of the
// process (TZ), daylight saving of that date included. Should the zone rules
// fail to place the time, the local fields come back unchanged.
DateFields PalmTimeToUtcFields(PalmTime t);

// Mode 1: that day at 00:00:00; mode 2: at 23:59:59 (the last day of the range
// ends at its last second); any other mode: t.
PalmTime PalmTimeDayBound(PalmTime t, int mode);
// PalmTimeDayBound(now, mode), or now for mode 0.
PalmTime TodayBound(int mode);
// True when t lies within the day of date, both bounds included.
bool IsSameDay(PalmTime t, PalmTime date);

// The day of date with the current time of day.
PalmTime CombineDateWithNow(PalmTime date);

// 28, 29, 30 or 31; 31 for a month outside 1-12.
int DaysInMonth(int month, int year);

// The input becomes the first day of its calendar quarter and end its last
// day (same year and time of day). A month outside 1-12 leaves both unchanged.
void CurrentQuarterRange(DateFields& fields, DateFields& end);
// The same for the quarter before (January-March give October-December of the
// year before).
void PreviousQuarterRange(DateFields& fields, DateFields& end);

// That day at 00:00:00 plus a process-wide 16-bit counter incremented before
// each use (so the first call adds 1). Thread-safe.
PalmTime MakeUniqueDate(int month, int day, int year);
// The checked form: empty for an impossible date or one outside the range;
// a refusal leaves the counter as it was.
std::optional<PalmTime> TryMakeUniqueDate(int month, int day, int year);

// Flags of FormatLocaleDate.
inline constexpr unsigned kDateShortDate = 0x1;
inline constexpr unsigned kDateLongDate = 0x2;

// The user interface formats dates with its own toolkit; without a formatter
// the date is written with the user's LC_TIME "%x" form (flags are not looked
// at then). At most 256 characters, in Windows-1252 like every model text; a
// formatter returns its text in that form too.
using DateFormatter = std::function<std::string(PalmTime t, unsigned flags)>;
void SetDateFormatter(DateFormatter formatter);  // an empty one restores the fallback
std::string FormatLocaleDate(PalmTime t, unsigned flags);

}  // namespace tallowmere
