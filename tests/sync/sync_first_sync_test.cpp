// The first sync of a new device over loopback with the real merge: every
// way it can end early leaves the users, the registry and the folders as they
// were, and a retry gives the files and the handheld database that an
// uninterrupted first sync gives.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fake_handheld.h"
#include "merge_test_data.h"
#include "model/account_test_world.h"
#include "model/machine_id.h"
#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/clock.h"
#include "platform/registry_store.h"
#include "sync/device_identity.h"
#include "sync/pending_users.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync_server_support.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace hh = handheld;
using test::Words;

constexpr char kSerial[] = "NEW-1";
constexpr char kCrib[] = "first crib";
constexpr char kKnownSerial[] = "KNOWN-1";
constexpr char kWriting[] = "Writing updated data to desktop";

const Words kSynced = {"SendiPhoneDatabase",    "OK",           "OK", "OK",
                       "RecieveSyncedDatabase", "EndConnection"};

// How a run goes wrong.
enum class Fault {
    kNone,
    kMergeFails,     // after the merge has written the folder
    kSendBackFails,  // the merged database is gone before it goes back
    kKilled,         // the process dies while the merge writes
};

// A merge that goes wrong as told, after the real one has run.
hh::MergeRunner FaultyMerge(const std::atomic<Fault>& fault) {
    return [&fault](const std::string& folder, const std::string& database,
                    hh::MergeRunOptions options) {
        if (fault == Fault::kKilled) {
            auto status = options.status;
            options.status = [status](std::string_view text) {
                if (text == kWriting)
                    kill(getpid(), SIGKILL);
                if (status)
                    status(text);
            };
        }
        const int rc = hh::DefaultMergeRunner()(folder, database, std::move(options));
        if (rc == 0 && fault == Fault::kSendBackFails)
            fs::remove(database);
        return rc == 0 && fault == Fault::kMergeFails ? 13 : rc;
    };
}

// The new phone's database: an account, two transactions of its own and its
// serial and crib.
std::string PhoneDatabase() {
    test::MergeFixture fx;
    fx.AddTransaction(test::MergeFixture::TestId(1), "groceries", false);
    fx.AddTransaction(test::MergeFixture::TestId(2), "rent", false);
    fx.Exec("UPDATE TRANSACTIONS SET modified = 1;");
    fx.Exec(std::string("UPDATE SETTINGS SET value = '") + kSerial +
            "' WHERE name = 'HHDeviceUniqueSerial';");
    fx.Exec(std::string("UPDATE SETTINGS SET value = '") + kCrib +
            "' WHERE name = 'PasswordCribName';");
    fx.Exec("UPDATE SETTINGS SET value = 'New phone' WHERE name = 'HHDeviceName';");
    fx.db.Close();
    return test::ReadFileBytes(fx.dbPath);
}

// What a failed first sync must leave as it found it.
struct DesktopState {
    std::vector<std::string> users;
    std::string registry;
    test::Snapshot root;
};

std::vector<std::string> UserFolders(const CUserList& users) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < users.GetCount(); ++i)
        names.push_back(users.GetAt(i)->GetFolderName());
    return names;
}

class FirstSyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string data;
        ASSERT_NO_FATAL_FAILURE(test::StartFreshDesktop(users_, data));
        root_ = data + "/Brackwater/Tallowmere";
        backup_ = test::MakeTempDir("docs") + "/Backup";
        platform::SetClock(&clock_);
        hh::SetCurrentSyncMode(0);
        // Another phone's user, which no first sync may touch.
        CUserItem* known = users_.AddPhoneUser("Known phone", kKnownSerial);
        ASSERT_NE(nullptr, known);
        SetPrefPasswordCrib(kKnownSerial, hh::CribFromText("known crib"));
        test::WriteFileBytes(known->GetDataFolder(kProductWord) + "/Existing.wqm", "bytes");
        phone_.database = PhoneDatabase();
        phone_.piece = 4096;
        before_ = State();
    }
    void TearDown() override {
        server_.reset();
        platform::SetClock(nullptr);
        test::StopDesktop();
    }

    DesktopState State() const {
        return {UserFolders(users_), test::ReadFileBytes(platform::RegistryStorePath()),
                test::TakeSnapshot(root_)};
    }

    hh::SyncServerOptions Options(const std::string& backupFolder) {
        hh::SyncServerOptions o;
        o.bindAddress = "127.0.0.1";
        o.discoveryPort = 0;
        o.syncPort = 0;
        o.idleTimeout = std::chrono::seconds(5);
        o.startPause = std::chrono::milliseconds(0);
        o.backupFolder = backupFolder;
        o.users = &users_;
        o.usersMutex = &usersMutex_;
        o.currentUserFolder = [] { return std::string(kKnownSerial); };
        o.events = &events_;
        o.mergeRunner = FaultyMerge(fault_);
        return o;
    }
    void Start(const std::string& backupFolder) {
        server_ = std::make_unique<hh::CHandheldSyncServer>(Options(backupFolder));
        ASSERT_TRUE(server_->StartListenerThread());
    }
    void Start() { Start(backup_); }

    test::HandheldResult Sync(const test::HandheldScript& script) {
        // Every run makes the same ids from the same start.
        ResetRecordIdGeneratorForTest();
        test::HandheldResult r = test::FakeHandheld().Run(server_->SyncPort(), script);
        EXPECT_TRUE(r.connected);
        EXPECT_TRUE(events_.WaitFinished(++runs_));
        return r;
    }

    // An uninterrupted first sync: its files and returned database. The
    // desktop is then put back the way a failed run would leave it.
    void TakeReference() {
        Start();
        const test::HandheldResult r = Sync(phone_);
        EXPECT_EQ(kSynced, r.words);
        referenceFiles_ = test::TakeSnapshot(root_ + "/" + kSerial);
        referenceDatabase_ = r.returned;
        EXPECT_FALSE(referenceDatabase_.empty());
        EXPECT_EQ(0u, RegReadDword(RegRoot::kCurrentUser, PhoneUserKeyPath(kSerial),
                                   kFirstSyncPendingValue, 0));
        server_.reset();
        {
            std::lock_guard lock(usersMutex_);
            ASSERT_TRUE(hh::RemovePhoneUser(&users_, kSerial));
        }
        ExpectAsBefore(UserFolders(users_));
        events_.Take();
    }

    // The retry is a first sync again and ends as the reference did.
    void ExpectRetryLikeTheReference() {
        fault_ = Fault::kNone;
        Start();
        const test::HandheldResult r = Sync(phone_);
        EXPECT_EQ(kSynced, r.words);
        const Words events = events_.Take();
        const std::string modeTwo = "title:Synchronizing with New phone|2";
        EXPECT_NE(events.end(), std::find(events.begin(), events.end(), modeTwo));
        const test::Snapshot files = test::TakeSnapshot(root_ + "/" + kSerial);
        EXPECT_EQ(Names(referenceFiles_), Names(files));
        EXPECT_TRUE(referenceFiles_ == files) << "the desktop files differ";
        EXPECT_TRUE(referenceDatabase_ == r.returned) << "the returned database differs";
        EXPECT_NE(nullptr, users_.FindDeviceUser(kSerial));
    }

    // Users, registry and the files below the root as before_; the names of
    // what differs are shown, not the bytes.
    void ExpectAsBefore(std::vector<std::string> users) {
        std::vector<std::string> expected = before_.users;
        std::sort(expected.begin(), expected.end());
        std::sort(users.begin(), users.end());
        EXPECT_EQ(expected, users);
        const DesktopState now = State();
        EXPECT_TRUE(before_.registry == now.registry) << now.registry;
        EXPECT_EQ(Names(before_.root), Names(now.root));
        EXPECT_TRUE(before_.root == now.root);
    }
    static std::vector<std::string> Names(const test::Snapshot& files) {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files)
            names.push_back(name);
        return names;
    }

    std::string root_, backup_;
    CUserList users_;
    std::mutex usersMutex_;
    test::RecordingEvents events_;
    std::atomic<Fault> fault_{Fault::kNone};
    std::unique_ptr<hh::CHandheldSyncServer> server_;
    test::FixedClock clock_;
    test::HandheldScript phone_;
    DesktopState before_;
    test::Snapshot referenceFiles_;
    std::string referenceDatabase_;
    int runs_ = 0;
};

struct FailureStep {
    const char* name;
    Fault fault;
    void (*script)(test::HandheldScript&);
    bool backupFails;
    // The run got as far as making the user.
    bool userMade;
};

void PrintTo(const FailureStep& c, std::ostream* os) {
    *os << c.name;
}

class FirstSyncFailureTest : public FirstSyncTest,
                             public ::testing::WithParamInterface<FailureStep> {};

