#pragma once
// A user's data folder and a handheld database side by side for the merge
// tests: the desktop data set as the program would have saved it, and rows
// written with the desktop's own writers so both sides start equal.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "model/accounts.h"
#include "model/record_id.h"
#include "support/test_env.h"
#include "sync/handheld_read.h"
#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::test {

// 2020-06-01 in desktop seconds, any time that dates stay inside.
inline constexpr PalmTime kSomeDate = 3673900800u;

struct MergeFixture {
    MergeFixture() : folder(MakeTempDir("user")), dbPath(MakeHandheldTestDb()), db(dbPath) {
        data = Reload(/*placeholders=*/false);
        EXPECT_TRUE(data);
        // The checking account is on both sides, so transactions and
        // scheduled items have an account row.
        CAccount& checking = Checking();
        checking.ClearChangeFlags();
        EXPECT_EQ(checking.Save(), 0);
        InsertAccountRow(checking);
        checkingRow = Row("ACCOUNTS", CheckingId());
    }

    static RecordId CheckingId() { return RecordId::Fixed(0x0005); }
    // Made, as every id is, at a real time (bytes 4-7: 2010).
    static RecordId TestId(std::uint8_t seed) {
        return RecordId{{0x5A, seed, 0x10, 0x20, 0xC8, 0x40, 0x50, 0x60}};
    }

    CAccount& Checking() { return *data->FindAccountById(CheckingId()); }

    std::unique_ptr<CAccounts> Reload(bool placeholders = true) const {
        AccountsLoadOptions options;
        options.cipher = HeaderCipher::PassThrough();
        options.includePlaceholders = placeholders;
        std::unique_ptr<CAccounts> loaded;
        EXPECT_EQ(CAccounts::LoadInto(loaded, folder, options), 0);
        return loaded;
    }

    void Exec(const std::string& sql) {
        ASSERT_EQ(db.ExecSql(sql.c_str()), SQLITE_OK)
            << sql << ": " << (db.ErrMsg() ? db.ErrMsg() : "");
    }

    int Row(const char* table, const RecordId& id) {
        int identifier = 0;
        for (int t = 0; t < handheld::kTableCount; ++t) {
            const auto which = static_cast<handheld::Table>(t);
            if (std::string(handheld::UpperTableName(which)) == table) {
                EXPECT_EQ(handheld::FindIdentifierByUid(db, id, which, identifier), 0);
            }
        }
        return identifier;
    }

    void DeleteRowByUid(const char* table, const RecordId& id) {
        const int row = Row(table, id);
        Exec(std::string("DELETE FROM ") + table + " WHERE identifier = " + std::to_string(row) +
             ";");
    }

    void InsertAccountRow(const CAccount& account) {
        CCategoryItem bracket(handheld::AccountCategoryName(account.Header().GetName()));
        bracket.SetId(NewRecordId());
        bracket.SetAttribute(0);
        ASSERT_EQ(handheld::InsertCategory(db, bracket, 0), 0);
        ASSERT_EQ(handheld::InsertAccount(db, offset, account, 0), 0);
    }

    void InsertRow(const CCategoryItem& c) { ASSERT_EQ(handheld::InsertCategory(db, c, 0), 0); }
    void InsertRow(const CClassItem& c) { ASSERT_EQ(handheld::InsertClass(db, c, 0), 0); }
    void InsertRow(const CPayeeItem& p) { ASSERT_EQ(handheld::InsertPayee(db, p, 0), 0); }
    void InsertRow(const CPayeeLookupItem& p) {
        ASSERT_EQ(handheld::InsertPayeeLookup(db, p, 0), 0);
    }
    void InsertRow(const CTransactionType& t) {
        ASSERT_EQ(handheld::InsertTransactionType(db, t, 0), 0);
    }
    void InsertRow(const CScheduledItem& s) {
        ASSERT_EQ(handheld::InsertScheduled(db, offset, s, 0), 0);
    }

    std::unique_ptr<CScheduledItem> MakeScheduled(const RecordId& id) {
        auto item = std::make_unique<CScheduledItem>();
        CTransaction& t = item->EditTemplate();
        t.SetId(id);
        t.SetDate(kSomeDate);
        t.SetAmount(1234);
        t.SetPayeeName("Rent");
        t.SetAttributes(0);
        item->SetAccountId(CheckingId());
        item->SetNextDue(kSomeDate + 86400u * 30);
        item->SetFrequency(3);
        item->SetAttribute(0);
        return item;
    }

    std::unique_ptr<CTransaction> MakeTransaction(const RecordId& id, const std::string& memo) {
        auto t = std::make_unique<CTransaction>();
        t->SetId(id);
        t->SetDate(kSomeDate + id.bytes[1] * 60u);
        t->SetAmount(100 + id.bytes[1]);
        t->SetMemo(memo);
        t->SetPayeeName("Shop");
        t->SetAttributes(0);
        return t;
    }

    void AddTransaction(const RecordId& id, const std::string& memo, bool onDesktop) {
        auto t = MakeTransaction(id, memo);
        ASSERT_EQ(handheld::InsertTransaction(db, offset, *t, checkingRow, 0), 0);
        if (onDesktop)
            Checking().AddTransaction(std::move(t));
    }

    void AddAccount(const RecordId& id, const std::string& bank, bool onDesktop) {
        auto account = std::make_unique<CAccount>();
        account->Header().SetId(id);
        account->Header().SetName("Acct " + std::to_string(id.bytes[1]));
        account->Header().SetBankName(bank);
        account->ClearChangeFlags();
        InsertAccountRow(*account);
        if (!onDesktop)
            return;
        ASSERT_EQ(account->MakeFilePath(folder, account->Header().GetName()), 0);
        account->SetCipher(HeaderCipher::PassThrough());
        ASSERT_EQ(account->Save(), 0);
        data->InsertAccount(std::move(account));
    }

    int SaveDesktop() { return data->Save(); }

    std::string folder;
    std::string dbPath;
    CSQLiteDBWrapper db;
    std::unique_ptr<CAccounts> data;
    std::uint32_t offset = handheld::DateOffset(0);
    int checkingRow = 0;
};

}  // namespace tallowmere::test
