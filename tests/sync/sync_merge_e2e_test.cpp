// A whole sync over loopback with the real merge: a simulated handheld sends
// a real handheld database, the desktop merges it into a user's folder and
// sends the merged database back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "fake_handheld.h"
#include "merge_test_data.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "sync/device_identity.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync_server_support.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace hh = handheld;

constexpr char kSerial[] = "E2E-SERIAL";
constexpr char kCrib[] = "e2e crib";

class SyncMergeEndToEndTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        std::string data;
        ASSERT_NO_FATAL_FAILURE(test::StartFreshDesktop(users_, data));
        userFolder_ = users_.AddPhoneUser("E2E phone", kSerial)->GetDataFolder(kProductWord);
        SetPrefPasswordCrib(kSerial, hh::CribFromText(kCrib));
        hh::SetCurrentSyncMode(0);
    }
    void TearDown() override {
        server_.reset();
        test::StopDesktop();
    }

    CUserList users_;
    std::string userFolder_;
    test::RecordingEvents events_;
    std::unique_ptr<hh::CHandheldSyncServer> server_;
};

TEST_P(SyncMergeEndToEndTest, TwoWaySyncOrCancelAfterTheMerge) {
    const bool cancel = GetParam();
    test::MergeFixture fx;
    fx.AddTransaction(test::MergeFixture::TestId(1), "from the phone", false);
    fx.Exec("UPDATE TRANSACTIONS SET modified = 1;");
    fx.AddTransaction(test::MergeFixture::TestId(2), "on both", true);
    auto desktopOnly = fx.MakeTransaction(test::MergeFixture::TestId(3), "desktop only");
    desktopOnly->SetAttributes(0x40);
    fx.Checking().AddTransaction(std::move(desktopOnly));
    ASSERT_EQ(0, fx.SaveDesktop());
    fx.Exec(std::string("UPDATE SETTINGS SET value = '") + kSerial +
            "' WHERE name = 'HHDeviceUniqueSerial';");
    fx.Exec(std::string("UPDATE SETTINGS SET value = '") + kCrib +
            "' WHERE name = 'PasswordCribName';");
    fx.db.Close();
    fs::copy(fx.folder, userFolder_, fs::copy_options::recursive);
    const test::Snapshot before = test::TakeSnapshot(userFolder_);

    hh::SyncServerOptions o;
    o.bindAddress = "127.0.0.1";
    o.discoveryPort = 0;
    o.syncPort = 0;
    o.idleTimeout = std::chrono::seconds(5);
    o.startPause = std::chrono::milliseconds(0);
    o.backupFolder = test::MakeTempDir("docs") + "/Backup";
    o.users = &users_;
    o.events = &events_;
    server_ = std::make_unique<hh::CHandheldSyncServer>(o);
    ASSERT_TRUE(server_->StartListenerThread());

    test::HandheldScript script;
    script.database = test::ReadFileBytes(fx.dbPath);
    script.piece = 4096;
    if (cancel)
        script.afterMerge = "SyncHasToStop";
    const test::HandheldResult r = test::FakeHandheld().Run(server_->SyncPort(), script);
    ASSERT_TRUE(events_.WaitFinished(1));
    const test::Words events = events_.Take();
    EXPECT_EQ((test::Words{"SendiPhoneDatabase", "OK", "OK", "OK", "RecieveSyncedDatabase",
                           "EndConnection"}),
              r.words);
    EXPECT_NE(events.end(),
              std::find(events.begin(), events.end(), "status:Writing updated data to desktop"));
    EXPECT_FALSE(fs::exists(server_->DatabasePath()));
    EXPECT_TRUE(!fs::exists(o.backupFolder) || fs::is_empty(o.backupFolder));

    if (cancel) {
        EXPECT_EQ("", r.returned);
        EXPECT_EQ(before, test::TakeSnapshot(userFolder_));
        return;
    }
    // The desktop took the phone's transaction.
    test::MergeFixture reloaded;
    reloaded.folder = userFolder_;
    auto data = reloaded.Reload();
    ASSERT_TRUE(data);
    CAccount* checking = data->FindAccountById(test::MergeFixture::CheckingId());
    ASSERT_NE(nullptr, checking);
    const CTransaction* fromPhone = checking->FindTransactionById(test::MergeFixture::TestId(1));
    ASSERT_NE(nullptr, fromPhone);
    EXPECT_EQ("from the phone", fromPhone->GetMemo());

    // The returned database, opened fresh, holds the desktop's transaction
    // and no row is left marked.
    const std::string returned = test::MakeTempDir("returned") + "/returned.wqdb";
    test::WriteFileBytes(returned, r.returned);
    CSQLiteDBWrapper db(returned);
    EXPECT_EQ("1", test::QueryText(db,
                                   "SELECT count(*) FROM TRANSACTIONS WHERE memo = "
                                   "'desktop only';"));
    EXPECT_EQ("0", test::QueryText(db, "SELECT count(*) FROM TRANSACTIONS WHERE modified <> 0;"));
    EXPECT_EQ("ok", test::QueryText(db, "PRAGMA quick_check;"));
}

INSTANTIATE_TEST_SUITE_P(Runs, SyncMergeEndToEndTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Cancel") : std::string("TwoWay");
                         });

}  // namespace
}  // namespace tallowmere
