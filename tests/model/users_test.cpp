#include "model/users.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/registry.h"
#include "platform/registry_store.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace store = platform;

const std::string kProduct = "Software\\Brackwater\\Tallowmere Desktop";

std::string DisplayNameIn(const std::string& folder) {
    return RegReadString(RegRoot::kCurrentUser, kProduct + "\\IPhone - " + folder,
                         "UserDisplayName", "<none>");
}

// Fresh configuration and data folders, so that the program and the
// stand-in library, which each read the environment, share one store.
class UsersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config_ = test::MakeTempDir("config");
        data_ = test::MakeTempDir("data");
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        setenv("XDG_DATA_HOME", data_.c_str(), 1);
        unsetenv("TALLOWMERE_DOUBLE_MODE");
        store::SetRegistryStorePath("");
        root_ = data_ + "/Brackwater/Tallowmere";
    }
    void TearDown() override {
        Platform::Release();
        Platform::SetLibraryFolder("");
    }
    static void Load(const char* folder, const char* mode = "") {
        setenv("TALLOWMERE_DOUBLE_MODE", mode, 1);
        Platform::SetLibraryFolder(folder);
        ASSERT_EQ(0, Platform::Initialize(1, kProductWord));
    }
    static void CreateProductKey() { ASSERT_EQ(0, store::RegStoreCreateKey(kProduct)); }

    static std::vector<std::string> Names(const CUserList& list) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetAt(i)->GetName() + "/" + list.GetAt(i)->GetFolderName());
        return names;
    }

    // Every entry below the data folder, which must all lie below the root.
    std::vector<std::string> EntriesOutsideTheRoot() const {
        std::vector<std::string> outside;
        for (const auto& e : fs::recursive_directory_iterator(data_)) {
            const std::string p = e.path().string();
            if (p != data_ + "/Brackwater" && p != root_ && p.rfind(root_ + "/", 0) != 0)
                outside.push_back(p);
        }
        return outside;
    }

    std::vector<std::string> FoldersInTheRoot() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string config_, data_, root_;
};

TEST_F(UsersTest, PhoneUsersSurviveARestart) {
    Load(TALLOWMERE_PLATFORMLIB_DIR);
    CreateProductKey();
    {
        CUserList list;
        list.Enumerate(kProductWord, std::nullopt);
        EXPECT_EQ(std::vector<std::string>{"<Standalone>/_Standalone_"}, Names(list));
        CUserItem* phone = list.AddPhoneUser("Ann's iPhone", "A1B2");
        ASSERT_NE(nullptr, phone);
        EXPECT_EQ(0u, phone->GetPlatformKind());
        EXPECT_EQ("iPhone", phone->GetDeviceType());
        EXPECT_EQ(root_ + "/A1B2", phone->GetDataFolder(kProductWord));
        EXPECT_TRUE(fs::is_directory(root_ + "/A1B2"));
        EXPECT_EQ("Ann's iPhone", DisplayNameIn("a1b2"));
        list.AddPhoneUser("Ben", "0FF");
    }
    // Folders without a display name show under their folder name; the
    // standalone user's folder, links and files are not users.
    fs::create_directories(root_ + "/_Standalone_");
    fs::create_directories(root_ + "/ZZ");
    fs::create_directory_symlink(root_ + "/ZZ", root_ + "/link");
    test::WriteFileBytes(root_ + "/file", "x");

    CUserList list;
    list.Enumerate(kProductWord, std::nullopt);
    EXPECT_EQ((std::vector<std::string>{"Ben/0FF", "Ann's iPhone/A1B2", "ZZ/ZZ",
                                        "<Standalone>/_Standalone_"}),
              Names(list));
    EXPECT_EQ(3u, list.GetAt(0)->GetPlatformKind());
    EXPECT_TRUE(list.GetAt(3)->IsStandalone());
    EXPECT_EQ(4u, list.GetAt(3)->GetPlatformKind());
    EXPECT_EQ(root_ + "/_Standalone_", list.GetAt(3)->GetDataFolder(kProductWord));
}

