#include "sync/sync_mode.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "model/preferences.h"
#include "platform/registry_store.h"
#include "support/test_env.h"

namespace tallowmere::handheld {
namespace {

int Standalone() {
    return 4;
}

class SyncModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string config = test::MakeTempDir("config");
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        platform::SetRegistryStorePath("");
        SetPlatformNumberSource(&Standalone);
    }
    void TearDown() override { SetPlatformNumberSource(nullptr); }
};

TEST_F(SyncModeTest, TheDefaultIsZeroUntilStoredAndIsTakenAsStored) {
    SetCurrentSyncMode(2);
    LoadDefaultSyncMode();
    EXPECT_EQ(0, GetCurrentSyncMode());

    // Without the platform key nothing is stored.
    SaveDefaultSyncMode(2);
    LoadDefaultSyncMode();
    EXPECT_EQ(0, GetCurrentSyncMode());

    CreatePrefsKeys();
    for (int stored : {2, 1, 7}) {
        SaveDefaultSyncMode(stored);
        SetCurrentSyncMode(0);
        LoadDefaultSyncMode();
        EXPECT_EQ(stored, GetCurrentSyncMode());
    }
}

}  // namespace
}  // namespace tallowmere::handheld
