#include "ui/logic/preferences_logic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "model/preferences.h"
#include "model/string_table.h"
#include "platform/registry_store.h"
#include "support/test_env.h"

namespace tallowmere::ui {
namespace {

int Standalone() {
    return 4;
}

class PreferencesLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        SetPlatformNumberSource(&Standalone);
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
    }
    void TearDown() override {
        SetPlatformNumberSource(nullptr);
        platform::SetRegistryStorePath("");
    }
};

TEST_F(PreferencesLogicTest, StoredLayoutsNoEntryStandsForShowTheDefaults) {
    struct Case {
        std::optional<std::uint32_t> date;  // empty: nothing stored
        std::optional<std::uint32_t> number;
        int shownDate;
        int shownNumber;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {5, 1, 5, 1},
        {3, 0, 3, 0},
        {6, 2, 1, 0},
        {0xFFFFFFFF, 0xFFFFFFFF, 1, 0},  // -1 written back by an older run
        {0x80000000, 7, 1, 0},
        {std::nullopt, std::nullopt, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.value_or(999) << " " << c.number.value_or(999));
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
        if (c.date)
            SetPrefImportExportDateFormat(*c.date);
        if (c.number)
            SetPrefImportExportNumberFormat(*c.number);
        const PreferencesForm form = OpenPreferences(ReadPreferenceValues(true));
        EXPECT_EQ(c.shownDate, form.dateFormat);
        EXPECT_EQ(c.shownNumber, form.numberFormat);
        EXPECT_TRUE(form.showDecimals);
    }
}

TEST_F(PreferencesLogicTest, OkWritesAllFourAndShowYearPassesThrough) {
    SetPrefShowYear(false);
    SetPrefShowDecimals(true);
    SetPrefImportExportDateFormat(9);
    PreferencesValues values = ReadPreferenceValues(true);
    EXPECT_FALSE(values.showYear);
    PreferencesForm form = OpenPreferences(values);
    form.showDecimals = false;
    form.dateFormat = 4;
    form.numberFormat = 1;
    AcceptPreferences(form, values);
    WritePreferenceValues(values);

    EXPECT_FALSE(GetPrefShowDecimals());
    EXPECT_FALSE(GetPrefShowYear());
    EXPECT_EQ(4u, GetPrefImportExportDateFormat());
    EXPECT_EQ(1u, GetPrefImportExportNumberFormat());
}

TEST_F(PreferencesLogicTest, AComboWithNothingChosenStoresTheDefault) {
    PreferencesValues values = ReadPreferenceValues(false);
    AcceptPreferences({false, -1, -1}, values);
    WritePreferenceValues(values);
    EXPECT_EQ(1u, GetPrefImportExportDateFormat());
    EXPECT_EQ(0u, GetPrefImportExportNumberFormat());
}

TEST(PreferencesEntries, InTheOrderOfTheStoredLayouts) {
    const char* dates[] = {"mm/dd/yy",   "mm/dd/yyyy", "dd/mm/yy",
                           "dd/mm/yyyy", "yy/mm/dd",   "yyyy/mm/dd"};
    for (std::size_t i = 0; i < kDateFormatEntries.size(); ++i)
        EXPECT_EQ(dates[i], LoadString(kDateFormatEntries[i])) << i;
    EXPECT_EQ("1,000.00", LoadString(kNumberFormatEntries[0]));
    EXPECT_EQ("1.000,00", LoadString(kNumberFormatEntries[1]));
}

}  // namespace
}  // namespace tallowmere::ui
