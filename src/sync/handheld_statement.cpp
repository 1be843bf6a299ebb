#include "sync/handheld_statement.h"

#include <atomic>
#include <climits>
#include <cstdarg>
#include <cstdio>

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

int Statement::Finalize() {
    if (statement_ == nullptr)
        return SQLITE_OK;
    int rc = db_.Finalize(statement_);
    statement_ = nullptr;
    return rc;
}

int Statement::Identifier(int column) {
    std::int64_t v = Int64(column);
    return v > 0 && v <= INT_MAX ? static_cast<int>(v) : 0;
}

std::int64_t ColumnClamped(Statement& s, int column, std::int64_t low, std::int64_t high) {
    std::int64_t v = s.Int64(column);
    return v < low ? low : (v > high ? high : v);
}

}  // namespace tallowmere::handheld