TEST_P(FirstSyncFailureTest, LeavesNoUserAndTheRetryIsAFirstSync) {
    const FailureStep& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(TakeReference());
    fault_ = c.fault;
    std::string backup = backup_;
    if (c.backupFails) {
        // A file where the backup folder's parent should be.
        backup = test::MakeTempDir("docs") + "/file";
        test::WriteFileBytes(backup, "");
        backup += "/Backup";
    }
    Start(backup);
    test::HandheldScript script = phone_;
    c.script(script);
    const test::HandheldResult r = Sync(script);
    EXPECT_EQ("", r.returned);
    const Words events = events_.Take();
    const auto made =
        std::find(events.begin(), events.end(), std::string("user:") + kSerial + "|new");
    const auto removed = std::find(events.begin(), events.end(), std::string("removed:") + kSerial);
    EXPECT_EQ(c.userMade, made != events.end());
    EXPECT_EQ(c.userMade, removed != events.end());
    if (c.userMade) {
        EXPECT_LT(made, removed);
    }
    EXPECT_EQ("finished:failed", events.back());
    ExpectAsBefore(UserFolders(users_));
    EXPECT_TRUE(!fs::exists(backup_) || fs::is_empty(backup_));
    server_.reset();
    ExpectRetryLikeTheReference();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FirstSyncFailureTest,
    ::testing::Values(
        FailureStep{"CancelBeforeTheMerge", Fault::kNone,
                    [](test::HandheldScript& s) { s.firstWord = "SyncHasToStop"; }, false, false},
        FailureStep{"DroppedLinkInTheTransfer", Fault::kNone,
                    [](test::HandheldScript& s) { s.closeAfter = 5000; }, false, false},
        FailureStep{"BackupFails", Fault::kNone, [](test::HandheldScript&) {}, true, true},
        FailureStep{"MergeFails", Fault::kMergeFails, [](test::HandheldScript&) {}, false, true},
        FailureStep{"CancelAfterTheMerge", Fault::kNone,
                    [](test::HandheldScript& s) { s.afterMerge = "SyncHasToStop"; }, false, true},
        FailureStep{"DroppedLinkAfterTheMerge", Fault::kNone,
                    [](test::HandheldScript& s) { s.afterMerge.clear(); }, false, true},
        FailureStep{"SendBackFails", Fault::kSendBackFails, [](test::HandheldScript&) {}, false,
                    true}),
    [](const ::testing::TestParamInfo<FailureStep>& info) { return info.param.name; });

TEST_F(FirstSyncTest, AProcessKilledMidMergeLeavesAUserThatStartUpRemoves) {
    ASSERT_NO_FATAL_FAILURE(TakeReference());
    // No thread of this process runs while it forks.
    int ports[2];
    ASSERT_EQ(0, pipe(ports));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ports[0]);
        fault_ = Fault::kKilled;
        hh::CHandheldSyncServer server(Options(backup_));
        const std::uint16_t port = server.StartListenerThread() ? server.SyncPort() : 0;
        if (write(ports[1], &port, sizeof port) != sizeof port)
            _exit(2);
        // The merge kills the process; this is only a bound.
        sleep(60);
        _exit(3);
    }
    close(ports[1]);
    std::uint16_t port = 0;
    ASSERT_EQ(static_cast<ssize_t>(sizeof port), read(ports[0], &port, sizeof port));
    close(ports[0]);
    ASSERT_NE(0, port);
    const test::HandheldResult r = test::FakeHandheld().Run(port, phone_);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(SIGKILL, WTERMSIG(status));
    EXPECT_EQ((Words{"SendiPhoneDatabase", "OK", "OK", "OK"}), r.words);
    // The dead process left its user behind, marked.
    EXPECT_TRUE(fs::is_directory(root_ + "/" + kSerial));
    EXPECT_EQ(1u, RegReadDword(RegRoot::kCurrentUser, PhoneUserKeyPath(kSerial),
                               kFirstSyncPendingValue, 0));

    // Start-up: the users as the program reads them, the clean-up, and the
    // sync server, which removes the received database.
    CUserList restarted;
    restarted.Enumerate(kProductWord, std::nullopt);
    ASSERT_NE(nullptr, restarted.FindDeviceUser(kSerial));
    EXPECT_EQ(std::vector<std::string>{kSerial}, hh::RemovePendingUsers(&restarted));
    const hh::CHandheldSyncServer startUp(Options(backup_));
    ExpectAsBefore(UserFolders(restarted));
    EXPECT_TRUE(hh::RemovePendingUsers(&restarted).empty());

    ExpectRetryLikeTheReference();
}

TEST_F(FirstSyncTest, AnUnfinishedUserGoesBeforeTheNextSessionLooksUpItsDevice) {
    Start();
    {
        // As a run that died would have left it, while the server runs.
        std::lock_guard lock(usersMutex_);
        CUserItem* left = users_.AddPhoneUser("New phone", kSerial, true);
        ASSERT_NE(nullptr, left);
        SetPrefPasswordCrib(kSerial, hh::CribFromText("another crib"));
        test::WriteFileBytes(left->GetDataFolder(kProductWord) + "/Checking~2.wqm", "half");
    }
    EXPECT_EQ(kSynced, Sync(phone_).words);
    const Words events = events_.Take();
    const auto removed = std::find(events.begin(), events.end(), std::string("removed:") + kSerial);
    const auto made =
        std::find(events.begin(), events.end(), std::string("user:") + kSerial + "|new");
    EXPECT_NE(events.end(), made);
    EXPECT_LT(removed, made);
    EXPECT_FALSE(fs::exists(root_ + "/" + kSerial + "/Checking~2.wqm"));
    hh::PasswordCrib crib{};
    EXPECT_TRUE(GetPrefPasswordCrib(kSerial, crib));
    EXPECT_EQ(hh::CribFromText(kCrib), crib);
    EXPECT_EQ(0u, RegReadDword(RegRoot::kCurrentUser, PhoneUserKeyPath(kSerial),
                               kFirstSyncPendingValue, 0));
}

}  // namespace
}  // namespace tallowmere
