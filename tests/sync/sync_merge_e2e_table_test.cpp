// Whole syncs over loopback with the real merge, one table row per run kind:
// each run checks the words the handheld heard, the window's notices in
// order, the returned database opened fresh, the desktop folder read back
// and that no copy or received file stays behind.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fake_handheld.h"
#include "merge_test_data.h"
#include "model/accounts.h"
#include "model/preferences.h"
#include "model/users.h"
#include "sync/device_identity.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync_server_support.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace hh = handheld;
using test::MergeFixture;
using test::Words;

constexpr char kKnownSerial[] = "TABLE-KNOWN";
constexpr char kNewSerial[] = "TABLE-NEW";
constexpr char kCrib[] = "table crib";

constexpr char kDesk[] = "Desk";
constexpr char kDeskChanged[] = "DeskChanged";
constexpr char kHand[] = "Hand";
constexpr char kGone[] = "";

// The records of every run, one of each record kind per state: changed on
// the handheld, changed on the desktop, only on the desktop, new on the
// handheld. The states tell the three modes apart.
enum Record { kHandheldChanged, kDesktopChanged, kDesktopOnly, kHandheldOnly, kRecordCount };
using Values = std::array<const char*, kRecordCount>;

// What each record holds after a completed run, on both sides alike.
const Values kTwoWay = {kHand, kDeskChanged, kDesk, kHand};
const Values kDesktopWins = {kDesk, kDeskChanged, kDesk, kGone};
const Values kHandheldWins = {kHand, kDesk, kGone, kHand};
// The desktop before any run.
const Values kDesktopBefore = {kDesk, kDeskChanged, kDesk, kGone};

std::string Hex(const RecordId& id) {
    std::string out;
    char buffer[3];
    for (std::uint8_t b : id.bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X", b);
        out += buffer;
    }
    return out;
}

// A record kind: its handheld table and value column, how a record is made
// and changed on the desktop, and its value in a data set read back.
struct Kind {
    const char* name;
    const char* table;
    const char* column;
    void (*make)(MergeFixture&, const RecordId&, bool onDesktop);
    void (*changeDesktop)(MergeFixture&, const RecordId&);
    std::string (*desktopValue)(CAccounts&, const RecordId&);
};

const Kind kKinds[] = {
    {"transaction", "TRANSACTIONS", "memo",
     [](MergeFixture& f, const RecordId& id, bool onDesktop) {
         f.AddTransaction(id, kDesk, onDesktop);
     },
     [](MergeFixture& f, const RecordId& id) {
         CTransaction* t = f.Checking().FindTransactionById(id);
         t->SetMemo(kDeskChanged);
         t->SetAttributes(kAttrModified);
     },
     [](CAccounts& data, const RecordId& id) {
         const CAccount* checking = data.FindAccountById(MergeFixture::CheckingId());
         const CTransaction* t = checking ? checking->FindTransactionById(id) : nullptr;
         return t == nullptr ? std::string() : t->GetMemo();
     }},
    {"payee", "PAYEES", "name",
     [](MergeFixture& f, const RecordId& id, bool onDesktop) {
         auto payee = std::make_unique<CPayeeItem>(kDesk);
         payee->SetId(id);
         payee->SetAttribute(0);
         f.InsertRow(*payee);
         if (onDesktop)
             f.data->Payees().AddItem(std::move(payee));
     },
     [](MergeFixture& f, const RecordId& id) {
         auto* payee = static_cast<CCommonListItem*>(f.data->Payees().FindById(id, true));
         payee->SetName(kDeskChanged);
         payee->SetAttribute(CPalmListItem::kModified);
     },
     [](CAccounts& data, const RecordId& id) {
         const auto* payee = static_cast<const CCommonListItem*>(data.Payees().FindById(id, true));
         return payee == nullptr || payee->IsDeleted() ? std::string() : payee->GetName();
     }},
};

RecordId IdOf(const Kind& kind, int record) {
    const auto index = static_cast<std::uint8_t>(&kind - kKinds);
    return MergeFixture::TestId(static_cast<std::uint8_t>(1 + index * kRecordCount + record));
}

// One handheld's run.
struct Peer {
    bool newDevice;
    // The current mode before the run.
    int mode;
    // A handheld table the database lacks; null: none.
    const char* dropTable;
    // The answer to "RecieveSyncedDatabase".
    const char* afterMerge;
    Words words;
    // The notices after the device's user is known, up to "Finishing ...".
    Words events;
    // The records after the run; null: the run changes nothing.
    const Values* after;
    // The device was identified (its file passed the schema check).
    bool identified = true;
};

struct TableCase {
    const char* name;
    std::vector<Peer> peers;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.name;
}

