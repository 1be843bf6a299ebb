// Received databases built to hold the server: queries that never end, a
// view or a trigger in place of the handheld's plain tables, a file too big
// to merge in time. With the real merge, each session ends within its
// SQLite budget and leaves the user's folder as it was, the next good
// session syncs, and stopping the server ends a session in the middle of
// its SQLite work.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "merge_test_data.h"
#include "sync_server_fixture.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
namespace hh = handheld;
using test::Failed;
using test::HandheldResult;
using test::HandheldScript;
using test::kSuccessWords;
using Words = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// A query over this never ends.
constexpr char kEndless[] = "WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) ";

// That many changed transaction rows of the checking account.
std::string ChangedRows(int count) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(count) +
           ") INSERT INTO TRANSACTIONS SELECT 1000 + i, randomblob(8), 0, 1.5, 'memo', 'payee', "
           "100000, 0, 0, 0, 1.5, 0, 0, 0, 0, NULL, '', NULL, NULL, 0, 0, 0, 0, 1, 0, %ROW% FROM "
           "n;";
}

struct HostileCase {
    const char* name;
    // Run on a handheld database of the known device; "%ROW%" is the
    // identifier of its checking account row.
    std::string sql;
    Words words;
    // A database whose merge would run well past the wait for the stop
    // (without the budget); empty: the case never gets that far.
    std::string stopSql;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class SyncServerHostileTest : public test::SyncServerTest,
                              public ::testing::WithParamInterface<HostileCase> {
  protected:
    // The known device's folder and database as the program and the phone
    // would have them, with the case's SQL run on the database.
    HandheldScript Prepare(const std::string& sql) {
        test::MergeFixture fx;
        EXPECT_EQ(0, fx.SaveDesktop());
        fx.Exec(std::string("UPDATE SETTINGS SET value = '") + test::kKnownSerial +
                "' WHERE name = 'HHDeviceUniqueSerial';");
        fx.Exec(std::string("UPDATE SETTINGS SET value = '") + test::kKnownCrib +
                "' WHERE name = 'PasswordCribName';");
        std::string text = sql;
        const std::string row = std::to_string(fx.checkingRow);
        for (std::size_t at; (at = text.find("%ROW%")) != std::string::npos;)
            text.replace(at, 5, row);
        fx.Exec(text);
        fx.db.Close();
        fs::remove_all(knownFolder_);
        fs::copy(fx.folder, knownFolder_, fs::copy_options::recursive);
        HandheldScript script;
        script.database = test::ReadFileBytes(fx.dbPath);
        return script;
    }

    hh::SyncServerOptions RealMergeOptions(std::chrono::milliseconds budget) {
        hh::SyncServerOptions o = Options();
        o.mergeRunner = nullptr;
        o.sqliteBudget = budget;
        o.idleTimeout = std::chrono::seconds(10);
        o.transfer.maxBytes = 256u << 20;
        return o;
    }
};

TEST_P(SyncServerHostileTest, EndsWithinItsBudgetAndTheNextSessionSyncs) {
    const HostileCase& c = GetParam();
    const HandheldScript hostile = Prepare(c.sql);
    const test::Snapshot before = test::TakeSnapshot(knownFolder_);
    Start(RealMergeOptions(std::chrono::seconds(1)));

    const auto start = Clock::now();
    const HandheldResult r = Sync(hostile);
    // The budget bounds the SQLite work; the rest of the run (receiving,
    // the backup, the desktop files) gets a wide margin.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(c.words, r.words);
    EXPECT_EQ(before, test::TakeSnapshot(knownFolder_));
    ExpectNoLeftovers();

    EXPECT_EQ(kSuccessWords, Sync(Prepare("SELECT 1;")).words);

    if (c.stopSql.empty())
        return;
    // Stopped in the middle of its SQLite work, which on its own would run
    // far past the wait.
    server_.reset();
    events_.Take();
    const HandheldScript again = Prepare(c.stopSql);
    const test::Snapshot ready = test::TakeSnapshot(knownFolder_);
    Start(RealMergeOptions(std::chrono::minutes(2)));
    std::thread peer([&] { test::FakeHandheld().Run(server_->SyncPort(), again); });
    ASSERT_TRUE(events_.WaitFor("status:Comparing handheld data with desktop data..."));
    const auto stopping = Clock::now();
    server_->DeleteThreads();
    EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(5));
    peer.join();
    EXPECT_EQ(ready, test::TakeSnapshot(knownFolder_));
    ExpectNoLeftovers();
}

INSTANTIATE_TEST_SUITE_P(
    Databases, SyncServerHostileTest,
    ::testing::Values(
        HostileCase{"EndlessSettingsView",
                    std::string("DROP TABLE SETTINGS; CREATE VIEW SETTINGS AS ") + kEndless +
                        "SELECT 'HHDeviceUniqueSerial' AS name, 'KNOWN-1' AS value FROM r "
                        "WHERE i < 0;",
                    Failed("00000007"), ""},
        HostileCase{"TransactionsView",
                    std::string("ALTER TABLE TRANSACTIONS RENAME TO kept; CREATE VIEW "
                                "TRANSACTIONS AS SELECT * FROM kept;"),
                    Failed("00000007"), ""},
        HostileCase{"Trigger",
                    std::string("CREATE VIEW spin AS ") + kEndless +
                        "SELECT i FROM r WHERE i < 0; CREATE TRIGGER hold AFTER UPDATE ON "
                        "TRANSACTIONS BEGIN SELECT count(*) FROM spin; END;",
                    Failed("00000007"), ""},
        HostileCase{"TwoHundredThousandChangedTransactions", ChangedRows(200000),
                    Failed("00000005"), ChangedRows(600000)}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowmere
