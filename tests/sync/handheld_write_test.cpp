#include "sync/handheld_write.h"

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "sync/handheld_read.h"
#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"

namespace tallowmere::handheld {
namespace {

using test::HandheldRow;
using test::QueryText;
using test::SqlBlob;

RecordId Id(std::uint8_t seed) {
    RecordId id;
    for (std::size_t i = 0; i < 8; ++i)
        id.bytes[i] = static_cast<std::uint8_t>(seed + i + 1);
    return id;
}

SqlBlob Blob(const RecordId& id) {
    return SqlBlob(id.bytes.begin(), id.bytes.end());
}

// One hour east of UTC, so every date crosses the bias.
const std::uint32_t kOffset = DateOffset(-60);

class HandheldWriteTest : public ::testing::Test {
  protected:
    HandheldWriteTest() : path_(test::MakeHandheldTestDb()), db_(path_) {}

    std::string Query(const std::string& sql) { return QueryText(db_, sql); }
    void Exec(const std::string& sql) {
        ASSERT_EQ(db_.ExecSql(sql.c_str()), SQLITE_OK) << (db_.ErrMsg() ? db_.ErrMsg() : "");
    }
    // The rows the desktop wrote, as the handheld would send them back changed.
    void MarkChanged(const char* table) {
        Exec(std::string("UPDATE ") + table + " SET modified = 1;");
    }

    // Account 1 "Checking" and 2 "Other" with their "[name]" categories,
    // category "Food", class "Business", the check type.
    void AddReferenceRecords() {
        for (auto [name, seed] : {std::pair{"Checking", 10}, std::pair{"Other", 20}}) {
            CAccount account;
            account.Header().SetId(Id(static_cast<std::uint8_t>(seed)));
            account.Header().SetName(name);
            CCategoryItem bracket(AccountCategoryName(name));
            bracket.SetId(Id(static_cast<std::uint8_t>(seed + 1)));
            ASSERT_EQ(InsertCategory(db_, bracket, 0), SQLITE_OK);
            ASSERT_EQ(InsertAccount(db_, kOffset, account, 0), SQLITE_OK);
        }
        CCategoryItem food("Food");
        food.SetId(Id(30));
        ASSERT_EQ(InsertCategory(db_, food, 0), SQLITE_OK);
        ASSERT_EQ(InsertClass(db_, CClassItem("Business", Id(40)), 0), SQLITE_OK);
        ASSERT_EQ(InsertTransactionType(db_, CTransactionType("Check", CheckTypeId), 0), SQLITE_OK);
    }

    CTransaction FullTransaction(std::uint8_t seed) {
        CTransaction t;
        t.SetId(Id(seed));
        t.SetAmount(-12345);
        t.SetMemo("Caf\xE9 \x80 memo");
        t.SetPayeeName("Payee \"quoted\"");
        t.SetDate(3061152000u + 86400u * 30 + 3600);
        t.SetCheckNumber(1042);
        t.SetStatus(kStatusReconciled);
        t.SetBaseAmount(268);
        t.SetReviewState(2);
        t.SetOnlineId("FIT-99");
        t.SetPayeeLookupId(Id(70));
        t.SetMatchId(Id(80));
        t.SetClassId(Id(40));
        t.SetCategoryId(Id(30));
        t.SetSourceCurrency(3);
        t.SetTypeId(CheckTypeId);
        t.SetSplitIndex(kNoSplitIndex);
        return t;
    }

    TransactionArray ReadBack(int account) {
        MarkChanged("TRANSACTIONS");
        TransactionArray out;
        EXPECT_EQ(ReadChangedTransactions(db_, kOffset, out, account), SQLITE_OK);
        return out;
    }

