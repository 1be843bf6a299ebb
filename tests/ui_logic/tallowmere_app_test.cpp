#include "ui/logic/tallowmere_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app_desktop.h"
#include "model/registry.h"
#include "platform/atomic_file.h"
#include "platform/named_mutex.h"
#include "sync/sync_server.h"
#include "ui/logic/password_change.h"

namespace tallowmere::ui {
namespace {

namespace fs = std::filesystem;
using test::KeyOf;
using test::ReadCustomerIds;
using test::RecordedMessages;
using test::WriteAccounts;

class AppTest : public test::AppDesktop {
  protected:
    void SetUp() override {
        AppDesktop::SetUp();
        annFolder_ = AddUserFolder("SER1", "Ann");
        benFolder_ = AddUserFolder("SER2", "Ben");
        app_.GetUsers().Enumerate(kProductWord, std::nullopt);
        ann_ = app_.GetUsers().FindByFolder("SER1");
        ben_ = app_.GetUsers().FindByFolder("SER2");
        ASSERT_EQ("Ann", ann_->GetName());
        ASSERT_EQ("Ben", ben_->GetName());
        app_.SetCurrentUser(ann_);
    }
    void TearDown() override {
        platform::SetWriteFault(nullptr);
        AppDesktop::TearDown();
    }

