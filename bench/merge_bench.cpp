// One two-way sync run as the server starts it: a handheld database of N
// register rows against a desktop data set of N transactions, half of them
// on both sides, a tenth changed on each side, and the write-back of every
// desktop file included. N is 10,000 and 40,000; each size runs on two
// schemas: identifier as INTEGER PRIMARY KEY (the row number itself) and
// identifier as a plain column, which the handheld is free to choose and
// which makes every statement "where identifier = n" a table scan unless
// the merge avoids it. The figures are printed beside their goals.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>

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

enum class Schema { kRowNumber, kPlainColumn };

std::string SchemaSql(Schema schema) {
    std::string sql = kSchema;
    if (schema == Schema::kRowNumber)
        return sql;
    const std::string key = "identifier INTEGER PRIMARY KEY";
    for (std::size_t at = sql.find(key); at != std::string::npos; at = sql.find(key, at))
        sql.replace(at, key.size(), "identifier INTEGER");
    return sql;
}

const char* SchemaName(Schema schema) {
    return schema == Schema::kRowNumber ? "identifier INTEGER PRIMARY KEY"
                                        : "identifier a plain column";
}

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
    Fixture(int transactions, Schema schema)
        : transactions_(transactions),
          shared_(transactions / 2),
          changed_(transactions / 10),
          schema_(schema) {
        root = (fs::temp_directory_path() /
                ("merge-bench-" + std::to_string(::getpid()) + "-" + std::to_string(transactions) +
                 "-" + std::to_string(static_cast<int>(schema))))
                   .string();
        fs::remove_all(root);
        fs::create_directories(root);
        baseFolder = root + "/base";
        baseDb = root + "/base.wqdb";
        workFolder = root + "/work";
        workDb = root + "/work.wqdb";
        ok = MakeDesktop() && MakeHandheld();
    }
    ~Fixture() { fs::remove_all(root); }

    // Desktop: transactions 0..N-1 over Checking and Savings; the first
    // tenth changed since the last sync.
    bool MakeDesktop() {
        std::unique_ptr<CAccounts> data;
        if (CAccounts::LoadInto(data, baseFolder, {}) != 0)
            return false;
        CAccount* accounts[2] = {data->FindAccountById(RecordId::Fixed(5)),
                                 data->FindAccountById(RecordId::Fixed(6))};
        for (int n = 0; n < transactions_; ++n) {
            auto t = MakeTransaction(n);
            if (n < changed_) {
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

    // Handheld: the shared half (0..N/2-1), a tenth of N changed there
    // (N/10..2N/10-1), and N/2 rows of its own (3N/2..2N-1). Rows are
    // numbered by the fixture, so making them costs no look-up.
    bool MakeHandheld() {
        CSQLiteDBWrapper db(baseDb);
        if (db.ExecSql(SchemaSql(schema_).c_str()) != 0 || db.ExecSql("BEGIN;") != 0)
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
        int identifier = 0;
        for (int n = 0; n < shared_; ++n)
            if (handheld::InsertTransaction(db, offset, *MakeTransaction(n), rows[n % 2],
                                            ++identifier) != 0)
                return false;
        for (int n = 2 * transactions_ - shared_; n < 2 * transactions_; ++n)
            if (handheld::InsertTransaction(db, offset, *MakeTransaction(n), rows[n % 2],
                                            ++identifier) != 0)
                return false;
        const std::string changed =
            "UPDATE TRANSACTIONS SET memo = 'Changed on the handheld', modified = 1 WHERE "
            "identifier > " +
            std::to_string(changed_) + " AND identifier <= " + std::to_string(2 * changed_) +
            " OR identifier > " + std::to_string(shared_) + ";";
        return db.ExecSql(changed.c_str()) == 0 && db.ExecSql("COMMIT;") == 0;
    }

    void Reset() {
        fs::remove_all(workFolder);
        fs::copy(baseFolder, workFolder, fs::copy_options::recursive);
        fs::copy_file(baseDb, workDb, fs::copy_options::overwrite_existing);
    }

    const int transactions_;
    const int shared_;
    const int changed_;
    Schema schema_;
    std::string root, baseFolder, baseDb, workFolder, workDb;
    bool ok = false;
};

constexpr int kSmall = 10000;
constexpr int kLarge = 40000;
constexpr double kLargeGoalMs = 1000;
constexpr double kGrowthGoal = 4.5;

// The mean time of each finished run, by size and schema, so the large run
// can print its growth over the small one.
std::map<std::pair<int, Schema>, double>& MeanMs() {
    static std::map<std::pair<int, Schema>, double> means;
    return means;
}

void BM_MergeTwoWay(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const Schema schema = static_cast<Schema>(state.range(1));
    static std::map<std::pair<int, Schema>, std::unique_ptr<Fixture>> fixtures;
    auto& f = fixtures[{size, schema}];
    if (!f)
        f = std::make_unique<Fixture>(size, schema);
    if (!f->ok) {
        state.SkipWithError("fixture failed");
        return;
    }
    double totalMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f->Reset();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        handheld::CHandheldMerge merge(f->workFolder, f->workDb, {0, false, {}});
        if (merge.Run() != 0)
            state.SkipWithError("merge failed");
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    const double meanMs = totalMs / static_cast<double>(state.iterations());
    MeanMs()[{size, schema}] = meanMs;
    state.SetItemsProcessed(state.iterations() * 2 * size);
    char label[256];
    if (size == kLarge) {
        auto small = MeanMs().find({kSmall, schema});
        const double growth = small != MeanMs().end() ? meanMs / small->second : 0;
        std::snprintf(label, sizeof label,
                      "%dk + %dk, mode 0, write-back included, %s; goal <= %.0f ms; "
                      "%.2f x the 10k time, goal <= %.1f x",
                      size / 1000, size / 1000, SchemaName(schema), kLargeGoalMs, growth,
                      kGrowthGoal);
    } else {
        std::snprintf(label, sizeof label,
                      "%dk + %dk, mode 0, write-back included, %s; the base of the 40k growth",
                      size / 1000, size / 1000, SchemaName(schema));
    }
    state.SetLabel(label);
}
BENCHMARK(BM_MergeTwoWay)
    ->ArgNames({"n", "plain_identifier"})
    ->Args({kSmall, static_cast<int>(Schema::kRowNumber)})
    ->Args({kLarge, static_cast<int>(Schema::kRowNumber)})
    ->Args({kSmall, static_cast<int>(Schema::kPlainColumn)})
    ->Args({kLarge, static_cast<int>(Schema::kPlainColumn)})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
}  // namespace tallowmere
