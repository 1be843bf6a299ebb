// A whole sync session with the real merge, on a handheld database built
// from the input: an SQL script run on an empty database file (under a
// budget of its own), which a simulated handheld then sends over a socket
// pair. The desktop has one known device with a password and a saved data
// set. The session runs under a 1 s SQLite budget, so a received file that
// would keep SQLite busy (an endless view, a trigger, too many rows) is cut
// off there, before or after the password; a session that still hangs is a
// finding (run libFuzzer with -timeout).
//
// A first line "-- mode N" sets the current sync mode (0 to 2). Scripts
// that could reach files beside the database (ATTACH, VACUUM INTO) are
// skipped.
//
// After every run the notices came in order, the handheld heard the first
// and the last word, nothing is left beside the received file or in the
// backup folder, and the known user's folder is exactly as before unless
// the handheld took a merged file back; then it loads as a data set.
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "../tests/sync/fake_handheld.h"
#include "model/accounts.h"
#include "sync/sqlite_budget.h"
#include "sync/sqlite_wrapper.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync/sync_session.h"
#include "sync_fuzz_desktop.h"

namespace {

namespace fs = std::filesystem;
namespace hh = tallowmere::handheld;
namespace fz = tallowmere::fuzz;
using namespace std::chrono_literals;

constexpr std::size_t kMaxScript = 64 * 1024;
constexpr std::uint64_t kMaxDatabase = 64u << 20;
constexpr auto kScriptBudget = 1s;
constexpr auto kSessionBudget = 1s;

bool ReachesOtherFiles(const std::string& script) {
    std::string lower = script;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower.find("attach") != std::string::npos || lower.find("vacuum") != std::string::npos;
}

int ScriptMode(const std::string& script) {
    constexpr std::string_view kPrefix = "-- mode ";
    if (script.size() > kPrefix.size() && script.compare(0, kPrefix.size(), kPrefix) == 0 &&
        script[kPrefix.size()] >= '0' && script[kPrefix.size()] <= '2')
        return script[kPrefix.size()] - '0';
    return 0;
}

tallowmere::AccountsLoadOptions PassThrough() {
    tallowmere::AccountsLoadOptions options;
    options.cipher = tallowmere::HeaderCipher::PassThrough();
    return options;
}

// The desktop data set that every run starts from, made once.
const fz::Files& SavedDataSet(const fz::Desktop& desktop) {
    static const fz::Files files = [&] {
        const std::string folder = desktop.scratch + "/saved";
        fs::create_directories(folder);
        std::unique_ptr<tallowmere::CAccounts> data;
        if (tallowmere::CAccounts::LoadInto(data, folder, PassThrough()) != 0 || data->Save() != 0)
            std::abort();
        return fz::TakeFiles(folder);
    }();
    return files;
}

// The database file the script makes; empty when it is too big to send.
std::string BuildDatabase(const std::string& path, const std::string& script) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        unlink((path + suffix).c_str());
    {
        tallowmere::CSqliteBudget budget;
        budget.Start(kScriptBudget);
        tallowmere::CSQLiteDBWrapper db(path, tallowmere::kSqliteDefaultOpenFlags, &budget);
        db.ExecSql(script.c_str());
        db.Close();
    }
    std::string bytes = fz::ReadAll(path);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        unlink((path + suffix).c_str());
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxScript)
        return 0;
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (ReachesOtherFiles(script))
        return 0;
    static const fz::Desktop desktop("sync_merge_fuzz");
    const fz::Files& saved = SavedDataSet(desktop);

    tallowmere::test::HandheldScript handheld;
    handheld.database = BuildDatabase(desktop.scratch + "/built.wqdb", script);
    if (handheld.database.size() > kMaxDatabase)
        return 0;

    std::string knownFolder;
    std::unique_ptr<tallowmere::CUserList> users = desktop.Reset(knownFolder);
    for (const auto& [name, bytes] : saved)
        fz::WriteAll(knownFolder + "/" + name, bytes);
    const fz::Files before = fz::TakeFiles(knownFolder);

    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    tallowmere::platform::Socket sessionEnd(fds[0]), handheldEnd(fds[1]);

    fz::CheckedEvents events;
    hh::SyncServerOptions options;
    options.idleTimeout = 10s;
    options.firstWordTimeout = 10s;
    options.sqliteBudget = kSessionBudget;
    options.transfer.maxBytes = kMaxDatabase;
    options.busyLockTimeout = 1s;
    options.startPause = 0ms;
    options.databaseFolder = desktop.databaseFolder;
    options.backupFolder = desktop.backupFolder;
    options.users = users.get();
    options.currentUserFolder = [] { return std::string(fz::kKnownSerial); };
    options.events = &events;
    hh::CHandheldSyncServer server(options);
    hh::SetCurrentSyncMode(ScriptMode(script));

    tallowmere::test::HandheldResult heard;
    std::thread peer([&] {
        heard = tallowmere::test::FakeHandheld(30s).RunOn(std::move(handheldEnd), handheld);
    });
    hh::CSyncSession(server, sessionEnd.Fd(), htonl(INADDR_LOOPBACK)).Run();
    peer.join();

    if (!events.Finished() || heard.words.empty() || heard.words.front() != "SendiPhoneDatabase" ||
        heard.words.back() != "EndConnection")
        std::abort();
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        if (access((server.DatabasePath() + suffix).c_str(), F_OK) == 0)
            std::abort();
    }
    if (!fz::EmptyOrMissing(desktop.backupFolder) || !fz::EmptyOrMissing(desktop.databaseFolder))
        std::abort();
    if (fz::TakeFiles(knownFolder) != before) {
        std::unique_ptr<tallowmere::CAccounts> merged;
        if (heard.returned.empty() ||
            tallowmere::CAccounts::LoadInto(merged, knownFolder, PassThrough()) != 0)
            std::abort();
    }
    return 0;
}
