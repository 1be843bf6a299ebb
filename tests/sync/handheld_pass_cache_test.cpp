#include "sync/handheld_pass_cache.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/account_test_world.h"
#include "model/machine_id.h"
#include "sync/handheld_read.h"
#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {
namespace {

using test::SqlBlob;
using Row = test::HandheldRow;

RecordId Id(std::uint8_t n) {
    return RecordId{{0x51, n, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
}
SqlBlob Blob(const RecordId& id) {
    return SqlBlob(id.bytes.begin(), id.bytes.end());
}

const RecordId kAccount = Id(1);
const RecordId kAccountCategory = Id(2);
const RecordId kFood = Id(3);
const RecordId kClass = Id(4);
const RecordId kType = Id(5);
const RecordId kFour = Id(10);
const RecordId kTwo = Id(11);
const RecordId kSplit = Id(12);
const RecordId kTransfer = Id(13);
const RecordId kPayee = Id(14);
const RecordId kScheduled = Id(15);
const RecordId kNew = Id(20);
const RecordId kNewCategory = Id(21);

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string PlainIdentifiers() {
    return ReplaceAll(test::kHandheldSchemaSql, "identifier INTEGER PRIMARY KEY",
                      "identifier INTEGER");
}

// Rows put in out of identifier order, so that with a plain identifier
// column table order and identifier order differ. Two transactions and two
// categories share a uid; one changed transaction has none; transaction 7
// is split, and split row 2 belongs to no transaction. A payee and a
// scheduled item have their template transactions (8 and 9).
void Seed(CSQLiteDBWrapper& db) {
    namespace a = accounts;
    namespace c = categories;
    namespace t = transactions;
    namespace s = splits;
    ASSERT_EQ(Row("ACCOUNTS", a::kColumnCount, 1)
                  .Set(a::kUid, Blob(kAccount))
                  .Set(a::kName, std::string("Checking"))
                  .Insert(db),
              SQLITE_OK);
    struct Category {
        int identifier;
        RecordId uid;
        const char* name;
    };
    for (const Category& k : {Category{1, kAccountCategory, "[Checking]"},
                              Category{2, kFood, "Food"}, Category{5, kFood, "Food copy"}})
        ASSERT_EQ(Row("CATEGORIES", c::kColumnCount, k.identifier)
                      .Set(c::kUid, Blob(k.uid))
                      .Set(c::kName, std::string(k.name))
                      .Insert(db),
                  SQLITE_OK);
    ASSERT_EQ(Row("CLASSES", classes::kColumnCount, 1)
                  .Set(classes::kUid, Blob(kClass))
                  .Set(classes::kName, std::string("Business"))
                  .Insert(db),
              SQLITE_OK);
    ASSERT_EQ(Row("TRANSACTION_TYPES", transaction_types::kColumnCount, 1)
                  .Set(transaction_types::kUid, Blob(kType))
                  .Set(transaction_types::kName, std::string("Check"))
                  .Insert(db),
              SQLITE_OK);
    struct Transaction {
        int identifier;
        test::SqlValue uid;
        const char* memo;
        int category;
        bool modified;
        int kind;
    };
    for (const Transaction& x : {
             Transaction{4, Blob(kFour), "four", 0, false, t::kKindRegister},
             Transaction{2, Blob(kTwo), "two", 2, false, t::kKindRegister},
             Transaction{8, Blob(Id(16)), "memorised", 0, false, t::kKindPayeeTemplate},
             Transaction{7, Blob(kSplit), "split", 0, false, t::kKindRegister},
             Transaction{3, Blob(kTwo), "two again", 2, true, t::kKindRegister},
             Transaction{6, nullptr, "no uid", 0, true, t::kKindRegister},
             Transaction{9, Blob(Id(17)), "template", 1, false, t::kKindScheduledTemplate},
             Transaction{5, Blob(kTransfer), "transfer", 1, true, t::kKindRegister},
         })
        ASSERT_EQ(Row("TRANSACTIONS", t::kColumnCount, x.identifier)
                      .Set(t::kUid, x.uid)
                      .Set(t::kMemo, std::string(x.memo))
                      .Set(t::kPayeeName, std::string(x.memo))
                      .Set(t::kAmount, 12.5)
                      .Set(t::kKind, std::int64_t{x.kind})
                      .Set(t::kCategoryId, std::int64_t{x.category})
                      .Set(t::kTransactionClassId, std::int64_t{1})
                      .Set(t::kTypeId, std::int64_t{1})
                      .Set(t::kModified, std::int64_t{x.modified ? 1 : 0})
                      .Set(t::kAccountId, std::int64_t{1})
                      .Insert(db),
                  SQLITE_OK);
    ASSERT_EQ(Row("PAYEES", payees::kColumnCount, 1)
                  .Set(payees::kUid, Blob(kPayee))
                  .Set(payees::kName, std::string("Grocer"))
                  .Set(payees::kTemplateIdentifier, std::int64_t{8})
                  .Insert(db),
              SQLITE_OK);
    ASSERT_EQ(Row("SCHEDULED_TRANSACTIONS", scheduled::kColumnCount, 1)
                  .Set(scheduled::kUid, Blob(kScheduled))
                  .Set(scheduled::kTemplateIdentifier, std::int64_t{9})
                  .Insert(db),
              SQLITE_OK);
    struct Split {
        int identifier;
        double amount;
        const char* memo;
        int category;
        int transaction;
    };
    for (const Split& x : {Split{3, 1.0, "first", 2, 7}, Split{1, 2.0, "second", 1, 7},
                           Split{2, 3.0, "orphan", 2, 99}, Split{4, 4.0, "memorised", 2, 8}})
        ASSERT_EQ(Row("SPLITS", s::kColumnCount, x.identifier)
                      .Set(s::kAmount, x.amount)
                      .Set(s::kMemo, std::string(x.memo))
                      .Set(s::kCategoryId, std::int64_t{x.category})
                      .Set(s::kTransactionId, std::int64_t{x.transaction})
                      .Insert(db),
                  SQLITE_OK);
}

// Every call's result, so that two runs can be compared.
class Scenario {
  public:
    explicit Scenario(CSQLiteDBWrapper& db) : db_(db) {}

    std::vector<std::string> Run() {
        const std::uint32_t offset = DateOffset(0);
        Find(kTwo, Table::kTransactions);
        CTransaction split(CTransaction::ForLoad{});
        split.SetId(kSplit);
        Note("read split", ReadTransactionRow(db_, offset, split));
        Describe(split);
        // Templates, found by their identifiers (the payee's quoted).
        CPayeeItem payee;
        payee.SetId(kPayee);
        Note("read payee", ReadPayeeRow(db_, payee));
        CTransaction memorised(CTransaction::ForLoad{});
        payee.GetMemorizedSplits(memorised);
        log_.push_back(payee.GetMemo() + " " + std::to_string(payee.GetAmount()) + " " +
                       RecordIdToHex(payee.GetCategoryId()) + " " +
                       std::to_string(memorised.GetSplitAmount(0)));
        CScheduledItem item;
        item.EditTemplate().SetId(kScheduled);
        Note("read scheduled", ReadScheduledRow(db_, offset, item));
        Describe(item.Template());
        log_.push_back(item.Template().GetPayeeName() + " " + RecordIdToHex(item.GetAccountId()));

        // The first row of a uid goes: the next one answers.
        Note("delete 2", DeleteRow(db_, 2, Table::kTransactions));
        Find(kTwo, Table::kTransactions);

        // The largest identifier goes, and comes back with the next insert.
        Max(Table::kTransactions);
        Note("delete 7", DeleteRow(db_, 7, Table::kTransactions));
        Max(Table::kTransactions);
        Max(Table::kSplits);
        CTransaction added;
        added.SetId(kNew);
        added.SetMemo("new split");
        added.SetCategoryId(SplitMarkerId);
        added.SetSplitCategoryId(0, kFood);
        added.SetSplitAmount(0, 300);
        added.SetSplitMemo(0, "a");
        added.SetSplitCategoryId(1, kAccount);
        added.SetSplitAmount(1, 400);
        added.SetSplitMemo(1, "b");
        added.SetClassId(kClass);
        added.SetTypeId(kType);
        Note("insert", InsertTransaction(db_, offset, added, 1, 0));
        const int row = Find(kNew, Table::kTransactions);
        ReadLines(row);
        Max(Table::kSplits);

        // No longer split: its split rows go.
        added.SetCategoryId(kFood);
        for (std::size_t line = 0; line < kSplitLineCount; ++line)
            added.ClearSplitLine(line);
        added.SetMemo("now plain");
        Note("update", UpdateTransaction(db_, offset, added, 1));
        ReadLines(row);
        Max(Table::kSplits);

        // The row without a uid gets one, and is found by it.
        TransactionArray changed;
        Note("read changed", ReadChangedTransactions(db_, offset, changed, 1));
        for (const auto& t : changed) {
            Describe(*t);
            Find(t->GetId(), Table::kTransactions);
        }

        Note("clear 5", ClearModified(db_, Table::kTransactions, 5));
        RowFlags flags;
        Note("flags", GetRowFlags(db_, kTransfer, Table::kTransactions, flags));
        log_.push_back("flags " + std::to_string(flags.found) + std::to_string(flags.modified) +
                       " " + std::to_string(flags.identifier));

        // A replaced row comes back at the end of the table when the
        // identifier is not its row number: then the other row of the uid
        // is the first.
        Find(kFood, Table::kCategories);
        CCategoryItem groceries("Groceries");
        groceries.SetId(kFood);
        Note("replace", ReplaceCategory(db_, groceries));
        Find(kFood, Table::kCategories);
        CCategoryItem fresh("Fresh");
        fresh.SetId(kNewCategory);
        Note("insert category", InsertCategory(db_, fresh, 0));
        Find(kNewCategory, Table::kCategories);

        // Every row of an identifier goes.
        Note("delete 4", DeleteRow(db_, 4, Table::kTransactions));
        // Identifiers past 9, which text orders otherwise.
        for (std::uint8_t n = 0; n < 10; ++n) {
            CTransaction more;
            more.SetId(Id(static_cast<std::uint8_t>(30 + n)));
            Note("insert more", InsertTransaction(db_, offset, more, 1, 0));
            Find(more.GetId(), Table::kTransactions);
        }

        // Rows gone in bulk are gone for the look-ups too.
        Note("delete register rows", DeleteRegisterTransactions(db_));
        Max(Table::kTransactions);
        Max(Table::kSplits);
        Note("insert after", InsertTransaction(db_, offset, added, 1, 0));
        Find(kNew, Table::kTransactions);
        return log_;
    }

  private:
    void Note(const char* what, int rc) { log_.push_back(what + (" rc " + std::to_string(rc))); }
    int Find(const RecordId& id, Table table) {
        int identifier = -1;
        int rc = FindIdentifierByUid(db_, id, table, identifier);
        log_.push_back("find " + RecordIdToHex(id) + " rc " + std::to_string(rc) + " -> " +
                       std::to_string(identifier));
        return identifier;
    }
    void Max(Table table) {
        int identifier = -1;
        int rc = GetMaxIdentifier(db_, table, identifier);
        log_.push_back(std::string("max ") + TableName(table) + " rc " + std::to_string(rc) +
                       " -> " + std::to_string(identifier));
    }
    void ReadLines(int row) {
        CTransaction probe(CTransaction::ForLoad{});
        bool found = false;
        Note("read splits", ReadSplits(db_, row, probe, found));
        log_.push_back("split rows " + std::to_string(found));
        Describe(probe);
    }
    void Describe(const CTransaction& t) {
        std::string text = t.GetMemo() + " " + RecordIdToHex(t.GetCategoryId()) + " " +
                           RecordIdToHex(t.GetClassId()) + " " + RecordIdToHex(t.GetTypeId());
        for (std::size_t line = 0; line < 3; ++line)
            text += " [" + t.GetSplitMemo(line) + " " + std::to_string(t.GetSplitAmount(line)) +
                    " " + RecordIdToHex(t.GetSplitCategoryId(line)) + "]";
        log_.push_back(text);
    }

    CSQLiteDBWrapper& db_;
    std::vector<std::string> log_;
};

// Every row of the tables the scenario touches, in table order.
std::vector<std::string> Dump(CSQLiteDBWrapper& db) {
    std::vector<std::string> rows;
    for (const char* table :
         {"ACCOUNTS", "CATEGORIES", "CLASSES", "TRANSACTION_TYPES", "TRANSACTIONS", "SPLITS"}) {
        sqlite3_stmt* s = nullptr;
        std::string sql = std::string("SELECT * FROM ") + table + ";";
        if (db.Prepare(sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
            rows.push_back(sql + " failed");
            continue;
        }
        while (db.Step(s) == SQLITE_ROW) {
            std::string row = table;
            for (int i = 0; i < db.ColumnCount(s); ++i) {
                const unsigned char* text = db.ColumnText(s, i);
                row += "|";
                row += text == nullptr
                           ? std::string("NULL")
                           : std::string(reinterpret_cast<const char*>(text),
                                         static_cast<std::size_t>(db.ColumnBytes(s, i)));
            }
            rows.push_back(row);
        }
        db.Finalize(s);
    }
    return rows;
}

struct Variant {
    const char* name;
    std::string schema;
    // Run after the rows are in.
    const char* extra;
    // Mirrored: the tables the scenario leans on are read into the pass.
    // Otherwise this one is left to the statements.
    bool mirrored;
    Table declined;
};

std::vector<Variant> Variants() {
    const std::string plain = PlainIdentifiers();
    const std::string untyped = ReplaceAll(plain, "CREATE TABLE TRANSACTIONS (identifier INTEGER",
                                           "CREATE TABLE TRANSACTIONS (identifier");
    const std::string textIdentifiers =
        ReplaceAll(plain, "CREATE TABLE TRANSACTIONS (identifier INTEGER",
                   "CREATE TABLE TRANSACTIONS (identifier TEXT");
    return {
        {"IdentifierIsTheRowNumber", test::kHandheldSchemaSql, "", true, Table::kTransactions},
        {"IdentifierIsAPlainColumn", plain, "", true, Table::kTransactions},
        // A quoted number equals no identifier in a column without a type.
        {"IdentifierWithoutAType", untyped, "", true, Table::kTransactions},
        {"AColumnNamedRowid",
         ReplaceAll(plain, "sort_order INTEGER,\n  amount", "rowid INTEGER,\n  amount"), "", true,
         Table::kTransactions},
        {"AnIndexOrdersSplitRows", plain,
         "CREATE INDEX splits_by_amount ON SPLITS(transaction_id, amount DESC);", false,
         Table::kSplits},
        {"ATriggerDeletesRows", plain,
         "CREATE TRIGGER one_per_uid AFTER DELETE ON CATEGORIES BEGIN DELETE FROM CATEGORIES "
         "WHERE uid = old.uid; END;",
         false, Table::kCategories},
        {"AnIdentifierTwice", plain,
         "INSERT INTO TRANSACTIONS (identifier, uid, memo, kind, modified, deleted, account_id) "
         "VALUES (4, x'5199223344556677', 'four again', 0, 0, 0, 1);",
         false, Table::kTransactions},
        // Text in a column without a type equals no number.
        {"AnIdentifierStoredAsText", untyped,
         "UPDATE TRANSACTIONS SET identifier = '5' WHERE identifier = 5;", false,
         Table::kTransactions},
        // Every identifier written would become text, which orders otherwise.
        {"AnEmptyTableWithTextIdentifiers", textIdentifiers, "DELETE FROM TRANSACTIONS;", false,
         Table::kTransactions},
    };
}

void PrintTo(const Variant& v, std::ostream* os) {
    *os << v.name;
}

class PassCacheTest : public ::testing::TestWithParam<Variant> {};

// The pass's rows answer exactly as the statements do, after each of the
// pass's own inserts, deletes, replaces and uid repairs; and a table they
// could not mirror is left to the statements.
TEST_P(PassCacheTest, AnswersAsTheStatementsDoThroughThePasssOwnChanges) {
    const Variant& v = GetParam();
    const std::string folder = test::MakeTempDir("pass-cache");
    const std::string statementsPath = folder + "/statements.wqdb";
    const std::string cachedPath = folder + "/cached.wqdb";
    {
        CSQLiteDBWrapper db(statementsPath);
        ASSERT_EQ(db.ExecSql(v.schema.c_str()), SQLITE_OK) << db.ErrMsg();
        Seed(db);
        ASSERT_EQ(db.ExecSql(v.extra), SQLITE_OK) << db.ErrMsg();
    }
    std::filesystem::copy_file(statementsPath, cachedPath);

    // Repaired uids are new record ids: the same in both runs.
    test::FixedClock clock;
    platform::SetClock(&clock);
    std::vector<std::string> expectedLog, expectedRows, log, rows;
    ResetRecordIdGeneratorForTest();
    {
        CSQLiteDBWrapper db(statementsPath);
        expectedLog = Scenario(db).Run();
        expectedRows = Dump(db);
    }
    ResetRecordIdGeneratorForTest();
    {
        CSQLiteDBWrapper db(cachedPath);
        PassCache cache(db);
        ASSERT_EQ(PassCache::Of(db), &cache);
        if (v.mirrored) {
            for (Table t : {Table::kTransactions, Table::kSplits, Table::kCategories})
                EXPECT_NE(cache.Rows(t), nullptr) << TableName(t);
        } else {
            EXPECT_EQ(cache.Rows(v.declined), nullptr);
        }
        log = Scenario(db).Run();
        rows = Dump(db);
    }
    platform::SetClock(nullptr);

    EXPECT_EQ(log, expectedLog);
    EXPECT_EQ(rows, expectedRows);
    for (const std::string& line : expectedLog) {
        if (line.find(" rc ") != std::string::npos) {
            EXPECT_NE(line.find(" rc 0"), std::string::npos) << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Schemas, PassCacheTest, ::testing::ValuesIn(Variants()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tallowmere::handheld
