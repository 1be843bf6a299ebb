#include "sync/handheld_read.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"

namespace tallowmere::handheld {
namespace {

using test::ExecBound;
using test::HandheldRow;
using test::QueryText;
using test::SqlBlob;
using test::SqlValue;

SqlBlob Blob(const RecordId& id) {
    return SqlBlob(id.bytes.begin(), id.bytes.end());
}

RecordId Id(std::uint8_t seed) {
    RecordId id;
    for (std::size_t i = 0; i < 8; ++i)
        id.bytes[i] = static_cast<std::uint8_t>(seed + i + 1);
    return id;
}

const std::uint32_t kOffset = DateOffset(0);

// Column positions of the flags in the test schema.
constexpr int kTxModified = 23;

class HandheldReadTest : public ::testing::Test {
  protected:
    HandheldReadTest() : path_(test::MakeHandheldTestDb()), db_(path_) {}

    void Insert(const HandheldRow& row) { ASSERT_EQ(row.Insert(db_), SQLITE_OK); }
    void Exec(const std::string& sql) {
        ASSERT_EQ(db_.ExecSql(sql.c_str()), SQLITE_OK) << (db_.ErrMsg() ? db_.ErrMsg() : "");
    }

    // The rows most transaction cases refer to: account 1 "Checking" and
    // 2 "Savings" with their "[name]" categories 11 and 12, category 13
    // "Food", class 21, type 31.
    void AddReferenceRows() {
        Insert(HandheldRow("ACCOUNTS", 46, 1).Set(1, Blob(Id(10))).Set(2, std::string("Checking")));
        Insert(HandheldRow("ACCOUNTS", 46, 2).Set(1, Blob(Id(20))).Set(2, std::string("Savings")));
        Insert(HandheldRow("CATEGORIES", 11, 11)
                   .Set(1, Blob(Id(110)))
                   .Set(2, std::string("[Checking]")));
        Insert(HandheldRow("CATEGORIES", 11, 12)
                   .Set(1, Blob(Id(120)))
                   .Set(2, std::string("[Savings]")));
        Insert(HandheldRow("CATEGORIES", 11, 13).Set(1, Blob(Id(130))).Set(2, std::string("Food")));
        Insert(HandheldRow("CATEGORIES", 11, 14)
                   .Set(1, Blob(Id(140)))
                   .Set(2, std::string("[Nowhere]")));
        Insert(HandheldRow("CLASSES", 8, 21).Set(1, Blob(Id(210))).Set(2, std::string("Business")));
        Insert(HandheldRow("TRANSACTION_TYPES", 10, 31)
                   .Set(1, Blob(CheckTypeId))
                   .Set(2, std::string("Check")));
    }

    HandheldRow TransactionRow(std::int64_t identifier, std::uint8_t seed) {
        HandheldRow row("TRANSACTIONS", 26, identifier);
        row.Set(1, Blob(Id(seed))).Set(kTxModified, std::int64_t{1}).Set(25, std::int64_t{1});
        return row;
    }

    std::vector<std::unique_ptr<CTransaction>> ReadTransactions(int account = 1) {
        TransactionArray out;
        EXPECT_EQ(ReadChangedTransactions(db_, kOffset, out, account), SQLITE_OK);
        return out;
    }

