#pragma once
// "Preferences" (dialog 170): show decimals, and the date and number layouts
// of imported and exported files. Show year has no control and passes
// through. The view fills the values from its own setting and the stored
// preferences and writes all four back after OK.
#include <array>

namespace tallowmere::ui {

inline constexpr int kPrefShowDecimals = 1145;
inline constexpr int kPrefDateFormat = 17035;
inline constexpr int kPrefNumberFormat = 17032;

// The combos' entries in order: "mm/dd/yy" ... "yyyy/mm/dd" (the index is
// the stored layout 0-5), and "1,000.00", "1.000,00" (0-1).
inline constexpr std::array<int, 6> kDateFormatEntries = {3413, 3414, 3415, 3416, 3417, 3418};
inline constexpr std::array<int, 2> kNumberFormatEntries = {3419, 3420};

struct PreferencesValues {
    bool showDecimals = false;
    bool showYear = false;
    int dateFormat = -1;
    int numberFormat = -1;
};

// Show decimals as the view has it; show year and the two layouts as stored
// in the current user's preferences.
PreferencesValues ReadPreferenceValues(bool showDecimals);
// Stores all four.
void WritePreferenceValues(const PreferencesValues& values);

struct PreferencesForm {
    bool showDecimals = false;
    int dateFormat = 0;  // the combos' indexes
    int numberFormat = 0;
};

// A stored layout no entry stands for (from another program, a corrupt
// value) shows as the preference's default, mm/dd/yyyy and 1,000.00, so
// that OK never stores a layout the importers cannot read.
PreferencesForm OpenPreferences(const PreferencesValues& values);
void AcceptPreferences(const PreferencesForm& form, PreferencesValues& values);

}  // namespace tallowmere::ui
