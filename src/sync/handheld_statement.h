#pragma once
// Helpers shared by the handheld readers and writers: a prepared statement
// that finalizes itself, the debug trace, and the column reads that refuse
// hostile values. Not for use outside src/sync.
#include <sqlite3.h>

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "sync/handheld_db.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

// The sync debug trace. Nothing is shown to the user; without a sink the
// text is dropped.
using TraceSink = void (*)(std::string_view text);
void SetTraceSink(TraceSink sink);
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A statement text with "%s" a table name and "%d" an identifier; record
// texts are never formatted in, they are bound.
std::string FormatSql(const char* format, ...) __attribute__((format(printf, 1, 2)));

class PassCache;

// One statement on the wrapper's connection, finalized on every way out.
class Statement {
  public:
    explicit Statement(CSQLiteDBWrapper& db) : db_(db) {}
    ~Statement() { Finalize(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // A statement with fewer result columns than minColumns is a schema
    // error, so that every column read stays inside the row.
    int Prepare(const std::string& sql, int minColumns = 0);
    // The same for a text that a merge pass runs again and again (no value
    // formatted into it): the pass keeps the prepared statement for the
    // next use instead of finalizing it. Outside a pass, Prepare.
    int PrepareKept(const std::string& sql, int minColumns = 0);
    int Step() { return db_.Step(statement_); }
    // The finalize code (0, or the error of the last step).
    int Finalize();

    sqlite3_stmt* get() const { return statement_; }
    CSQLiteDBWrapper& db() const { return db_; }

    std::int64_t Int64(int column) { return db_.ColumnInt64(statement_, column); }
    // An identifier: a row number that fits "%d"; anything else is none.
    int Identifier(int column);

  private:
    CSQLiteDBWrapper& db_;
    sqlite3_stmt* statement_ = nullptr;
    // Set when the statement goes back to a pass's cache.
    PassCache* keptBy_ = nullptr;
    std::string keptSql_;
};

// An identifier value: a row number that fits "%d"; anything else is none.
inline int IdentifierValue(std::int64_t v) {
    return v > 0 && v <= INT_MAX ? static_cast<int>(v) : 0;
}

// Runs a kept statement whose ?1 is a row number on that row: found tells
// whether the row came (it is then ready to read); 0 or the failing code.
int StepRowNumber(Statement& s, const std::string& sql, std::int64_t rowid, int minColumns,
                  bool& found);

// An integer column clamped into [low, high] (hostile rows carry anything).
std::int64_t ColumnClamped(Statement& s, int column, std::int64_t low, std::int64_t high);

// A step code that is neither OK, ROW nor DONE.
inline bool IsStepError(int rc) {
    return rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE;
}

}  // namespace tallowmere::handheld
