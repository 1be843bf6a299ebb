#include "sync/sqlite_wrapper.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "support/test_env.h"
#include "sync/handheld_test_db.h"
#include "sync/sqlite_budget.h"

namespace tallowmere {
namespace {

using test::MakeTempDir;

std::string TempDbPath() {
    return MakeTempDir("db") + "/test.wqdb";
}

TEST(SqliteWrapperMissingLibrary, EveryOperationFailsSoftly) {
    CSQLiteDBWrapper db(TempDbPath(), kSqliteDefaultOpenFlags, "libtallowmere-no-such-sqlite.so");
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.LoadLibrary(), -1);
    EXPECT_EQ(db.Open(), -1);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(db.Prepare("SELECT 1;", -1, &statement, nullptr), -1);
    EXPECT_EQ(db.Step(statement), -1);
    EXPECT_EQ(db.Finalize(statement), 0);
    EXPECT_EQ(db.Exec("SELECT 1;", nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(db.ExecSql("SELECT 1;"), -1);
    EXPECT_EQ(db.ErrMsg(), nullptr);
    EXPECT_EQ(db.MPrintf("%d", 1), nullptr);
    EXPECT_EQ(db.Malloc(16), nullptr);
    EXPECT_EQ(db.Realloc(nullptr, 16), nullptr);
    db.Free(nullptr);
    EXPECT_EQ(db.ColumnText(statement, 0), nullptr);
    EXPECT_EQ(db.ColumnText16(statement, 0), nullptr);
    EXPECT_EQ(db.ColumnBlob(statement, 0), nullptr);
    EXPECT_EQ(db.ColumnInt(statement, 0), 0);
    EXPECT_EQ(db.ColumnBytes(statement, 0), 0);
    EXPECT_EQ(db.ColumnInt64(statement, 0), 0);
    EXPECT_EQ(db.ColumnValue(statement, 0), nullptr);
    EXPECT_EQ(db.ColumnDouble(statement, 0), 0.0);
    EXPECT_EQ(db.ColumnCount(statement), 0);
    EXPECT_EQ(db.BindInt(statement, 1, 5), 0);
    EXPECT_EQ(db.BindText(statement, 1, "x", 1, SQLITE_TRANSIENT), 0);
    EXPECT_EQ(db.BindBlob2(statement, 1, "x", 1, SQLITE_TRANSIENT), 0);
    EXPECT_EQ(db.BindZeroBlob(statement, 1, 4), 0);
    sqlite3_blob* blob = nullptr;
    EXPECT_EQ(db.BlobOpen("main", "t", "c", 1, 0, &blob), -1);
    EXPECT_EQ(db.BlobBytes(blob), -1);
    EXPECT_EQ(db.BlobRead(blob, nullptr, 0, 0), -1);
    EXPECT_EQ(db.BlobWrite(blob, nullptr, 0, 0), -1);
    EXPECT_EQ(db.BlobClose(blob), -1);
    EXPECT_EQ(db.BusyTimeout(nullptr, 100), -1);
    EXPECT_EQ(db.Close(), -1);
}

TEST(SqliteWrapperPaths, UnusablePathsNeverReachTheLibrary) {
    const std::string tooLong = "/" + std::string(PATH_MAX, 'a');
    // A folder of this test's own: a file cut at the NUL would show there.
    const std::string folder = MakeTempDir("nul");
    const std::string embeddedNul = folder + std::string("/a\0b.wqdb", 9);
    for (const std::string& path : {std::string(), std::string("x"), tooLong, embeddedNul}) {
        SCOPED_TRACE(path.size());
        CSQLiteDBWrapper db(path);
        EXPECT_FALSE(db.IsOpen());
        EXPECT_EQ(db.Open(), -1);
        // Each own-connection operation tries to open again and gets none.
        EXPECT_EQ(db.ErrMsg(), nullptr);
        EXPECT_EQ(db.MPrintf("%s", "x"), nullptr);
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(db.Prepare("SELECT 1;", -1, &statement, nullptr), -1);
        EXPECT_EQ(db.Close(), -1);
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/a"));
}

// The stub exports sqlite3_open_v2 and sqlite3_close only.
class SqliteWrapperStub : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(stub_.Load(TALLOWMERE_SQLITE_STUB), 0) << stub_.LoadError();
        openHandles_ = stub_.Function<int (*)()>("stub_open_handles");
        ASSERT_NE(openHandles_, nullptr);
    }
    platform::DynamicLibrary stub_;
    int (*openHandles_)() = nullptr;
};

TEST_F(SqliteWrapperStub, MissingEntryPointsGiveTheirFailureValues) {
    {
        CSQLiteDBWrapper db(TempDbPath(), kSqliteDefaultOpenFlags, TALLOWMERE_SQLITE_STUB);
        ASSERT_TRUE(db.IsOpen());
        EXPECT_EQ(openHandles_(), 1);
        sqlite3_stmt* statement = nullptr;
        // Asked twice: a name that did not resolve is looked up again.
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(db.Prepare("SELECT 1;", -1, &statement, nullptr), -1);
            EXPECT_EQ(db.Step(statement), -1);
            EXPECT_EQ(db.Finalize(statement), 0);
            EXPECT_EQ(db.ExecSql("SELECT 1;"), -1);
            EXPECT_EQ(db.ErrMsg(), nullptr);
            EXPECT_EQ(db.MPrintf("%d", 7), nullptr);
            EXPECT_EQ(db.BindDouble(statement, 1, 1.5), 0);
            EXPECT_EQ(db.BlobBytes(nullptr), -1);
        }
        EXPECT_EQ(db.Close(), 0);
        EXPECT_FALSE(db.IsOpen());
        EXPECT_EQ(db.Close(), -1);
        EXPECT_EQ(openHandles_(), 0);
        // The next own-connection operation opens again.
        EXPECT_EQ(db.ErrMsg(), nullptr);
        EXPECT_TRUE(db.IsOpen());
    }
    // The destructor closed it.
    EXPECT_EQ(openHandles_(), 0);
}

TEST_F(SqliteWrapperStub, FailedOpenReleasesTheHandleAndRetries) {
    CSQLiteDBWrapper db(MakeTempDir("db") + "/fail", kSqliteDefaultOpenFlags,
                        TALLOWMERE_SQLITE_STUB);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(openHandles_(), 0);
    EXPECT_EQ(db.Open(), SQLITE_CANTOPEN);
    EXPECT_EQ(db.ErrMsg(), nullptr);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(openHandles_(), 0);
}

TEST_F(SqliteWrapperStub, ALibraryThatCannotStopStatementsGivesNoBudgetedConnection) {
    CSqliteBudget budget;
    CSQLiteDBWrapper db(TempDbPath(), kSqliteDefaultOpenFlags, TALLOWMERE_SQLITE_STUB, &budget);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Open(), -1);
    EXPECT_EQ(openHandles_(), 0);
    budget.Cancel();
}

TEST(SqliteWrapperGuardStub, TheBudgetReachesTheConnectionUntilItCloses) {
    platform::DynamicLibrary stub;
    ASSERT_EQ(stub.Load(TALLOWMERE_SQLITE_STUB_GUARD), 0) << stub.LoadError();
    auto progress = stub.Function<int (*)()>("stub_progress");
    auto interrupts = stub.Function<int (*)()>("stub_interrupts");
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(interrupts, nullptr);
    CSqliteBudget budget;
    CSQLiteDBWrapper db(TempDbPath(), kSqliteDefaultOpenFlags, TALLOWMERE_SQLITE_STUB_GUARD,
                        &budget);
    ASSERT_TRUE(db.IsOpen());
    // Not started: no limit yet.
    EXPECT_EQ(progress(), 0);
    budget.Start(std::chrono::hours(1));
    EXPECT_EQ(progress(), 0);
    const int before = interrupts();
    budget.Cancel();
    EXPECT_EQ(progress(), 1);
    EXPECT_EQ(interrupts(), before + 1);
    // A closed connection is no longer interrupted.
    EXPECT_EQ(db.Close(), 0);
    budget.Cancel();
    EXPECT_EQ(interrupts(), before + 1);
}

constexpr char kEndlessQuery[] =
    "WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r) SELECT count(*) FROM r;";

TEST(SqliteWrapperBudget, AnEndlessQueryStopsOnceTheBudgetIsSpent) {
    const std::string path = TempDbPath();
    CSqliteBudget budget;
    budget.Start(std::chrono::milliseconds(200));
    // Every connection of the budget, each on its own.
    for (int i = 0; i < 2; ++i) {
        CSQLiteDBWrapper db(path, kSqliteDefaultOpenFlags, &budget);
        ASSERT_TRUE(db.IsOpen());
        EXPECT_EQ(db.ExecSql(kEndlessQuery), SQLITE_INTERRUPT) << i;
    }
}

