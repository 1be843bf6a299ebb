#pragma once
// What a figure depends on besides our code: the transparent-huge-page mode,
// the file system under the data, this process's resident memory, and a data
// folder on a real disk.
#include <string>

namespace tallowmere::bench {

// The kernel's transparent-huge-page mode ("always", "madvise" or "never"),
// or "unknown".
std::string HugePageMode();

// "ext4 /dev/vda on /": the file system that holds path, its source and
// mount point, from the mount table; "unknown" when not found.
std::string FileSystemOf(const std::string& path);

// A new empty folder for a bench's files, named after name: under
// $TALLOWMERE_BENCH_DIR when set, else in the build tree (never /tmp, which
// may be memory). "" when it cannot be made.
std::string MakeBenchFolder(const std::string& name);

// One line naming the THP mode and the file system of folder, for the
// figures' heading.
std::string HostLine(const std::string& folder);

// This process's resident set and its peak since start or the last reset,
// in KiB; -1 when unknown.
long ResidentKiB();
long PeakResidentKiB();
// Sets the peak to the current resident set; false when the kernel refuses.
bool ResetPeakResident();

// Stops the kernel from backing this process with huge pages (inherited by
// its children). False when refused.
bool DisableHugePages();

}  // namespace tallowmere::bench
