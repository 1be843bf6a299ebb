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

namespace {

namespace fs = std::filesystem;
namespace hh = tallowmere::handheld;

constexpr char kKnownSerial[] = "FUZZ-KNOWN";
constexpr char kKnownCrib[] = "fuzz crib";
// Small enough that every message fits the socket's buffer at once.
constexpr std::size_t kMaxInput = 16384;
constexpr std::size_t kMaxMessages = 64;

using Files = std::map<std::string, std::string>;

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
            bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

Files TakeFiles(const std::string& folder) {
    Files files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        files[e.path().lexically_relative(folder).string()] =
            e.is_regular_file() ? ReadAll(e.path()) : "<dir>";
    return files;
}

bool EmptyOrMissing(const std::string& folder) {
    std::error_code ec;
    return !fs::exists(folder, ec) || fs::is_empty(folder, ec);
}

// A desktop of its own below one private folder per process, removed at
// exit: configuration, data root, lock files, received database, backups.
// Its destructor runs before the platform library's own statics go.
struct Desktop {
    std::string scratch;
    std::string root;
    std::string databaseFolder;
    std::string backupFolder;

    Desktop() {
        // Every run syncs files to disk: a memory file system keeps runs short.
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
        if (tmp == nullptr && access("/dev/shm", W_OK) == 0)
            base = "/dev/shm";
        std::string pattern = base + "/sync_session_fuzz_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        scratch = pattern;
        for (const char* sub : {"config", "data", "run", "db", "backup"})
            mkdir((scratch + "/" + sub).c_str(), 0700);
        setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (scratch + "/run").c_str(), 1);
        unsetenv("TALLOWMERE_DOUBLE_MODE");
        tallowmere::platform::SetRegistryStorePath("");
        tallowmere::Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
        if (tallowmere::Platform::Initialize(1, tallowmere::kProductWord) != 0 ||
            !tallowmere::Platform::GetRootDir(tallowmere::kProductWord, root))
            std::abort();
        databaseFolder = scratch + "/db";
        backupFolder = scratch + "/backup";
    }
    ~Desktop() {
        tallowmere::Platform::Release();
        std::error_code ec;
        fs::remove_all(scratch, ec);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    static Desktop& Get() {
        static Desktop desktop;
        return desktop;
    }

    // The same state before every run: one known device with a password and
    // two files, nothing else in the root or the registry.
    std::unique_ptr<tallowmere::CUserList> Reset(std::string& knownFolder) const {
        std::error_code ec;
        fs::remove_all(root, ec);
        fs::remove(tallowmere::platform::RegistryStorePath(), ec);
        tallowmere::CreatePrefsKeys();
        auto users = std::make_unique<tallowmere::CUserList>();
        users->Enumerate(tallowmere::kProductWord, std::nullopt);
        knownFolder = users->AddPhoneUser("Known phone", kKnownSerial)
                          ->GetDataFolder(tallowmere::kProductWord);
        tallowmere::SetPrefPasswordCrib(kKnownSerial, hh::CribFromText(kKnownCrib));
        WriteAll(knownFolder + "/Existing.wqm", "account bytes");
        WriteAll(knownFolder + "/CategoriesList.lst", "category bytes");
        return users;
    }
};

// Aborts on a notice out of order: the start first, the end last and once.
class CheckedEvents : public hh::MSyncEvents {
  public:
    void OnSyncStarted() override {
        if (started_ || finished_)
            std::abort();
        started_ = true;
    }
    void OnSyncStatus(std::string) override { During(); }
    void OnSyncTitle(std::string, int mode) override {
        During();
        if (mode < 0 || mode > 2)
            std::abort();
    }
    void OnSyncUser(std::string, bool) override { During(); }
    void OnReloadData() override { During(); }
    void OnSyncFinished() override {
        During();
        finished_ = true;
    }
    bool Finished() const { return finished_; }

  private:
    void During() const {
        if (!started_ || finished_)
            std::abort();
    }
    bool started_ = false;
    bool finished_ = false;
};

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
    const Desktop& desktop = Desktop::Get();
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
