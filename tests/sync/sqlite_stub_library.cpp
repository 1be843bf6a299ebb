// Exports sqlite3_open_v2 and sqlite3_close only. A path ending in "fail"
// fails to open but still hands out a handle, as the real library does.
#include <cstring>

namespace {
int g_handle = 0;
int g_open_handles = 0;
}  // namespace

extern "C" {

__attribute__((visibility("default"))) int sqlite3_open_v2(const char* path, void** db, int,
                                                           const char*) {
    *db = &g_handle;
    ++g_open_handles;
    std::size_t n = std::strlen(path);
    if (n >= 4 && std::strcmp(path + n - 4, "fail") == 0)
        return 14;  // SQLITE_CANTOPEN
    return 0;
}

__attribute__((visibility("default"))) int sqlite3_close(void* db) {
    if (db == &g_handle)
        --g_open_handles;
    return 0;
}

// Not an SQLite name: how many handles are open now.
__attribute__((visibility("default"))) int stub_open_handles() {
    return g_open_handles;
}
}
