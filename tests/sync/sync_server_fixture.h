#pragma once
// The sync server tests' desktop: a known device with a password and two
// files, a merge that only marks what it was given, and the words a
// handheld hears on the usual ways through a run.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_handheld.h"
#include "handheld_test_db.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "support/test_env.h"
#include "sync/device_identity.h"
#include "sync/sync_brake.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync_server_support.h"

namespace tallowmere::test {

namespace hh = handheld;

struct MergeCall {
    std::string dataFolder;
    int mode = -1;
    bool newDevice = false;
};

// Stands in for the merge: it changes the user's folder (a changed file and
// a new one) and the database, as a real merge would, then answers result.
struct FakeMerge {
    std::mutex mutex;
    std::vector<MergeCall> calls;
    int result = 0;

    hh::MergeRunner Runner() {
        return [this](const std::string& folder, const std::string& database,
                      hh::MergeRunOptions options) {
            std::lock_guard lock(mutex);
            calls.push_back({folder, options.mode, options.newDeviceUser});
            if (options.status)
                options.status("Writing updated data to desktop");
            WriteFileBytes(folder + "/Existing.wqm", "changed by the merge");
            WriteFileBytes(folder + "/Created.wqm", "made by the merge");
            WriteFileBytes(database, "merged database " + folder);
            return result;
        };
    }
};

inline std::string HandheldDatabase(const std::string& name, const std::string& serial,
                                    const std::string& crib) {
    const std::string path = MakeHandheldTestDb();
    {
        CSQLiteDBWrapper db(path);
        EXPECT_EQ(SQLITE_OK, ExecBound(db, "UPDATE SETTINGS SET value=? WHERE name=?",
                                       {name, std::string("HHDeviceName")}));
        EXPECT_EQ(SQLITE_OK, ExecBound(db, "UPDATE SETTINGS SET value=? WHERE name=?",
                                       {serial, std::string("HHDeviceUniqueSerial")}));
        EXPECT_EQ(SQLITE_OK, ExecBound(db, "UPDATE SETTINGS SET value=? WHERE name=?",
                                       {crib, std::string("PasswordCribName")}));
        db.Close();
    }
    return ReadFileBytes(path);
}

inline constexpr char kKnownSerial[] = "KNOWN-1";
inline constexpr char kKnownCrib[] = "secret crib";

inline HandheldScript KnownScript(const std::string& crib = kKnownCrib) {
    HandheldScript s;
    s.database = HandheldDatabase("Known phone", kKnownSerial, crib);
    return s;
}

class SyncServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartFreshDesktop(users_, data_));
        root_ = data_ + "/Brackwater/Tallowmere";
        backup_ = MakeTempDir("docs") + "/Backup";
        hh::SetCurrentSyncMode(0);
        // A known device with a password and some files.
        CUserItem* known = users_.AddPhoneUser("Known phone", kKnownSerial);
        SetPrefPasswordCrib(kKnownSerial, hh::CribFromText(kKnownCrib));
        knownFolder_ = known->GetDataFolder(kProductWord);
        WriteFileBytes(knownFolder_ + "/Existing.wqm", "account bytes");
        WriteFileBytes(knownFolder_ + "/CategoriesList.lst", "category bytes");
    }
    void TearDown() override {
        server_.reset();
        StopDesktop();
    }

    hh::SyncServerOptions Options() {
        hh::SyncServerOptions o;
        o.bindAddress = "127.0.0.1";
        o.discoveryPort = 0;
        o.syncPort = 0;
        o.idleTimeout = std::chrono::milliseconds(400);
        o.sessionDeadline = std::chrono::seconds(60);
        o.transfer.maxBytes = 1 << 20;
        o.busyLockTimeout = std::chrono::milliseconds(200);
        o.startPause = std::chrono::milliseconds(0);
        o.backupFolder = backup_;
        o.users = &users_;
        o.usersMutex = &usersMutex_;
        o.currentUserFolder = [] { return std::string(kKnownSerial); };
        o.events = &events_;
        o.mergeRunner = merge_.Runner();
        o.brakeClock = [this] { return hh::CSyncBrake::Clock::time_point(BrakeTime()); };
        return o;
    }
    // The password brake's clock, which moves only when told.
    std::chrono::milliseconds BrakeTime() const { return std::chrono::milliseconds(brakeMs_); }
    void AdvanceBrakeClock(std::chrono::milliseconds by) { brakeMs_ += by.count(); }
    void Start(hh::SyncServerOptions options) {
        server_ = std::make_unique<hh::CHandheldSyncServer>(std::move(options));
        ASSERT_TRUE(server_->StartListenerThread());
    }
    void Start() { Start(Options()); }

    // A whole run from the given loopback address.
    HandheldResult Sync(const HandheldScript& script, const std::string& from = "127.0.0.1") {
        ++runs_;
        HandheldResult r =
            FakeHandheld(std::chrono::seconds(10), from).Run(server_->SyncPort(), script);
        EXPECT_TRUE(r.connected);
        EXPECT_TRUE(events_.WaitFinished(runs_));
        return r;
    }

    // Nothing of the run stays beside the database path.
    void ExpectNoLeftovers() {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            EXPECT_FALSE(std::filesystem::exists(server_->DatabasePath() + suffix)) << suffix;
        EXPECT_TRUE(!std::filesystem::exists(backup_) || std::filesystem::is_empty(backup_));
    }

    static HandheldScript Known() { return KnownScript(); }

    std::string data_, root_, backup_, knownFolder_;
    CUserList users_;
    std::mutex usersMutex_;
    RecordingEvents events_;
    FakeMerge merge_;
    std::unique_ptr<hh::CHandheldSyncServer> server_;
    int runs_ = 0;
    std::atomic<std::chrono::milliseconds::rep> brakeMs_{0};
};

inline const Words kSuccessWords = {"SendiPhoneDatabase",    "OK",           "OK", "OK",
                                    "RecieveSyncedDatabase", "EndConnection"};

inline const Words kEndOnly = {"SendiPhoneDatabase", "EndConnection"};
inline const Words kEndAfterOk = {"SendiPhoneDatabase", "OK", "EndConnection"};
inline Words Failed(const char* code) {
    return {"SendiPhoneDatabase", "OK", "OK", "OK", "SyncFailed", code, "EndConnection"};
}
inline const Words kEndInTransfer = {"SendiPhoneDatabase", "OK", "OK", "EndConnection"};
inline const Words kEndAfterMerge = kSuccessWords;

}  // namespace tallowmere::test
