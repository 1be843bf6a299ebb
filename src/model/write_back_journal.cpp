#include "model/write_back_journal.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <utility>

#include "model/account_root.h"
#include "model/archive.h"
#include "model/error_sink.h"
#include "model/list_file_names.h"
#include "model/paths.h"
#include "platform/atomic_file.h"
#include "platform/named_mutex.h"
#include "platform/stale_files.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringRecordRefused = 3152;
constexpr std::string_view kMagic = "tallowmere-sync-commit-1";
constexpr std::string_view kMoveField = "move";
constexpr std::string_view kDeleteField = "delete";
constexpr std::string_view kEndField = "end";
constexpr std::string_view kStagePrefix = ".sync~";
constexpr std::string_view kStageSuffix = ".tmp";
// Far beyond any real folder's record; a bigger file is not one of ours.
constexpr off_t kMaxRecordSize = 1 << 20;
constexpr std::size_t kMaxNameSize = 255;

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

int OpenFolder(const std::string& folder) {
    return open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void SyncFolder(int folderFd) {
    while (fsync(folderFd) != 0 && errno == EINTR) {
    }
}

bool IsBareName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameSize && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool IsAccountFileName(std::string_view name) {
    const std::string ext = GetFileExtension(name);
    return !ext.empty() && platform::CompareNoCase1252(ext, kAccountFileExtension) == 0;
}

bool IsDataFileName(std::string_view name) {
    return IsAccountFileName(name) ||
           std::find(kListFileNames.begin(), kListFileNames.end(), name) != kListFileNames.end();
}

// The NUL-terminated fields of bytes; false when the last one has no NUL.
bool SplitFields(std::span<const std::uint8_t> bytes, std::vector<std::string_view>& fields) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nul = text.find('\0', at);
        if (nul == std::string_view::npos)
            return false;
        fields.push_back(text.substr(at, nul - at));
        at = nul + 1;
    }
    return true;
}