    PasswordCrib StoredCrib(const CUserItem& user) {
        PasswordCrib crib{};
        GetPrefPasswordCrib(user.GetFolderName(), crib);
        return crib;
    }
    std::vector<std::string> FolderNames(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTallowmereApp app_;
    std::string annFolder_, benFolder_;
    CUserItem* ann_ = nullptr;
    CUserItem* ben_ = nullptr;
};

TEST_F(AppTest, VerifyPasswordComparesTheWholeStoredCrib) {
    const PasswordCrib ab = CTallowmereApp::HashPassword("ab");
    const std::string key = GetUserPrefsKeyPath("SER1");
    struct Case {
        const char* stored;  // what "Password Crib" holds
        bool empty, right, wrong;
    };
    const Case cases[] = {
        {"no value", true, false, false},
        {"40 zeros", true, false, false},
        {"39 bytes of the crib", true, false, false},
        {"the crib of ab", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        CRegistry reg(RegRoot::kCurrentUser, key);
        ASSERT_TRUE(reg.Create());
        reg.DeleteValue("Password Crib");
        const std::string stored = c.stored;
        if (stored == "40 zeros")
            SetPrefPasswordCrib("SER1", PasswordCrib{});
        if (stored == "39 bytes of the crib")
            RegWriteBinary(RegRoot::kCurrentUser, key, "Password Crib",
                           std::span<const std::uint8_t>(ab.data(), 39));
        if (stored == "the crib of ab")
            SetPrefPasswordCrib("SER1", ab);
        EXPECT_EQ(c.empty, app_.VerifyPassword(*ann_, ""));
        EXPECT_EQ(c.right, app_.VerifyPassword(*ann_, "ab"));
        EXPECT_EQ(c.wrong, app_.VerifyPassword(*ann_, "ba"));
        EXPECT_EQ(c.wrong, app_.VerifyPassword(*ann_, "AB"));
    }
}

TEST_F(AppTest, SetUserPasswordStoresTheCribAndKeysTheCipher) {
    app_.SetUserPassword(*ann_, "ab");
    EXPECT_EQ(CTallowmereApp::HashPassword("ab"), StoredCrib(*ann_));
    EXPECT_TRUE(app_.HasCipherKey());
    // Files saved with the program's cipher read back with the password's key.
    WriteAccounts(annFolder_, app_.GetHeaderCipher());
    EXPECT_EQ("customer Checking", ReadCustomerIds(annFolder_, KeyOf("ab")).at("Checking"));
    EXPECT_NE("customer Checking",
              ReadCustomerIds(annFolder_, HeaderCipher::None()).at("Checking"));

    app_.SetUserPassword(*ann_, "");
    EXPECT_TRUE(IsEmptyCrib(StoredCrib(*ann_)));
    EXPECT_FALSE(app_.HasCipherKey());
}

// The crib goes only when the folder is known to hold no account file.
TEST_F(AppTest, ResetOnlyForAFolderListedWithoutAccountFiles) {
    struct Case {
        const char* name;
        std::function<void(const std::string& folder)> make;
        bool reset;
    };
    const Case cases[] = {
        {"empty folder", [](const std::string&) {}, true},
        {"only other files",
         [](const std::string& f) {
             test::WriteFileBytes(f + "/CategoriesList.lst", "x");
             test::WriteFileBytes(f + "/Checking.wqm.new", "x");
             fs::create_directories(f + "/Folder.wqm");
         },
         true},
        {"an account file", [](const std::string& f) { WriteAccounts(f, HeaderCipher::None()); },
         false},
        {"only a placeholder",
         [](const std::string& f) {
             test::WriteFileBytes(f + "/" + MakePlaceholderFileName(1), "x");
         },
         false},
        {"upper-case extension",
         [](const std::string& f) { test::WriteFileBytes(f + "/OLD.WQM", "x"); }, false},
        {"missing folder", [](const std::string& f) { fs::remove_all(f); }, false},
        {"a file in place of the folder",
         [](const std::string& f) {
             fs::remove_all(f);
             test::WriteFileBytes(f, "not a folder");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(annFolder_);
        fs::create_directories(annFolder_);
        c.make(annFolder_);
        app_.SetUserPassword(*ann_, "ab");
        EXPECT_EQ(!c.reset, app_.UserHasPassword(*ann_));
        EXPECT_EQ(c.reset, IsEmptyCrib(StoredCrib(*ann_)));
        EXPECT_EQ(!c.reset, app_.HasCipherKey());
        fs::remove_all(annFolder_);
    }
}

TEST_F(AppTest, AnUnreadableFolderKeepsThePassword) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    app_.SetUserPassword(*ann_, "ab");
    ASSERT_EQ(0, chmod(annFolder_.c_str(), 0));
    EXPECT_TRUE(app_.UserHasPassword(*ann_));
    chmod(annFolder_.c_str(), 0700);
    EXPECT_EQ(CTallowmereApp::HashPassword("ab"), StoredCrib(*ann_));
}

TEST_F(AppTest, UserHasPasswordResetsTheCurrentUserNotTheOneAsked) {
    // Ann (current) has files, Ben none: asking for Ann resets nothing.
    WriteAccounts(annFolder_, HeaderCipher::None());
    SetPrefPasswordCrib("SER2", CTallowmereApp::HashPassword("cd"));
    app_.SetUserPassword(*ann_, "ab");
    EXPECT_TRUE(app_.UserHasPassword(*ben_));
    EXPECT_TRUE(app_.UserHasPassword(*ann_));
    // With Ben current, his empty folder loses his crib.
    app_.SetCurrentUser(ben_);
    EXPECT_TRUE(app_.UserHasPassword(*ann_));
    EXPECT_FALSE(app_.UserHasPassword(*ben_));
}

TEST_F(AppTest, ChangePasswordRewritesEveryAccountFileWithTheNewKey) {
    app_.SetUserPassword(*ann_, "old password");
    WriteAccounts(annFolder_, app_.GetHeaderCipher());
    const auto ids = ReadCustomerIds(annFolder_, KeyOf("old password"));
    ASSERT_EQ(5u, ids.size());
    const auto names = FolderNames(annFolder_);

    std::unique_ptr<CAccounts> data;
    AccountsLoadOptions options;
    options.cipher = app_.GetHeaderCipher();
    ASSERT_EQ(0, CAccounts::LoadInto(data, annFolder_, options));

    RecordedMessages messages;
    ASSERT_EQ(0, app_.ChangePassword(*ann_, "new one", data.get(), messages));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ids, ReadCustomerIds(annFolder_, KeyOf("new one")));
    EXPECT_EQ(CTallowmereApp::HashPassword("new one"), StoredCrib(*ann_));
    EXPECT_TRUE(app_.VerifyPassword(*ann_, "new one"));
    EXPECT_EQ(names, FolderNames(annFolder_)) << "no .new file and no marker stay";

    // The loaded data set saves with the new key from now on.
    data->GetAccountAt(0)->Header().SetCustomerId("edited");
    ASSERT_EQ(0, data->GetAccountAt(0)->Save());
    EXPECT_EQ("edited",
              ReadCustomerIds(annFolder_, KeyOf("new one")).at(data->GetAccountAt(0)->GetName()));

    // Removing the password stores the credentials plain.
    auto expected = ids;
    expected[data->GetAccountAt(0)->GetName()] = "edited";
    ASSERT_EQ(0, app_.ChangePassword(*ann_, "", data.get(), messages));
    EXPECT_EQ(expected, ReadCustomerIds(annFolder_, HeaderCipher::None()));
    EXPECT_FALSE(app_.HasCipherKey());
    EXPECT_TRUE(IsEmptyCrib(StoredCrib(*ann_)));
}

TEST_F(AppTest, AFailedRewriteChangesNothing) {
    app_.SetUserPassword(*ann_, "old password");
    WriteAccounts(annFolder_, app_.GetHeaderCipher());
    std::map<std::string, std::string> before;
    for (const auto& name : FolderNames(annFolder_))
        before[name] = test::ReadFileBytes(annFolder_ + "/" + name);

    // The third account file's new copy cannot be written: the disk is full.
    int writes = 0;
    platform::SetWriteFault([&](std::size_t written, int& err) {
        if (written == 0 && ++writes == 3) {
            err = ENOSPC;
            return false;
        }
        return true;
    });
    RecordedMessages messages;
    const int result = app_.ChangePassword(*ann_, "new one", nullptr, messages);
    platform::SetWriteFault(nullptr);
    EXPECT_NE(0, result);
    ASSERT_EQ(1u, messages.shown.size());
    EXPECT_EQ("Error saving file - insufficient disk space.", messages.shown[0].text);

    std::map<std::string, std::string> after;
    for (const auto& name : FolderNames(annFolder_))
        after[name] = test::ReadFileBytes(annFolder_ + "/" + name);
    EXPECT_EQ(before, after) << "files, names and bytes, as they were";
    EXPECT_EQ(CTallowmereApp::HashPassword("old password"), StoredCrib(*ann_));
    EXPECT_TRUE(app_.VerifyPassword(*ann_, "old password"));
    // The cipher still reads the files.
    EXPECT_EQ("customer Checking",
              ReadCustomerIds(annFolder_, app_.GetHeaderCipher()).at("Checking"));
}

TEST_F(AppTest, ChangePasswordIsForTheCurrentUserOnly) {
    RecordedMessages messages;
    EXPECT_NE(0, app_.ChangePassword(*ben_, "cd", nullptr, messages));
    EXPECT_EQ(1u, messages.shown.size());
    EXPECT_TRUE(IsEmptyCrib(StoredCrib(*ben_)));
}

// A change cut short at any step leaves, after the next start, every file
// readable with the key of the password that the stored crib checks.
TEST_F(AppTest, AChangeCutShortIsFinishedOrUndoneAtStartUp) {
    enum class CutAfter { kNewFiles, kMarker, kCrib, kOneRename };
    struct Case {
        const char* name;
        CutAfter cut;
        const char* passwordAfter;
    };
    const Case cases[] = {
        {"after the new files", CutAfter::kNewFiles, "old password"},
        {"after the marker", CutAfter::kMarker, "old password"},
        {"after the crib", CutAfter::kCrib, "new one"},
        {"after one rename", CutAfter::kOneRename, "new one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(annFolder_);
        fs::create_directories(annFolder_);
        app_.SetUserPassword(*ann_, "old password");
        WriteAccounts(annFolder_, app_.GetHeaderCipher());
        const auto ids = ReadCustomerIds(annFolder_, KeyOf("old password"));
        const auto names = FolderNames(annFolder_);

        const std::vector<std::string> files = *ListAccountFiles(annFolder_);
        const PasswordCrib crib = CTallowmereApp::HashPassword("new one");
        ASSERT_EQ(0, WriteReKeyedFiles(files, KeyOf("old password"), KeyOf("new one")));
        if (c.cut != CutAfter::kNewFiles) {
            ASSERT_EQ(0, WritePendingMarker(annFolder_, crib));
        }
        if (c.cut == CutAfter::kCrib || c.cut == CutAfter::kOneRename)
            SetPrefPasswordCrib("SER1", crib);
        if (c.cut == CutAfter::kOneRename) {
            ASSERT_EQ(0, CommitReKeyedFiles({files.front()}));
        }

        app_.FinishPendingPasswordChange(*ann_);
        EXPECT_TRUE(app_.VerifyPassword(*ann_, c.passwordAfter));
        EXPECT_EQ(ids, ReadCustomerIds(annFolder_, KeyOf(c.passwordAfter)));
        EXPECT_EQ(names, FolderNames(annFolder_)) << "no .new file and no marker stay";
    }
}

TEST_F(AppTest, AMarkerThatIsNotACribIsUndone) {
    WriteAccounts(annFolder_, HeaderCipher::None());
    const auto names = FolderNames(annFolder_);
    test::WriteFileBytes(annFolder_ + "/" + kPasswordPendingFile, std::string(39, '\0'));
    test::WriteFileBytes(annFolder_ + "/Checking.wqm.new", "half written");
    app_.FinishPendingPasswordChange(*ann_);
    EXPECT_EQ(names, FolderNames(annFolder_));
    EXPECT_NE("half written", test::ReadFileBytes(annFolder_ + "/Checking.wqm"));
}

// Shut-down stops the sync threads, waits for a session's writes, then
// releases the platform libraries.
TEST_F(AppTest, ExitStopsTheSyncThreadsAndWaitsForTheDatabase) {
    handheld::SyncServerOptions options;
    options.bindAddress = "127.0.0.1";
    options.discoveryPort = 0;
    options.syncPort = 0;
    options.databaseFolder = test::MakeTempDir("db");
    options.backupFolder = test::MakeTempDir("backup");
    options.users = &app_.GetUsers();
    options.usersMutex = &app_.UsersMutex();
    options.currentUserFolder = [this] { return app_.CurrentUserFolder(); };
    handheld::CHandheldSyncServer server(options);
    ASSERT_TRUE(server.StartListenerThread());
    ASSERT_TRUE(server.StartDiscoveryThread());
    app_.SetSyncServer(&server);

    // A session that is writing the user's files.
    std::atomic<bool> holding{false};
    std::atomic<bool> released{false};
    std::thread session([&] {
        platform::NamedMutex database(kDatabaseMutexName);
        ASSERT_TRUE(database.Lock(std::chrono::seconds(5)));
        holding = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        released = true;
        database.Unlock();
    });
    while (!holding)
        std::this_thread::yield();

    EXPECT_EQ(7, app_.ExitInstance(7));
    EXPECT_TRUE(released) << "the program ended while a session wrote";
    EXPECT_EQ(0, server.SyncPort());
    EXPECT_EQ(0, server.DiscoveryPort());
    EXPECT_EQ(-1, Platform::GetPlatform()) << "the platform library was released";
    session.join();
}

}  // namespace
}  // namespace tallowmere::ui
