#include "sync/sqlite_wrapper.h"

#include <climits>
#include <cstdarg>
#include <mutex>
#include <utility>

#include "sync/sqlite_budget.h"

namespace tallowmere {

namespace {

// Published names, in the order of the Entry cells.
// clang-format off
constexpr const char* kEntryNames[] = {
    "sqlite3_open_v2",       "sqlite3_close",        "sqlite3_exec",
    "sqlite3_errmsg",        "sqlite3_vmprintf",     "sqlite3_malloc",
    "sqlite3_realloc",       "sqlite3_free",         "sqlite3_prepare_v2",
    "sqlite3_step",          "sqlite3_finalize",     "sqlite3_column_text",
    "sqlite3_column_text16", "sqlite3_column_blob",  "sqlite3_column_int",
    "sqlite3_column_bytes",  "sqlite3_column_int64", "sqlite3_column_double",
    "sqlite3_column_value",  "sqlite3_blob_bytes",   "sqlite3_blob_open",
    "sqlite3_blob_read",     "sqlite3_blob_write",   "sqlite3_blob_close",
    "sqlite3_bind_blob",     "sqlite3_bind_double",  "sqlite3_bind_int",
    "sqlite3_bind_int64",    "sqlite3_bind_null",    "sqlite3_bind_text",
    "sqlite3_bind_text16",   "sqlite3_bind_value",   "sqlite3_bind_zeroblob",
    "sqlite3_busy_timeout",  "sqlite3_bind_blob",    "sqlite3_db_config",
    "sqlite3_limit",         "sqlite3_column_count",
    "sqlite3_reset",         "sqlite3_last_insert_rowid",
    "sqlite3_progress_handler", "sqlite3_interrupt",
};
// clang-format on

// Virtual machine steps between two looks at the budget.
constexpr int kProgressSteps = 1000;

int BudgetProgress(void* budget) {
    return static_cast<const CSqliteBudget*>(budget)->Spent() ? 1 : 0;
}

std::mutex& NameMutex() {
    static std::mutex m;
    return m;
}

std::string& LibraryNameCell() {
    static std::string name = "libsqlite3.so.0";
    return name;
}

}  // namespace

std::string SqliteLibraryName() {
    std::lock_guard lock(NameMutex());
    return LibraryNameCell();
}

void SetSqliteLibraryName(std::string name) {
    std::lock_guard lock(NameMutex());
    LibraryNameCell() = std::move(name);
}

CSQLiteDBWrapper::CSQLiteDBWrapper(std::string path)
    : CSQLiteDBWrapper(std::move(path), kSqliteDefaultOpenFlags) {}

CSQLiteDBWrapper::CSQLiteDBWrapper(std::string path, int openFlags)
    : CSQLiteDBWrapper(std::move(path), openFlags, SqliteLibraryName()) {}

CSQLiteDBWrapper::CSQLiteDBWrapper(std::string path, int openFlags, CSqliteBudget* budget)
    : CSQLiteDBWrapper(std::move(path), openFlags, SqliteLibraryName(), budget) {}

CSQLiteDBWrapper::CSQLiteDBWrapper(std::string path, int openFlags, std::string libraryName,
                                   CSqliteBudget* budget)
    : path_(std::move(path)),
      open_flags_(openFlags),
      library_name_(std::move(libraryName)),
      budget_(budget) {
    static_assert(std::size(kEntryNames) == kEntryCount);
    Open();
}

CSQLiteDBWrapper::~CSQLiteDBWrapper() {
    // A connection that still has statements stays open (and leaks); the
    // library's code is never called through it again.
    Close();
    Unguard();
    library_.Unload();
}

template <class F>
F CSQLiteDBWrapper::Resolve(Entry entry) {
    if (!library_.IsLoaded())
        LoadLibrary();
    if (!library_.IsLoaded())
        return nullptr;
    void*& cell = entries_[entry];
    if (cell == nullptr)
        cell = library_.Symbol(kEntryNames[entry]);
    return reinterpret_cast<F>(cell);
}

int CSQLiteDBWrapper::LoadLibrary() {
    if (library_.IsLoaded())
        return 1;
    return library_.Load(library_name_) == 0 ? 1 : -1;
}

int CSQLiteDBWrapper::Open() {
    // A cut or embedded-NUL path would open some other file.
    if (path_.size() < 2 || path_.size() >= PATH_MAX || path_.find('\0') != std::string::npos)
        return -1;
    if (connection_ != nullptr)
        return SQLITE_OK;
    auto open = Resolve<decltype(&::sqlite3_open_v2)>(kOpenV2);
    if (open == nullptr)
        return -1;
    sqlite3* db = nullptr;
    int rc = open(path_.c_str(), &db, open_flags_, nullptr);
    if (rc != SQLITE_OK || db == nullptr) {
        // The library makes a handle even when the open fails.
        if (db != nullptr) {
            if (auto close = Resolve<decltype(&::sqlite3_close)>(kClose))
                close(db);
        }
        return rc != SQLITE_OK ? rc : SQLITE_CANTOPEN;
    }
    connection_ = db;
    // Under the budget from its first statement on; a connection that
    // cannot be stopped is not handed out.
    if (budget_ != nullptr && !Guard()) {
        if (auto close = Resolve<decltype(&::sqlite3_close)>(kClose))
            close(connection_);
        connection_ = nullptr;
        return -1;
    }
    Configure();
    return rc;
}

bool CSQLiteDBWrapper::Guard() {
    auto progress = Resolve<decltype(&::sqlite3_progress_handler)>(kProgressHandler);
    if (progress == nullptr || Resolve<decltype(&::sqlite3_interrupt)>(kInterrupt) == nullptr)
        return false;
    progress(connection_, kProgressSteps, BudgetProgress, budget_);
    budget_->Attach(this);
    guarded_ = true;
    return true;
}

void CSQLiteDBWrapper::Unguard() {
    if (guarded_)
        budget_->Detach(this);
    guarded_ = false;
}

void CSQLiteDBWrapper::Interrupt() {
    auto interrupt = reinterpret_cast<decltype(&::sqlite3_interrupt)>(entries_[kInterrupt]);
    if (interrupt != nullptr && connection_ != nullptr)
        interrupt(connection_);
}

void CSQLiteDBWrapper::Configure() {
    // The file comes from the handheld over the network: no schema-defined
    // code gets unsafe functions, and the file cannot be damaged on purpose
    // through the connection.
    if (auto config = Resolve<decltype(&::sqlite3_db_config)>(kDbConfig))
        config(connection_, SQLITE_DBCONFIG_DEFENSIVE, 1, static_cast<int*>(nullptr));
    if (auto limit = Resolve<decltype(&::sqlite3_limit)>(kLimit))
        limit(connection_, SQLITE_LIMIT_LENGTH, kSqliteMaxValueBytes);
    auto exec = Resolve<decltype(&::sqlite3_exec)>(kExec);
    if (exec == nullptr)
        return;
    exec(connection_, "PRAGMA trusted_schema = OFF;", nullptr, nullptr, nullptr);
    // A merge makes many single-statement writes.
    exec(connection_, "PRAGMA synchronous = OFF;", nullptr, nullptr, nullptr);
    exec(connection_, "PRAGMA temp_store = MEMORY;", nullptr, nullptr, nullptr);
    exec(connection_, "PRAGMA cache_size = 20000;", nullptr, nullptr, nullptr);
}

sqlite3* CSQLiteDBWrapper::Connection() {
    if (connection_ == nullptr)
        Open();
    return connection_;
}

int CSQLiteDBWrapper::Close() {
    if (connection_ == nullptr)
        return -1;
    auto close = Resolve<decltype(&::sqlite3_close)>(kClose);
    if (close == nullptr)
        return -1;
    // The budget must not interrupt a handle that is going.
    const bool guarded = guarded_;
    Unguard();
    int rc = close(connection_);
    if (rc == SQLITE_OK)
        connection_ = nullptr;
    else if (guarded)
        Guard();
    return rc;
}

int CSQLiteDBWrapper::Exec(const char* sql, int (*callback)(void*, int, char**, char**),
                           void* context, char** errorText) {
    sqlite3* db = Connection();
    if (db == nullptr)
        return -1;
    auto f = Resolve<decltype(&::sqlite3_exec)>(kExec);
    return f != nullptr ? f(db, sql, callback, context, errorText) : -1;
}

int CSQLiteDBWrapper::ExecSql(const char* sql) {
    char* errorText = nullptr;
    int rc = Exec(sql, nullptr, nullptr, &errorText);
    Free(errorText);
    return rc;
}

sqlite3_int64 CSQLiteDBWrapper::LastInsertRowid() {
    if (connection_ == nullptr)
        return 0;
    auto f = Resolve<decltype(&::sqlite3_last_insert_rowid)>(kLastInsertRowid);
    return f != nullptr ? f(connection_) : 0;
}

int CSQLiteDBWrapper::Prepare(const char* sql, int bytes, sqlite3_stmt** statement,
                              const char** tail) {
    sqlite3* db = Connection();
    if (db == nullptr)
        return -1;
    if (sql == nullptr) {
        if (statement != nullptr)
            *statement = nullptr;
        return SQLITE_NOMEM;
    }
    auto f = Resolve<decltype(&::sqlite3_prepare_v2)>(kPrepareV2);
    return f != nullptr ? f(db, sql, bytes, statement, tail) : -1;
}

const char* CSQLiteDBWrapper::ErrMsg() {
    sqlite3* db = Connection();
    if (db == nullptr)
        return nullptr;
    auto f = Resolve<decltype(&::sqlite3_errmsg)>(kErrMsg);
    return f != nullptr ? f(db) : nullptr;
}

char* CSQLiteDBWrapper::MPrintf(const char* format, ...) {
    if (Connection() == nullptr)
        return nullptr;
    auto f = Resolve<decltype(&::sqlite3_vmprintf)>(kVmprintf);
    if (f == nullptr)
        return nullptr;
    va_list args;
    va_start(args, format);
    char* text = f(format, args);
    va_end(args);
    return text;
}

int CSQLiteDBWrapper::BlobOpen(const char* database, const char* table, const char* column,
                               sqlite3_int64 row, int flags, sqlite3_blob** blob) {
    sqlite3* db = Connection();
    if (db == nullptr)
        return -1;
    auto f = Resolve<decltype(&::sqlite3_blob_open)>(kBlobOpen);
    return f != nullptr ? f(db, database, table, column, row, flags, blob) : -1;
}

// The rest take their handles from the caller and pass everything through.
#define TALLOWMERE_FORWARD(entry, function, failure, ...) \
    auto f = Resolve<decltype(&::function)>(entry);       \
    return f != nullptr ? f(__VA_ARGS__) : failure

int CSQLiteDBWrapper::Step(sqlite3_stmt* statement) {
    TALLOWMERE_FORWARD(kStep, sqlite3_step, -1, statement);
}

int CSQLiteDBWrapper::Finalize(sqlite3_stmt* statement) {
    TALLOWMERE_FORWARD(kFinalize, sqlite3_finalize, 0, statement);
}

int CSQLiteDBWrapper::Reset(sqlite3_stmt* statement) {
    TALLOWMERE_FORWARD(kReset, sqlite3_reset, -1, statement);
}

const unsigned char* CSQLiteDBWrapper::ColumnText(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnText, sqlite3_column_text, nullptr, statement, column);
}

const void* CSQLiteDBWrapper::ColumnText16(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnText16, sqlite3_column_text16, nullptr, statement, column);
}

const void* CSQLiteDBWrapper::ColumnBlob(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnBlob, sqlite3_column_blob, nullptr, statement, column);
}

int CSQLiteDBWrapper::ColumnInt(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnInt, sqlite3_column_int, 0, statement, column);
}

int CSQLiteDBWrapper::ColumnBytes(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnBytes, sqlite3_column_bytes, 0, statement, column);
}

sqlite3_int64 CSQLiteDBWrapper::ColumnInt64(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnInt64, sqlite3_column_int64, 0, statement, column);
}

sqlite3_value* CSQLiteDBWrapper::ColumnValue(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnValue, sqlite3_column_value, nullptr, statement, column);
}

double CSQLiteDBWrapper::ColumnDouble(sqlite3_stmt* statement, int column) {
    TALLOWMERE_FORWARD(kColumnDouble, sqlite3_column_double, 0.0, statement, column);
}

int CSQLiteDBWrapper::ColumnCount(sqlite3_stmt* statement) {
    TALLOWMERE_FORWARD(kColumnCount, sqlite3_column_count, 0, statement);
}

void* CSQLiteDBWrapper::Malloc(int bytes) {
    TALLOWMERE_FORWARD(kMalloc, sqlite3_malloc, nullptr, bytes);
}

void* CSQLiteDBWrapper::Realloc(void* pointer, int bytes) {
    TALLOWMERE_FORWARD(kRealloc, sqlite3_realloc, nullptr, pointer, bytes);
}

void CSQLiteDBWrapper::Free(void* pointer) {
    if (auto f = Resolve<decltype(&::sqlite3_free)>(kFree))
        f(pointer);
}

int CSQLiteDBWrapper::BlobBytes(sqlite3_blob* blob) {
    TALLOWMERE_FORWARD(kBlobBytes, sqlite3_blob_bytes, -1, blob);
}

int CSQLiteDBWrapper::BlobRead(sqlite3_blob* blob, void* buffer, int bytes, int offset) {
    TALLOWMERE_FORWARD(kBlobRead, sqlite3_blob_read, -1, blob, buffer, bytes, offset);
}

int CSQLiteDBWrapper::BlobWrite(sqlite3_blob* blob, const void* buffer, int bytes, int offset) {
    TALLOWMERE_FORWARD(kBlobWrite, sqlite3_blob_write, -1, blob, buffer, bytes, offset);
}

int CSQLiteDBWrapper::BlobClose(sqlite3_blob* blob) {
    TALLOWMERE_FORWARD(kBlobClose, sqlite3_blob_close, -1, blob);
}

int CSQLiteDBWrapper::BindBlob(sqlite3_stmt* statement, int index, const void* data, int bytes,
                               void (*destructor)(void*)) {
    TALLOWMERE_FORWARD(kBindBlob, sqlite3_bind_blob, 0, statement, index, data, bytes, destructor);
}

int CSQLiteDBWrapper::BindBlob2(sqlite3_stmt* statement, int index, const void* data, int bytes,
                                void (*destructor)(void*)) {
    TALLOWMERE_FORWARD(kBindBlob2, sqlite3_bind_blob, 0, statement, index, data, bytes, destructor);
}

int CSQLiteDBWrapper::BindDouble(sqlite3_stmt* statement, int index, double value) {
    TALLOWMERE_FORWARD(kBindDouble, sqlite3_bind_double, 0, statement, index, value);
}

int CSQLiteDBWrapper::BindInt(sqlite3_stmt* statement, int index, int value) {
    TALLOWMERE_FORWARD(kBindInt, sqlite3_bind_int, 0, statement, index, value);
}

int CSQLiteDBWrapper::BindInt64(sqlite3_stmt* statement, int index, sqlite3_int64 value) {
    TALLOWMERE_FORWARD(kBindInt64, sqlite3_bind_int64, 0, statement, index, value);
}

int CSQLiteDBWrapper::BindNull(sqlite3_stmt* statement, int index) {
    TALLOWMERE_FORWARD(kBindNull, sqlite3_bind_null, 0, statement, index);
}

int CSQLiteDBWrapper::BindText(sqlite3_stmt* statement, int index, const char* text, int bytes,
                               void (*destructor)(void*)) {
    TALLOWMERE_FORWARD(kBindText, sqlite3_bind_text, 0, statement, index, text, bytes, destructor);
}

int CSQLiteDBWrapper::BindText16(sqlite3_stmt* statement, int index, const void* text, int bytes,
                                 void (*destructor)(void*)) {
    TALLOWMERE_FORWARD(kBindText16, sqlite3_bind_text16, 0, statement, index, text, bytes,
                       destructor);
}

int CSQLiteDBWrapper::BindValue(sqlite3_stmt* statement, int index, const sqlite3_value* value) {
    TALLOWMERE_FORWARD(kBindValue, sqlite3_bind_value, 0, statement, index, value);
}

int CSQLiteDBWrapper::BindZeroBlob(sqlite3_stmt* statement, int index, int bytes) {
    TALLOWMERE_FORWARD(kBindZeroBlob, sqlite3_bind_zeroblob, 0, statement, index, bytes);
}

int CSQLiteDBWrapper::BusyTimeout(sqlite3* connection, int milliseconds) {
    TALLOWMERE_FORWARD(kBusyTimeout, sqlite3_busy_timeout, -1, connection, milliseconds);
}

#undef TALLOWMERE_FORWARD

}  // namespace tallowmere