bool Exists(int folderFd, const std::string& name, struct stat& st) {
    return fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Whether every step can be done: a staged file is there as a plain file
// and its target is no folder, or it is gone and its target is in place; a
// file to delete is no folder.
bool CanFinish(int folderFd, const WriteBackRecord& record) {
    struct stat st {};
    for (const WriteBackRecord::Move& move : record.moves) {
        if (Exists(folderFd, move.staged, st)) {
            if (!S_ISREG(st.st_mode))
                return false;
            if (Exists(folderFd, move.target, st) && S_ISDIR(st.st_mode))
                return false;
        } else if (errno != ENOENT || !Exists(folderFd, move.target, st)) {
            return false;
        }
    }
    for (const std::string& name : record.deletes) {
        if (Exists(folderFd, name, st) && S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

int Apply(int folderFd, const WriteBackRecord& record, const WriteBackProgress& progress) {
    if (!CanFinish(folderFd, record))
        return kErrorBadFile;
    for (std::size_t i = 0; i < record.moves.size(); ++i) {
        const WriteBackRecord::Move& move = record.moves[i];
        struct stat st {};
        if (Exists(folderFd, move.staged, st) &&
            renameat(folderFd, move.staged.c_str(), folderFd, move.target.c_str()) != 0)
            return platform::WinErrorFromErrno(errno);
        if (progress && !progress(WriteBackStep::kRenamed, i))
            return platform::kErrorGenFailure;
    }
    for (std::size_t i = 0; i < record.deletes.size(); ++i) {
        if (unlinkat(folderFd, record.deletes[i].c_str(), 0) != 0 && errno != ENOENT)
            return platform::WinErrorFromErrno(errno);
        if (progress && !progress(WriteBackStep::kDeleted, i))
            return platform::kErrorGenFailure;
    }
    SyncFolder(folderFd);
    return 0;
}

int RemoveRecord(int folderFd) {
    if (unlinkat(folderFd, kWriteBackRecordName, 0) != 0 && errno != ENOENT)
        return platform::WinErrorFromErrno(errno);
    SyncFolder(folderFd);
    return 0;
}

enum class Found { kNone, kRecord, kRefused };

// Reads the record without following a link and without waiting on a FIFO.
Found ReadRecord(int folderFd, WriteBackRecord& record, int& error) {
    error = 0;
    const Fd fd(
        openat(folderFd, kWriteBackRecordName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return Found::kNone;
        if (errno == ELOOP)
            return Found::kRefused;
        error = platform::WinErrorFromErrno(errno);
        return Found::kRefused;
    }
    struct stat st {};
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxRecordSize)
        return Found::kRefused;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            return Found::kRefused;  // grew while read
        const ssize_t n = read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = platform::WinErrorFromErrno(errno);
            return Found::kRefused;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return ParseWriteBackRecord(bytes, record) ? Found::kRecord : Found::kRefused;
}

void ReportRefused(const std::string& folder) {
    ReportError(kStringRecordRefused, {folder});
}

}  // namespace

std::string StagedFileName(std::string_view target) {
    std::string name(kStagePrefix);
    name += target;
    name += kStageSuffix;
    return name;
}

bool IsStagedFileName(std::string_view name) {
    return name.size() > kStagePrefix.size() + kStageSuffix.size() &&
           name.starts_with(kStagePrefix) && name.ends_with(kStageSuffix);
}

std::vector<std::uint8_t> FormatWriteBackRecord(const WriteBackRecord& record) {
    // Built as text: g++ 12 at -O3 warns falsely on inserting into a vector.
    std::string out;
    const auto field = [&out](std::string_view text) {
        out += text;
        out += '\0';
    };
    field(kMagic);
    for (const WriteBackRecord::Move& move : record.moves) {
        field(kMoveField);
        field(move.staged);
        field(move.target);
    }
    for (const std::string& name : record.deletes) {
        field(kDeleteField);
        field(name);
    }
    field(kEndField);
    return std::vector<std::uint8_t>(out.begin(), out.end());
}

bool ParseWriteBackRecord(std::span<const std::uint8_t> bytes, WriteBackRecord& record) {
    std::vector<std::string_view> fields;
    if (!SplitFields(bytes, fields) || fields.size() < 2 || fields.front() != kMagic ||
        fields.back() != kEndField)
        return false;
    WriteBackRecord parsed;
    std::set<std::string_view> targets;
    const std::size_t end = fields.size() - 1;
    std::size_t at = 1;
    while (at < end) {
        if (fields[at] == kMoveField && at + 2 < end) {
            const std::string_view staged = fields[at + 1];
            const std::string_view target = fields[at + 2];
            if (!IsBareName(target) || !IsDataFileName(target) ||
                staged != StagedFileName(target) || !IsBareName(staged) ||
                !targets.insert(target).second)
                return false;
            parsed.moves.push_back({std::string(staged), std::string(target)});
            at += 3;
        } else if (fields[at] == kDeleteField && at + 1 < end) {
            const std::string_view name = fields[at + 1];
            if (!IsBareName(name) || !IsAccountFileName(name))
                return false;
            parsed.deletes.emplace_back(name);
            at += 2;
        } else {
            return false;
        }
    }
    // A file that is put in place must never be the one deleted after it.
    for (const std::string& name : parsed.deletes)
        if (targets.count(name) != 0)
            return false;
    record = std::move(parsed);
    return true;
}

int WriteWriteBackRecord(const std::string& folder, const WriteBackRecord& record) {
    // A record that a load would refuse is never written.
    const std::vector<std::uint8_t> bytes = FormatWriteBackRecord(record);
    WriteBackRecord check;
    if (!ParseWriteBackRecord(bytes, check))
        return kErrorBadFile;
    const std::string path = JoinPath(folder, kWriteBackRecordName);
    // What a refused record left (a link even) is replaced, never written
    // through.
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        return platform::WinErrorFromErrno(errno);
    return platform::WriteFileAtomic(path, bytes);
}

int ApplyWriteBackRecord(const std::string& folder, const WriteBackRecord& record,
                         const WriteBackProgress& progress) {
    const Fd folderFd(OpenFolder(folder));
    if (folderFd.get() < 0)
        return platform::WinErrorFromErrno(errno);
    return Apply(folderFd.get(), record, progress);
}

int RemoveWriteBackRecord(const std::string& folder) {
    const Fd folderFd(OpenFolder(folder));
    if (folderFd.get() < 0)
        return platform::WinErrorFromErrno(errno);
    return RemoveRecord(folderFd.get());
}

int RecoverDataFolder(const std::string& folder) {
    platform::NamedMutex mutex(kDatabaseMutexName);
    const platform::NamedMutexLock lock(mutex, CAccountRoot::GetLockTimeout());
    if (!lock.Held())
        return -1;
    const Fd folderFd(OpenFolder(folder));
    // A folder not made yet has nothing to finish; the load itself reports
    // one that cannot be read.
    if (folderFd.get() < 0)
        return 0;

    WriteBackRecord record;
    int error = 0;
    switch (ReadRecord(folderFd.get(), record, error)) {
        case Found::kNone:
            break;
        case Found::kRefused:
            if (error != 0)
                return error;
            ReportRefused(folder);
            return 0;
        case Found::kRecord:
            if (!CanFinish(folderFd.get(), record)) {
                ReportRefused(folder);
                return 0;
            }
            if (int r = Apply(folderFd.get(), record, {}); r != 0)
                return r;
            if (int r = RemoveRecord(folderFd.get()); r != 0)
                return r;
            break;
    }
    platform::RemoveUnlockedFiles(folder, [](std::string_view name) {
        return platform::IsAtomicTempName(name) || IsStagedFileName(name);
    });
    return 0;
}

}  // namespace tallowmere
