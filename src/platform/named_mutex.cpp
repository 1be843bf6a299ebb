#include "platform/named_mutex.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace tallowmere::platform {

struct NamedMutex::State {
    std::string path;
    std::mutex mutex;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;
    bool acquiring = false;  // a thread is waiting for the lock file
    int fd = -1;
    ~State() {
        if (fd >= 0)
            close(fd);
    }
};

namespace {

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::weak_ptr<NamedMutex::State>>& Registry() {
    static std::map<std::string, std::weak_ptr<NamedMutex::State>> registry;
    return registry;
}

// Holds are not inherited: a forked child starts with every lock free (its
// copies of the parent's lock files are closed, which leaves the parent's
// file locks in place). All states are locked across the fork so that none
// is copied half-changed.
std::vector<std::shared_ptr<NamedMutex::State>> g_forking;

void PrepareFork() {
    RegistryMutex().lock();
    for (auto& [name, weak] : Registry()) {
        if (auto state = weak.lock())
            g_forking.push_back(std::move(state));
    }
    for (auto& state : g_forking)
        state->mutex.lock();
}

void ParentAfterFork() {
    for (auto& state : g_forking)
        state->mutex.unlock();
    g_forking.clear();
    RegistryMutex().unlock();
}

void ChildAfterFork() {
    for (auto& state : g_forking) {
        state->owner = {};
        state->depth = 0;
        state->acquiring = false;
        if (state->fd >= 0)
            close(state->fd);
        state->fd = -1;
        state->mutex.unlock();
    }
    g_forking.clear();
    RegistryMutex().unlock();
}

// Every NamedMutex of one name in this process shares one state, so threads
// exclude each other without relying on the lock file (flock is per open
// file, not per thread).
std::shared_ptr<NamedMutex::State> StateFor(const std::string& name) {
    static const bool forkHandlers = [] {
        pthread_atfork(PrepareFork, ParentAfterFork, ChildAfterFork);
        return true;
    }();
    (void)forkHandlers;
    std::lock_guard lock(RegistryMutex());
    auto& slot = Registry()[name];
    if (auto existing = slot.lock())
        return existing;
    auto state = std::make_shared<NamedMutex::State>();
    // The name is opaque: anything but plain characters becomes '_' so it can
    // never leave the lock folder.
    std::string file;
    for (char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_';
        file += plain ? c : '_';
    }
    state->path = LockFolder() + "/" + file + ".lock";
    slot = state;
    return state;
}

bool MakePrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// Takes the lock file before the deadline; flock has no timed wait, so poll.
bool LockFile(NamedMutex::State& s, std::chrono::steady_clock::time_point deadline) {
    // A fresh open file for every hold: flock belongs to the open file, which
    // a forked child would otherwise share.
    s.fd = open(s.path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Without a lock file the lock still works within this process.
    if (s.fd < 0)
        return true;
    auto pause = std::chrono::microseconds(200);
    while (true) {
        if (flock(s.fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            close(s.fd);
            s.fd = -1;
            return false;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(5000));
    }
}

}  // namespace

std::string LockFolder() {
    static const std::string folder = [] {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime && *runtime == '/') {
            std::string path = std::string(runtime) + "/tallowmere";
            if (MakePrivateFolder(path))
                return path;
        }
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp && *tmp == '/' ? tmp : "/tmp";
        std::string path = base + "/tallowmere-" + std::to_string(getuid());
        MakePrivateFolder(path);
        return path;
    }();
    return folder;
}

NamedMutex::NamedMutex(const std::string& name) : state_(StateFor(name)) {}

NamedMutex::~NamedMutex() = default;

bool NamedMutex::Lock(std::chrono::milliseconds timeout) {
    State& s = *state_;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(s.mutex);
    const auto self = std::this_thread::get_id();
    if (s.depth > 0 && s.owner == self) {
        ++s.depth;
        return true;
    }
    if (!s.released.wait_until(lock, deadline, [&] { return s.depth == 0 && !s.acquiring; })) {
        return false;
    }
    // Wait for other processes without holding the state, so threads here
    // with shorter waits still time out on their own.
    s.acquiring = true;
    lock.unlock();
    const bool got = LockFile(s, deadline);
    lock.lock();
    s.acquiring = false;
    if (!got) {
        s.released.notify_all();
        return false;
    }
    s.owner = self;
    s.depth = 1;
    return true;
}

void NamedMutex::Unlock() {
    State& s = *state_;
    std::lock_guard lock(s.mutex);
    if (s.depth == 0 || s.owner != std::this_thread::get_id())
        return;
    if (--s.depth > 0)
        return;
    s.owner = {};
    if (s.fd >= 0) {
        close(s.fd);  // releases the file lock
        s.fd = -1;
    }
    s.released.notify_all();
}

}  // namespace tallowmere::platform
