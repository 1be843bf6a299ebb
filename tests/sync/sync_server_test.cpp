#include "sync/sync_server.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake_handheld.h"
#include "handheld_test_db.h"
#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/named_mutex.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "sync/device_identity.h"
#include "sync/sync_mode.h"
#include "sync_server_fixture.h"
#include "sync_server_support.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace hh = handheld;
using test::Failed;
using test::FakeHandheld;
using test::HandheldDatabase;
using test::HandheldResult;
using test::HandheldScript;
using test::kEndAfterMerge;
using test::kEndAfterOk;
using test::kEndInTransfer;
using test::kEndOnly;
using test::kKnownCrib;
using test::kKnownSerial;
using test::KnownScript;
using test::kSuccessWords;
using test::RecordingEvents;
using test::Snapshot;
using test::SyncServerTest;
using test::TakeSnapshot;
using Words = std::vector<std::string>;

TEST_F(SyncServerTest, KnownDeviceSyncsInTheCurrentModeWhichThenReturnsToTheDefault) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        SetPrefSyncDirec(0);
        Start();
        hh::SetCurrentSyncMode(mode);
        const HandheldResult r = Sync(Known());
        EXPECT_EQ(kSuccessWords, r.words);
        EXPECT_TRUE(r.endOfStream);
        EXPECT_EQ("merged database " + knownFolder_, r.returned);
        EXPECT_EQ(
            (Words{"started", "status:Starting Sync...", "status:Receiving data from handheld...",
                   "title:Synchronizing with Known phone|" + std::to_string(mode),
                   "user:KNOWN-1|known", "status:Comparing handheld data with desktop data...",
                   "status:Writing updated data to desktop",
                   "status:Sending updated data to handheld", "reload", "status:Finishing ...",
                   "finished"}),
            events_.Take());
        ASSERT_EQ(1u, merge_.calls.size());
        EXPECT_EQ(mode, merge_.calls[0].mode);
        EXPECT_FALSE(merge_.calls[0].newDevice);
        EXPECT_EQ(knownFolder_, merge_.calls[0].dataFolder);
        // The merged files stay; a one-off mode lasts one sync.
        EXPECT_EQ("made by the merge", test::ReadFileBytes(knownFolder_ + "/Created.wqm"));
        EXPECT_EQ(0, hh::GetCurrentSyncMode());
        ExpectNoLeftovers();
        merge_.calls.clear();
        server_.reset();
    }
}

TEST_F(SyncServerTest, NewDeviceGetsAUserItsCribAndModeTwoForThisRunOnly) {
    Start();
    hh::SetCurrentSyncMode(1);
    HandheldScript s;
    s.database = HandheldDatabase("New phone", "NEW-SERIAL", "new crib");
    s.piece = 1000;  // the database in many pieces
    const HandheldResult r = Sync(s);
    EXPECT_EQ(kSuccessWords, r.words);
    const Words events = events_.Take();
    EXPECT_EQ("title:Synchronizing with New phone|2", events.at(3));
    EXPECT_EQ("user:NEW-SERIAL|new", events.at(4));
    EXPECT_EQ(events.end(), std::find(events.begin(), events.end(), "reload"));
    ASSERT_EQ(1u, merge_.calls.size());
    EXPECT_EQ(2, merge_.calls[0].mode);
    EXPECT_TRUE(merge_.calls[0].newDevice);

    CUserItem* user = users_.FindDeviceUser("NEW-SERIAL");
    ASSERT_NE(nullptr, user);
    EXPECT_EQ("New phone", user->GetName());
    EXPECT_EQ(root_ + "/NEW-SERIAL", user->GetDataFolder(kProductWord));
    hh::PasswordCrib crib{};
    EXPECT_TRUE(GetPrefPasswordCrib("NEW-SERIAL", crib));
    EXPECT_EQ(hh::CribFromText("new crib"), crib);
    ExpectNoLeftovers();

    // The next sync of the same device is a known one in the default mode.
    SetPrefSyncDirec(1);
    hh::LoadDefaultSyncMode();
    Sync(s);
    ASSERT_EQ(2u, merge_.calls.size());
    EXPECT_EQ(1, merge_.calls[1].mode);
    EXPECT_FALSE(merge_.calls[1].newDevice);
}

TEST_F(SyncServerTest, ACribOfBytesThatAreNotUtf8IsStoredAndComparedAsItCame) {
    std::string crib;
    for (int b = 0x80; b < 0x80 + 40; ++b)
        crib += static_cast<char>(b);
    Start();
    HandheldScript s;
    s.database = HandheldDatabase("Raw phone", "RAW-CRIB", crib);
    EXPECT_EQ(kSuccessWords, Sync(s).words);
    hh::PasswordCrib stored{};
    EXPECT_TRUE(GetPrefPasswordCrib("RAW-CRIB", stored));
    EXPECT_EQ(hh::CribFromText(crib), stored);
    EXPECT_EQ(kSuccessWords, Sync(s).words);

    // A crib the desktop made holds such bytes too.
    SetPrefPasswordCrib(kKnownSerial, hh::CribFromText(crib.substr(3)));
    EXPECT_EQ(kSuccessWords, Sync(KnownScript(crib.substr(3))).words);
    EXPECT_EQ(Failed("00000001"), Sync(KnownScript(crib.substr(4))).words);
}

TEST_F(SyncServerTest, ADeviceThatComputesTheCribAsTheDesktopDoesSyncs) {
    // The desktop's crib of the password, as setting it in the program stores it.
    SetPrefPasswordCrib(kKnownSerial, ComputePasswordCrib("ab"));
    Start();
    EXPECT_EQ(kSuccessWords, Sync(KnownScript(test::DeviceCrib("ab"))).words);
    EXPECT_EQ(Failed("00000001"), Sync(KnownScript(test::DeviceCrib("ba"))).words);
}

TEST_F(SyncServerTest, ASerialThatDiffersOnlyInCaseIsTheKnownUser) {
    Start();
    struct Case {
        const char* serial;
        const char* crib;
        Words words;
    };
    const Case cases[] = {
        {"known-1", "attacker crib", Failed("00000001")},
        {"Known-1", "attacker crib", Failed("00000001")},
        {"kNOWN-1", "", Failed("00000001")},
        {"KNOWN:1", "attacker crib", Failed("00000007")},
        {"KNOWN-1 ", "attacker crib", Failed("00000007")},
        // A key or a folder without a user in the list is taken too.
        {"ghost", "attacker crib", Failed("00000007")},
        {"STRAY", "attacker crib", Failed("00000007")},
    };
    ASSERT_EQ(0, platform::RegStoreCreateKey(std::string(kProductKeyPath) + "\\IPhone - Ghost"));
    fs::create_directories(root_ + "/Stray");
    const Snapshot files = TakeSnapshot(root_);
    const std::string registry = test::ReadFileBytes(platform::RegistryStorePath());
    const std::size_t users = users_.GetCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        // Each try after the wait a wrong password sets.
        AdvanceBrakeClock(std::chrono::minutes(1));
        HandheldScript s;
        s.database = HandheldDatabase("Attacker", c.serial, c.crib);
        EXPECT_EQ(c.words, Sync(s).words);
        EXPECT_TRUE(merge_.calls.empty());
        EXPECT_EQ(files, TakeSnapshot(root_));
        EXPECT_EQ(registry, test::ReadFileBytes(platform::RegistryStorePath()));
        EXPECT_EQ(users, users_.GetCount());
        EXPECT_EQ("Known phone", users_.FindDeviceUser(kKnownSerial)->GetName());
    }
    // With the known user's password it is that user's device.
    AdvanceBrakeClock(std::chrono::minutes(1));
    HandheldScript s;
    s.database = HandheldDatabase("Known phone", "known-1", kKnownCrib);
    EXPECT_EQ(kSuccessWords, Sync(s).words);
    ASSERT_EQ(1u, merge_.calls.size());
    EXPECT_EQ(knownFolder_, merge_.calls[0].dataFolder);
    EXPECT_FALSE(merge_.calls[0].newDevice);
    EXPECT_EQ(users, users_.GetCount());
    EXPECT_EQ(kSuccessWords, Sync(Known()).words);
}

