#pragma once
// Reading the date-time texts of OFX replies and statement files.
#include <string_view>

#include "model/palm_time.h"

namespace tallowmere {

// YYYYMMDD, optionally HHMMSS, optionally "." and three fraction digits
// (ignored), optionally a zone "[" sign? hours (":" name)? "]"; blanks
// anywhere are skipped. A non-zero zone offset gives the local date value of
// the stated moment, under the zone rules of the process (TZ). Returns 0 for
// a text that is not a date: a malformed text, impossible fields (month 13,
// 30 February, hour 24) or a moment outside the date range.
PalmTime ParseOfxDateTime(std::string_view text);

}  // namespace tallowmere
