#include "sync/handheld_statement.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "sync/handheld_pass_cache.h"

namespace tallowmere::handheld {

namespace {

std::atomic<TraceSink> g_traceSink{nullptr};

std::string VFormat(const char* format, va_list args) {
    char buffer[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(buffer, sizeof buffer, format, copy);
    va_end(copy);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(n));
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

}  // namespace

void SetTraceSink(TraceSink sink) {
    g_traceSink.store(sink);
}

void Trace(const char* format, ...) {
    TraceSink sink = g_traceSink.load();
    if (sink == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    sink(text);
}

std::string FormatSql(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    return text;
}

int Statement::Prepare(const std::string& sql, int minColumns) {
    Finalize();
    int rc = db_.Prepare(sql.c_str(), -1, &statement_, nullptr);
    if (rc != SQLITE_OK) {
        Trace("%s\n\r", db_.ErrMsg() ? db_.ErrMsg() : "");
        return rc;
    }
    if (statement_ == nullptr)
        return SQLITE_MISUSE;
    if (minColumns > 0 && db_.ColumnCount(statement_) < minColumns) {
        Finalize();
        return kSchemaMismatch;
    }
    return SQLITE_OK;
}

int Statement::PrepareKept(const std::string& sql, int minColumns) {
    Finalize();
    PassCache* cache = PassCache::Of(db_);
    if (cache == nullptr)
        return Prepare(sql, minColumns);
    // A kept statement passed the column check when it was first prepared.
    statement_ = cache->TakeKept(sql);
    int rc = statement_ != nullptr ? SQLITE_OK : Prepare(sql, minColumns);
    if (rc == SQLITE_OK) {
        keptBy_ = cache;
        keptSql_ = sql;
    }
    return rc;
}

int Statement::Finalize() {
    if (statement_ == nullptr)
        return SQLITE_OK;
    sqlite3_stmt* statement = statement_;
    statement_ = nullptr;
    PassCache* cache = keptBy_;
    keptBy_ = nullptr;
    if (cache != nullptr) {
        // Reset gives the code of the last step's error, as finalize does.
        int rc = db_.Reset(statement);
        if (rc != -1) {
            cache->Keep(keptSql_, statement);
            return rc;
        }
    }
    return db_.Finalize(statement);
}

int Statement::Identifier(int column) {
    return IdentifierValue(Int64(column));
}

int StepRowNumber(Statement& s, const std::string& sql, std::int64_t rowid, int minColumns,
                  bool& found) {
    found = false;
    int rc = s.PrepareKept(sql, minColumns);
    if (rc != SQLITE_OK)
        return rc;
    rc = s.db().BindInt64(s.get(), 1, rowid);
    if (rc != SQLITE_OK)
        return rc;
    rc = s.Step();
    found = rc == SQLITE_ROW;
    return found || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::int64_t ColumnClamped(Statement& s, int column, std::int64_t low, std::int64_t high) {
    std::int64_t v = s.Int64(column);
    return v < low ? low : (v > high ? high : v);
}

}  // namespace tallowmere::handheld
