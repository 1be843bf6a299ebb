// Exports sqlite3_open_v2 and sqlite3_close only. A path ending in "fail"
// fails to open but still hands out a handle, as the real library does.
// Built with TALLOWMERE_STUB_GUARD it also exports the progress handler and
// the interrupt, and lets the test call the handler and count interrupts.
#include <cstring>

namespace {
int g_handle = 0;
int g_open_handles = 0;
#ifdef TALLOWMERE_STUB_GUARD
int (*g_progress)(void*) = nullptr;
void* g_progress_context = nullptr;
int g_interrupts = 0;
#endif
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

#ifdef TALLOWMERE_STUB_GUARD
__attribute__((visibility("default"))) void sqlite3_progress_handler(void* db, int,
                                                                     int (*handler)(void*),
                                                                     void* context) {
    if (db == &g_handle) {
        g_progress = handler;
        g_progress_context = context;
    }
}

__attribute__((visibility("default"))) void sqlite3_interrupt(void* db) {
    if (db == &g_handle)
        ++g_interrupts;
}

// Not SQLite names: the installed handler's answer now (-1 without one),
// and how many interrupts the open handle has had.
__attribute__((visibility("default"))) int stub_progress() {
    return g_progress != nullptr ? g_progress(g_progress_context) : -1;
}

__attribute__((visibility("default"))) int stub_interrupts() {
    return g_interrupts;
}
#endif
}
