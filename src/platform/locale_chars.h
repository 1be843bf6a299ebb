#pragma once
// The user's locale separators, read through a locale object so that the
// process-global C locale (which Qt changes at start-up) never matters.
#include <string>

namespace tallowmere::platform {

// Raw separator texts of the user's default locale (LC_NUMERIC from the
// environment), as multibyte strings. Returns false when the locale cannot be
// opened; the outputs are then untouched.
bool ReadLocaleSeparators(std::string& decimal, std::string& thousands);

// The short date format of the user's default locale (LC_TIME from the
// environment), in strftime form ("%d.%m.%Y"). Returns false when the locale
// cannot be opened; the output is then untouched.
bool ReadLocaleDateFormat(std::string& dateFormat);

}  // namespace tallowmere::platform