TEST(SqliteWrapperBudget, CancelStopsARunningQueryFromAnotherThreadAndEveryLaterOne) {
    CSqliteBudget budget;
    CSQLiteDBWrapper db(TempDbPath(), kSqliteDefaultOpenFlags, &budget);
    ASSERT_TRUE(db.IsOpen());
    int rc = SQLITE_OK;
    std::thread query([&] { rc = db.ExecSql(kEndlessQuery); });
    budget.Cancel();
    query.join();
    EXPECT_EQ(rc, SQLITE_INTERRUPT);
    EXPECT_EQ(db.ExecSql(kEndlessQuery), SQLITE_INTERRUPT);
    // A connection without the budget is not stopped by it.
    CSQLiteDBWrapper free(TempDbPath());
    EXPECT_EQ(test::QueryText(free, "SELECT 42;"), "42");
}

TEST(SqliteWrapperReal, OpensCreatesAndSetsTheConnectionUp) {
    std::string path = TempDbPath();
    CSQLiteDBWrapper db(path);
    ASSERT_TRUE(db.IsOpen());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(db.LoadLibrary(), 1);
    EXPECT_EQ(test::QueryText(db, "PRAGMA synchronous;"), "0");
    EXPECT_EQ(test::QueryText(db, "PRAGMA temp_store;"), "2");
    EXPECT_EQ(test::QueryText(db, "PRAGMA cache_size;"), "20000");
    EXPECT_EQ(test::QueryText(db, "PRAGMA trusted_schema;"), "0");
    // Defensive: the schema cannot be rewritten through the connection.
    ASSERT_EQ(db.ExecSql("CREATE TABLE t (a INTEGER);"), SQLITE_OK);
    db.ExecSql("PRAGMA writable_schema = ON;");
    EXPECT_NE(db.ExecSql("UPDATE sqlite_master SET sql = 'CREATE TABLE t (b)' WHERE name = 't';"),
              SQLITE_OK);
    // Values beyond the length limit are refused.
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(db.Prepare("INSERT INTO t VALUES(?);", -1, &statement, nullptr), SQLITE_OK);
    EXPECT_EQ(db.BindZeroBlob(statement, 1, kSqliteMaxValueBytes + 1), SQLITE_OK);
    EXPECT_EQ(db.Step(statement), SQLITE_TOOBIG);
    db.Finalize(statement);
}

TEST(SqliteWrapperReal, StatementsBindAndReadEveryKindOfValue) {
    CSQLiteDBWrapper db(TempDbPath());
    ASSERT_EQ(
        db.ExecSql("CREATE TABLE t (i INTEGER, j INTEGER, d REAL, s TEXT, b BLOB, n, w TEXT);"),
        SQLITE_OK);
    char* sql = db.MPrintf("INSERT INTO %s VALUES(?,?,?,?,?,?,?);", "t");
    ASSERT_NE(sql, nullptr);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    ASSERT_EQ(db.Prepare(sql, -1, &statement, &tail), SQLITE_OK);
    db.Free(sql);
    std::string text = "temporary";
    const unsigned char blob[3] = {0, 0xFF, 7};
    const char16_t wide[] = u"\u00E9t\u00E9";
    EXPECT_EQ(db.BindInt(statement, 1, -5), SQLITE_OK);
    EXPECT_EQ(db.BindInt64(statement, 2, 1LL << 40), SQLITE_OK);
    EXPECT_EQ(db.BindDouble(statement, 3, -123.45), SQLITE_OK);
    EXPECT_EQ(
        db.BindText(statement, 4, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT),
        SQLITE_OK);
    text.assign("overwritten");  // the library kept its own copy
    EXPECT_EQ(db.BindBlob(statement, 5, blob, 3, SQLITE_TRANSIENT), SQLITE_OK);
    EXPECT_EQ(db.BindNull(statement, 6), SQLITE_OK);
    EXPECT_EQ(db.BindText16(statement, 7, wide, 6, SQLITE_TRANSIENT), SQLITE_OK);
    EXPECT_EQ(db.BindInt(statement, 8, 1), SQLITE_RANGE);
    EXPECT_EQ(db.Step(statement), SQLITE_DONE);
    EXPECT_EQ(db.Finalize(statement), SQLITE_OK);

    ASSERT_EQ(db.Prepare("SELECT * FROM t;", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(db.Step(statement), SQLITE_ROW);
    EXPECT_EQ(db.ColumnCount(statement), 7);
    EXPECT_EQ(db.ColumnInt(statement, 0), -5);
    EXPECT_EQ(db.ColumnInt64(statement, 1), 1LL << 40);
    EXPECT_EQ(db.ColumnDouble(statement, 2), -123.45);
    EXPECT_STREQ(reinterpret_cast<const char*>(db.ColumnText(statement, 3)), "temporary");
    const void* read = db.ColumnBlob(statement, 4);
    ASSERT_EQ(db.ColumnBytes(statement, 4), 3);
    EXPECT_EQ(std::memcmp(read, blob, 3), 0);
    EXPECT_EQ(db.ColumnText(statement, 5), nullptr);
    EXPECT_EQ(db.ColumnBlob(statement, 5), nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(db.ColumnText(statement, 6)), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(std::memcmp(db.ColumnText16(statement, 6), wide, 6), 0);

    // A value taken from one statement binds into another.
    sqlite3_stmt* copy = nullptr;
    ASSERT_EQ(db.Prepare("SELECT ?;", -1, &copy, nullptr), SQLITE_OK);
    EXPECT_EQ(db.BindValue(copy, 1, db.ColumnValue(statement, 2)), SQLITE_OK);
    ASSERT_EQ(db.Step(copy), SQLITE_ROW);
    EXPECT_EQ(db.ColumnDouble(copy, 0), -123.45);
    EXPECT_EQ(db.Finalize(copy), SQLITE_OK);
    EXPECT_EQ(db.Step(statement), SQLITE_DONE);
    EXPECT_EQ(db.Finalize(statement), SQLITE_OK);

    char* quoted = db.MPrintf("'%q' %d", "it's", 42);
    ASSERT_NE(quoted, nullptr);
    EXPECT_STREQ(quoted, "'it''s' 42");
    db.Free(quoted);
    void* memory = db.Malloc(8);
    ASSERT_NE(memory, nullptr);
    memory = db.Realloc(memory, 64);
    ASSERT_NE(memory, nullptr);
    db.Free(memory);
}

TEST(SqliteWrapperReal, BlobHandlesAndTheSecondBlobBinding) {
    CSQLiteDBWrapper db(TempDbPath());
    ASSERT_EQ(db.ExecSql("CREATE TABLE t (b BLOB);"), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(db.Prepare("INSERT INTO t VALUES(?);", -1, &statement, nullptr), SQLITE_OK);
    EXPECT_EQ(db.BindBlob2(statement, 1, "abcdefgh", 8, SQLITE_STATIC), SQLITE_OK);
    EXPECT_EQ(db.Step(statement), SQLITE_DONE);
    db.Finalize(statement);

    sqlite3_blob* blob = nullptr;
    ASSERT_EQ(db.BlobOpen("main", "t", "b", 1, 1, &blob), SQLITE_OK);
    EXPECT_EQ(db.BlobBytes(blob), 8);
    EXPECT_EQ(db.BlobWrite(blob, "XY", 2, 3), SQLITE_OK);
    char buffer[8] = {};
    EXPECT_EQ(db.BlobRead(blob, buffer, 8, 0), SQLITE_OK);
    EXPECT_EQ(std::string(buffer, 8), "abcXYfgh");
    EXPECT_EQ(db.BlobRead(blob, buffer, 4, 6), SQLITE_ERROR);
    EXPECT_EQ(db.BlobClose(blob), SQLITE_OK);
}

TEST(SqliteWrapperReal, ErrorsAreResultCodesWithTheLibrarysText) {
    CSQLiteDBWrapper db(TempDbPath());
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(db.Prepare("SELEC nonsense;", -1, &statement, nullptr), SQLITE_ERROR);
    EXPECT_EQ(statement, nullptr);
    ASSERT_NE(db.ErrMsg(), nullptr);
    EXPECT_NE(std::string(db.ErrMsg()).find("syntax error"), std::string::npos);
    char* errorText = nullptr;
    EXPECT_EQ(db.Exec("SELECT * FROM missing;", nullptr, nullptr, &errorText), SQLITE_ERROR);
    ASSERT_NE(errorText, nullptr);
    EXPECT_NE(std::string(errorText).find("missing"), std::string::npos);
    db.Free(errorText);
    // What a failed MPrintf leaves is refused before the library sees it.
    statement = reinterpret_cast<sqlite3_stmt*>(&db);
    EXPECT_EQ(db.Prepare(nullptr, -1, &statement, nullptr), SQLITE_NOMEM);
    EXPECT_EQ(statement, nullptr);
    EXPECT_EQ(db.Finalize(nullptr), SQLITE_OK);
}

// A statement made ready again keeps its bindings and reports its last
// step's error as finalize would; an insert gives its row number. Without
// the library both say so.
TEST(SqliteWrapperReal, ResetRunsAStatementAgainAndInsertsGiveTheirRowNumber) {
    CSQLiteDBWrapper db(TempDbPath());
    ASSERT_EQ(db.ExecSql("CREATE TABLE t (v INTEGER UNIQUE);"), SQLITE_OK);
    EXPECT_EQ(db.LastInsertRowid(), 0);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(db.Prepare("INSERT INTO t VALUES(?1);", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(db.BindInt(statement, 1, 7), SQLITE_OK);
    EXPECT_EQ(db.Step(statement), SQLITE_DONE);
    EXPECT_EQ(db.LastInsertRowid(), 1);
    EXPECT_EQ(db.Reset(statement), SQLITE_OK);
    // The same value again: the binding stayed.
    EXPECT_EQ(db.Step(statement), SQLITE_CONSTRAINT);
    EXPECT_EQ(db.Reset(statement), SQLITE_CONSTRAINT);
    ASSERT_EQ(db.BindInt(statement, 1, 8), SQLITE_OK);
    EXPECT_EQ(db.Step(statement), SQLITE_DONE);
    EXPECT_EQ(db.LastInsertRowid(), 2);
    EXPECT_EQ(db.Finalize(statement), SQLITE_OK);

    CSQLiteDBWrapper missing(TempDbPath(), kSqliteDefaultOpenFlags,
                             "libtallowmere-no-such-sqlite.so");
    EXPECT_EQ(missing.Reset(nullptr), -1);
    EXPECT_EQ(missing.LastInsertRowid(), 0);
}

TEST(SqliteWrapperReal, FileThatIsNoDatabase) {
    std::string path = TempDbPath();
    test::WriteFileBytes(path, std::string(4096, 'x'));
    CSQLiteDBWrapper db(path);
    EXPECT_TRUE(db.IsOpen());  // the file is read lazily
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(db.Prepare("SELECT * FROM sqlite_master;", -1, &statement, nullptr), SQLITE_NOTADB);
    EXPECT_EQ(db.ExecSql("CREATE TABLE t (a);"), SQLITE_NOTADB);
}

TEST(SqliteWrapperReal, FailedOpenIsRetriedOnceThePathWorks) {
    std::string dir = MakeTempDir("db") + "/later";
    CSQLiteDBWrapper db(dir + "/test.wqdb");
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Open(), SQLITE_CANTOPEN);
    EXPECT_EQ(db.ErrMsg(), nullptr);

    ASSERT_TRUE(std::filesystem::create_directory(dir));
    EXPECT_EQ(db.ExecSql("CREATE TABLE t (a);"), SQLITE_OK);
    EXPECT_TRUE(db.IsOpen());

    // A folder in place of the file cannot be opened either.
    CSQLiteDBWrapper folder(dir);
    EXPECT_FALSE(folder.IsOpen());
    EXPECT_EQ(folder.ErrMsg(), nullptr);
}

TEST(SqliteWrapperReal, ChangesReachTheFileWhenTheWrapperGoes) {
    std::string path = TempDbPath();
    {
        CSQLiteDBWrapper db(path);
        ASSERT_EQ(test::QueryText(db, "PRAGMA journal_mode = WAL;"), "wal");
        ASSERT_EQ(db.ExecSql("CREATE TABLE t (a); INSERT INTO t VALUES(42);"), SQLITE_OK);
        EXPECT_TRUE(std::filesystem::exists(path + "-wal"));
        // A statement left open keeps the connection open until finalized.
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(db.Prepare("SELECT a FROM t;", -1, &statement, nullptr), SQLITE_OK);
        EXPECT_EQ(db.Close(), SQLITE_BUSY);
        EXPECT_TRUE(db.IsOpen());
        db.Finalize(statement);
    }
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    // The main file alone, as it would be sent back, holds the row.
    std::string copy = MakeTempDir("copy") + "/sent.wqdb";
    test::WriteFileBytes(copy, test::ReadFileBytes(path));
    CSQLiteDBWrapper sent(copy);
    EXPECT_EQ(test::QueryText(sent, "SELECT a FROM t;"), "42");
}

TEST(SqliteWrapperLibraryName, ProcessWideNameIsTakenAtConstruction) {
    EXPECT_EQ(SqliteLibraryName(), "libsqlite3.so.0");
    SetSqliteLibraryName("libtallowmere-no-such-sqlite.so");
    CSQLiteDBWrapper missing(TempDbPath());
    SetSqliteLibraryName("libsqlite3.so.0");
    CSQLiteDBWrapper present(TempDbPath());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.LoadLibrary(), -1);
    EXPECT_TRUE(present.IsOpen());
}

}  // namespace
}  // namespace tallowmere
