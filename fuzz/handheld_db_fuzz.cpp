// A received handheld database: the schema check, then every row of every
// table read through the value conversions.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "sync/handheld_db.h"
#include "sync/handheld_values.h"
#include "sync/sqlite_wrapper.h"

namespace {

using tallowmere::CSQLiteDBWrapper;
namespace hh = tallowmere::handheld;

void ReadAllRows(CSQLiteDBWrapper& db, hh::Table table, std::uint32_t offset) {
    char* sql = db.MPrintf(hh::sql::kAllRows, hh::TableName(table));
    sqlite3_stmt* statement = nullptr;
    int rc = db.Prepare(sql, -1, &statement, nullptr);
    db.Free(sql);
    if (rc != SQLITE_OK)
        return;
    int columns = db.ColumnCount(statement);
    std::uint8_t block[hh::accounts::kOnlineBlockBytes];
    for (int rows = 0; rows < 10000 && db.Step(statement) == SQLITE_ROW; ++rows) {
        for (int c = 0; c < columns; ++c) {
            (void)hh::ColumnUid(db, statement, c);
            (void)hh::ColumnModelText(db, statement, c, 255);
            (void)hh::ColumnCents(db, statement, c);
            (void)hh::ColumnDate(db, statement, c, offset);
            (void)hh::ColumnBlobBytes(db, statement, c, block, sizeof block);
            (void)hh::StatusFromHandheld(db.ColumnInt64(statement, c));
        }
    }
    db.Finalize(statement);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path dir = fs::temp_directory_path(ec);
    if (ec)
        dir = "/tmp";
    const std::string path =
        (dir / ("handheld_db_fuzz_" + std::to_string(getpid()) + ".wqdb")).string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        // Read-only: a mutated file must not be repaired or grown on disk.
        CSQLiteDBWrapper db(path, SQLITE_OPEN_READONLY);
        if (hh::CheckSchema(db) == SQLITE_OK) {
            for (int t = 0; t < hh::kTableCount; ++t)
                ReadAllRows(db, static_cast<hh::Table>(t), hh::DateOffset(-60));
        }
    }
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        fs::remove(path + suffix, ec);
    return 0;
}