    std::string path_;
    CSQLiteDBWrapper db_;
};

TEST_F(HandheldWriteTest, TransactionRoundTrip) {
    AddReferenceRecords();
    CTransaction t = FullTransaction(50);
    ASSERT_EQ(InsertTransaction(db_, kOffset, t, 1, 0), SQLITE_OK);
    // The stored forms on the handheld side.
    EXPECT_EQ(Query("SELECT amount FROM TRANSACTIONS;"), "-123.45");
    EXPECT_EQ(Query("SELECT memo FROM TRANSACTIONS;"), "Caf\xC3\xA9 \xE2\x82\xAC memo");
    EXPECT_EQ(Query("SELECT date FROM TRANSACTIONS;"),
              std::to_string(86400 * 30 + 3600 - 3600));  // local 01:00 is 00:00 UTC
    EXPECT_EQ(Query("SELECT status FROM TRANSACTIONS;"), "2");
    EXPECT_EQ(Query("SELECT category_id FROM TRANSACTIONS;"), "3");  // "Food"
    EXPECT_EQ(Query("SELECT modified || deleted || kind FROM TRANSACTIONS;"), "000");

    auto read = ReadBack(1);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->Record(), t.Record());
}

TEST_F(HandheldWriteTest, NewIdentifiersFollowTheLargest) {
    CTransaction a, b, c;
    EXPECT_EQ(InsertTransaction(db_, kOffset, a, 1, 0), SQLITE_OK);
    EXPECT_EQ(InsertTransaction(db_, kOffset, b, 1, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(identifier) FROM TRANSACTIONS;"), "1,2");
    EXPECT_EQ(InsertTransaction(db_, kOffset, c, 1, 40), SQLITE_OK);
    EXPECT_EQ(Query("SELECT MAX(identifier) FROM TRANSACTIONS;"), "40");
}

TEST_F(HandheldWriteTest, SplitTransactionRoundTrip) {
    AddReferenceRecords();
    Exec("INSERT INTO SPLITS (identifier, transaction_id) VALUES (7, 999);");
    CTransaction t = FullTransaction(50);
    t.SetCategoryId(SplitMarkerId);
    t.SetSplitCategoryId(0, Id(30));
    t.SetSplitClassId(0, Id(40));
    t.SetSplitAmount(0, 1000);
    t.SetSplitMemo(0, "food part");
    t.SetSplitCategoryId(1, Id(20));  // a transfer line to "Other"
    t.SetSplitAmount(1, -250);
    t.SetSplitLinkedId(1, Id(90));
    // An empty line ends the rows: line 3 is not written.
    t.SetSplitAmount(3, 999);
    ASSERT_EQ(InsertTransaction(db_, kOffset, t, 1, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT category_id FROM TRANSACTIONS;"), "0");
    EXPECT_EQ(Query("SELECT group_concat(identifier || ':' || category_id || ':' || amount) "
                    "FROM SPLITS WHERE transaction_id = 1;"),
              "8:3:10.0,9:2:-2.5");

    auto read = ReadBack(1);
    ASSERT_EQ(read.size(), 1u);
    const CTransaction& r = *read[0];
    EXPECT_EQ(r.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(r.GetSplitCategoryId(0), Id(30));
    EXPECT_EQ(r.GetSplitClassId(0), Id(40));
    EXPECT_EQ(r.GetSplitMemo(0), "food part");
    EXPECT_EQ(r.GetSplitCategoryId(1), Id(20));
    EXPECT_EQ(r.GetSplitLinkedId(1), Id(90));
    EXPECT_EQ(r.GetSplitAmount(1), -250);
    EXPECT_EQ(r.GetSplitAmount(3), 0);
}

TEST_F(HandheldWriteTest, TransferIsWrittenWithTheBracketCategory) {
    AddReferenceRecords();
    CTransaction t = FullTransaction(50);
    t.SetCategoryId(Id(20));  // the account "Other"
    t.SetLinkedId(Id(51));
    t.SetSplitIndex(2);
    ASSERT_EQ(InsertTransaction(db_, kOffset, t, 1, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT category_id FROM TRANSACTIONS;"),
              Query("SELECT identifier FROM CATEGORIES WHERE name = '[Other]';"));
    EXPECT_EQ(Query("SELECT split_transfer || split_transfer_index FROM TRANSACTIONS;"), "12");
    auto read = ReadBack(1);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->GetCategoryId(), Id(20));
    EXPECT_EQ(read[0]->GetSplitIndex(), 2);
    EXPECT_EQ(read[0]->GetSplitLinkedId(2), Id(51));
}

TEST_F(HandheldWriteTest, UpdateReplacesSplitRows) {
    AddReferenceRecords();
    CTransaction t = FullTransaction(50);
    t.SetCategoryId(SplitMarkerId);
    t.SetSplitCategoryId(0, Id(30));
    t.SetSplitAmount(0, 100);
    ASSERT_EQ(InsertTransaction(db_, kOffset, t, 1, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "1");

    // Split to single: no split rows may stay behind.
    t.SetCategoryId(Id(30));
    t.ClearSplitLine(0);
    t.SetAmount(777);
    Exec("UPDATE TRANSACTIONS SET modified = 1, deleted = 1;");
    ASSERT_EQ(UpdateTransaction(db_, kOffset, t, 2), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "0");
    EXPECT_EQ(Query("SELECT amount || ':' || account_id || ':' || modified || deleted "
                    "FROM TRANSACTIONS;"),
              "7.77:2:00");
    auto read = ReadBack(2);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->Record(), t.Record());

    // No row: nothing is written, not even split rows.
    CTransaction stranger = FullTransaction(60);
    stranger.SetCategoryId(SplitMarkerId);
    stranger.SetSplitAmount(0, 5);
    EXPECT_EQ(UpdateTransaction(db_, kOffset, stranger, 1), SQLITE_NOTFOUND);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "0");
}

TEST_F(HandheldWriteTest, ReusedIdentifierInheritsNoSplits) {
    CTransaction split = FullTransaction(50);
    split.SetCategoryId(SplitMarkerId);
    split.SetSplitAmount(0, 100);
    ASSERT_EQ(InsertTransaction(db_, kOffset, split, 1, 0), SQLITE_OK);
    // The handheld deletes the row behind the desktop's back.
    Exec("DELETE FROM TRANSACTIONS;");
    CTransaction plain = FullTransaction(60);
    ASSERT_EQ(InsertTransaction(db_, kOffset, plain, 1, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT identifier FROM TRANSACTIONS;"), "1");
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "0");
    auto read = ReadBack(1);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_NE(read[0]->GetCategoryId(), SplitMarkerId);

    // Deleting a transaction row takes its split rows along.
    plain.SetCategoryId(SplitMarkerId);
    plain.SetSplitAmount(0, 100);
    ASSERT_EQ(UpdateTransaction(db_, kOffset, plain, 1), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "1");
    EXPECT_EQ(DeleteRow(db_, 1, Table::kTransactions), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "0");
}

TEST_F(HandheldWriteTest, AccountRoundTrip) {
    CAccount account;
    AccountHeader& h = account.Header();
    h.SetId(Id(10));
    h.SetName("J\xF6rg's \"account\"");
    h.SetType(kCreditCard);
    h.SetBankName("Bank");
    h.SetAccountNumber("12-34");
    h.SetLastCheckNumber(1001);
    h.SetOpeningBalance(-5050);
    h.SetIconIndex(260);
    h.SetIncludeInTotals(false);
    h.SetOnlineEnabled(true);
    h.SetLastReconcileBalance(1000);
    h.SetLastReconcileDate(3061152000u + 3600);
    h.SetReconcileOpening(100);
    h.SetReconcileEnding(200);
    h.SetReconcileDate(0);  // never: wraps there and back
    for (std::size_t i = 0; i < 72; ++i)
        h.MutableBytes()[kCipherOffset + i] = static_cast<std::uint8_t>(0x80 + i);
    h.SetFiId(77);
    h.SetRoutingNumber("123456789");
    h.SetDownloadEndDate("20240101");
    h.SetCurrencyId(5);
    account.SetOnlineBalance(9950);
    CCategoryItem bracket(AccountCategoryName(h.GetName()));
    ASSERT_EQ(InsertCategory(db_, bracket, 0), SQLITE_OK);
    ASSERT_EQ(InsertAccount(db_, kOffset, account, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT check_number FROM ACCOUNTS;"), "1001");
    EXPECT_EQ(Query("SELECT category_id FROM ACCOUNTS;"), "1");
    EXPECT_EQ(Query("SELECT reconcile_date FROM ACCOUNTS;"), "1233811696");

    MarkChanged("ACCOUNTS");
    AccountArray read;
    ASSERT_EQ(ReadChangedAccounts(db_, kOffset, read), SQLITE_OK);
    ASSERT_EQ(read.size(), 1u);
    AccountHeader want = h;
    want.SetChangeFlags(0);  // every flag column was written 0
    EXPECT_EQ(read[0]->Header().GetBytes(), want.GetBytes());
    EXPECT_EQ(read[0]->GetOnlineBalance(), 9950);
}

TEST_F(HandheldWriteTest, ReplaceAccountRenamesItsCategoryInPlace) {
    AddReferenceRecords();
    CAccount account;
    account.Header().SetId(Id(10));
    account.Header().SetName("Checking");
    const std::string before = Query(
        "SELECT identifier || uid FROM CATEGORIES WHERE name = "
        "'[Checking]';");
    const std::string accountRow =
        Query("SELECT identifier FROM ACCOUNTS WHERE name = 'Checking';");
    account.Header().SetName("Main \"checking\"");
    ASSERT_EQ(ReplaceAccount(db_, kOffset, account), SQLITE_OK);
    ASSERT_EQ(ReplaceAccount(db_, kOffset, account), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM CATEGORIES WHERE name LIKE '[%';"), "2");
    EXPECT_EQ(Query("SELECT identifier || uid FROM CATEGORIES WHERE name = "
                    "'[Main \"checking\"]';"),
              before);
    EXPECT_EQ(Query("SELECT identifier FROM ACCOUNTS WHERE name = 'Main \"checking\"';"),
              accountRow);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM ACCOUNTS;"), "2");
    int categoryRow = 0;
    EXPECT_EQ(FindAccountCategoryIdentifier(db_, Id(10), categoryRow), SQLITE_OK);
    EXPECT_EQ(std::to_string(categoryRow), before.substr(0, 1));

    // An account the handheld does not have yet gets a row and a category.
    CAccount fresh;
    fresh.Header().SetId(Id(90));
    fresh.Header().SetName("Fresh");
    ASSERT_EQ(ReplaceAccount(db_, kOffset, fresh), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM ACCOUNTS;"), "3");
    EXPECT_EQ(Query("SELECT a.category_id = c.identifier FROM ACCOUNTS a, CATEGORIES c "
                    "WHERE a.name = 'Fresh' AND c.name = '[Fresh]';"),
              "1");
}

TEST_F(HandheldWriteTest, CategoryClassTypeAndLookupRoundTrips) {
    CCategoryItem parent("Home");
    parent.SetId(Id(10));
    parent.SetBudget(-150);
    parent.SetIcon(260);
    CCategoryItem child("Rent", Id(10));
    child.SetId(Id(20));
    ASSERT_EQ(InsertCategory(db_, parent, 0), SQLITE_OK);
    ASSERT_EQ(InsertCategory(db_, child, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT parent_id || ':' || parent_code FROM CATEGORIES WHERE name = 'Rent';"),
              "1:18");  // the parent's row and its id's last byte
    ASSERT_EQ(InsertClass(db_, CClassItem("Personal", PersonalClassId), 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT fixed_code FROM CLASSES;"), "102");
    CTransactionType mine("Transfer out", true, false);
    ASSERT_EQ(InsertTransactionType(db_, CTransactionType("Check", CheckTypeId), 0), SQLITE_OK);
    ASSERT_EQ(InsertTransactionType(db_, mine, 8), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(outflow || numbered || built_in) FROM "
                    "TRANSACTION_TYPES;"),
              "111,100");
    ASSERT_EQ(InsertPayeeLookup(db_, CPayeeLookupItem("AMZN MKTP", "Amazon"), 0), SQLITE_OK);

    for (const char* table : {"CATEGORIES", "CLASSES", "TRANSACTION_TYPES", "PAYEE_LOOKUP_ITEMS"})
        MarkChanged(table);
    CCategoryList categories;
    categories.SetPath(test::MakeTempDir("cat") + "/CategoriesList.lst");
    ASSERT_EQ(ReadChangedCategories(db_, categories), SQLITE_OK);
    ASSERT_EQ(categories.GetCount(true), 2u);
    EXPECT_EQ(categories.FindById(Id(10))->GetRecord(), [&] {
        CCategoryItem want = parent;
        want.SetAttribute(0);
        return want.GetRecord();
    }());
    EXPECT_EQ(categories.FindById(Id(20))->GetRecord(), child.GetRecord());

    CClassList classes;
    ASSERT_EQ(ReadChangedClasses(db_, classes), SQLITE_OK);
    ASSERT_EQ(classes.GetCount(true), 1u);
    EXPECT_EQ(classes.FindClass(PersonalClassId)->GetName(), "Personal");

    CTransactionTypesList types;
    ASSERT_EQ(ReadChangedTransactionTypes(db_, types), SQLITE_OK);
    ASSERT_EQ(types.GetCount(true), 2u);
    EXPECT_EQ(types.FindType(mine.GetId())->GetRecord(), mine.GetRecord());

    CPayeeLookupList lookups;
    ASSERT_EQ(ReadChangedPayeeLookups(db_, lookups), SQLITE_OK);
    ASSERT_EQ(lookups.GetCount(true), 1u);
    const auto* item = static_cast<const CPayeeLookupItem*>(lookups.GetAt(0, true));
    EXPECT_EQ(item->GetName(), "AMZN MKTP");
    EXPECT_EQ(item->GetPayee(), "Amazon");
}

TEST_F(HandheldWriteTest, PayeeRoundTripAndReplaceKeepsOneTemplate) {
    AddReferenceRecords();
    CTransaction memo = FullTransaction(50);
    memo.SetPayeeName("Grocer");
    memo.SetCategoryId(SplitMarkerId);
    memo.SetSplitCategoryId(0, Id(30));
    memo.SetSplitAmount(0, 400);
    CPayeeItem payee("Grocer");
    payee.MemorizeTransaction(memo);
    payee.SetBudgetAmount(2500);
    ASSERT_EQ(InsertPayee(db_, payee, 0), SQLITE_OK);
    ASSERT_EQ(ReplacePayee(db_, payee), SQLITE_OK);
    ASSERT_EQ(ReplacePayee(db_, payee), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM PAYEES;"), "1");
    EXPECT_EQ(Query("SELECT COUNT(*) FROM TRANSACTIONS WHERE kind = 2;"), "1");
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "1");
    EXPECT_EQ(Query("SELECT p.transaction_id = t.identifier FROM PAYEES p, TRANSACTIONS t;"), "1");

    MarkChanged("PAYEES");
    CPayeesList list;
    ASSERT_EQ(ReadChangedPayees(db_, list), SQLITE_OK);
    ASSERT_EQ(list.GetCount(true), 1u);
    CPayeeItem want = payee;
    want.SetAttribute(0);
    EXPECT_EQ(list.FindById(payee.GetId())->Record(), want.Record());
}

TEST_F(HandheldWriteTest, ScheduledRoundTripAndReplaceKeepsOneTemplate) {
    AddReferenceRecords();
    CScheduledItem item;
    CTransaction& t = item.EditTemplate();
    t.SetDate(3061152000u + 86400u);
    t.SetAmount(99999);
    t.SetPayeeName("Landlord");
    t.SetClassId(Id(40));
    t.SetCategoryId(Id(20));  // a transfer to "Other"
    t.SetTypeId(CheckTypeId);
    item.SetAccountId(Id(10));
    item.SetNextDue(3061152000u + 86400u * 31);
    item.SetFrequency(kFrequencyMonthly);
    item.SetRepeatCount(kRepeatIndefinitely);
    item.SetEnterMode(kEnterAutomatically);
    item.SetDaysInAdvance(3);
    ASSERT_EQ(InsertScheduled(db_, kOffset, item, 0), SQLITE_OK);
    ASSERT_EQ(ReplaceScheduled(db_, kOffset, item), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SCHEDULED_TRANSACTIONS;"), "1");
    EXPECT_EQ(Query("SELECT COUNT(*) FROM TRANSACTIONS WHERE kind = 1 AND account_id = 1;"), "1");
    EXPECT_EQ(Query("SELECT enter_mode FROM SCHEDULED_TRANSACTIONS;"), "1");

    MarkChanged("SCHEDULED_TRANSACTIONS");
    CScheduledList list;
    ASSERT_EQ(ReadChangedScheduled(db_, kOffset, list), SQLITE_OK);
    ASSERT_EQ(list.GetCount(true), 1u);
    const CScheduledItem& r = *list.GetItemAt(0, true);
    EXPECT_EQ(r.GetId(), item.GetId());
    EXPECT_EQ(r.GetStartDate(), item.GetStartDate());
    EXPECT_EQ(r.GetNextDue(), item.GetNextDue());
    EXPECT_EQ(r.GetFrequency(), kFrequencyMonthly);
    EXPECT_EQ(r.GetRepeatCount(), kRepeatIndefinitely);
    EXPECT_EQ(r.GetDaysInAdvance(), 3);
    EXPECT_EQ(r.GetAccountId(), Id(10));
    EXPECT_EQ(r.GetPayee(), "Landlord");
    EXPECT_EQ(r.Template().GetAmount(), 99999);
    EXPECT_EQ(r.Template().GetClassId(), Id(40));
    EXPECT_EQ(r.Template().GetCategoryId(), Id(20));
    EXPECT_EQ(r.Template().GetTypeId(), CheckTypeId);
}

TEST_F(HandheldWriteTest, ReplaceWithoutARowInsertsANewOne) {
    HandheldRow("CLASSES", 8, 5).Set(1, Blob(Id(1))).Set(2, std::string("old")).Insert(db_);
    CClassItem item("Travel", Id(9));
    ASSERT_EQ(ReplaceClass(db_, item), SQLITE_OK);
    EXPECT_EQ(Query("SELECT identifier FROM CLASSES WHERE name = 'Travel';"), "6");
    item.SetName("Trips");
    ASSERT_EQ(ReplaceClass(db_, item), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(identifier || name) FROM CLASSES;"), "5old,6Trips");
}

TEST_F(HandheldWriteTest, CurrencyRateAndSettings) {
    HandheldRow("CURRENCIES", 8, 1)
        .Set(1, std::string("$"))
        .Set(2, std::int64_t{1})
        .Set(6, std::int64_t{1})
        .Insert(db_);
    CCurrencyItem currency("$");
    currency.SetCurrencyId(1);
    currency.SetRate(1.25);
    ASSERT_EQ(ReplaceCurrency(db_, currency), SQLITE_OK);
    EXPECT_EQ(Query("SELECT conversion || ':' || modified FROM CURRENCIES;"), "1.25:0");
    ASSERT_EQ(SetSetting(db_, kSettingBaseCurrency, "7"), SQLITE_OK);
    std::string value;
    ASSERT_EQ(GetSetting(db_, kSettingBaseCurrency, value), SQLITE_OK);
    EXPECT_EQ(value, "7");
    // Settings are updated, never added.
    ASSERT_EQ(SetSetting(db_, "Unknown", "x"), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SETTINGS;"), "4");
}

TEST_F(HandheldWriteTest, BulkStatements) {
    for (int i = 1; i <= 4; ++i) {
        HandheldRow("TRANSACTIONS", 26, i)
            .Set(12, std::int64_t{i == 4 ? 1 : 0})
            .Set(23, std::int64_t{i % 2})
            .Set(24, std::int64_t{i == 2 ? 1 : 0})
            .Insert(db_);
        HandheldRow("SPLITS", 10, i).Set(9, std::int64_t{i}).Insert(db_);
    }
    EXPECT_EQ(PurgeDeletedRows(db_, Table::kTransactions), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(transaction_id) FROM SPLITS;"), "1,3,4");
    EXPECT_EQ(ClearModified(db_, Table::kTransactions, 3), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(modified) FROM TRANSACTIONS;"), "1,0,0");
    EXPECT_EQ(MarkAllModified(db_, Table::kTransactions), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(modified) FROM TRANSACTIONS;"), "1,1,1");
    EXPECT_EQ(ClearModified(db_, Table::kTransactions, 0), SQLITE_OK);
    EXPECT_EQ(Query("SELECT SUM(modified) FROM TRANSACTIONS;"), "0");
    // Templates stay; the register rows and their splits go.
    EXPECT_EQ(DeleteRegisterTransactions(db_), SQLITE_OK);
    EXPECT_EQ(Query("SELECT group_concat(identifier) FROM TRANSACTIONS;"), "4");
    EXPECT_EQ(Query("SELECT group_concat(transaction_id) FROM SPLITS;"), "4");
    EXPECT_EQ(DeleteAllRows(db_, Table::kTransactions), SQLITE_OK);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SPLITS;"), "0");
    EXPECT_NE(DeleteModifiedRows(db_, Table::kSettings), SQLITE_OK);  // no such column
}

TEST(HandheldWriteFailures, NoLibraryOrNoTable) {
    CSQLiteDBWrapper missing(test::MakeTempDir("nolib") + "/x.wqdb", kSqliteDefaultOpenFlags,
                             "libdoes-not-exist.so.0");
    CTransaction t;
    EXPECT_EQ(InsertTransaction(missing, 0, t, 1, 0), -1);
    EXPECT_EQ(DeleteRow(missing, 1, Table::kClasses), -1);

    CSQLiteDBWrapper empty(test::MakeTempDir("empty") + "/x.wqdb");
    EXPECT_EQ(InsertClass(empty, CClassItem("A", Id(1)), 0), SQLITE_ERROR);
    EXPECT_EQ(UpdateTransaction(empty, 0, t, 1), SQLITE_ERROR);
}

}  // namespace
}  // namespace tallowmere::handheld
