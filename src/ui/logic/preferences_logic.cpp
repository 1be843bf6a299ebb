#include "ui/logic/preferences_logic.h"

#include <cstddef>
#include <cstdint>

#include "model/preferences.h"

namespace tallowmere::ui {
namespace {

constexpr int kDefaultDateFormat = 1;
constexpr int kDefaultNumberFormat = 0;

int Offered(int index, std::size_t entries, int fallback) {
    return index >= 0 && static_cast<std::size_t>(index) < entries ? index : fallback;
}

int DateFormatShown(int index) {
    return Offered(index, kDateFormatEntries.size(), kDefaultDateFormat);
}

int NumberFormatShown(int index) {
    return Offered(index, kNumberFormatEntries.size(), kDefaultNumberFormat);
}

// A stored DWORD above the int range is as foreign as -1.
int AsIndex(std::uint32_t stored) {
    return stored > 0x7FFFFFFFu ? -1 : static_cast<int>(stored);
}

}  // namespace

PreferencesValues ReadPreferenceValues(bool showDecimals) {
    PreferencesValues values;
    values.showDecimals = showDecimals;
    values.showYear = GetPrefShowYear();
    values.dateFormat = AsIndex(GetPrefImportExportDateFormat());
    values.numberFormat = AsIndex(GetPrefImportExportNumberFormat());
    return values;
}

void WritePreferenceValues(const PreferencesValues& values) {
    SetPrefShowDecimals(values.showDecimals);
    SetPrefShowYear(values.showYear);
    SetPrefImportExportDateFormat(static_cast<std::uint32_t>(DateFormatShown(values.dateFormat)));
    SetPrefImportExportNumberFormat(
        static_cast<std::uint32_t>(NumberFormatShown(values.numberFormat)));
}

PreferencesForm OpenPreferences(const PreferencesValues& values) {
    return {values.showDecimals, DateFormatShown(values.dateFormat),
            NumberFormatShown(values.numberFormat)};
}

void AcceptPreferences(const PreferencesForm& form, PreferencesValues& values) {
    values.showDecimals = form.showDecimals;
    values.dateFormat = DateFormatShown(form.dateFormat);
    values.numberFormat = NumberFormatShown(form.numberFormat);
}

}  // namespace tallowmere::ui