TEST_F(SyncServerTest, AKnownDeviceWithANewNameRenamesItsUser) {
    Start();
    HandheldScript s = Known();
    s.database = HandheldDatabase("Renamed phone", kKnownSerial, kKnownCrib);
    Sync(s);
    EXPECT_EQ("Renamed phone", users_.FindDeviceUser(kKnownSerial)->GetName());
}

// The desktop edits its current user's files only: a busy desktop refuses
// that user's sync and no other.
TEST_F(SyncServerTest, ABusyDesktopRefusesOnlyTheCurrentUsersSync) {
    HandheldScript newDevice;
    newDevice.database = HandheldDatabase("Another phone", "ANOTHER", "");
    const struct {
        const char* name;
        const char* current;
        HandheldScript script;
        Words words;
    } cases[] = {
        {"the current user", kKnownSerial, Known(), Failed("00000005")},
        {"a known user who is not the current one", "SOMEONE-ELSE", Known(), kSuccessWords},
        {"a new device", kKnownSerial, newDevice, kSuccessWords},
    };
    platform::NamedMutex busy(hh::kDesktopBusyMutexName);
    std::promise<void> held, done;
    std::thread editor([&] {
        platform::NamedMutexLock lock(busy, std::chrono::seconds(5));
        held.set_value();
        done.get_future().wait();
    });
    held.get_future().wait();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hh::SyncServerOptions o = Options();
        o.currentUserFolder = [&c] { return std::string(c.current); };
        Start(o);
        const Snapshot before = TakeSnapshot(root_);
        merge_.calls.clear();
        EXPECT_EQ(c.words, Sync(c.script).words);
        if (c.words == kSuccessWords) {
            EXPECT_EQ(1u, merge_.calls.size());
        } else {
            EXPECT_TRUE(merge_.calls.empty());
            EXPECT_EQ(before, TakeSnapshot(root_));
        }
        server_.reset();
    }
    done.set_value();
    editor.join();
    EXPECT_NE(nullptr, users_.FindDeviceUser("ANOTHER"));
}

TEST_F(SyncServerTest, NoMorePhoneUsersThanTheUsersMenuHolds) {
    while (users_.GetCount() < static_cast<std::size_t>(kMaxMenuUsers))
        users_.AddPhoneUser("Filler", "FILL-" + std::to_string(users_.GetCount()));
    Start();
    HandheldScript s;
    s.database = HandheldDatabase("One too many", "TOO-MANY", "");
    EXPECT_EQ(Failed("00000007"), Sync(s).words);
    EXPECT_EQ(static_cast<std::size_t>(kMaxMenuUsers), users_.GetCount());
    EXPECT_FALSE(fs::exists(root_ + "/TOO-MANY"));
    // Known devices still sync.
    EXPECT_EQ(kSuccessWords, Sync(Known()).words);
}

TEST_F(SyncServerTest, ASecondHandheldIsServedAfterTheFirst) {
    Start();
    HandheldScript a, b;
    a.database = HandheldDatabase("Phone A", "SERIAL-A", "");
    a.piece = 512;
    b.database = HandheldDatabase("Phone B", "SERIAL-B", "");
    HandheldResult ra, rb;
    // From two addresses: one address has one connection at a time.
    std::thread first([&] {
        ra = FakeHandheld(std::chrono::seconds(10), "127.0.0.2").Run(server_->SyncPort(), a);
    });
    std::thread second([&] {
        rb = FakeHandheld(std::chrono::seconds(10), "127.0.0.3").Run(server_->SyncPort(), b);
    });
    first.join();
    second.join();
    runs_ += 2;
    EXPECT_TRUE(events_.WaitFinished(runs_));
    EXPECT_EQ(kSuccessWords, ra.words);
    EXPECT_EQ(kSuccessWords, rb.words);
    EXPECT_EQ("merged database " + root_ + "/SERIAL-A", ra.returned);
    EXPECT_EQ("merged database " + root_ + "/SERIAL-B", rb.returned);
}

