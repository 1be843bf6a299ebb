#pragma once
// Dates as CSV and QIF files write them: three numbers in one of six
// orders, with a two- or four-digit year.
#include <optional>
#include <string>
#include <string_view>

#include "model/palm_time.h"

namespace tallowmere::exchange {

// The orders of the date layouts 0-5 (the "ImportExport Date Format"
// preference): month/day/yy, month/day/yyyy, day/month/yy, day/month/yyyy,
// yy/month/day, yyyy/month/day.
inline constexpr int kDateLayoutCount = 6;
inline constexpr int kDefaultDateLayout = 1;

// The date's calendar day in the layout; a layout outside 0-5 writes as 1.
std::string FormatDateText(PalmTime date, int layout);

// Three numbers, each after one separator character of any kind and any
// blanks: the first one or more digits, the second one or two, the third one
// or more. Years 0-79 are 2000-2079, 80-99 are 1980-1999, 100-1899 are
// refused. The day gets a unique time of day (MakeUniqueDate). Empty for a
// malformed text and for a day that does not exist or lies outside the
// date range. A layout outside 0-5 reads as 1.
std::optional<PalmTime> ParseDateText(std::string_view text, int layout);

// The same without making a date: the month, day and year read, or false.
bool ReadDateFields(std::string_view text, int layout, int& month, int& day, int& year);

}  // namespace tallowmere::exchange