    std::string path_;
    CSQLiteDBWrapper db_;
};

TEST_F(HandheldReadTest, TransactionRowBecomesRecordFieldByField) {
    AddReferenceRows();
    Insert(TransactionRow(5, 50)
               .Set(3, 123.45)
               .Set(4, std::string("Weekly caf\xC3\xA9"))  // UTF-8 on the handheld
               .Set(5, std::string("Grocer"))
               .Set(6, std::int64_t{86400})
               .Set(7, std::int64_t{1042})
               .Set(8, std::int64_t{1})
               .Set(9, std::int64_t{1})
               .Set(10, 2.675)
               .Set(11, std::int64_t{3})
               .Set(15, Blob(Id(60)))
               .Set(16, std::string("FIT-1"))
               .Set(17, Blob(Id(70)))
               .Set(18, Blob(Id(80)))
               .Set(19, std::int64_t{21})
               .Set(20, std::int64_t{13})
               .Set(21, std::int64_t{4})
               .Set(22, std::int64_t{31}));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 1u);
    const CTransaction& t = *read[0];
    EXPECT_EQ(t.GetId(), Id(50));
    EXPECT_EQ(t.GetAmount(), 12345);
    EXPECT_EQ(t.GetMemo(), "Weekly caf\xE9");  // Windows-1252 in the model
    EXPECT_EQ(t.GetPayeeName(), "Grocer");
    EXPECT_EQ(t.GetDate(), kHandheldEpochOffset + 86400);
    EXPECT_EQ(t.GetCheckNumber(), 1042u);
    // Cleared, and the handheld's pending reconcile mark is not taken.
    EXPECT_EQ(t.GetStatus(), kStatusCleared);
    EXPECT_EQ(t.GetBaseAmount(), 268);
    EXPECT_EQ(t.GetReviewState(), 3);
    EXPECT_EQ(t.GetLinkedId(), Id(60));
    EXPECT_EQ(t.GetSplitIndex(), kNoSplitIndex);
    EXPECT_EQ(t.GetOnlineId(), "FIT-1");
    EXPECT_EQ(t.GetPayeeLookupId(), Id(70));
    EXPECT_EQ(t.GetMatchId(), Id(80));
    EXPECT_EQ(t.GetClassId(), Id(210));
    EXPECT_EQ(t.GetCategoryId(), Id(130));
    EXPECT_EQ(t.GetSourceCurrency(), 4);
    EXPECT_EQ(t.GetTypeId(), CheckTypeId);
    EXPECT_EQ(t.GetAttributes(), 0);
}

TEST_F(HandheldReadTest, AmountsAndDatesOfARow) {
    struct Case {
        double amount;
        std::int64_t date;
        Cents wantAmount;
        PalmTime wantDate;  // with a bias of -60 minutes
    };
    const std::uint32_t east = DateOffset(-60);
    const Case cases[] = {
        {123.45, 0, 12345, 3061155600u},
        {-123.45, -86400, -12345, 3061155600u - 86400u},
        {2.675, 1, 268, 3061155601u},
        {1.005, 1233811696, 100, 0},  // the desktop's "never" comes back as 0
        {0.004, (std::int64_t{1} << 32) + 5, 0, 3061155605u},  // only the low 32 bits
        {1e17, 0, 0, 3061155600u},
        {std::numeric_limits<double>::infinity(), 0, 0, 3061155600u},
    };
    std::int64_t row = 1;
    for (const Case& c : cases) {
        Insert(TransactionRow(row, static_cast<std::uint8_t>(row * 10))
                   .Set(3, c.amount)
                   .Set(6, c.date)
                   .Set(10, -c.amount));
        ++row;
    }
    TransactionArray read;
    ASSERT_EQ(ReadChangedTransactions(db_, east, read, 1), SQLITE_OK);
    ASSERT_EQ(read.size(), std::size(cases));
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i]->GetAmount(), cases[i].wantAmount);
        EXPECT_EQ(read[i]->GetBaseAmount(), -cases[i].wantAmount);
        EXPECT_EQ(read[i]->GetDate(), cases[i].wantDate);
    }
}

TEST_F(HandheldReadTest, StatusAndSplitTransferColumns) {
    struct Case {
        std::int64_t status, pending, splitTransfer, splitIndex;
        std::uint8_t wantStatus, wantIndex;
    };
    const Case cases[] = {
        {2, 1, 0, 7, kStatusReconciled, kNoSplitIndex},  // index ignored without the flag
        {3, 0, 1, 0, kStatusVoid, 0},
        {0, 0, 1, 9, kStatusOpen, 9},
        {5, 0, 1, 10, kStatusCleared, kNoSplitIndex},  // 5 & 3 = 1; 10 is no line
        {-1, 0, 1, 300, kStatusVoid, kNoSplitIndex},
        {0, 0, 1, -1, kStatusOpen, kNoSplitIndex},
        {0, 0, 2, 3, kStatusOpen, kNoSplitIndex},
    };
    std::int64_t row = 1;
    for (const Case& c : cases) {
        Insert(TransactionRow(row, static_cast<std::uint8_t>(row * 10))
                   .Set(8, c.pending)
                   .Set(9, c.status)
                   .Set(13, c.splitTransfer)
                   .Set(14, c.splitIndex)
                   .Set(15, Blob(Id(200))));
        ++row;
    }
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), std::size(cases));
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i]->GetStatus(), cases[i].wantStatus);
        EXPECT_EQ(read[i]->GetSplitIndex(), cases[i].wantIndex);
        if (cases[i].wantIndex != kNoSplitIndex) {
            EXPECT_EQ(read[i]->GetSplitLinkedId(cases[i].wantIndex), Id(200));
        }
    }
}

TEST_F(HandheldReadTest, BracketCategoryIsATransferToTheNamedAccount) {
    AddReferenceRows();
    Insert(TransactionRow(1, 10).Set(20, std::int64_t{12}));  // "[Savings]"
    Insert(TransactionRow(2, 20).Set(20, std::int64_t{14}));  // "[Nowhere]": no account
    Insert(TransactionRow(3, 30).Set(20, std::int64_t{99}));  // no such row
    // Beyond 32 bits: not row 13 ("Food") by truncation.
    Insert(TransactionRow(4, 40).Set(20, (std::int64_t{1} << 32) + 13));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0]->GetCategoryId(), Id(20));
    EXPECT_TRUE(read[1]->GetCategoryId().IsNull());
    EXPECT_TRUE(read[2]->GetCategoryId().IsNull());
    EXPECT_TRUE(read[3]->GetCategoryId().IsNull());
}

TEST_F(HandheldReadTest, AccountCategoryNamesThatAreNotQuiteBrackets) {
    // "[" alone names no account, "[a" has no closing bracket.
    Insert(HandheldRow("ACCOUNTS", 46, 1).Set(1, Blob(Id(10))).Set(2, std::string("a")));
    Insert(HandheldRow("ACCOUNTS", 46, 2).Set(1, Blob(Id(20))).Set(2, std::string("")));
    Insert(HandheldRow("CATEGORIES", 11, 1).Set(1, Blob(Id(30))).Set(2, std::string("[")));
    Insert(HandheldRow("CATEGORIES", 11, 2).Set(1, Blob(Id(40))).Set(2, std::string("[a")));
    Insert(TransactionRow(1, 50).Set(20, std::int64_t{1}));
    Insert(TransactionRow(2, 60).Set(20, std::int64_t{2}));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_TRUE(read[0]->GetCategoryId().IsNull());
    EXPECT_EQ(read[1]->GetCategoryId(), Id(10));
}

TEST_F(HandheldReadTest, SplitRows) {
    AddReferenceRows();
    // Transaction 1: two live lines and a deleted one; 2: only deleted
    // lines; 3: twelve lines, of which ten are read.
    Insert(TransactionRow(1, 10).Set(20, std::int64_t{13}));
    Insert(HandheldRow("SPLITS", 10, 1)
               .Set(1, 10.0)
               .Set(2, std::string("first"))
               .Set(4, Blob(Id(90)))
               .Set(5, std::int64_t{21})
               .Set(6, std::int64_t{13})
               .Set(9, std::int64_t{1}));
    Insert(
        HandheldRow("SPLITS", 10, 2).Set(1, 5.0).Set(7, std::int64_t{1}).Set(9, std::int64_t{1}));
    Insert(
        HandheldRow("SPLITS", 10, 3).Set(1, -2.5).Set(6, std::int64_t{12}).Set(9, std::int64_t{1}));
    Insert(TransactionRow(2, 20).Set(20, std::int64_t{13}));
    Insert(
        HandheldRow("SPLITS", 10, 4).Set(1, 1.0).Set(7, std::int64_t{1}).Set(9, std::int64_t{2}));
    Insert(TransactionRow(3, 30));
    for (int i = 0; i < 12; ++i)
        Insert(HandheldRow("SPLITS", 10, 10 + i)
                   .Set(1, static_cast<double>(i + 1))
                   .Set(9, std::int64_t{3}));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 3u);

    const CTransaction& a = *read[0];
    EXPECT_EQ(a.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(a.GetSplitAmount(0), 1000);
    EXPECT_EQ(a.GetSplitMemo(0), "first");
    EXPECT_EQ(a.GetSplitLinkedId(0), Id(90));
    EXPECT_EQ(a.GetSplitClassId(0), Id(210));
    EXPECT_EQ(a.GetSplitCategoryId(0), Id(130));
    EXPECT_EQ(a.GetSplitAmount(1), -250);
    EXPECT_EQ(a.GetSplitCategoryId(1), Id(20));  // "[Savings]": a transfer line
    EXPECT_EQ(a.GetSplitAmount(2), 0);

    EXPECT_EQ(read[1]->GetCategoryId(), Id(130));
    EXPECT_EQ(read[1]->GetSplitAmount(0), 0);

    EXPECT_EQ(read[2]->GetCategoryId(), SplitMarkerId);
    for (std::size_t line = 0; line < kSplitLineCount; ++line)
        EXPECT_EQ(read[2]->GetSplitAmount(line), static_cast<Cents>((line + 1) * 100));
}

TEST_F(HandheldReadTest, OnlyRegisterRowsOfTheAccountThatChanged) {
    Insert(TransactionRow(1, 10));
    Insert(TransactionRow(2, 20).Set(12, std::int64_t{1}));  // template of a scheduled item
    Insert(TransactionRow(3, 30).Set(12, std::int64_t{2}));  // memorised payee transaction
    Insert(TransactionRow(4, 40).Set(24, std::int64_t{1}));  // deleted
    Insert(TransactionRow(5, 50).Set(kTxModified, std::int64_t{0}));
    Insert(TransactionRow(6, 60).Set(25, std::int64_t{2}));  // another account
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->GetId(), Id(10));
}

TEST_F(HandheldReadTest, NullsAndWrongBlobSizesReadAsEmpty) {
    HandheldRow row("TRANSACTIONS", 26, 1);
    for (int column = 1; column < 26; ++column)
        row.Set(column, nullptr);
    row.Set(kTxModified, std::int64_t{1}).Set(24, std::int64_t{0}).Set(12, std::int64_t{0});
    row.Set(25, std::int64_t{1});
    Insert(row);
    Insert(TransactionRow(2, 20)
               .Set(1, SqlBlob(7, 0x11))
               .Set(15, SqlBlob(9, 0x22))
               .Set(17, SqlBlob(7, 0x33))
               .Set(18, std::string("12345678")));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 2u);
    for (const auto& t : read) {
        // No usable uid: a new id of its own.
        EXPECT_FALSE(t->GetId().IsNull());
        EXPECT_TRUE(t->GetLinkedId().IsNull());
        EXPECT_TRUE(t->GetPayeeLookupId().IsNull());
        EXPECT_TRUE(t->GetCategoryId().IsNull());
        EXPECT_EQ(t->GetAmount(), 0);
    }
    EXPECT_EQ(read[0]->GetMemo(), "");
    EXPECT_EQ(read[0]->GetPayeeName(), "");
    EXPECT_NE(read[0]->GetId(), read[1]->GetId());
    // The new ids were written back, so the rows now match their records.
    for (const auto& t : read) {
        int identifier = 0;
        EXPECT_EQ(FindIdentifierByUid(db_, t->GetId(), Table::kTransactions, identifier),
                  SQLITE_OK);
        EXPECT_NE(identifier, 0);
    }
}

TEST_F(HandheldReadTest, HugeTextsAreCutToTheFields) {
    const std::string huge(200000, 'x');
    Insert(TransactionRow(1, 10).Set(4, huge).Set(5, huge).Set(16, huge));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->GetMemo().size(), 160u);
    EXPECT_EQ(read[0]->GetPayeeName().size(), 32u);
    EXPECT_EQ(read[0]->GetOnlineId().size(), 255u);
}

TEST_F(HandheldReadTest, DuplicateUidsGiveSeparateRecords) {
    Insert(TransactionRow(1, 10).Set(3, 1.0));
    Insert(TransactionRow(2, 10).Set(3, 2.0));
    auto read = ReadTransactions();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0]->GetId(), Id(10));
    EXPECT_NE(read[1]->GetId(), Id(10));
    // The look-up still finds the first row for the shared id.
    int identifier = 0;
    EXPECT_EQ(FindIdentifierByUid(db_, Id(10), Table::kTransactions, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 1);
}

TEST_F(HandheldReadTest, LookUpsByUid) {
    Insert(HandheldRow("CLASSES", 8, 3).Set(1, nullptr).Set(2, std::string("no uid")));
    Insert(HandheldRow("CLASSES", 8, 4).Set(1, Blob(kNoneId)).Set(2, std::string("zero uid")));
    Insert(HandheldRow("CLASSES", 8, 5)
               .Set(1, Blob(Id(50)))
               .Set(2, std::string("Travel"))
               .Set(5, std::int64_t{1}));
    int identifier = -1;
    EXPECT_EQ(FindIdentifierByUid(db_, kNoneId, Table::kClasses, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 0);  // the zero id matches no row
    EXPECT_EQ(FindIdentifierByUid(db_, Id(50), Table::kClasses, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 5);
    RecordId id = Id(1);
    EXPECT_EQ(FindUidByIdentifier(db_, 3, Table::kClasses, id), SQLITE_OK);
    EXPECT_TRUE(id.IsNull());
    EXPECT_EQ(FindUidByIdentifier(db_, 5, Table::kClasses, id), SQLITE_OK);
    EXPECT_EQ(id, Id(50));
    std::string name;
    EXPECT_EQ(FindNameByUid(db_, Id(50), Table::kClasses, name), SQLITE_OK);
    EXPECT_EQ(name, "Travel");
    RowFlags flags;
    EXPECT_EQ(GetRowFlags(db_, Id(50), Table::kClasses, flags), SQLITE_OK);
    EXPECT_TRUE(flags.found);
    EXPECT_TRUE(flags.modified);
    EXPECT_FALSE(flags.deleted);
    EXPECT_EQ(flags.identifier, 5);
    EXPECT_EQ(GetRowFlags(db_, Id(60), Table::kClasses, flags), SQLITE_OK);
    EXPECT_FALSE(flags.found);
    EXPECT_EQ(GetMaxIdentifier(db_, Table::kClasses, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 5);
    EXPECT_EQ(GetMaxIdentifier(db_, Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 0);
}

TEST_F(HandheldReadTest, LookUpByNameComparesTheTextItself) {
    const std::string names[] = {"Bob's \"Diner\"", "name", "uid", "identifier", "a'; DROP--"};
    std::int64_t row = 1;
    for (const std::string& n : names) {
        Insert(HandheldRow("PAYEES", 8, row)
                   .Set(1, Blob(Id(static_cast<std::uint8_t>(row * 10))))
                   .Set(2, n));
        ++row;
    }
    Insert(HandheldRow("PAYEES", 8, 9).Set(1, Blob(Id(99))).Set(2, std::string("name")));
    int identifier = 0;
    EXPECT_EQ(FindIdentifierByName(db_, names[0], Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 1);
    // The last of two rows of that name, never every row.
    EXPECT_EQ(FindIdentifierByName(db_, "name", Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 9);
    EXPECT_EQ(FindIdentifierByName(db_, "uid", Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 3);
    EXPECT_EQ(FindIdentifierByName(db_, names[4], Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 5);
    EXPECT_EQ(FindIdentifierByName(db_, "nobody", Table::kPayees, identifier), SQLITE_OK);
    EXPECT_EQ(identifier, 0);
    EXPECT_EQ(QueryText(db_, "SELECT COUNT(*) FROM PAYEES;"), "6");
}

TEST_F(HandheldReadTest, SettingsAndDeviceSettings) {
    DeviceSettings settings;
    EXPECT_EQ(ReadDeviceSettings(db_, settings), SQLITE_OK);
    EXPECT_EQ(settings.device_name, "Test handheld");
    EXPECT_EQ(settings.device_serial, "TEST-SERIAL-0001");
    EXPECT_EQ(settings.password_crib, "");
    std::string value = "x";
    EXPECT_EQ(GetSetting(db_, "nothing", value), SQLITE_OK);
    EXPECT_EQ(value, "");
    EXPECT_EQ(GetSetting(db_, "BASECURRENCYIDPLAIN", value), SQLITE_OK);  // LIKE ignores case
    EXPECT_EQ(value, "1");
}

TEST_F(HandheldReadTest, SerialAndCribAreTheStoredBytes) {
    std::string high;
    for (int b = 0x80; b < 0x80 + 50; ++b)
        high += static_cast<char>(b);
    const struct {
        const char* name;
        SqlValue serial;
        SqlValue crib;
        std::string expectSerial;
        std::string expectCrib;
    } cases[] = {
        // Bytes that are not UTF-8 are neither replaced nor dropped.
        {"high bytes", std::string("SER\xE9"), high, "SER\xE9", high.substr(0, 40)},
        {"utf-8", std::string("SER\xC3\xA9"), std::string("\xC3\xA9t\xC3\xA9"), "SER\xC3\xA9",
         "\xC3\xA9t\xC3\xA9"},
        {"nul inside", std::string("AB\0CD", 5), std::string("cr\0ib", 5), std::string("AB\0CD", 5),
         "cr"},
        {"blob", SqlBlob{'S', 0xFF}, SqlBlob{0x01, 0xFE, 0x00, 0x02}, "S\xFF", "\x01\xFE"},
        {"long", std::string(300, 's'), std::string(41, 'c'), std::string(255, 's'),
         std::string(40, 'c')},
        {"null", nullptr, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SQLITE_OK, ExecBound(db_, "UPDATE SETTINGS SET value = ? WHERE name = ?",
                                       {c.serial, std::string("HHDeviceUniqueSerial")}));
        ASSERT_EQ(SQLITE_OK, ExecBound(db_, "UPDATE SETTINGS SET value = ? WHERE name = ?",
                                       {c.crib, std::string("PasswordCribName")}));
        DeviceSettings settings;
        EXPECT_EQ(ReadDeviceSettings(db_, settings), SQLITE_OK);
        EXPECT_EQ(settings.device_serial, c.expectSerial);
        EXPECT_EQ(settings.password_crib, c.expectCrib);
        EXPECT_EQ(settings.device_name, "Test handheld");
    }
}

TEST_F(HandheldReadTest, CategoriesSkipAccountRowsAndBreakCycles) {
    CCategoryList list;
    list.SetPath(test::MakeTempDir("cat") + "/CategoriesList.lst");
    auto row = [&](std::int64_t identifier, std::uint8_t seed, const std::string& name,
                   std::int64_t parent) {
        Insert(HandheldRow("CATEGORIES", 11, identifier)
                   .Set(1, Blob(Id(seed)))
                   .Set(2, name)
                   .Set(5, std::int64_t{7})
                   .Set(6, 12.5)
                   .Set(7, std::int64_t{1})
                   .Set(10, parent));
    };
    row(1, 10, "[Checking]", 0);
    row(2, 20, "Home", 0);
    row(3, 30, "Rent", 2);
    row(4, 40, "Self", 4);  // its own parent
    row(5, 50, "Ping", 6);  // a cycle of two
    row(6, 60, "Pong", 5);
    EXPECT_EQ(ReadChangedCategories(db_, list), SQLITE_OK);
    EXPECT_EQ(list.GetCount(true), 5u);
    EXPECT_EQ(list.FindById(Id(10)), nullptr);
    const CCategoryItem* rent = list.FindById(Id(30));
    ASSERT_NE(rent, nullptr);
    EXPECT_EQ(rent->GetName(), "Rent");
    EXPECT_EQ(rent->GetParentId(), Id(20));
    EXPECT_EQ(rent->GetIcon(), 7);
    EXPECT_EQ(rent->GetBudget(), 1250);
    EXPECT_EQ(rent->GetAttribute(), 0);
    EXPECT_TRUE(list.FindById(Id(40))->GetParentId().IsNull());
    // One of the two gives up its parent; the tree has no loop left.
    const CCategoryItem* ping = list.FindById(Id(50));
    const CCategoryItem* pong = list.FindById(Id(60));
    ASSERT_NE(ping, nullptr);
    ASSERT_NE(pong, nullptr);
    EXPECT_TRUE(ping->GetParentId().IsNull() || pong->GetParentId().IsNull());
    for (std::size_t i = 0; i < list.GetCount(true); ++i)
        EXPECT_FALSE(list.GetFullNameById(list.GetAt(i, true)->GetId()).empty());
}

TEST_F(HandheldReadTest, CurrencyOfTheHandheldHome) {
    CCurrencyList list;
    list.DeleteAll();
    Exec("UPDATE SETTINGS SET value = '7' WHERE name = 'baseCurrencyIdPlain';");
    auto row = [&](std::int64_t identifier, const std::string& symbol, std::int64_t currency,
                   double rate, std::int64_t homeChanged) {
        Insert(HandheldRow("CURRENCIES", 8, identifier)
                   .Set(1, symbol)
                   .Set(2, currency)
                   .Set(3, rate)
                   .Set(5, homeChanged)
                   .Set(6, std::int64_t{1}));
    };
    row(1, "\xE2\x82\xAC", 7, 0.9, 1);  // the euro sign, UTF-8
    row(2, "CHF", 8, 1.1, 0);
    row(3, "CHF", 9, 1.2, 0);  // a symbol already there
    row(4, "BAD", 300, 1.0, 0);
    EXPECT_EQ(ReadChangedCurrencies(db_, list), SQLITE_OK);
    ASSERT_EQ(list.GetCount(true), 2u);
    const CCurrencyItem* euro = list.FindById(7);
    ASSERT_NE(euro, nullptr);
    EXPECT_EQ(euro->GetSymbol(), "\x80");
    EXPECT_DOUBLE_EQ(euro->GetRate(), 0.9);
    EXPECT_EQ(list.GetHomeCurrencyId(), 7);
    EXPECT_TRUE(list.IsHomeChanged());
    EXPECT_EQ(list.FindById(9), nullptr);
}

TEST_F(HandheldReadTest, ScheduledItemWithItsTemplate) {
    AddReferenceRows();
    Insert(HandheldRow("TRANSACTIONS", 26, 40)
               .Set(1, Blob(Id(41)))
               .Set(3, 99.99)
               .Set(5, std::string("Landlord"))
               .Set(12, std::int64_t{1})
               .Set(19, std::int64_t{21})
               .Set(20, std::int64_t{12})
               .Set(22, std::int64_t{31})
               .Set(25, std::int64_t{2}));
    Insert(HandheldRow("SCHEDULED_TRANSACTIONS", 12, 1)
               .Set(1, Blob(Id(42)))
               .Set(3, std::int64_t{100})
               .Set(4, std::int64_t{-86400})
               .Set(5, std::int64_t{5})
               .Set(6, std::int64_t{70000})  // beyond the field: indefinitely
               .Set(7, std::int64_t{1})
               .Set(8, std::int64_t{3})
               .Set(9, std::int64_t{40})
               .Set(10, std::int64_t{1}));
    CScheduledList list;
    EXPECT_EQ(ReadChangedScheduled(db_, kOffset, list), SQLITE_OK);
    ASSERT_EQ(list.GetCount(true), 1u);
    const CScheduledItem& item = *list.GetItemAt(0, true);
    EXPECT_EQ(item.GetId(), Id(42));
    EXPECT_EQ(item.GetStartDate(), kHandheldEpochOffset + 100);
    EXPECT_EQ(item.GetNextDue(), kHandheldEpochOffset - 86400);
    EXPECT_EQ(item.GetFrequency(), 5);
    EXPECT_EQ(item.GetRepeatCount(), kRepeatIndefinitely);
    EXPECT_EQ(item.GetEnterMode(), 0);
    EXPECT_EQ(item.GetDaysInAdvance(), 3);
    EXPECT_EQ(item.GetAccountId(), Id(20));
    EXPECT_EQ(item.GetPayee(), "Landlord");
    EXPECT_EQ(item.Template().GetAmount(), 9999);
    EXPECT_EQ(item.Template().GetClassId(), Id(210));
    EXPECT_EQ(item.Template().GetCategoryId(), Id(20));
    EXPECT_EQ(item.Template().GetTypeId(), CheckTypeId);
    EXPECT_EQ(item.GetAttribute(), 0);

    // The single-row reader keeps the desktop's enter mode.
    CScheduledItem mine;
    mine.EditTemplate().SetId(Id(42));
    mine.SetEnterMode(kEnterAutomatically);
    EXPECT_EQ(ReadScheduledRow(db_, kOffset, mine), SQLITE_OK);
    EXPECT_EQ(mine.GetEnterMode(), kEnterAutomatically);
    EXPECT_EQ(mine.GetFrequency(), 5);
}

TEST_F(HandheldReadTest, AScheduledRowLeavesNoneOfTheItemsOldTemplateBehind) {
    AddReferenceRows();
    // A template row with a category and no split rows.
    Insert(HandheldRow("TRANSACTIONS", 26, 40)
               .Set(1, Blob(Id(41)))
               .Set(3, 12.5)
               .Set(5, std::string("Gym"))
               .Set(12, std::int64_t{1})
               .Set(20, std::int64_t{13})
               .Set(25, std::int64_t{2}));
    struct Case {
        const char* name;
        std::int64_t templateRow;
        bool templateFound;
    };
    const Case cases[] = {
        {"template without splits", 40, true},
        {"no template", 0, false},
        {"missing template", 99, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM SCHEDULED_TRANSACTIONS;");
        Insert(HandheldRow("SCHEDULED_TRANSACTIONS", 12, 1)
                   .Set(1, Blob(Id(42)))
                   .Set(5, std::int64_t{3})
                   .Set(9, c.templateRow));
        // The desktop's item, a split with another template.
        CScheduledItem mine;
        CTransaction& t = mine.EditTemplate();
        t.SetId(Id(42));
        t.SetTypeId(CheckTypeId);
        t.SetPayeeName("Old payee");
        t.SetAmount(500);
        t.SetClassId(Id(210));
        t.SetCategoryId(SplitMarkerId);
        for (std::size_t line : {0u, 5u, 9u}) {
            t.SetSplitAmount(line, 100);
            t.SetSplitMemo(line, "old line");
            t.SetSplitCategoryId(line, Id(130));
            t.SetSplitClassId(line, Id(210));
        }
        mine.SetAccountId(Id(20));

        EXPECT_EQ(ReadScheduledRow(db_, kOffset, mine), SQLITE_OK);
        EXPECT_EQ(mine.GetFrequency(), 3);
        const CTransaction& read = mine.Template();
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            EXPECT_EQ(read.GetSplitAmount(line), 0) << line;
            EXPECT_EQ(read.GetSplitMemo(line), "") << line;
            EXPECT_TRUE(read.GetSplitCategoryId(line).IsNull()) << line;
            EXPECT_TRUE(read.GetSplitClassId(line).IsNull()) << line;
        }
        EXPECT_EQ(read.GetCategoryId(), c.templateFound ? Id(130) : kNoneId);
        EXPECT_EQ(read.GetAmount(), c.templateFound ? 1250 : 0);
        EXPECT_EQ(read.GetPayeeName(), c.templateFound ? "Gym" : "");
        EXPECT_EQ(mine.GetAccountId(), c.templateFound ? Id(20) : kNoneId);
        EXPECT_TRUE(read.GetTypeId().IsNull());
        EXPECT_TRUE(read.GetClassId().IsNull());
    }
}

TEST_F(HandheldReadTest, AccountRowsAndTheirChangeFlags) {
    SqlBlob online(80);
    for (std::size_t i = 0; i < online.size(); ++i)
        online[i] = static_cast<std::uint8_t>(i + 1);
    Insert(HandheldRow("ACCOUNTS", 46, 1)
               .Set(1, Blob(Id(10)))
               .Set(2, std::string("Everyday account name that is long"))
               .Set(3, std::int64_t{1})
               .Set(4, std::int64_t{3})
               .Set(6, std::string("Bank"))
               .Set(8, std::string("12-34"))
               .Set(9, std::int64_t{1})
               .Set(10, std::string("1001"))
               .Set(12, -50.5)
               .Set(14, std::int64_t{260})
               .Set(16, std::int64_t{1})
               .Set(18, std::int64_t{1})
               .Set(20, 10.0)
               .Set(22, std::int64_t{3600})
               .Set(24, 1.0)
               .Set(26, 2.0)
               .Set(28, std::int64_t{7200})
               .Set(30, online)
               .Set(32, std::int64_t{77})
               .Set(34, std::string("123456789"))
               .Set(36, std::string("20240101"))
               .Set(38, std::int64_t{5})
               .Set(41, std::int64_t{1})
               .Set(44, 99.5));
    Insert(HandheldRow("ACCOUNTS", 46, 2)
               .Set(1, SqlBlob(3, 1))
               .Set(4, std::int64_t{99})
               .Set(30, SqlBlob(200, 0xAB))
               .Set(41, std::int64_t{1}));
    AccountArray accounts;
    EXPECT_EQ(ReadChangedAccounts(db_, kOffset, accounts), SQLITE_OK);
    ASSERT_EQ(accounts.size(), 2u);
    const AccountHeader& h = accounts[0]->Header();
    EXPECT_EQ(h.GetVersion(), kAccountHeaderVersion);
    EXPECT_EQ(h.GetId(), Id(10));
    EXPECT_EQ(h.GetName(), "Everyday account name tha");
    EXPECT_EQ(h.GetType(), kCreditCard);
    EXPECT_EQ(h.GetBankName(), "Bank");
    EXPECT_EQ(h.GetAccountNumber(), "12-34");
    EXPECT_EQ(h.GetLastCheckNumber(), 1001u);
    EXPECT_EQ(h.GetOpeningBalance(), -5050);
    EXPECT_EQ(h.GetIconIndex(), 260);
    EXPECT_TRUE(h.GetIncludeInTotals());
    EXPECT_TRUE(h.GetOnlineEnabled());
    EXPECT_EQ(h.GetLastReconcileBalance(), 1000);
    EXPECT_EQ(h.GetLastReconcileDate(), kHandheldEpochOffset + 3600);
    EXPECT_EQ(h.GetReconcileOpening(), 100);
    EXPECT_EQ(h.GetReconcileEnding(), 200);
    EXPECT_EQ(h.GetReconcileDate(), kHandheldEpochOffset + 7200);
    // Customer id, password and reserved bytes as the block holds them; the
    // institution id and routing number that follow come from their columns.
    for (std::size_t i = 0; i < 74; ++i)
        ASSERT_EQ(h.GetBytes()[kCipherOffset + i], online[i]) << i;
    EXPECT_EQ(h.GetFiId(), 77u);
    EXPECT_EQ(h.GetRoutingNumber(), "123456789");
    EXPECT_EQ(h.GetDownloadEndDate(), "20240101");
    EXPECT_EQ(h.GetCurrencyId(), 5);
    EXPECT_EQ(h.GetChangeFlags(), kChangeName | kChangeAccountNumber);
    EXPECT_EQ(accounts[0]->GetOnlineBalance(), 9950);

    // A hostile row: a short uid, a type out of range, an oversized block.
    const AccountHeader& bad = accounts[1]->Header();
    EXPECT_FALSE(bad.GetId().IsNull());
    EXPECT_EQ(bad.GetType(), kLineOfCredit);
    EXPECT_EQ(bad.GetBytes()[kCipherOffset + 73], 0xAB);
    EXPECT_EQ(bad.GetBytes()[kCipherOffset + 80], 0);  // nothing past the 80 bytes

    // The single-row reader clears the bits of what it read, keeps 0x100.
    CAccount mine;
    mine.Header().SetId(Id(10));
    mine.Header().SetChangeFlags(0xFFFFFFFF);
    EXPECT_EQ(ReadAccountRow(db_, kOffset, mine), SQLITE_OK);
    EXPECT_EQ(mine.Header().GetName(), "Everyday account name tha");
    EXPECT_FALSE(mine.IsModified());
    EXPECT_NE(mine.Header().GetChangeFlags() & 0x100u, 0u);
    EXPECT_EQ(mine.GetOnlineBalance(), 9950);
}

TEST_F(HandheldReadTest, SingleRowReadersLeaveRecordsWithoutARowAlone) {
    CClassItem item("Mine", Id(90));
    item.SetBudget(500);
    EXPECT_EQ(ReadClassRow(db_, item), SQLITE_OK);
    EXPECT_EQ(item.GetName(), "Mine");
    EXPECT_EQ(item.GetBudget(), 500);
    CTransaction t;
    t.SetAmount(700);
    EXPECT_EQ(ReadTransactionRow(db_, kOffset, t), SQLITE_OK);
    EXPECT_EQ(t.GetAmount(), 700);
}

TEST_F(HandheldReadTest, TransactionRowReplacesTheRecordsSplitLines) {
    Insert(TransactionRow(1, 10).Set(3, 4.0).Set(9, std::int64_t{2}));
    CTransaction t;
    t.SetId(Id(10));
    t.SetCategoryId(SplitMarkerId);
    t.SetSplitAmount(0, 100);
    t.SetStatus(static_cast<std::uint8_t>(kStatusCleared | 0x04 | kStatusMarked));
    EXPECT_EQ(ReadTransactionRow(db_, kOffset, t), SQLITE_OK);
    EXPECT_EQ(t.GetAmount(), 400);
    EXPECT_TRUE(t.GetCategoryId().IsNull());
    EXPECT_EQ(t.GetSplitAmount(0), 0);
    // The handheld's status; bits 1-5 kept, the reconcile mark dropped.
    EXPECT_EQ(t.GetStatus(), kStatusReconciled | 0x04);
}

TEST(HandheldReadHostile, TablesWithTooFewColumnsAreASchemaError) {
    std::string path = test::MakeTempDir("short") + "/short.wqdb";
    CSQLiteDBWrapper db(path);
    ASSERT_EQ(db.ExecSql("CREATE TABLE TRANSACTIONS (identifier INTEGER, uid BLOB, "
                         "account_id INTEGER, kind INTEGER, modified INTEGER, deleted INTEGER);"
                         "INSERT INTO TRANSACTIONS VALUES(1, NULL, 1, 0, 1, 0);"
                         "CREATE VIEW CLASSES AS SELECT 1 AS identifier, 2 AS uid, 3 AS name, "
                         "1 AS modified, 0 AS deleted;"),
              SQLITE_OK);
    TransactionArray transactions;
    EXPECT_EQ(ReadChangedTransactions(db, kOffset, transactions, 1), kSchemaMismatch);
    EXPECT_TRUE(transactions.empty());
    CClassList classes;
    EXPECT_EQ(ReadChangedClasses(db, classes), kSchemaMismatch);
    // A missing table is the library's error, not a crash.
    CPayeesList payees;
    EXPECT_EQ(ReadChangedPayees(db, payees), SQLITE_ERROR);
}

TEST(HandheldReadHostile, NotADatabase) {
    std::string path = test::MakeTempDir("junk") + "/junk.wqdb";
    test::WriteFileBytes(path, std::string(4096, 'j'));
    CSQLiteDBWrapper db(path);
    TransactionArray transactions;
    EXPECT_EQ(ReadChangedTransactions(db, kOffset, transactions, 1), SQLITE_NOTADB);
    int identifier = 5;
    EXPECT_EQ(FindIdentifierByUid(db, Id(1), Table::kTransactions, identifier), SQLITE_NOTADB);
    EXPECT_EQ(identifier, 0);
}

}  // namespace
}  // namespace tallowmere::handheld