TEST_F(SyncServerTest, StaleFilesBesideTheDatabaseAreRemovedAndLinksNotFollowed) {
    Start();
    const std::string path = server_->DatabasePath();
    const std::string outside = test::MakeTempDir("outside") + "/victim";
    test::WriteFileBytes(outside, "not yours");
    fs::create_directories(fs::path(path).parent_path());
    fs::create_symlink(outside, path);
    test::WriteFileBytes(path + "-journal", "stale journal");
    test::WriteFileBytes(path + "-wal", "stale wal");
    EXPECT_EQ(kSuccessWords, Sync(Known()).words);
    EXPECT_EQ("not yours", test::ReadFileBytes(outside));
    ExpectNoLeftovers();
}

TEST_F(SyncServerTest, AWalModeDatabaseIsRead) {
    Start();
    HandheldScript s = Known();
    const std::string path = test::MakeTempDir("wal") + "/wal.db";
    test::WriteFileBytes(path, s.database);
    {
        CSQLiteDBWrapper db(path);
        ASSERT_EQ("wal", test::QueryText(db, "PRAGMA journal_mode=WAL;"));
        db.Close();
    }
    s.database = test::ReadFileBytes(path);
    EXPECT_EQ(kSuccessWords, Sync(s).words);
}

TEST_F(SyncServerTest, ShutDownWaitsForTheRunningSession) {
    hh::SyncServerOptions o = Options();
    o.idleTimeout = std::chrono::seconds(1);
    Start(o);
    HandheldScript s = Known();
    s.stallBeforeSize = true;
    HandheldResult r;
    std::thread peer([&] { r = FakeHandheld().Run(server_->SyncPort(), s); });
    ASSERT_TRUE(events_.WaitFor("status:Receiving data from handheld..."));
    server_->DeleteThreads();
    // The session ended its own way before the threads were gone.
    EXPECT_EQ("finished:failed", events_.Take().back());
    peer.join();
    EXPECT_EQ(kEndAfterOk, r.words);
    ExpectNoLeftovers();
    EXPECT_EQ(0, server_->SyncPort());
}

TEST_F(SyncServerTest, WithoutAPlatformRootThereIsNoSyncServer) {
    Platform::Release();
    Platform::SetLibraryFolder("/nonexistent");
    hh::SyncServerOptions o = Options();
    hh::CHandheldSyncServer server(o);
    EXPECT_EQ("", server.DatabasePath());
    EXPECT_FALSE(server.StartListenerThread());
    EXPECT_EQ(0, server.SyncPort());
}

