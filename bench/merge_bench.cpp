// One two-way sync run as the server starts it: a handheld database of
// 10,000 register rows against a desktop data set of 10,000 transactions,
// half of them on both sides, a tenth changed on each side, and the
// write-back of every desktop file included. The figure is printed beside
// its target.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "model/accounts.h"
#include "model/category.h"
#include "sync/handheld_merge.h"
#include "sync/handheld_read.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
using handheld::Table;

// The handheld's tables with the columns at the positions the desktop uses.
constexpr char kSchema[] = R"SQL(
CREATE TABLE ACCOUNTS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3, c4, c5, c6, c7,
  c8, c9, c10, c11, c12, c13, c14, c15, c16, c17, c18, c19, c20, c21, c22, c23, c24, c25, c26,
  c27, c28, c29, c30, c31, c32, c33, c34, c35, c36, c37, c38, c39, category_id INTEGER,
  modified INTEGER, deleted INTEGER, c43, c44, c45);
CREATE TABLE CATEGORIES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3, c4, c5, c6,
  modified INTEGER, deleted INTEGER, c9, c10);
CREATE TABLE CLASSES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3, c4,
  modified INTEGER, deleted INTEGER, c7);
CREATE TABLE CURRENCIES (identifier INTEGER PRIMARY KEY, symbol TEXT, currency_id INTEGER,
  conversion REAL, c4, c5, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3, c4, c5,
  modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEE_LOOKUP_ITEMS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3,
  modified INTEGER, deleted INTEGER, c6);
CREATE TABLE SCHEDULED_TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, c2, c3, c4, c5, c6,
  c7, c8, c9, modified INTEGER, deleted INTEGER);
CREATE TABLE TRANSACTION_TYPES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, c3, c4, c5,
  modified INTEGER, deleted INTEGER, c8, c9);
CREATE TABLE TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, c2, amount REAL, memo TEXT,
  payee_name TEXT, date INTEGER, specific INTEGER, pending_reconcile INTEGER, status INTEGER,
  base_amount REAL, accepted INTEGER, kind INTEGER, split_transfer INTEGER,
  split_transfer_index INTEGER, transfer_uid BLOB, fit_id TEXT, payee_lookup_item_uid BLOB,
  match_uid BLOB, transaction_class_id INTEGER, category_id INTEGER,
  original_currency_id INTEGER, type_id INTEGER, modified INTEGER, deleted INTEGER,
  account_id INTEGER);
CREATE TABLE SPLITS (identifier INTEGER PRIMARY KEY, amount REAL, memo TEXT, c3, c4, c5, c6,
  deleted INTEGER, modified INTEGER, transaction_id INTEGER);
CREATE TABLE SETTINGS (name TEXT, value TEXT);
INSERT INTO SETTINGS VALUES('baseCurrencyIdPlain', '1');
)SQL";

constexpr int kTransactions = 10000;
constexpr int kShared = kTransactions / 2;
constexpr int kChanged = kTransactions / 10;
constexpr PalmTime kFirstDate = 3673900800u;

RecordId TransactionId(int n) {
    return RecordId{{0x42, static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8),
                     static_cast<std::uint8_t>(n), 0x10, 0x20, 0x30, 0x40}};
}

std::unique_ptr<CTransaction> MakeTransaction(int n) {
    auto t = std::make_unique<CTransaction>();
    t->SetId(TransactionId(n));
    t->SetDate(kFirstDate + static_cast<PalmTime>(n) * 3600u);
    t->SetAmount(100 + n % 997);
    t->SetPayeeName("Payee " + std::to_string(n % 200));
    t->SetMemo("Memo " + std::to_string(n));
    t->SetAttributes(0);
    return t;
}

struct Fixture {
    Fixture() {
        root = (fs::temp_directory_path() / ("merge-bench-" + std::to_string(::getpid()))).string();
        fs::remove_all(root);
        fs::create_directories(root);
        baseFolder = root + "/base";
        baseDb = root + "/base.wqdb";
        workFolder = root + "/work";
        workDb = root + "/work.wqdb";
        ok = MakeDesktop() && MakeHandheld();
    }
    ~Fixture() { fs::remove_all(root); }