const Words kSynced = {"SendiPhoneDatabase",    "OK",           "OK", "OK",
                       "RecieveSyncedDatabase", "EndConnection"};
const Words kBadData = {"SendiPhoneDatabase", "OK",       "OK",           "OK",
                        "SyncFailed",         "00000007", "EndConnection"};

const Words kSentBack = {"status:Writing updated data to desktop",
                         "status:Sending updated data to handheld"};
const Words kSentBackReload = {"status:Writing updated data to desktop",
                               "status:Sending updated data to handheld", "reload"};
const Words kCanceled = {"status:Writing updated data to desktop", "status:Canceling Sync...",
                         "reload"};
const Words kCorrupt = {"status:Aborting due to corruption of the data received!"};

Peer Known(int mode, const Values& after) {
    return {false, mode, nullptr, "FileSend", kSynced, kSentBackReload, &after};
}
Peer NewDevice() {
    return {true, 1, nullptr, "FileSend", kSynced, kSentBack, &kHandheldWins};
}

class SyncMergeTableTest : public ::testing::TestWithParam<TableCase> {
  protected:
    void SetUp() override {
        std::string data;
        ASSERT_NO_FATAL_FAILURE(test::StartFreshDesktop(users_, data));
        knownFolder_ = users_.AddPhoneUser("Known", kKnownSerial)->GetDataFolder(kProductWord);
        SetPrefPasswordCrib(kKnownSerial, hh::CribFromText(kCrib));
        backup_ = test::MakeTempDir("docs") + "/Backup";

        hh::SyncServerOptions o;
        o.bindAddress = "127.0.0.1";
        o.discoveryPort = 0;
        o.syncPort = 0;
        o.idleTimeout = std::chrono::seconds(5);
        o.startPause = std::chrono::milliseconds(0);
        o.backupFolder = backup_;
        o.users = &users_;
        o.currentUserFolder = [] { return std::string(kKnownSerial); };
        o.events = &events_;
        server_ = std::make_unique<hh::CHandheldSyncServer>(o);
        ASSERT_TRUE(server_->StartListenerThread());
    }
    void TearDown() override {
        server_.reset();
        test::StopDesktop();
    }

    // The records on both sides; a known device's desktop files go to its
    // user's folder.
    void Prepare(MergeFixture& fx, const Peer& peer) {
        for (const Kind& kind : kKinds) {
            for (int r = 0; r < kRecordCount; ++r) {
                const RecordId id = IdOf(kind, r);
                const std::string where = " WHERE hex(uid) = '" + Hex(id) + "';";
                kind.make(fx, id, r != kHandheldOnly);
                if (r == kHandheldChanged || r == kHandheldOnly)
                    fx.Exec(std::string("UPDATE ") + kind.table + " SET " + kind.column + " = '" +
                            kHand + "', modified = 1" + where);
                if (r == kDesktopOnly)
                    fx.DeleteRowByUid(kind.table, id);
                if (r == kDesktopChanged)
                    kind.changeDesktop(fx, id);
            }
        }
        ASSERT_EQ(0, fx.SaveDesktop());
        const char* serial = peer.newDevice ? kNewSerial : kKnownSerial;
        fx.Exec(std::string("UPDATE SETTINGS SET value = '") + serial +
                "' WHERE name = 'HHDeviceUniqueSerial';");
        fx.Exec(std::string("UPDATE SETTINGS SET value = '") + kCrib +
                "' WHERE name = 'PasswordCribName';");
        fx.Exec(std::string("UPDATE SETTINGS SET value = '") + (peer.newDevice ? "New" : "Known") +
                "' WHERE name = 'HHDeviceName';");
        if (peer.dropTable != nullptr)
            fx.Exec(std::string("DROP TABLE ") + peer.dropTable + ";");
        fx.db.Close();
        if (!peer.newDevice) {
            fs::remove_all(knownFolder_);
            fs::copy(fx.folder, knownFolder_, fs::copy_options::recursive);
        }
    }

    void ExpectReturned(const std::string& bytes, const Values& after) {
        const std::string path = test::MakeTempDir("returned") + "/returned.wqdb";
        test::WriteFileBytes(path, bytes);
        CSQLiteDBWrapper db(path);
        EXPECT_EQ("ok", test::QueryText(db, "PRAGMA quick_check;"));
        for (const Kind& kind : kKinds) {
            for (int r = 0; r < kRecordCount; ++r) {
                SCOPED_TRACE(std::string("returned ") + kind.name + " " + std::to_string(r));
                const std::string where = std::string(" FROM ") + kind.table +
                                          " WHERE hex(uid) = '" + Hex(IdOf(kind, r)) + "';";
                const std::string expected = after[r];
                EXPECT_EQ(expected.empty() ? "0" : "1",
                          test::QueryText(db, "SELECT count(*)" + where));
                if (expected.empty())
                    continue;
                EXPECT_EQ(expected,
                          test::QueryText(db, std::string("SELECT ") + kind.column + where));
                EXPECT_EQ("0", test::QueryText(db, "SELECT modified" + where));
            }
        }
    }