TEST_F(SyncServerTest, DiscoveryAnswersRequestsWithAPortAndIgnoresTheRest) {
    hh::SyncServerOptions o = Options();
    o.hostName = [] { return std::string("desk-host"); };
    server_ = std::make_unique<hh::CHandheldSyncServer>(o);
    ASSERT_TRUE(server_->StartDiscoveryThread());
    platform::Socket peer = platform::OpenUdpSocket("127.0.0.1", 0);
    ASSERT_TRUE(peer.Valid());
    const std::string port = std::to_string(platform::LocalPort(peer));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(server_->DiscoveryPort());
    ASSERT_TRUE(platform::ParseIpv4("127.0.0.1", to.sin_addr));
    const auto send = [&](const std::string& text) {
        ASSERT_TRUE(platform::SendDatagram(peer.Fd(), text.data(), text.size(), to));
    };
    const auto receive = [&](std::chrono::milliseconds wait) {
        char reply[200];
        sockaddr_in from{};
        const long n = platform::ReceiveDatagram(peer.Fd(), reply, sizeof reply, from, wait);
        return n < 0 ? std::string("<none>") : std::string(reply, static_cast<std::size_t>(n));
    };
    std::string expected(100, '\0');
    expected.replace(0, 9, "desk-host");

    send("AndroidSyncRequest|" + port);
    EXPECT_EQ(expected, receive(std::chrono::seconds(5)));
    send("xxAndroidSyncRequestyy|" + port);
    EXPECT_EQ(expected, receive(std::chrono::seconds(5)));
    // A request without a terminator fills the whole buffer.
    send(("AndroidSyncRequest|" + port + std::string(100, '9')).substr(0, 100));
    EXPECT_EQ("<none>", receive(std::chrono::milliseconds(300)));
    for (const std::string& ignored :
         {std::string("AndroidSyncRequest"), std::string("AndroidSyncRequest|0"),
          std::string("AndroidSyncRequest|-5"), std::string("AndroidSyncRequest|70000"),
          "Other|" + port, std::string("AndroidSync\0Request|") + port})
        send(ignored);
    EXPECT_EQ("<none>", receive(std::chrono::milliseconds(300)));
}

