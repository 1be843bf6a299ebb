#include "sync/handheld_db.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"

namespace tallowmere::handheld {
namespace {

using test::HandheldRow;
using test::QueryText;

constexpr Table kDataTables[] = {
    Table::kAccounts,
    Table::kCategories,
    Table::kClasses,
    Table::kCurrencies,
    Table::kPayees,
    Table::kPayeeLookupItems,
    Table::kScheduledTransactions,
    Table::kTransactionTypes,
    Table::kTransactions,
    Table::kSplits,
};

// Prepares a statement text as the table operations do: "%s" and "%d"
// filled in by the library's formatting.
int PrepareFormatted(CSQLiteDBWrapper& db, const char* format, Table table) {
    std::string text = format;
    char* sql = nullptr;
    bool hasTable = text.find("%s") != std::string::npos;
    bool hasId = text.find("%d") != std::string::npos;
    if (hasTable && hasId)
        sql = db.MPrintf(format, TableName(table), 3);
    else if (hasTable)
        sql = db.MPrintf(format, TableName(table));
    else if (hasId)
        sql = db.MPrintf(format, 3);
    else
        sql = db.MPrintf("%s", format);
    sqlite3_stmt* statement = nullptr;
    int rc = db.Prepare(sql, -1, &statement, nullptr);
    db.Free(sql);
    db.Finalize(statement);
    return rc;
}

TEST(HandheldStatements, EveryTextPreparesAgainstTheSchema) {
    CSQLiteDBWrapper db(test::MakeHandheldTestDb());
    ASSERT_TRUE(db.IsOpen());
    const char* fixed[] = {
        sql::kChangedAccounts,
        sql::kChangedCategories,
        sql::kChangedClasses,
        sql::kChangedCurrencies,
        sql::kChangedPayees,
        sql::kChangedPayeeLookups,
        sql::kChangedScheduled,
        sql::kChangedTransactionTypes,
        sql::kChangedTransactionsOfAccount,
        sql::kAccountRow,
        sql::kCategoryRow,
        sql::kClassRow,
        sql::kCurrencyRow,
        sql::kPayeeRow,
        sql::kPayeeLookupRow,
        sql::kScheduledRow,
        sql::kTransactionTypeRow,
        sql::kTransactionRow,
        sql::kTransactionRowQuoted,
        sql::kTransactionSummaryRow,
        sql::kSplitsOfTransaction,
        sql::kSettingValue,
        sql::kAccountUidsAndCategories,
        sql::kInsertAccount,
        sql::kInsertCategory,
        sql::kInsertClass,
        sql::kInsertPayee,
        sql::kInsertPayeeLookup,
        sql::kInsertScheduled,
        sql::kInsertTransactionType,
        sql::kInsertTransaction,
        sql::kInsertSplit,
        sql::kUpdateTransaction,
        sql::kUpdateCurrencyRate,
        sql::kUpdateSetting,
        sql::kMarkTransactionsWithChangedSplits,
        sql::kClearModifiedSplits,
        sql::kDeleteRegisterTransactions,
        sql::kDeleteSplitsOfTransaction,
        sql::kDeleteOrphanSplits,
    };
    for (const char* text : fixed) {
        SCOPED_TRACE(text);
        EXPECT_EQ(PrepareFormatted(db, text, Table::kAccounts), SQLITE_OK) << db.ErrMsg();
    }
    // The per-table texts, with every table name they are used with.
    const char* perTable[] = {
        sql::kAllRowsSpaced,      sql::kAllRows,         sql::kUidByIdentifier,
        sql::kRowFlags,           sql::kMaxIdentifier,   sql::kClearModified,
        sql::kClearModifiedRow,   sql::kMarkAllModified, sql::kDeleteAllRows,
        sql::kDeleteModifiedRows, sql::kDeleteRow,       sql::kPurgeDeletedRows,
    };
    for (Table table : kDataTables) {
        for (const char* text : perTable) {
            // SPLITS and CURRENCIES have no uid column.
            bool noUid = table == Table::kSplits || table == Table::kCurrencies;
            if (noUid && std::string(text).find("uid") != std::string::npos)
                continue;
            SCOPED_TRACE(std::string(TableName(table)) + ": " + text);
            EXPECT_EQ(PrepareFormatted(db, text, table), SQLITE_OK) << db.ErrMsg();
        }
    }
    for (Table table : {Table::kAccounts, Table::kCategories, Table::kClasses, Table::kPayees,
                        Table::kPayeeLookupItems, Table::kTransactionTypes}) {
        EXPECT_EQ(PrepareFormatted(db, sql::kUidsAndNames, table), SQLITE_OK) << db.ErrMsg();
        EXPECT_EQ(PrepareFormatted(db, sql::kIdentifierByName, table), SQLITE_OK) << db.ErrMsg();
    }
    EXPECT_EQ(PrepareFormatted(db, sql::kCurrencyRowFlags, Table::kCurrencies), SQLITE_OK);
}

TEST(HandheldStatements, UpdateOfATransactionNamesEveryWrittenColumn) {
    std::string text = sql::kUpdateTransaction;
    const std::string gap = "\t\t\t\t\t\t\t\t\t\t   ";
    std::size_t gaps = 0;
    for (std::size_t at = text.find(gap); at != std::string::npos; at = text.find(gap, at + 1))
        ++gaps;
    EXPECT_EQ(gaps, 3u);
    // Every TRANSACTIONS column but identifier, uid, the unnamed one and kind.
    std::size_t marks = 0;
    for (char c : text)
        marks += c == '?';
    EXPECT_EQ(marks, static_cast<std::size_t>(transactions::kColumnCount - 6));
}

TEST(HandheldStatements, LookUpByNameComparesTheBoundText) {
    CSQLiteDBWrapper db(test::MakeHandheldTestDb());
    const std::string names[] = {"Food", "Say \"cheese\"", "name", "O'Brien"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(HandheldRow("CATEGORIES", categories::kColumnCount, i + 1)
                      .Set(categories::kName, names[i])
                      .Insert(db),
                  SQLITE_OK);
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        char* sql = db.MPrintf(sql::kIdentifierByName, TableName(Table::kCategories));
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(db.Prepare(sql, -1, &statement, nullptr), SQLITE_OK);
        db.Free(sql);
        BindModelText(db, statement, 1, names[i]);
        std::vector<int> found;
        while (db.Step(statement) == SQLITE_ROW)
            found.push_back(db.ColumnInt(statement, 0));
        db.Finalize(statement);
        EXPECT_EQ(found, std::vector<int>{i + 1});
    }
}

TEST(HandheldStatements, DeletesKeepTemplatesAndDropOrphanSplits) {
    CSQLiteDBWrapper db(test::MakeHandheldTestDb());
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_EQ(HandheldRow("TRANSACTIONS", transactions::kColumnCount, kind + 1)
                      .Set(transactions::kKind, std::int64_t{kind})
                      .Insert(db),
                  SQLITE_OK);
    }
    for (int owner : {1, 2, 7}) {
        ASSERT_EQ(HandheldRow("SPLITS", splits::kColumnCount, owner)
                      .Set(splits::kTransactionId, std::int64_t{owner})
                      .Insert(db),
                  SQLITE_OK);
    }
    EXPECT_EQ(db.ExecSql(sql::kDeleteRegisterTransactions), SQLITE_OK);
    EXPECT_EQ(QueryText(db, "SELECT group_concat(kind) FROM TRANSACTIONS;"), "1,2");
    EXPECT_EQ(db.ExecSql(sql::kDeleteOrphanSplits), SQLITE_OK);
    EXPECT_EQ(QueryText(db, "SELECT group_concat(transaction_id) FROM SPLITS;"), "2");
}

TEST(HandheldStatements, TableNamesInBothForms) {
    EXPECT_STREQ(UpperTableName(Table::kPayeeLookupItems), "PAYEE_LOOKUP_ITEMS");
    EXPECT_STREQ(TableName(Table::kPayeeLookupItems), "Payee_Lookup_Items");
    EXPECT_STREQ(TableName(Table::kScheduledTransactions), "Scheduled_transactions");
    EXPECT_STREQ(TableName(Table::kTransactionTypes), "Transaction_types");
    EXPECT_STREQ(UpperTableName(Table::kSettings), "SETTINGS");
}

TEST(HandheldStatements, AccountChangeFlagsPairEveryValueColumn) {
    std::uint32_t bits = 0;
    int expected = accounts::kName;
    for (const accounts::ChangeFlag& flag : accounts::kChangeFlags) {
        EXPECT_EQ(flag.value_column, expected);
        EXPECT_EQ(flag.flag_column, expected + 1);
        EXPECT_EQ(bits & flag.header_change_bit, 0u);
        bits |= flag.header_change_bit;
        expected += 2;
    }
    EXPECT_EQ(expected, accounts::kCategoryId);
    // Within the header's "modified" bits; 0x400 has no handheld column.
    EXPECT_EQ(bits, 0x001FFEFFu & ~0x00000400u);
}

// Schema checks of a received file.
struct SchemaCase {
    const char* what;
    const char* sql;  // run on the test schema
    int expected;
};

class HandheldSchema : public ::testing::TestWithParam<SchemaCase> {};

TEST_P(HandheldSchema, ReceivedFileIsCheckedBeforeUse) {
    const SchemaCase& c = GetParam();
    std::string path = test::MakeHandheldTestDb();
    CSQLiteDBWrapper db(path);
    ASSERT_EQ(db.ExecSql(c.sql), SQLITE_OK) << db.ErrMsg();
    EXPECT_EQ(CheckSchema(db), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandheldSchema,
    ::testing::Values(
        SchemaCase{"as made", "SELECT 1;", SQLITE_OK},
        SchemaCase{
            "lower-case names and extra currency columns",
            "ALTER TABLE CLASSES RENAME TO classes_x; ALTER TABLE classes_x RENAME TO classes;"
            "ALTER TABLE CURRENCIES ADD COLUMN extra TEXT;",
            SQLITE_OK},
        SchemaCase{"a table missing", "DROP TABLE SPLITS;", kSchemaMismatch},
        SchemaCase{"settings missing", "DROP TABLE SETTINGS;", kSchemaMismatch},
        SchemaCase{"a view in place of a table",
                   "DROP TABLE CLASSES; CREATE VIEW CLASSES AS SELECT identifier, uid, name, "
                   "fixed_code, amount, modified, deleted, sort_order FROM PAYEES;",
                   kSchemaMismatch},
        SchemaCase{"a virtual table",
                   "DROP TABLE PAYEE_LOOKUP_ITEMS; CREATE VIRTUAL TABLE PAYEE_LOOKUP_ITEMS USING "
                   "fts5(identifier, uid, name, payee_name, modified, deleted, sort_order);",
                   kSchemaMismatch},
        SchemaCase{"a column fewer", "ALTER TABLE PAYEES DROP COLUMN sort_order;", kSchemaMismatch},
        SchemaCase{"a column more", "ALTER TABLE ACCOUNTS ADD COLUMN extra INTEGER;",
                   kSchemaMismatch},
        SchemaCase{"named columns swapped",
                   "ALTER TABLE TRANSACTIONS RENAME COLUMN memo TO tmp;"
                   "ALTER TABLE TRANSACTIONS RENAME COLUMN payee_name TO memo;"
                   "ALTER TABLE TRANSACTIONS RENAME COLUMN tmp TO payee_name;",
                   kSchemaMismatch},
        SchemaCase{"no modified flag", "ALTER TABLE CATEGORIES RENAME COLUMN modified TO m;",
                   kSchemaMismatch},
        SchemaCase{"the account category column moved",
                   "ALTER TABLE ACCOUNTS RENAME COLUMN category_id TO c;"
                   "ALTER TABLE ACCOUNTS RENAME COLUMN flags TO category_id;",
                   kSchemaMismatch},
        SchemaCase{"a trigger", "CREATE TRIGGER t AFTER UPDATE ON SPLITS BEGIN SELECT 1; END;",
                   kSchemaMismatch},
        SchemaCase{"a trigger on a table of its own",
                   "CREATE TABLE extra (a); "
                   "CREATE TRIGGER t BEFORE INSERT ON extra BEGIN SELECT 1; END;",
                   kSchemaMismatch}),
    [](const ::testing::TestParamInfo<SchemaCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p != '\0'; ++p) {
            char ch = *p;
            name += ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z')) ? ch : '_';
        }
        return name;
    });

TEST(HandheldSchemaFiles, FilesThatAreNotTheHandheldsDatabase) {
    std::string dir = test::MakeTempDir("files");
    {
        test::WriteFileBytes(dir + "/garbage.wqdb", std::string(2048, '\x7F'));
        CSQLiteDBWrapper db(dir + "/garbage.wqdb");
        EXPECT_EQ(CheckSchema(db), SQLITE_NOTADB);
    }
    {
        test::WriteFileBytes(dir + "/empty.wqdb", "");
        CSQLiteDBWrapper db(dir + "/empty.wqdb");
        EXPECT_EQ(CheckSchema(db), kSchemaMismatch);
    }
    {
        CSQLiteDBWrapper db(dir + "/x.wqdb", kSqliteDefaultOpenFlags, "libno-such-sqlite.so");
        EXPECT_EQ(CheckSchema(db), -1);
    }
}

}  // namespace
}  // namespace tallowmere::handheld
