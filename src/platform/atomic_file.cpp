#include "platform/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/win_error.h"

namespace tallowmere::platform {
namespace {

// Bounded writes give the fault hook a say part-way through large files.
constexpr std::size_t kWriteChunk = 64 * 1024;
// How much a writer lets gather before it asks the disk to start on it.
constexpr std::size_t kWriteBackStep = 4 * 1024 * 1024;

// The temporary name adds ".", ".tmp-" and six characters to the base name;
// cutting the base keeps that within the 255-byte name limit.
constexpr std::size_t kMaxTempBase = 200;
constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kTempRandom = 6;
// A clean-up may unlink a new temporary file before its lock is taken; a
// fresh name is tried this many times.
constexpr int kTempAttempts = 8;

std::mutex g_hook_mutex;
WriteFault g_write_fault;
bool g_crash_before_rename = false;

struct FreeDeleter {
    void operator()(char* p) const { free(p); }
};

class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() { close(fd_); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

  private:
    int fd_;
};

int LockExclusive(int fd) {
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The temporary file of one save: closed and removed on every early return.
// Its lock lives on a second descriptor, so that the checked close of the
// written one comes before the rename and the lock still lasts until after.
class TempFile {
  public:
    TempFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~TempFile() {
        if (fd_ >= 0)
            close(fd_);
        // Removed while still locked; the lock goes with the member after.
        if (!keep_)
            unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // Takes the lock. False with err set when it could not be taken, or with
    // err 0 when a clean-up removed the file before the lock was in place.
    bool Lock(int& err) {
        err = 0;
        const int lockFd = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        if (lockFd < 0) {
            err = errno;
            return false;
        }
        lock_ = HeldFile(lockFd);
        if ((err = LockExclusive(lockFd)) != 0)
            return false;
        struct stat st {};
        if (fstat(fd_, &st) != 0) {
            err = errno;
            return false;
        }
        return st.st_nlink > 0;
    }

    HeldFile TakeLock() { return std::move(lock_); }

    // Returns 0 or the errno of close. Linux releases the descriptor even when
    // close reports EINTR, so that is no failure.
    int Close() {
        const int rc = close(fd_);
        fd_ = -1;
        return rc != 0 && errno != EINTR ? errno : 0;
    }

    void Keep() { keep_ = true; }

  private:
    std::string path_;
    int fd_;
    bool keep_ = false;
    HeldFile lock_;
};

struct PathParts {
    std::string folder;
    std::string base;
};

PathParts SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    if (slash == 0)
        return {"/", path.substr(1)};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// ENOENT alone does not tell a missing file from a missing folder, which
// Windows callers distinguish.
int MissingError(const std::string& path) {
    struct stat st {};
    const std::string folder = SplitPath(path).folder;
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return kErrorFileNotFound;
    return kErrorPathNotFound;
}

int ReadAll(int fd, const struct stat& st, std::vector<std::uint8_t>& data) {
    // The size is only a hint: files in /proc report 0 and a file may grow
    // while it is read. One spare byte lets the usual case end without growing.
    std::size_t size = 64 * 1024;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        size = static_cast<std::size_t>(st.st_size) + 1;
    data.resize(size);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2);
        const ssize_t n = read(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno == EISDIR ? kErrorAccessDenied : WinErrorFromErrno(errno);
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    return 0;
}

int SyncFd(int fd) {
    while (fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Makes the rename itself durable. Some file systems refuse fsync on a
// folder; the file's data is already safe by then, so that is not an error.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    SyncFd(fd);
    close(fd);
}

// Writes over the file a symbolic link points to rather than replacing the
// link with a plain file.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    const std::unique_ptr<char, FreeDeleter> real(realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : path;
}

}  // namespace

int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return err == ENOENT ? MissingError(path) : WinErrorFromErrno(err);
    }
    const FdCloser closer(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return WinErrorFromErrno(errno);
    // Windows refuses to open a folder as a file with "access denied".
    if (S_ISDIR(st.st_mode))
        return kErrorAccessDenied;

    std::vector<std::uint8_t> data;
    try {
        if (const int rc = ReadAll(fd, st, data); rc != 0)
            return rc;
    } catch (const std::bad_alloc&) {
        return kErrorNotEnoughMemory;
    } catch (const std::length_error&) {
        return kErrorNotEnoughMemory;
    }
    out = std::move(data);
    return 0;
}

std::span<const std::uint8_t> FileImage::Bytes() const {
    if (map_ != nullptr)
        return {static_cast<const std::uint8_t*>(map_), mapSize_};
    return read_;
}

void FileImage::Release() {
    if (map_ != nullptr)
        munmap(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
    read_ = {};
}

int MapWholeFile(const std::string& path, FileImage& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return err == ENOENT ? MissingError(path) : WinErrorFromErrno(err);
    }
    const FdCloser closer(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return WinErrorFromErrno(errno);
    if (S_ISDIR(st.st_mode))
        return kErrorAccessDenied;
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        // Populated at once: one call instead of a fault per page.
        const auto size = static_cast<std::size_t>(st.st_size);
        void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            out.Release();
            out.map_ = map;
            out.mapSize_ = size;
            return 0;
        }
    }
    // Files that cannot be mapped (empty, or of the /proc kind) are read.
    std::vector<std::uint8_t> data;
    try {
        if (const int rc = ReadAll(fd, st, data); rc != 0)
            return rc;
    } catch (const std::bad_alloc&) {
        return kErrorNotEnoughMemory;
    } catch (const std::length_error&) {
        return kErrorNotEnoughMemory;
    }
    out.Release();
    out.read_ = std::move(data);
    return 0;
}

namespace {

// Creates, locks and returns the temporary file of a save beside target.
int MakeTempFile(const PathParts& parts, std::unique_ptr<TempFile>& temp) {
    std::string pattern = parts.folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += '.';
    pattern += parts.base.substr(0, kMaxTempBase);
    pattern += kTempMark;
    pattern += std::string(kTempRandom, 'X');
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        std::string path = pattern;
        const int fd = mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0) {
            // The name is new, so a missing entry can only be the folder.
            const int err = errno;
            return err == ENOENT ? kErrorPathNotFound : WinErrorFromErrno(err);
        }
        auto made = std::make_unique<TempFile>(std::move(path), fd);
        int err = 0;
        if (made->Lock(err)) {
            temp = std::move(made);
            return 0;
        }
        if (err != 0)
            return WinErrorFromErrno(err);
    }
    return kErrorGenFailure;
}

}  // namespace

