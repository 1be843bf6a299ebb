#pragma once
// The handheld's schema as the tests build it, and a row builder. The
// handheld app owns the real schema; positions and the named columns are
// what the desktop relies on, the other names are this file's own.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_env.h"
#include "sync/handheld_db.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::test {

inline constexpr char kHandheldSchemaSql[] = R"SQL(
CREATE TABLE ACCOUNTS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, name_modified INTEGER,
  type INTEGER, type_modified INTEGER, bank_name TEXT, bank_name_modified INTEGER,
  account_number TEXT, account_number_modified INTEGER, check_number INTEGER,
  check_number_modified INTEGER, opening_balance REAL, opening_balance_modified INTEGER,
  icon INTEGER, icon_modified INTEGER, include_in_totals INTEGER, include_in_totals_modified INTEGER,
  online_enabled INTEGER, online_enabled_modified INTEGER, statement_balance REAL,
  statement_balance_modified INTEGER, statement_date INTEGER, statement_date_modified INTEGER,
  reconcile_opening REAL, reconcile_opening_modified INTEGER, reconcile_ending REAL,
  reconcile_ending_modified INTEGER, reconcile_date INTEGER, reconcile_date_modified INTEGER,
  online_block BLOB, online_block_modified INTEGER, institution_id INTEGER,
  institution_id_modified INTEGER, routing_number TEXT, routing_number_modified INTEGER,
  online_account_id TEXT, online_account_id_modified INTEGER, currency_id INTEGER,
  currency_id_modified INTEGER, category_id INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, online_balance REAL, flags INTEGER);
CREATE TABLE CATEGORIES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, parent_code INTEGER,
  fixed_code INTEGER, icon INTEGER, budget REAL, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, parent_id INTEGER);
CREATE TABLE CLASSES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, fixed_code INTEGER,
  amount REAL, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE CURRENCIES (identifier INTEGER PRIMARY KEY, symbol TEXT, currency_id INTEGER,
  conversion REAL, name TEXT, base_changed INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, budget REAL,
  sort_order INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEE_LOOKUP_ITEMS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  payee_name TEXT, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE SCHEDULED_TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  date INTEGER, next_date INTEGER, frequency INTEGER, repeat_count INTEGER, enter_mode INTEGER,
  days INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE TRANSACTION_TYPES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  outflow INTEGER, numbered INTEGER, built_in INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, flags INTEGER);
CREATE TABLE TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  amount REAL, memo TEXT, payee_name TEXT, date INTEGER, specific INTEGER,
  pending_reconcile INTEGER, status INTEGER, base_amount REAL, accepted INTEGER, kind INTEGER,
  split_transfer INTEGER, split_transfer_index INTEGER, transfer_uid BLOB, fit_id TEXT,
  payee_lookup_item_uid BLOB, match_uid BLOB, transaction_class_id INTEGER, category_id INTEGER,
  original_currency_id INTEGER, type_id INTEGER, modified INTEGER, deleted INTEGER,
  account_id INTEGER);
CREATE TABLE SPLITS (identifier INTEGER PRIMARY KEY, amount REAL, memo TEXT, line_index INTEGER,
  transfer_uid BLOB, class_id INTEGER, category_id INTEGER, deleted INTEGER, modified INTEGER,
  transaction_id INTEGER);
CREATE TABLE SETTINGS (name TEXT, value TEXT);
INSERT INTO SETTINGS VALUES('HHDeviceName', 'Test handheld');
INSERT INTO SETTINGS VALUES('HHDeviceUniqueSerial', 'TEST-SERIAL-0001');
INSERT INTO SETTINGS VALUES('PasswordCribName', '');
INSERT INTO SETTINGS VALUES('baseCurrencyIdPlain', '1');
)SQL";

// A fresh handheld database with the schema in a new folder; its path.
inline std::string MakeHandheldTestDb() {
    std::string path = MakeTempDir("handheld") + "/" + handheld::kDatabaseFileName;
    CSQLiteDBWrapper db(path);
    EXPECT_EQ(db.ExecSql(kHandheldSchemaSql), SQLITE_OK) << (db.ErrMsg() ? db.ErrMsg() : "");
    return path;
}

using SqlBlob = std::vector<std::uint8_t>;
using SqlValue = std::variant<std::nullptr_t, std::int64_t, double, std::string, SqlBlob>;

inline int BindSqlValue(CSQLiteDBWrapper& db, sqlite3_stmt* statement, int index,
                        const SqlValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return db.BindInt64(statement, index, *i);
    if (const auto* d = std::get_if<double>(&value))
        return db.BindDouble(statement, index, *d);
    if (const auto* s = std::get_if<std::string>(&value))
        return db.BindText(statement, index, s->data(), static_cast<int>(s->size()),
                           SQLITE_TRANSIENT);
    if (const auto* b = std::get_if<SqlBlob>(&value))
        return db.BindBlob(statement, index, b->data(), static_cast<int>(b->size()),
                           SQLITE_TRANSIENT);
    return db.BindNull(statement, index);
}

// Runs sql with the values bound in order; the code of the step.
inline int ExecBound(CSQLiteDBWrapper& db, const std::string& sql,
                     const std::vector<SqlValue>& values) {
    sqlite3_stmt* statement = nullptr;
    int rc = db.Prepare(sql.c_str(), -1, &statement, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    for (std::size_t i = 0; i < values.size(); ++i)
        BindSqlValue(db, statement, static_cast<int>(i + 1), values[i]);
    rc = db.Step(statement);
    db.Finalize(statement);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// One row of a table: every column 0 (identifier given), changed with Set,
// written with Insert.
class HandheldRow {
  public:
    HandheldRow(std::string table, int columns, std::int64_t identifier)
        : table_(std::move(table)), values_(static_cast<std::size_t>(columns), std::int64_t{0}) {
        values_[0] = identifier;
    }
    HandheldRow& Set(int column, SqlValue value) {
        values_.at(static_cast<std::size_t>(column)) = std::move(value);
        return *this;
    }
    int Insert(CSQLiteDBWrapper& db) const {
        std::string sql = "INSERT INTO " + table_ + " VALUES(";
        for (std::size_t i = 0; i < values_.size(); ++i)
            sql += i == 0 ? "?" : ",?";
        sql += ");";
        return ExecBound(db, sql, values_);
    }

  private:
    std::string table_;
    std::vector<SqlValue> values_;
};

// The first column of the first row of a query as text ("" for none).
inline std::string QueryText(CSQLiteDBWrapper& db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (db.Prepare(sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        return "<prepare failed>";
    std::string text;
    if (db.Step(statement) == SQLITE_ROW) {
        if (const unsigned char* p = db.ColumnText(statement, 0))
            text.assign(reinterpret_cast<const char*>(p),
                        static_cast<std::size_t>(db.ColumnBytes(statement, 0)));
    }
    db.Finalize(statement);
    return text;
}

}  // namespace tallowmere::test
