#pragma once
// Whole-file reads and atomic whole-file replacement: a failed save never
// leaves a torn or truncated file behind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tallowmere::platform {

// Reads the whole file. Returns 0 or a Windows error code (win_error.h); on
// failure out is left as it was.
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out);

// Writes data to a temporary file in the target's folder (a name that does not
// end in the target's extension), flushes, fsyncs, renames it over the target
// and fsyncs the folder. Returns 0 or a Windows error code; on failure the
// previous file is unchanged and the temporary file is removed. A target
// whose owner-write bit is clear is refused with 5 (the file's own read-only
// mark counts even for root). A replaced file keeps its permission bits; a
// new one is created 0600.
int WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> data);

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
