#include "ui/logic/sync_pref_form.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/preferences.h"
#include "model/registry.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "sync/sync_mode.h"

namespace tallowmere::ui {
namespace {

namespace hh = handheld;

class SyncPrefFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetRegistryStorePath(test::MakeTempDir("prefs") + "/registry");
        CreatePrefsKeys();
        hh::SetCurrentSyncMode(0);
    }
    void TearDown() override { platform::SetRegistryStorePath(""); }

    // The stored default; nothing: the value is missing.
    static void Store(std::optional<std::uint32_t> value) {
        CRegistry key(RegRoot::kCurrentUser, GetPlatformPrefsKeyPath());
        ASSERT_TRUE(key.Open());
        if (value)
            ASSERT_TRUE(key.SetDword("SyncDirec", *value));
        else
            key.DeleteValue("SyncDirec");
    }
    static std::optional<std::uint32_t> Stored() {
        CRegistry key(RegRoot::kCurrentUser, GetPlatformPrefsKeyPath());
        std::uint32_t value = 0;
        if (!key.Open() || !key.QueryDword("SyncDirec", value))
            return std::nullopt;
        return value;
    }
};

TEST_F(SyncPrefFormTest, OpeningShowsTheStoredDefaultInBothGroups) {
    struct Case {
        std::optional<std::uint32_t> stored;
        int modeRadio;
        int defaultRadio;
    };
    // The default group runs 0, 2, 1.
    const Case cases[] = {
        {std::nullopt, 1171, 1209}, {0, 1171, 1209}, {1, 1172, 1211}, {2, 1173, 1210},
        {7, kNoRadio, kNoRadio},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? static_cast<int>(*c.stored) : -1);
        ASSERT_NO_FATAL_FAILURE(Store(c.stored));
        // A mode chosen earlier for one sync is forgotten on opening.
        hh::SetCurrentSyncMode(2);
        const SyncPrefForm form = OpenSyncPref("10.0.0.7");
        EXPECT_EQ(c.modeRadio, form.modeRadio);
        EXPECT_EQ(c.defaultRadio, form.defaultRadio);
        EXPECT_EQ("10.0.0.7", form.address);
        EXPECT_EQ(c.stored.value_or(0), static_cast<std::uint32_t>(hh::GetCurrentSyncMode()));
    }
}

TEST_F(SyncPrefFormTest, OkSetsTheCurrentModeAndStoresTheDefaultOfEachCheckedGroup) {
    struct Case {
        int modeRadio;
        int defaultRadio;
        int currentAfter;
        std::optional<std::uint32_t> storedAfter;
    };
    // Before each: current mode 1, stored default 1.
    const Case cases[] = {
        {1171, 1209, 0, 0},
        {1173, 1210, 2, 2},
        {1172, 1211, 1, 1},
        {1173, 1211, 2, 1},
        // Nothing checked in a group leaves what it sets.
        {kNoRadio, 1210, 1, 2},
        {1171, kNoRadio, 0, 1},
        {kNoRadio, kNoRadio, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.modeRadio) + "/" + std::to_string(c.defaultRadio));
        ASSERT_NO_FATAL_FAILURE(Store(1));
        hh::SetCurrentSyncMode(1);
        AcceptSyncPref({c.modeRadio, c.defaultRadio, ""});
        EXPECT_EQ(c.currentAfter, hh::GetCurrentSyncMode());
        EXPECT_EQ(c.storedAfter, Stored());
    }
}

}  // namespace
}  // namespace tallowmere::ui