// Runs that end before or after the merge with the desktop as it was.
struct FailureCase {
    const char* name;
    std::function<void(HandheldScript&)> script;
    Words words;
    bool merged;
    int mergeResult = 0;
    // The desktop closes the connection (not the peer).
    bool desktopCloses = true;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class SyncFailureTest : public SyncServerTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SyncFailureTest, LeavesTheDesktopExactlyAsItWas) {
    const FailureCase& c = GetParam();
    merge_.result = c.mergeResult;
    Start();
    hh::SetCurrentSyncMode(1);
    const Snapshot before = TakeSnapshot(root_);
    const std::string registryBefore = test::ReadFileBytes(platform::RegistryStorePath());
    const std::size_t usersBefore = users_.GetCount();
    HandheldScript s = Known();
    c.script(s);
    const HandheldResult r = Sync(s);
    EXPECT_EQ(registryBefore, test::ReadFileBytes(platform::RegistryStorePath()));
    EXPECT_EQ(c.words, r.words);
    EXPECT_EQ(c.desktopCloses, r.endOfStream);
    EXPECT_EQ("", r.returned);
    EXPECT_EQ(c.merged ? 1u : 0u, merge_.calls.size());
    EXPECT_EQ(before, TakeSnapshot(root_));
    EXPECT_EQ(usersBefore, users_.GetCount());
    const Words events = events_.Take();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ("started", events.front());
    EXPECT_EQ("status:Finishing ...", events[events.size() - 2]);
    EXPECT_EQ("finished:failed", events.back());
    ExpectNoLeftovers();
    // A failed run keeps the chosen mode and leaves no mode of its own.
    EXPECT_EQ(1, hh::GetCurrentSyncMode());

    // The listener keeps serving (once a wrong password's wait is over).
    merge_.result = 0;
    AdvanceBrakeClock(std::chrono::seconds(1));
    EXPECT_EQ(kSuccessWords, Sync(Known()).words);
}

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, SyncFailureTest,
    ::testing::Values(
        FailureCase{"StopAtOnce", [](HandheldScript& s) { s.firstWord = "SyncHasToStop"; },
                    kEndOnly, false},
        FailureCase{"UnknownFirstWord", [](HandheldScript& s) { s.firstWord = "Hello"; }, kEndOnly,
                    false},
        FailureCase{"SilentPeer", [](HandheldScript& s) { s.firstWord.clear(); }, kEndOnly, false},
        FailureCase{"StalledBeforeSize", [](HandheldScript& s) { s.stallBeforeSize = true; },
                    kEndAfterOk, false},
        FailureCase{"SizeAboveCap", [](HandheldScript& s) { s.sizeText = "2000000"; }, kEndAfterOk,
                    false},
        FailureCase{"NegativeSize", [](HandheldScript& s) { s.sizeText = "-1"; }, kEndAfterOk,
                    false},
        FailureCase{"NoSize", [](HandheldScript& s) { s.sizeText = "abc"; }, kEndAfterOk, false},
        FailureCase{"HugeSize", [](HandheldScript& s) { s.sizeText = "99999999999999999999"; },
                    kEndAfterOk, false},
        FailureCase{"CloseAtByte0", [](HandheldScript& s) { s.closeAfter = 0; }, kEndInTransfer,
                    false},
        FailureCase{"CloseAtByte4096", [](HandheldScript& s) { s.closeAfter = 4096; },
                    kEndInTransfer, false},
        FailureCase{"CloseAtByte5000", [](HandheldScript& s) { s.closeAfter = 5000; },
                    kEndInTransfer, false},
        FailureCase{"PasswordMismatch", [](HandheldScript& s) { s = KnownScript("x"); },
                    Failed("00000001"), false},
        FailureCase{"EmptyCribForAPassword", [](HandheldScript& s) { s = KnownScript(""); },
                    Failed("00000001"), false},
        FailureCase{"NotSqlite", [](HandheldScript& s) { s.database = Repeat('x', 5000); },
                    Failed("00000007"), false},
        FailureCase{"EmptyFile", [](HandheldScript& s) { s.database.clear(); }, Failed("00000007"),
                    false},
        FailureCase{"EmptySettings",
                    [](HandheldScript& s) { s.database = HandheldDatabase("", "", ""); },
                    Failed("00000007"), false},
        FailureCase{"DotDotSerial",
                    [](HandheldScript& s) { s.database = HandheldDatabase("n", "..", ""); },
                    Failed("00000007"), false},
        FailureCase{"SlashSerial",
                    [](HandheldScript& s) { s.database = HandheldDatabase("n", "a/b", ""); },
                    Failed("00000007"), false},
        FailureCase{"EmptySerial",
                    [](HandheldScript& s) { s.database = HandheldDatabase("n", "", ""); },
                    Failed("00000007"), false},
        FailureCase{"ControlSerial",
                    [](HandheldScript& s) { s.database = HandheldDatabase("n", "a\tb", ""); },
                    Failed("00000007"), false},
        FailureCase{
            "LongSerial",
            [](HandheldScript& s) { s.database = HandheldDatabase("n", Repeat('s', 300), ""); },
            Failed("00000007"), false},
        FailureCase{
            "NonAsciiSerial",
            [](HandheldScript& s) { s.database = HandheldDatabase("n", "SER\xC3\xA9", ""); },
            Failed("00000007"), false},
        FailureCase{"BlankInSerial",
                    [](HandheldScript& s) { s.database = HandheldDatabase("n", "a b", ""); },
                    Failed("00000007"), false},
        FailureCase{
            "StandaloneSerial",
            [](HandheldScript& s) { s.database = HandheldDatabase("n", kStandaloneFolder, ""); },
            Failed("00000007"), false},
        FailureCase{"MergeFails", [](HandheldScript&) {}, Failed("00000005"), true, -1},
        FailureCase{"CancelAfterMerge", [](HandheldScript& s) { s.afterMerge = "SyncHasToStop"; },
                    kEndAfterMerge, true},
        FailureCase{"UnknownWordAfterMerge", [](HandheldScript& s) { s.afterMerge = "What"; },
                    kEndAfterMerge, true},
        FailureCase{"CloseAfterMerge",
                    [](HandheldScript& s) { s.afterMerge.clear(); },
                    {"SendiPhoneDatabase", "OK", "OK", "OK", "RecieveSyncedDatabase"},
                    true,
                    0,
                    false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowmere
