#include "sync/handheld_pass_cache.h"

#include <algorithm>
#include <string_view>

#include "platform/text_1252.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_values.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

thread_local PassCache* tActive = nullptr;

// SQLite's names for a row number; a column of that name hides it.
constexpr const char* kRowidNames[] = {"rowid", "_rowid_", "oid"};

bool SameName(std::string_view a, std::string_view b) {
    return platform::CompareNoCase1252(a, b) == 0;
}

bool IsMirrored(Table table) {
    return table != Table::kCurrencies && table != Table::kSettings;
}

std::string Text(CSQLiteDBWrapper& db, sqlite3_stmt* s, int column) {
    const unsigned char* text = db.ColumnText(s, column);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

// The texts of the first result column (and of the second, when asked for)
// of a statement bound to one argument.
bool Texts(CSQLiteDBWrapper& db, const char* sql, const char* argument,
           std::vector<std::string>& first, std::vector<std::string>* second = nullptr) {
    Statement s(db);
    if (s.Prepare(sql, second != nullptr ? 2 : 1) != SQLITE_OK)
        return false;
    if (db.BindText(s.get(), 1, argument, -1, SQLITE_TRANSIENT) != SQLITE_OK)
        return false;
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
        first.push_back(Text(db, s.get(), 0));
        if (second != nullptr)
            second->push_back(Text(db, s.get(), 1));
    }
    return rc == SQLITE_DONE;
}

// The affinity a declared column type gives, by SQLite's rules.
enum class Affinity { kInteger, kText, kBlob, kReal, kNumeric };

Affinity AffinityOf(std::string type) {
    for (char& c : type)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    auto has = [&](const char* part) { return type.find(part) != std::string::npos; };
    if (has("INT"))
        return Affinity::kInteger;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return Affinity::kText;
    if (has("BLOB") || type.empty())
        return Affinity::kBlob;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return Affinity::kReal;
    return Affinity::kNumeric;
}

bool IsType(CSQLiteDBWrapper& db, sqlite3_stmt* s, int column, std::string_view type) {
    return Text(db, s, column) == type;
}

void InsertAscending(std::vector<std::int64_t>& rowids, std::int64_t rowid) {
    rowids.insert(std::upper_bound(rowids.begin(), rowids.end(), rowid), rowid);
}

void EraseFrom(std::vector<std::int64_t>& rowids, std::int64_t rowid) {
    auto it = std::lower_bound(rowids.begin(), rowids.end(), rowid);
    if (it != rowids.end() && *it == rowid)
        rowids.erase(it);
}

}  // namespace

// --- TableRows ----------------------------------------------------------

std::uint64_t TableRows::Key(const RecordId& id) {
    std::uint64_t k = 0;
    for (std::uint8_t b : id.bytes)
        k = (k << 8) | b;
    return k;
}

bool TableRows::Load(CSQLiteDBWrapper& db, Table table) {
    *this = TableRows{};
    const char* name = TableName(table);

    // A trigger may change rows behind the statements' backs.
    std::vector<std::string> triggers;
    if (!Texts(db, "SELECT name FROM sqlite_master WHERE type = ?1;", "trigger", triggers) ||
        !triggers.empty())
        return false;

    const bool splits = table == Table::kSplits;
    std::vector<std::string> columns, types;
    if (!Texts(db, "SELECT name, type FROM pragma_table_info(?1);", name, columns, &types))
        return false;
    // Integers written into a text column would compare and order as text.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const bool identifier = SameName(columns[i], "identifier");
        if ((identifier || (splits && SameName(columns[i], "transaction_id"))) &&
            AffinityOf(types[i]) == Affinity::kText)
            return false;
        if (identifier)
            numericIdentifier_ = AffinityOf(types[i]) != Affinity::kBlob;
    }
    for (const char* candidate : kRowidNames) {
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const std::string& c) { return SameName(c, candidate); })) {
            rowidName_ = candidate;
            break;
        }
    }
    if (rowidName_.empty())
        return false;

    // An index may hand rows out in its own order; one on the identifier
    // alone cannot, identifiers being unique here.
    std::vector<std::string> indexes;
    if (!Texts(db, "SELECT name FROM pragma_index_list(?1);", name, indexes))
        return false;
    for (const std::string& index : indexes) {
        std::vector<std::string> indexed;
        if (!Texts(db, "SELECT name FROM pragma_index_info(?1);", index.c_str(), indexed) ||
            indexed.size() != 1 || !SameName(indexed[0], "identifier"))
            return false;
    }

    // A table without row numbers fails here.
    Statement s(db);
    std::string sql =
        FormatSql("SELECT %s, identifier, typeof(identifier), %s, typeof(%s) FROM %s ORDER BY %s;",
                  rowidName_.c_str(), splits ? "transaction_id" : "uid",
                  splits ? "transaction_id" : "uid", name, rowidName_.c_str());
    if (s.Prepare(sql, 5) != SQLITE_OK)
        return false;
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
        if (!IsType(db, s.get(), 2, "integer"))
            return false;
        PassRow row;
        row.rowid = s.Int64(0);
        row.identifier = s.Int64(1);
        if (splits) {
            if (IsType(db, s.get(), 4, "integer"))
                row.transactionId = s.Int64(3);
            else if (!IsType(db, s.get(), 4, "null"))
                return false;
        } else {
            row.uidMatches = IsType(db, s.get(), 4, "blob") && db.ColumnBytes(s.get(), 3) == 8;
            row.uid = ColumnUid(db, s.get(), 3);
        }
        if (!Insert(row))
            return false;
    }
    return rc == SQLITE_DONE;
}

const PassRow* TableRows::FirstWithUid(const RecordId& id) const {
    auto it = byUid_.find(Key(id));
    if (it == byUid_.end() || it->second.empty())
        return nullptr;
    return &byRowid_.at(it->second.front());
}

const PassRow* TableRows::WithIdentifier(std::int64_t identifier) const {
    auto it = byIdentifier_.find(identifier);
    return it == byIdentifier_.end() ? nullptr : &byRowid_.at(it->second);
}

std::optional<std::int64_t> TableRows::MaxIdentifier() const {
    if (byIdentifier_.empty())
        return std::nullopt;
    return byIdentifier_.rbegin()->first;
}

const std::vector<std::int64_t>& TableRows::SplitRowsOf(std::int64_t transactionId) const {
    static const std::vector<std::int64_t> kNone;
    auto it = byTransaction_.find(transactionId);
    return it == byTransaction_.end() ? kNone : it->second;
}

bool TableRows::Insert(const PassRow& row) {
    if (!byIdentifier_.emplace(row.identifier, row.rowid).second)
        return false;
    byRowid_[row.rowid] = row;
    if (row.uidMatches)
        InsertAscending(byUid_[Key(row.uid)], row.rowid);
    if (row.transactionId)
        InsertAscending(byTransaction_[*row.transactionId], row.rowid);
    return true;
}

void TableRows::Erase(std::int64_t rowid) {
    auto it = byRowid_.find(rowid);
    if (it == byRowid_.end())
        return;
    const PassRow& row = it->second;
    byIdentifier_.erase(row.identifier);
    if (row.uidMatches)
        EraseFrom(byUid_[Key(row.uid)], rowid);
    if (row.transactionId)
        EraseFrom(byTransaction_[*row.transactionId], rowid);
    byRowid_.erase(it);
}

void TableRows::SetUid(std::int64_t rowid, const RecordId& uid) {
    auto it = byRowid_.find(rowid);
    if (it == byRowid_.end())
        return;
    PassRow& row = it->second;
    if (row.uidMatches)
        EraseFrom(byUid_[Key(row.uid)], rowid);
    row.uid = uid;
    row.uidMatches = true;
    InsertAscending(byUid_[Key(uid)], rowid);
}

// --- PassCache ----------------------------------------------------------

PassCache::PassCache(CSQLiteDBWrapper& db) : db_(db), outer_(tActive) {
    tActive = this;
}

PassCache::~PassCache() {
    tActive = outer_;
    for (auto& [sql, statements] : kept_)
        for (sqlite3_stmt* statement : statements)
            db_.Finalize(statement);
}

PassCache* PassCache::Of(CSQLiteDBWrapper& db) {
    for (PassCache* cache = tActive; cache != nullptr; cache = cache->outer_)
        if (&cache->db_ == &db)
            return cache;
    return nullptr;
}

TableRows* PassCache::Rows(Table table) {
    Entry& entry = tables_[static_cast<std::size_t>(table)];
    if (entry.state == State::kUnknown) {
        entry.state =
            IsMirrored(table) && entry.rows.Load(db_, table) ? State::kLoaded : State::kStatements;
        if (entry.state == State::kStatements)
            entry.rows = TableRows{};
    }
    return entry.state == State::kLoaded ? &entry.rows : nullptr;
}

TableRows* PassCache::Loaded(Table table) {
    Entry& entry = tables_[static_cast<std::size_t>(table)];
    return entry.state == State::kLoaded ? &entry.rows : nullptr;
}

void PassCache::Forget(Table table) {
    Entry& entry = tables_[static_cast<std::size_t>(table)];
    entry.state = State::kUnknown;
    entry.rows = TableRows{};
}

sqlite3_stmt* PassCache::TakeKept(const std::string& sql) {
    auto it = kept_.find(sql);
    if (it == kept_.end() || it->second.empty())
        return nullptr;
    sqlite3_stmt* statement = it->second.back();
    it->second.pop_back();
    return statement;
}

void PassCache::Keep(const std::string& sql, sqlite3_stmt* statement) {
    kept_[sql].push_back(statement);
}

TableRows* PassRows(CSQLiteDBWrapper& db, Table table) {
    PassCache* cache = PassCache::Of(db);
    return cache != nullptr ? cache->Rows(table) : nullptr;
}

void ForgetPassRows(CSQLiteDBWrapper& db, Table table) {
    if (PassCache* cache = PassCache::Of(db))
        cache->Forget(table);
}

}  // namespace tallowmere::handheld
