// One sync session against a scripted handheld. The input is a setup byte
// and the handheld's messages; they are queued on one end of a packet socket
// pair before the session runs on the other, in the same thread, so a run
// never waits. After every run the session must have said its first and last
// words and its start and end notices, and left no received file or copy;
// the known user's folder must be as before or as the merge left it.
//
// Setup byte: bits 0-1 the current sync mode, bit 2 the merge fails, bit 3
// the merge loses the database, bit 4 the program has no user list.
// Each message: its length (2 bytes, little-endian), then its bytes.
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "platform/socket.h"
#include "sync/device_identity.h"
#include "sync/sync_events.h"
#include "sync/sync_mode.h"
#include "sync/sync_server.h"
#include "sync/sync_session.h"
#include "sync_fuzz_desktop.h"

namespace {

namespace fs = std::filesystem;
namespace hh = tallowmere::handheld;

// Small enough that every message fits the socket's buffer at once.
constexpr std::size_t kMaxInput = 16384;
constexpr std::size_t kMaxMessages = 64;

using tallowmere::fuzz::CheckedEvents;
using tallowmere::fuzz::Desktop;
using tallowmere::fuzz::EmptyOrMissing;
using tallowmere::fuzz::Files;
using tallowmere::fuzz::kKnownSerial;
using tallowmere::fuzz::TakeFiles;
using tallowmere::fuzz::WriteAll;

struct MergeState {
    bool fails = false;
    bool losesDatabase = false;
    bool called = false;
    std::string folder;
};

// Changes the user's folder as a merge would: one file changed, one new.
hh::MergeRunner FakeMerge(MergeState& state) {
    return [&state](const std::string& folder, const std::string& database,
                    hh::MergeRunOptions options) {
        if (state.called || options.mode < 0 || options.mode > 2)
            std::abort();
        state.called = true;
        state.folder = folder;
        WriteAll(folder + "/Existing.wqm", "changed by the merge");
        WriteAll(folder + "/Created.wqm", "made by the merge");
        if (state.losesDatabase)
            unlink(database.c_str());
        return state.fails ? 1 : 0;
    };
}

// The records the desktop sent, as they came.
std::vector<std::string> DrainReplies(int fd) {
    std::vector<std::string> replies;
    std::string buffer(8192, '\0');
    for (;;) {
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n <= 0)
            return replies;
        replies.emplace_back(buffer.data(), static_cast<std::size_t>(n));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > kMaxInput)
        return 0;
    static const Desktop desktop("sync_session_fuzz");
    const std::uint8_t setup = data[0];

    int fds[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    tallowmere::platform::Socket session(fds[0]), handheld(fds[1]);
    std::size_t at = 1;
    for (std::size_t count = 0; count < kMaxMessages && at + 2 <= size; ++count) {
        std::size_t length = data[at] | static_cast<std::size_t>(data[at + 1]) << 8;
        at += 2;
        length = std::min(length, size - at);
        if (send(handheld.Fd(), data + at, length, MSG_DONTWAIT | MSG_NOSIGNAL) < 0)
            break;
        at += length;
    }
    shutdown(handheld.Fd(), SHUT_WR);

    std::string knownFolder;
    std::unique_ptr<tallowmere::CUserList> users = desktop.Reset(knownFolder);
    WriteAll(knownFolder + "/Existing.wqm", "account bytes");
    WriteAll(knownFolder + "/CategoriesList.lst", "category bytes");
    const Files before = TakeFiles(knownFolder);

    CheckedEvents events;
    MergeState merge;
    merge.fails = (setup & 4) != 0;
    merge.losesDatabase = (setup & 8) != 0;
    hh::SyncServerOptions options;
    options.idleTimeout = std::chrono::milliseconds(200);
    options.sessionDeadline = std::chrono::seconds(2);
    options.transfer.maxBytes = kMaxInput;
    options.busyLockTimeout = std::chrono::milliseconds(200);
    options.startPause = std::chrono::milliseconds(0);
    options.databaseFolder = desktop.databaseFolder;
    options.backupFolder = desktop.backupFolder;
    options.users = (setup & 16) != 0 ? nullptr : users.get();
    options.currentUserFolder = [] { return std::string(kKnownSerial); };
    options.events = &events;
    options.mergeRunner = FakeMerge(merge);
    hh::CHandheldSyncServer server(options);
    hh::SetCurrentSyncMode(setup & 3);

    hh::CSyncSession(server, session.Fd(), htonl(INADDR_LOOPBACK)).Run();

    if (!events.Finished())
        std::abort();
    const std::vector<std::string> replies = DrainReplies(handheld.Fd());
    if (replies.empty() || replies.front() != "SendiPhoneDatabase" ||
        replies.back() != "EndConnection")
        std::abort();
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        if (access((server.DatabasePath() + suffix).c_str(), F_OK) == 0)
            std::abort();
    }
    if (!EmptyOrMissing(desktop.backupFolder) || !EmptyOrMissing(desktop.databaseFolder))
        std::abort();
    // The merged files stay only after a merge that worked; otherwise the
    // folder is exactly as before.
    Files merged = before;
    merged["Existing.wqm"] = "changed by the merge";
    merged["Created.wqm"] = "made by the merge";
    const Files after = TakeFiles(knownFolder);
    const bool mergedKnown = merge.called && !merge.fails && merge.folder == knownFolder;
    if (after != before && !(mergedKnown && after == merged))
        std::abort();
    return 0;
}