TEST_F(UsersTest, HostileSerialsStayBelowTheRoot) {
    Load(TALLOWMERE_PLATFORMLIB_DIR);
    CreateProductKey();
    CUserList list;
    struct Case {
        std::string serial;
        // Refused when its cleaned folder name is one made before.
        bool made;
    };
    const Case cases[] = {
        {"../../x", true},
        {"a\\b", true},
        {"..", true},
        {".", true},
        {"", true},
        {"a/b", false},  // a-b, like a\b
        {"a:b", false},
        {std::string(300, 's'), true},
        {std::string(10000, '/'), true},
        {" ", false},     // _, like ""
        {"\x01", false},  // -, like "."
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial.substr(0, 20));
        CUserItem* user = list.AddPhoneUser("name", c.serial);
        ASSERT_EQ(c.made, user != nullptr);
        if (user == nullptr)
            continue;
        const std::string folder = user->GetDataFolder(kProductWord);
        ASSERT_EQ(0u, folder.rfind(root_ + "/", 0)) << folder;
        const std::string name = folder.substr(root_.size() + 1);
        EXPECT_EQ(std::string::npos, name.find('/'));
        EXPECT_NE("..", name);
        EXPECT_NE(".", name);
        EXPECT_TRUE(fs::is_directory(folder));
    }
    EXPECT_EQ(7u, list.GetCount());
    EXPECT_EQ(std::vector<std::string>{}, EntriesOutsideTheRoot());
    EXPECT_EQ(std::string(199, 's'), list.GetAt(5)->GetFolderName());
    // A '\' in a serial never makes nested registry keys.
    EXPECT_EQ("name", DisplayNameIn("a-b"));
    EXPECT_NE(0, store::RegStoreKeyExists(kProduct + "\\IPhone - a"));
}

TEST_F(UsersTest, ANameTakenWithoutRegardToCaseMakesNoUser) {
    Load(TALLOWMERE_PLATFORMLIB_DIR);
    CreateProductKey();
    CUserList list;
    list.Enumerate(kProductWord, std::nullopt);
    CUserItem* known = list.AddPhoneUser("Known phone", "KNOWN-1");
    ASSERT_NE(nullptr, known);
    const std::string knownFolder = known->GetDataFolder(kProductWord);
    test::WriteFileBytes(knownFolder + "/Checking.wqm", "account bytes");
    fs::create_directories(root_ + "/Stray");
    ASSERT_EQ(0, store::RegStoreCreateKey(kProduct + "\\IPhone - Ghost"));
    ASSERT_EQ(0, store::RegStoreCreateKey(kProduct + "\\IPhone - Haunt\\Preferences"));

    const std::string registry = test::ReadFileBytes(store::RegistryStorePath());
    for (const char* serial :
         {"known-1", "Known-1", "KNOWN:1", "KNOWN/1", "stray", "GHOST", "haunt", "_standalone_"}) {
        SCOPED_TRACE(serial);
        EXPECT_EQ(nullptr, list.AddPhoneUser("Intruder", serial));
        EXPECT_EQ(2u, list.GetCount());
        EXPECT_EQ(registry, test::ReadFileBytes(store::RegistryStorePath()));
        EXPECT_EQ("Known phone", DisplayNameIn("KNOWN-1"));
        EXPECT_EQ("account bytes", test::ReadFileBytes(knownFolder + "/Checking.wqm"));
        EXPECT_EQ((std::vector<std::string>{"KNOWN-1", "Stray"}), FoldersInTheRoot());
    }

    // A name of its own is made, with the mark of an unfinished first sync
    // when asked.
    CUserItem* fresh = list.AddPhoneUser("Fresh", "known-2", true);
    ASSERT_NE(nullptr, fresh);
    EXPECT_TRUE(fs::is_directory(root_ + "/known-2"));
    EXPECT_EQ(1u, RegReadDword(RegRoot::kCurrentUser, kProduct + "\\IPhone - known-2",
                               kFirstSyncPendingValue, 0));
    EXPECT_EQ(0u, RegReadDword(RegRoot::kCurrentUser, kProduct + "\\IPhone - KNOWN-1",
                               kFirstSyncPendingValue, 0));
    EXPECT_TRUE(list.Remove(fresh));
    EXPECT_FALSE(list.Remove(fresh));
    EXPECT_EQ(2u, list.GetCount());
}

TEST_F(UsersTest, NamesAreCutToTheirFields) {
    Load(TALLOWMERE_PLATFORMLIB_DIR);
    CUserList list;
    CUserItem* user = list.AddPhoneUser(std::string(500, 'n'), "dev");
    ASSERT_NE(nullptr, user);
    EXPECT_EQ(std::string(199, 'n'), user->GetName());
    EXPECT_EQ(std::string(199, 'n'), DisplayNameIn("dev"));
    ASSERT_EQ(0, store::RegStoreDeleteKeyTree(kProduct + "\\IPhone - dev"));
    user->Rename("Ignored while the key is missing");
    EXPECT_EQ("<none>", DisplayNameIn("dev"));

    CreateProductKey();
    user->SaveDisplayName();
    user->Rename(std::string(500, 'r'));
    EXPECT_EQ(std::string(199, 'r'), user->GetName());
    EXPECT_EQ(std::string(199, 'r'), DisplayNameIn("dev"));
    CRegistry reg(RegRoot::kCurrentUser, kProduct + "\\IPhone - dev");
    ASSERT_TRUE(reg.Open());
    EXPECT_EQ(199u, reg.GetValueSize("UserDisplayName"));  // no NUL stored
}

TEST_F(UsersTest, DataFolderNamesAreCleanedBeforeTheLibrarySeesThem) {
    Load(TALLOWMERE_PLATFORM_DOUBLE_DIR);  // passes the name on unchanged
    struct Case {
        std::string folder, path;
    };
    const Case cases[] = {
        {"a:b", "/double/root/a-b"},
        {"a/b", "/double/root/a-b"},
        {"x*?\"<>|", "/double/root/x------"},
        {"trail \t ", "/double/root/trail"},
        {"..", "/double/root/.."},
        {"", "/double/root/"},
    };
    for (const Case& c : cases) {
        PlatformUserRecord record;
        std::copy(c.folder.begin(), c.folder.end(), record.folder.begin());
        CUserItem user(record);
        EXPECT_EQ(c.path, user.GetDataFolder(kProductWord)) << c.folder;
        EXPECT_FALSE(user.HasOwnDirectory());
    }
}

TEST_F(UsersTest, UserDirectoryOverridesThePlatformsFolder) {
    Load(TALLOWMERE_PLATFORM_DOUBLE_DIR);
    const std::string prefix = kProduct + "\\Users\\";
    ASSERT_EQ(0, store::RegStoreCreateKey(prefix + "ann"));
    ASSERT_TRUE(
        RegWriteString(RegRoot::kCurrentUser, prefix + "ann", "User Directory", "/home/ann/Books"));
    CUserList list;
    list.Enumerate(kProductWord, prefix);
    ASSERT_EQ(3u, list.GetCount());
    EXPECT_EQ(prefix + "ann", list.GetAt(0)->GetKeyPath());
    EXPECT_EQ("/home/ann/Books", list.GetAt(0)->GetDataFolder(kProductWord));
    EXPECT_TRUE(list.GetAt(0)->HasOwnDirectory());
    EXPECT_EQ("/double/root/ben", list.GetAt(1)->GetDataFolder(kProductWord));
    EXPECT_FALSE(list.GetAt(1)->HasOwnDirectory());
    EXPECT_EQ(prefix + "_Standalone_", list.GetAt(2)->GetKeyPath());

    CUserList plain;
    plain.Enumerate(kProductWord, std::nullopt);
    EXPECT_EQ("", plain.GetAt(0)->GetKeyPath());
    EXPECT_EQ("/double/root/ann", plain.GetAt(0)->GetDataFolder(kProductWord));
}

TEST_F(UsersTest, EnumerationTrustsNoLibrary) {
    struct Case {
        const char* folder;
        const char* mode;
        std::vector<std::string> names;
    };
    const std::string standalone = "<Standalone>/_Standalone_";
    const Case cases[] = {
        {TALLOWMERE_PLATFORM_DOUBLE_DIR, "", {"Ann/ann", "Ben/ben", standalone}},
        {TALLOWMERE_PLATFORM_DOUBLE_DIR, "none", {standalone}},
        {TALLOWMERE_PLATFORM_DOUBLE_DIR, "skip", {standalone}},
        {TALLOWMERE_PLATFORM_DOUBLE_DIR,
         "partial",
         {std::string(199, 'x') + "/" + std::string(199, 'x'), "Bo/", standalone}},
        {TALLOWMERE_PLATFORM_DOUBLE_DIR,
         "nonul",
         {std::string(199, 'A') + "/" + std::string(199, 'A'), standalone}},
        {TALLOWMERE_PLATFORM_BARE_DIR, "", {standalone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " " + c.mode);
        Load(c.folder, c.mode);
        CUserList list;
        list.Enumerate(kProductWord, std::nullopt);
        EXPECT_EQ(c.names, Names(list));
        if (std::string_view(c.mode) == "nonul") {
            EXPECT_EQ(std::string(55, 'A'), list.GetAt(0)->GetDeviceType());
            EXPECT_EQ(0x41414141u, list.GetAt(0)->GetPlatformKind());
        }
        if (std::string_view(c.mode) == "partial") {
            EXPECT_EQ("", list.GetAt(1)->GetDeviceType());
        }
        Platform::Release();
    }
}

struct FakeMenu : CUserList::MMenu {
    struct Item {
        int id;
        std::string text;
        bool checked;
    };
    void RemoveAll() override { items.clear(); }
    void AppendItem(int id, const std::string& text, bool checked) override {
        items.push_back({id, text, checked});
    }
    std::vector<Item> items = {{1, "stale", false}};
};

struct FakeCombo : CUserList::MCombo {
    void ResetContent() override { items.clear(); }
    int AddString(const std::string& text, CUserItem* user) override {
        items.emplace_back(text, user);
        return static_cast<int>(items.size()) - 1;
    }
    void SetCurSel(int index) override { selected = index; }
    std::vector<std::pair<std::string, CUserItem*>> items = {{"stale", nullptr}};
    int selected = -2;
};

TEST_F(UsersTest, FindingUsersAndBuildingTheMenu) {
    Load(TALLOWMERE_PLATFORM_DOUBLE_DIR);
    CUserList empty;
    EXPECT_EQ(nullptr, empty.FindByFolder("ann"));
    EXPECT_EQ(nullptr, empty.FindDeviceUser("ann"));

    CUserList list;
    list.Enumerate(kProductWord, std::nullopt);
    CUserItem* ann = list.GetAt(0);
    CUserItem* ben = list.GetAt(1);
    EXPECT_EQ(ben, list.FindByFolder("BEN"));
    EXPECT_EQ(ben, list.FindDeviceUser("BEN"));
    EXPECT_EQ(ben, list.FindDeviceUser("ben"));
    EXPECT_EQ(nullptr, list.FindDeviceUser("be"));
    EXPECT_EQ(nullptr, list.FindDeviceUser("_STANDALONE_"));
    EXPECT_EQ(ann, list.FindByFolder("unknown"));
    // The exact look-up has no fallback and no case folding.
    EXPECT_EQ(ben, list.FindByFolderExact(ben->GetFolderName()));
    EXPECT_EQ(nullptr, list.FindByFolderExact("unknown"));
    EXPECT_EQ(nullptr, list.FindByFolderExact("_STANDALONE_"));
    EXPECT_EQ(list.GetAt(2), list.FindByFolderExact("_Standalone_"));
    EXPECT_EQ(nullptr, empty.FindByFolderExact("ann"));

    FakeMenu menu;
    list.BuildMenu(menu, 34000, ben);
    ASSERT_EQ(3u, menu.items.size());
    EXPECT_EQ(34001, menu.items[1].id);
    EXPECT_EQ("Ben", menu.items[1].text);
    EXPECT_TRUE(menu.items[1].checked);
    EXPECT_FALSE(menu.items[0].checked);
    EXPECT_EQ(ben, list.FindById(34001));
    EXPECT_EQ(nullptr, list.FindById(34003));

    CUserItem stranger(PlatformUserRecord{});
    list.BuildMenu(menu, 34000, &stranger);
    EXPECT_TRUE(menu.items[0].checked);
    EXPECT_FALSE(menu.items[1].checked);

    FakeCombo combo;
    list.FillCombo(combo, ben);
    ASSERT_EQ(3u, combo.items.size());
    EXPECT_EQ("<Standalone>", combo.items[2].first);
    EXPECT_EQ(ben, combo.items[1].second);
    EXPECT_EQ(1, combo.selected);
    list.FillCombo(combo, &stranger);
    EXPECT_EQ(-1, combo.selected);
}

TEST_F(UsersTest, TheMenuHoldsAtMostItsIdRange) {
    Load(TALLOWMERE_PLATFORMLIB_DIR);
    CUserList list;
    for (int i = 0; i < 40; ++i)
        list.AddPhoneUser("User " + std::to_string(i), "dev" + std::to_string(i));
    FakeMenu menu;
    list.BuildMenu(menu, 34000, list.GetAt(35));
    ASSERT_EQ(static_cast<std::size_t>(kMaxMenuUsers), menu.items.size());
    EXPECT_EQ(34030, menu.items.back().id);
    EXPECT_TRUE(menu.items[0].checked);  // the current user has no item
    EXPECT_EQ(0, list.GetAt(35)->GetUserId());
    EXPECT_EQ(nullptr, list.FindById(34031));
}

}  // namespace
}  // namespace tallowmere