    void ExpectDesktop(MergeFixture& fx, const std::string& folder, const Values& after) {
        fx.folder = folder;
        std::unique_ptr<CAccounts> data = fx.Reload();
        ASSERT_TRUE(data);
        for (const Kind& kind : kKinds) {
            for (int r = 0; r < kRecordCount; ++r) {
                SCOPED_TRACE(std::string("desktop ") + kind.name + " " + std::to_string(r));
                EXPECT_EQ(after[r], kind.desktopValue(*data, IdOf(kind, r)));
            }
        }
    }

    void Run(const Peer& peer) {
        MergeFixture fx;
        ASSERT_NO_FATAL_FAILURE(Prepare(fx, peer));
        const test::Snapshot before = test::TakeSnapshot(knownFolder_);
        hh::SetCurrentSyncMode(peer.mode);

        test::HandheldScript script;
        script.database = test::ReadFileBytes(fx.dbPath);
        script.piece = 4096;
        script.afterMerge = peer.afterMerge;
        const test::HandheldResult r = test::FakeHandheld().Run(server_->SyncPort(), script);
        ASSERT_TRUE(events_.WaitFinished(++runs_));

        EXPECT_EQ(peer.words, r.words);
        EXPECT_TRUE(r.endOfStream);
        const int mode = peer.newDevice ? 2 : peer.mode;
        const std::string user = peer.newDevice ? std::string(kNewSerial) + "|new"
                                                : std::string(kKnownSerial) + "|known";
        Words events = {"started", "status:Starting Sync...",
                        "status:Receiving data from handheld..."};
        if (peer.identified)
            events.insert(events.end(),
                          {std::string("title:Synchronizing with ") +
                               (peer.newDevice ? "New" : "Known") + "|" + std::to_string(mode),
                           "user:" + user, "status:Comparing handheld data with desktop data..."});
        events.insert(events.end(), peer.events.begin(), peer.events.end());
        // Only a run whose merged files stay counts as succeeded.
        events.insert(events.end(),
                      {"status:Finishing ...", peer.after ? "finished" : "finished:failed"});
        EXPECT_EQ(events, events_.Take());

        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            EXPECT_FALSE(fs::exists(server_->DatabasePath() + suffix)) << suffix;
        EXPECT_TRUE(!fs::exists(backup_) || fs::is_empty(backup_));

        if (peer.after == nullptr) {
            EXPECT_EQ("", r.returned);
            EXPECT_EQ(before, test::TakeSnapshot(knownFolder_));
            ExpectDesktop(fx, knownFolder_, kDesktopBefore);
            return;
        }
        ExpectReturned(r.returned, *peer.after);
        CUserItem* synced = users_.FindDeviceUser(peer.newDevice ? kNewSerial : kKnownSerial);
        ASSERT_NE(nullptr, synced);
        ExpectDesktop(fx, synced->GetDataFolder(kProductWord), *peer.after);
    }

    CUserList users_;
    std::string knownFolder_;
    std::string backup_;
    test::RecordingEvents events_;
    std::unique_ptr<hh::CHandheldSyncServer> server_;
    int runs_ = 0;
};

TEST_P(SyncMergeTableTest, EachPeerEndsWithBothSidesAsTheRunImplies) {
    const TableCase& c = GetParam();
    for (std::size_t i = 0; i < c.peers.size(); ++i) {
        SCOPED_TRACE("peer " + std::to_string(i));
        ASSERT_NO_FATAL_FAILURE(Run(c.peers[i]));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SyncMergeTableTest,
    ::testing::Values(
        TableCase{"NewDevice", {NewDevice()}}, TableCase{"KnownTwoWay", {Known(0, kTwoWay)}},
        TableCase{"KnownDesktopOverwrites", {Known(1, kDesktopWins)}},
        TableCase{"KnownHandheldOverwrites", {Known(2, kHandheldWins)}},
        TableCase{"MissingTable",
                  {{false, 0, "CLASSES", "FileSend", kBadData, kCorrupt, nullptr, false}}},
        TableCase{"CancelAfterMerge",
                  {{false, 0, nullptr, "SyncHasToStop", kSynced, kCanceled, nullptr}}},
        TableCase{"TwoPeersInARow", {Known(1, kDesktopWins), NewDevice()}}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowmere
