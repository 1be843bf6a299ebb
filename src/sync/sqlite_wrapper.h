#pragma once
// One connection to the handheld's SQLite database. The library is loaded at
// run time (dlopen) on first need and each entry point is looked up by name on
// first use; <sqlite3.h> supplies the prototypes only, nothing links to it.
// Every failure is a return code: -1 (or 0, a null pointer, 0.0) when the
// library, the entry point or the connection is missing, otherwise the
// library's own result code. Nothing here throws or shows a message.
#include <sqlite3.h>

#include <array>
#include <cstddef>
#include <string>

#include "platform/dynamic_library.h"

namespace tallowmere {

class CSqliteBudget;

// The library the wrappers load, by default Debian's "libsqlite3.so.0" from
// the standard search path. Wrappers made after a change use the new name.
std::string SqliteLibraryName();
void SetSqliteLibraryName(std::string name);

// Read-write, created if missing.
inline constexpr int kSqliteDefaultOpenFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;

// The longest text a connection accepts in one value (texts, blobs and SQL).
inline constexpr int kSqliteMaxValueBytes = 16 * 1024 * 1024;

class CSQLiteDBWrapper {
  public:
    // Stores the path and opens the connection; a failed open leaves the
    // object usable, and each later operation on the connection tries again.
    explicit CSQLiteDBWrapper(std::string path);
    CSQLiteDBWrapper(std::string path, int openFlags);
    // With a budget the connection stops its statements once the budget is
    // spent; a library that cannot stop them (no progress handler or
    // interrupt) gives no connection. The budget must outlive the wrapper.
    CSQLiteDBWrapper(std::string path, int openFlags, CSqliteBudget* budget);
    CSQLiteDBWrapper(std::string path, int openFlags, std::string libraryName,
                     CSqliteBudget* budget = nullptr);
    virtual ~CSQLiteDBWrapper();
    CSQLiteDBWrapper(const CSQLiteDBWrapper&) = delete;
    CSQLiteDBWrapper& operator=(const CSQLiteDBWrapper&) = delete;

    // On the own connection (opened first when needed); -1 without one.
    virtual int Exec(const char* sql, int (*callback)(void*, int, char**, char**), void* context,
                     char** errorText);
    // -1 without a connection; SQLITE_NOMEM for a null SQL text (what a
    // failed MPrintf leaves).
    virtual int Prepare(const char* sql, int bytes, sqlite3_stmt** statement, const char** tail);

    virtual int Step(sqlite3_stmt* statement);
    virtual int Finalize(sqlite3_stmt* statement);
    // Makes a statement ready to run again (bindings stay); the code of its
    // last step's error, as Finalize gives it; -1 without the entry point.
    virtual int Reset(sqlite3_stmt* statement);
    virtual const unsigned char* ColumnText(sqlite3_stmt* statement, int column);
    virtual const void* ColumnText16(sqlite3_stmt* statement, int column);
    virtual const void* ColumnBlob(sqlite3_stmt* statement, int column);
    virtual int ColumnInt(sqlite3_stmt* statement, int column);
    virtual int ColumnBytes(sqlite3_stmt* statement, int column);
    virtual sqlite3_int64 ColumnInt64(sqlite3_stmt* statement, int column);
    virtual sqlite3_value* ColumnValue(sqlite3_stmt* statement, int column);
    virtual double ColumnDouble(sqlite3_stmt* statement, int column);
    // The number of result columns of a statement; 0 when unavailable.
    virtual int ColumnCount(sqlite3_stmt* statement);

    // The connection's last error text; null without a connection.
    virtual const char* ErrMsg();
    // SQL text formatted by the library (its %q, %Q and %w included); null
    // without a connection. Release it with Free.
    virtual char* MPrintf(const char* format, ...);
    virtual void* Malloc(int bytes);
    virtual void* Realloc(void* pointer, int bytes);
    virtual void Free(void* pointer);

    virtual int BlobBytes(sqlite3_blob* blob);
    virtual int BlobOpen(const char* database, const char* table, const char* column,
                         sqlite3_int64 row, int flags, sqlite3_blob** blob);
    virtual int BlobRead(sqlite3_blob* blob, void* buffer, int bytes, int offset);
    virtual int BlobWrite(sqlite3_blob* blob, const void* buffer, int bytes, int offset);
    virtual int BlobClose(sqlite3_blob* blob);

    // Binds keep the library's arguments; the index is 1-based.
    virtual int BindBlob(sqlite3_stmt* statement, int index, const void* data, int bytes,
                         void (*destructor)(void*));
    virtual int BindDouble(sqlite3_stmt* statement, int index, double value);
    virtual int BindInt(sqlite3_stmt* statement, int index, int value);
    virtual int BindInt64(sqlite3_stmt* statement, int index, sqlite3_int64 value);
    virtual int BindNull(sqlite3_stmt* statement, int index);
    virtual int BindText(sqlite3_stmt* statement, int index, const char* text, int bytes,
                         void (*destructor)(void*));
    virtual int BindText16(sqlite3_stmt* statement, int index, const void* text, int bytes,
                           void (*destructor)(void*));
    virtual int BindValue(sqlite3_stmt* statement, int index, const sqlite3_value* value);
    virtual int BindZeroBlob(sqlite3_stmt* statement, int index, int bytes);
    // The same as BindBlob through an entry point cell of its own.
    virtual int BindBlob2(sqlite3_stmt* statement, int index, const void* data, int bytes,
                          void (*destructor)(void*));

    // On the caller's connection.
    virtual int BusyTimeout(sqlite3* connection, int milliseconds);

    // The row number of the own connection's last insert; 0 without one.
    virtual sqlite3_int64 LastInsertRowid();

    // Closes the own connection; -1 when none is open (nothing is opened).
    virtual int Close();
    // Opens the own connection: -1 for a path of fewer than 2 characters or
    // longer than PATH_MAX, or when a budget cannot be set on it, else the
    // library's code. A failed open releases whatever handle the library
    // made, so the next operation tries again. An open connection is kept
    // (0).
    virtual int Open();
    // 1 when the library is (or already was) loaded, -1 when it cannot be.
    virtual int LoadLibrary();

    // Exec without callback, context or error text; returns its code.
    int ExecSql(const char* sql);

    const std::string& Path() const { return path_; }
    bool IsOpen() const { return connection_ != nullptr; }

  private:
    friend class CSqliteBudget;

    // One cache cell per entry point, in the order of kEntryNames.
    enum Entry : std::size_t {
        kOpenV2,
        kClose,
        kExec,
        kErrMsg,
        kVmprintf,
        kMalloc,
        kRealloc,
        kFree,
        kPrepareV2,
        kStep,
        kFinalize,
        kColumnText,
        kColumnText16,
        kColumnBlob,
        kColumnInt,
        kColumnBytes,
        kColumnInt64,
        kColumnDouble,
        kColumnValue,
        kBlobBytes,
        kBlobOpen,
        kBlobRead,
        kBlobWrite,
        kBlobClose,
        kBindBlob,
        kBindDouble,
        kBindInt,
        kBindInt64,
        kBindNull,
        kBindText,
        kBindText16,
        kBindValue,
        kBindZeroBlob,
        kBusyTimeout,
        kBindBlob2,
        // The hardening of every open and the column count check.
        kDbConfig,
        kLimit,
        kColumnCount,
        // Statements run again and the rows they add.
        kReset,
        kLastInsertRowid,
        // The session's budget on every statement.
        kProgressHandler,
        kInterrupt,
        kEntryCount
    };

    // The entry point as F, loading the library and resolving the name when
    // needed; null when either fails (the next call tries again).
    template <class F>
    F Resolve(Entry entry);

    // The settings of every new connection; results are not looked at.
    void Configure();
    // Puts the connection under the budget; false when the library cannot
    // stop statements.
    bool Guard();
    // Leaves the budget; Cancel no longer reaches this connection.
    void Unguard();
    // sqlite3_interrupt on the open connection. Called by the budget from
    // any thread while attached: the entry point was resolved before.
    void Interrupt();
    // The own connection, opened first when needed; null when it cannot be.
    sqlite3* Connection();

    std::string path_;
    sqlite3* connection_ = nullptr;
    int open_flags_ = kSqliteDefaultOpenFlags;
    std::array<void*, kEntryCount> entries_{};
    std::string library_name_;
    platform::DynamicLibrary library_;
    CSqliteBudget* budget_ = nullptr;
    bool guarded_ = false;
};

}  // namespace tallowmere