struct AtomicFileWriter::State {
    WriteFault fault;
    bool crashBeforeRename = false;
    std::string target;
    PathParts parts;
    std::unique_ptr<TempFile> temp;
    std::size_t written = 0;
    // Bytes handed to the disk's write-back so far.
    std::size_t started = 0;
};

AtomicFileWriter::AtomicFileWriter() = default;

AtomicFileWriter::~AtomicFileWriter() = default;

int AtomicFileWriter::Open(const std::string& path) {
    state_.reset();
    auto state = std::make_unique<State>();
    {
        const std::lock_guard lock(g_hook_mutex);
        state->fault = g_write_fault;
        state->crashBeforeRename = g_crash_before_rename;
    }

    state->target = ResolveTarget(path);
    struct stat existing {};
    const bool exists = stat(state->target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return kErrorAccessDenied;
    // A file marked read-only is not replaced; root would pass access(2).
    if (exists && (existing.st_mode & S_IWUSR) == 0)
        return kErrorAccessDenied;
    state->parts = SplitPath(state->target);
    if (state->parts.base.empty())
        return kErrorInvalidName;

    // ".name.tmp-XXXXXX" never carries the target's extension, so a folder
    // scan for data files does not pick up a half-written one.
    if (const int rc = MakeTempFile(state->parts, state->temp); rc != 0)
        return rc;

    // A replaced file keeps its permissions. A new one keeps mkstemp's 0600:
    // these are personal finance records, readable by their owner only.
    if (exists && fchmod(state->temp->fd(), existing.st_mode & 0777) != 0)
        return WinErrorFromErrno(errno);
    state_ = std::move(state);
    return 0;
}

int AtomicFileWriter::Write(std::span<const std::uint8_t> data) {
    if (!state_)
        return kErrorGenFailure;
    State& st = *state_;
    const int fd = st.temp->fd();
    std::size_t done = 0;
    int rc = 0;
    while (done < data.size()) {
        int err = 0;
        if (st.fault && !st.fault(st.written, err)) {
            rc = WinErrorFromErrno(err != 0 ? err : EIO);
            break;
        }
        const std::size_t chunk = std::min(data.size() - done, kWriteChunk);
        const ssize_t n = write(fd, data.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            rc = WinErrorFromErrno(errno);
            break;
        }
        if (n == 0) {
            rc = kErrorDiskFull;
            break;
        }
        done += static_cast<std::size_t>(n);
        st.written += static_cast<std::size_t>(n);
    }
    if (rc != 0) {
        // The temporary file goes; the target stays as it was.
        state_.reset();
        return rc;
    }
    // The disk starts on what is written while the rest is still being
    // made, so the closing fsync waits only for the last part.
    if (st.written - st.started >= kWriteBackStep) {
        sync_file_range(fd, static_cast<off_t>(st.started),
                        static_cast<off_t>(st.written - st.started), SYNC_FILE_RANGE_WRITE);
        st.started = st.written;
    }
    return 0;
}

int AtomicFileWriter::Commit(HeldFile* held) {
    if (!state_)
        return kErrorGenFailure;
    const std::unique_ptr<State> state = std::move(state_);
    TempFile& temp = *state->temp;
    if (const int err = SyncFd(temp.fd()); err != 0)
        return WinErrorFromErrno(err);
    if (const int err = temp.Close(); err != 0)
        return WinErrorFromErrno(err);

    if (state->crashBeforeRename) {
        temp.Keep();
        return kErrorGenFailure;
    }
    if (rename(temp.path().c_str(), state->target.c_str()) != 0)
        return WinErrorFromErrno(errno);
    temp.Keep();
    SyncFolder(state->parts.folder);
    if (held)
        *held = temp.TakeLock();
    return 0;
}

namespace {

int WriteAtomic(const std::string& path, std::span<const std::uint8_t> data, HeldFile* held) {
    AtomicFileWriter writer;
    int rc = writer.Open(path);
    if (rc == 0)
        rc = writer.Write(data);
    return rc != 0 ? rc : writer.Commit(held);
}

}  // namespace

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void HeldFile::Release() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

int WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> data) {
    return WriteAtomic(path, data, nullptr);
}

int WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> data, HeldFile& held) {
    held.Release();
    return WriteAtomic(path, data, &held);
}

bool IsAtomicTempName(std::string_view name) {
    const std::size_t tail = kTempMark.size() + kTempRandom;
    // A leading dot and at least one character of the target's name.
    if (name.size() < 2 + tail || name.front() != '.')
        return false;
    const std::string_view end = name.substr(name.size() - tail);
    if (!end.starts_with(kTempMark))
        return false;
    return std::all_of(
        end.begin() + static_cast<std::ptrdiff_t>(kTempMark.size()), end.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
}

void SetWriteFault(WriteFault fault) {
    const std::lock_guard lock(g_hook_mutex);
    g_write_fault = std::move(fault);
}

void SetCrashBeforeRename(bool crash) {
    const std::lock_guard lock(g_hook_mutex);
    g_crash_before_rename = crash;
}

}  // namespace tallowmere::platform
