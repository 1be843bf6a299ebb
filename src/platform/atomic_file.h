#pragma once
// Whole-file reads and atomic whole-file replacement: a failed save never
// leaves a torn or truncated file behind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::platform {

// Reads the whole file. Returns 0 or a Windows error code (win_error.h); on
// failure out is left as it was.
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out);

// A whole file for a parse in place: mapped read-only where the system
// allows, otherwise read into memory. The bytes stay until this object goes.
class FileImage {
  public:
    FileImage() = default;
    ~FileImage() { Release(); }
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    std::span<const std::uint8_t> Bytes() const;
    void Release();

  private:
    friend int MapWholeFile(const std::string& path, FileImage& out);
    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
    std::vector<std::uint8_t> read_;
};

// As ReadWholeFile, without copying a regular file's bytes: they are mapped.
// Saves replace a file by renaming a new one over it, so a mapping is never
// cut short by them.
int MapWholeFile(const std::string& path, FileImage& out);

// An open file under an exclusive flock(2), held until this object goes.
class HeldFile {
  public:
    HeldFile() = default;
    explicit HeldFile(int fd) : fd_(fd) {}
    ~HeldFile() { Release(); }
    HeldFile(HeldFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    HeldFile& operator=(HeldFile&& other) noexcept;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Held() const { return fd_ >= 0; }
    void Release();

  private:
    int fd_ = -1;
};

// Writes data to a temporary file ".<name>.tmp-XXXXXX" in the target's folder
// (a name that does not end in the target's extension), flushes, fsyncs,
// renames it over the target and fsyncs the folder. The temporary file is
// under an exclusive flock until the rename, so a clean-up of the folder can
// tell it from one that a dead process left. Returns 0 or a Windows error
// code; on failure the previous file is unchanged and the temporary file is
// removed. A target whose owner-write bit is clear is refused with 5 (the
// file's own read-only mark counts even for root). A replaced file keeps its
// permission bits; a new one is created 0600.
int WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> data);
// The same, and the written file stays locked in held until the caller lets
// it go (a write-back keeps its staged files so until they are committed).
int WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> data, HeldFile& held);

// WriteFileAtomic with the bytes handed over in pieces, so that a large file
// is written while it is being made: the same temporary file, lock, checks,
// fsyncs, rename and write hook. An unfinished writer removes its temporary
// file and leaves the target as it was.
class AtomicFileWriter {
  public:
    AtomicFileWriter();
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Checks the target and makes the locked temporary file beside it.
    // 0 or a Windows error code.
    int Open(const std::string& path);
    // Appends data. 0, or a Windows error code after which the writer is
    // done (the temporary file is gone).
    int Write(std::span<const std::uint8_t> data);
    // Syncs the file, renames it over the target and syncs the folder; held,
    // when given, keeps the written file locked. 0 or a Windows error code.
    int Commit(HeldFile* held = nullptr);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Whether name has the form of WriteFileAtomic's temporary files.
bool IsAtomicTempName(std::string_view name);

// Test hook: called before each write(2) of WriteFileAtomic with the number of
// bytes already written; returning false makes that write fail with the given
// errno. nullptr removes the hook.
using WriteFault = std::function<bool(std::size_t written, int& err)>;
void SetWriteFault(WriteFault fault);

// Test hook: when set, WriteFileAtomic stops after writing and syncing the
// temporary file, before the rename, as if the process had died there, and
// leaves the temporary file in place. Returns 31 from the call.
void SetCrashBeforeRename(bool crash);

}  // namespace tallowmere::platform
