#pragma once
// What one merge pass keeps in memory about the handheld database, so that
// no look-up by uid or identifier scans a table and no statement is prepared
// twice: per table, the row of each identifier and the first row of each uid
// (in table order, as a scan gives them), and the split rows of each
// transaction, all kept in step with the pass's own inserts, deletes and uid
// repairs; and the prepared statements that the pass runs again and again.
//
// The rows are answered only where they mirror exactly what the statements
// would give. A table that cannot be mirrored (an identifier that is not a
// unique integer, an index that could change the order rows come in, no row
// number to address a row by) is left to the statements. Nothing is added
// to the database file: rows are addressed by SQLite's own row number.
#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/record_id.h"
#include "sync/handheld_db.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

// One row as the pass knows it.
struct PassRow {
    std::int64_t rowid = 0;
    std::int64_t identifier = 0;
    // What a read of the uid column gives.
    RecordId uid;
    // An 8-byte blob: only such a uid equals a record id bound in a look-up.
    bool uidMatches = false;
    // SPLITS: the owning transaction's identifier, when it is an integer.
    std::optional<std::int64_t> transactionId;
};

class TableRows {
  public:
    // One scan of the table; false when the table cannot be mirrored.
    bool Load(CSQLiteDBWrapper& db, Table table);

    // The name that addresses a row by its row number in this table.
    const std::string& RowidName() const { return rowidName_; }
    // Whether the identifier column turns a quoted number into a number (a
    // column without a type compares '5' with 5 as unequal).
    bool NumericIdentifier() const { return numericIdentifier_; }

    const PassRow* FirstWithUid(const RecordId& id) const;
    const PassRow* WithIdentifier(std::int64_t identifier) const;
    // MAX(identifier) as the statement gives it: none for an empty table.
    std::optional<std::int64_t> MaxIdentifier() const;
    // SPLITS: the row numbers of a transaction's split rows, in table order.
    const std::vector<std::int64_t>& SplitRowsOf(std::int64_t transactionId) const;

    // The pass's own changes. Insert is false for a row whose identifier
    // is taken: the table can no longer be mirrored.
    bool Insert(const PassRow& row);
    void Erase(std::int64_t rowid);
    void SetUid(std::int64_t rowid, const RecordId& uid);

  private:
    static std::uint64_t Key(const RecordId& id);

    std::string rowidName_;
    bool numericIdentifier_ = false;
    std::unordered_map<std::int64_t, PassRow> byRowid_;
    // Ordered, for the largest.
    std::map<std::int64_t, std::int64_t> byIdentifier_;
    // Row numbers, ascending: table order.
    std::unordered_map<std::uint64_t, std::vector<std::int64_t>> byUid_;
    std::unordered_map<std::int64_t, std::vector<std::int64_t>> byTransaction_;
};

// One per merge pass, on the pass's connection. The readers and writers of
// the handheld database find it through the connection (PassCache::Of) and
// go to the statements when there is none, as outside a merge.
class PassCache {
  public:
    explicit PassCache(CSQLiteDBWrapper& db);
    ~PassCache();
    PassCache(const PassCache&) = delete;
    PassCache& operator=(const PassCache&) = delete;

    // The cache of the pass running on db on this thread; null for none.
    static PassCache* Of(CSQLiteDBWrapper& db);

    // The table's rows, loaded on first use; null when the statements
    // answer for it.
    TableRows* Rows(Table table);
    // The same without loading: null when the rows are not read yet.
    TableRows* Loaded(Table table);
    // After a statement that changed rows in bulk, or a change that could
    // not be mirrored: the rows are loaded again when next asked for.
    void Forget(Table table);

    // A prepared statement of this text kept from an earlier use (reset,
    // bindings kept), or null; Keep hands it back after use.
    sqlite3_stmt* TakeKept(const std::string& sql);
    void Keep(const std::string& sql, sqlite3_stmt* statement);

  private:
    enum class State { kUnknown, kLoaded, kStatements };
    struct Entry {
        State state = State::kUnknown;
        TableRows rows;
    };

    CSQLiteDBWrapper& db_;
    PassCache* outer_;
    std::array<Entry, kTableCount> tables_;
    std::unordered_map<std::string, std::vector<sqlite3_stmt*>> kept_;
};

// Shorthands: the rows of the table in the pass running on db, or null;
// forgetting does nothing outside a pass.
TableRows* PassRows(CSQLiteDBWrapper& db, Table table);
void ForgetPassRows(CSQLiteDBWrapper& db, Table table);

}  // namespace tallowmere::handheld