    // Desktop: transactions 0..9999 over Checking and Savings; the first
    // tenth changed since the last sync.
    bool MakeDesktop() {
        std::unique_ptr<CAccounts> data;
        if (CAccounts::LoadInto(data, baseFolder, {}) != 0)
            return false;
        CAccount* accounts[2] = {data->FindAccountById(RecordId::Fixed(5)),
                                 data->FindAccountById(RecordId::Fixed(6))};
        for (int n = 0; n < kTransactions; ++n) {
            auto t = MakeTransaction(n);
            if (n < kChanged) {
                t->SetMemo("Changed on the desktop");
                t->SetAttributes(kAttrModified);
            }
            accounts[n % 2]->AddTransaction(std::move(t));
        }
        for (CAccount* a : accounts) {
            a->ClearChangeFlags();
            if (a->Save() != 0)
                return false;
        }
        return true;
    }

    // Handheld: the shared half (0..4999), a tenth of them changed there
    // (1000..1999), and 5,000 rows of its own (15000..19999).
    bool MakeHandheld() {
        CSQLiteDBWrapper db(baseDb);
        if (db.ExecSql(kSchema) != 0 || db.ExecSql("BEGIN;") != 0)
            return false;
        const std::uint32_t offset = handheld::DateOffset(0);
        int rows[2] = {0, 0};
        const char* names[2] = {"Checking", "Savings"};
        for (int i = 0; i < 2; ++i) {
            CAccount account;
            account.Header().SetId(RecordId::Fixed(static_cast<std::uint16_t>(5 + i)));
            account.Header().SetName(names[i]);
            CCategoryItem bracket(handheld::AccountCategoryName(names[i]));
            bracket.SetId(NewRecordId());
            if (handheld::InsertCategory(db, bracket, 0) != 0 ||
                handheld::InsertAccount(db, offset, account, 0) != 0 ||
                handheld::FindIdentifierByUid(db, account.Header().GetId(), Table::kAccounts,
                                              rows[i]) != 0)
                return false;
        }
        for (int n = 0; n < kShared; ++n)
            if (handheld::InsertTransaction(db, offset, *MakeTransaction(n), rows[n % 2], 0) != 0)
                return false;
        for (int n = 2 * kTransactions - kShared; n < 2 * kTransactions; ++n)
            if (handheld::InsertTransaction(db, offset, *MakeTransaction(n), rows[n % 2], 0) != 0)
                return false;
        const std::string changed =
            "UPDATE TRANSACTIONS SET memo = 'Changed on the handheld', modified = 1 WHERE "
            "identifier > " +
            std::to_string(kChanged) + " AND identifier <= " + std::to_string(2 * kChanged) +
            " OR identifier > " + std::to_string(kShared) + ";";
        return db.ExecSql(changed.c_str()) == 0 && db.ExecSql("COMMIT;") == 0;
    }

    void Reset() {
        fs::remove_all(workFolder);
        fs::copy(baseFolder, workFolder, fs::copy_options::recursive);
        fs::copy_file(baseDb, workDb, fs::copy_options::overwrite_existing);
    }

    std::string root, baseFolder, baseDb, workFolder, workDb;
    bool ok = false;
};

void BM_MergeTwoWay(benchmark::State& state) {
    static Fixture f;
    if (!f.ok) {
        state.SkipWithError("fixture failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        f.Reset();
        state.ResumeTiming();
        handheld::CHandheldMerge merge(f.workFolder, f.workDb, {0, false, {}});
        if (merge.Run() != 0)
            state.SkipWithError("merge failed");
    }
    state.SetItemsProcessed(state.iterations() * 2 * kTransactions);
    state.SetLabel("10k + 10k transactions, mode 0, write-back included; target <= 2000 ms");
}
BENCHMARK(BM_MergeTwoWay)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace tallowmere
