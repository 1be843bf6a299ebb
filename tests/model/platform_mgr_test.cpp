#include "model/platform_mgr.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "support/test_env.h"

namespace tallowmere {
namespace {

// Loads the libraries from a test folder, under a test mode, and releases them.
class PlatformMgrTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log_ = test::MakeTempDir("log") + "/calls";
        setenv("TALLOWMERE_DOUBLE_LOG", log_.c_str(), 1);
        unsetenv("TALLOWMERE_DOUBLE_MODE");
        unsetenv("TALLOWMERE_DOUBLE_SYNC_RESULT");
    }
    void TearDown() override {
        Platform::Release();
        Platform::SetLibraryFolder("");
    }
    static int Load(const char* folder, const char* mode = "") {
        setenv("TALLOWMERE_DOUBLE_MODE", mode, 1);
        Platform::SetLibraryFolder(folder);
        return Platform::Initialize(1, "Tallowmere");
    }
    std::string Calls() const { return test::ReadFileBytes(log_); }

    std::string log_;
};

TEST_F(PlatformMgrTest, AMissingLibraryGivesModuleNotFound) {
    EXPECT_EQ(126, Load(test::MakeTempDir("empty").c_str()));
    EXPECT_EQ(-1, Platform::GetPlatform());
    // The program's own folder (here the tests' folder) holds no library.
    Platform::SetLibraryFolder("");
    EXPECT_EQ(126, Platform::Initialize(1, "Tallowmere"));
}

TEST_F(PlatformMgrTest, BothLibrariesLoadAndReleaseSyncFirst) {
    ASSERT_EQ(0, Load(TALLOWMERE_PLATFORM_DOUBLE_DIR));
    EXPECT_EQ(2, Platform::GetPlatform());
    std::string root = "old";
    EXPECT_TRUE(Platform::GetRootDir("Tallowmere", root));
    EXPECT_EQ("/double/root", root);
    Platform::Release();
    EXPECT_EQ("mgr init\nsync init\nsync release\nmgr release\n", Calls());
    Platform::Release();  // nothing left to release
    EXPECT_EQ(-1, Platform::GetPlatform());
}

TEST_F(PlatformMgrTest, InitialiseResults) {
    EXPECT_EQ(7, Load(TALLOWMERE_PLATFORM_DOUBLE_DIR, "initfail"));
    EXPECT_EQ("mgr init\n", Calls());  // the sync library is not loaded
    Platform::Release();

    setenv("TALLOWMERE_DOUBLE_SYNC_RESULT", "5", 1);
    EXPECT_EQ(5, Load(TALLOWMERE_PLATFORM_DOUBLE_DIR));
}

TEST_F(PlatformMgrTest, MissingExportsGiveTheirDefaults) {
    ASSERT_EQ(0, Load(TALLOWMERE_PLATFORM_BARE_DIR));
    EXPECT_EQ(-1, Platform::GetPlatform());
    std::uint8_t record[460] = {};
    EXPECT_EQ(-1, Platform::EnumerateUsers(0, "Tallowmere", record));
    std::string path = "kept";
    EXPECT_FALSE(Platform::GetRootDir("Tallowmere", path));
    Platform::GetRootDir2("Tallowmere", "u", "f", path);
    EXPECT_EQ("kept", path);
}

TEST_F(PlatformMgrTest, TextsWithoutNulAreCutAtTheBuffer) {
    ASSERT_EQ(0, Load(TALLOWMERE_PLATFORM_DOUBLE_DIR, "nonul"));
    std::string path;
    EXPECT_TRUE(Platform::GetRootDir("Tallowmere", path));
    EXPECT_EQ(std::string(4095, 'R'), path);
    Platform::GetRootDir2("Tallowmere", "u", "f", path);
    EXPECT_EQ(std::string(4095, 'Q'), path);
}

TEST_F(PlatformMgrTest, TheStandInKeepsEveryFolderNameBelowItsRoot) {
    const std::string data = test::MakeTempDir("data");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    ASSERT_EQ(0, Load(TALLOWMERE_PLATFORMLIB_DIR));
    EXPECT_EQ(3, Platform::GetPlatform());
    std::string root;
    ASSERT_TRUE(Platform::GetRootDir("Tallowmere", root));
    EXPECT_EQ(data + "/Brackwater/Tallowmere", root);

    struct Case {
        std::string folder, name;
    };
    const Case cases[] = {
        {"1234abcd", "1234abcd"},
        {"..", "--"},
        {".", "-"},
        {"", "_"},
        {"a/b", "a-b"},
        {"a\\b", "a-b"},
        {"../../x", "..-..-x"},
        {"tab\there\x7F", "tab-here-"},
        {"...", "..."},
        {std::string(300, 'n'), std::string(255, 'n')},
    };
    for (const Case& c : cases) {
        std::string path = "old";
        Platform::GetRootDir2("Tallowmere", "name", c.folder, path);
        EXPECT_EQ(root + "/" + c.name, path) << c.folder;
    }
}

}  // namespace
}  // namespace tallowmere
