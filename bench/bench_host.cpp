#include "bench_host.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace tallowmere::bench {
namespace {

// Mount-table fields escape blanks and backslashes as octal.
std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool UnderMountPoint(const std::string& path, const std::string& mount) {
    if (mount == "/")
        return true;
    return path.compare(0, mount.size(), mount) == 0 &&
           (path.size() == mount.size() || path[mount.size()] == '/');
}

// A "Vm...:" line of /proc/self/status, in KiB.
long StatusKiB(std::string_view key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    }
    return -1;
}

}  // namespace

std::string HugePageMode() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    std::getline(in, line);
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']', open);
    if (open == std::string::npos || close == std::string::npos)
        return "unknown";
    return line.substr(open + 1, close - open - 1);
}

std::string FileSystemOf(const std::string& path) {
    std::error_code ec;
    const std::string real = std::filesystem::canonical(path, ec).string();
    if (ec)
        return "unknown";
    // mountinfo: id parent major:minor root mount-point options ... - type source ...
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    std::string best;
    std::string found = "unknown";
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> f;
        std::string word;
        while (fields >> word)
            f.push_back(word);
        std::size_t dash = 0;
        while (dash < f.size() && f[dash] != "-")
            ++dash;
        if (f.size() < 5 || dash + 2 >= f.size())
            continue;
        const std::string mount = Unescape(f[4]);
        // The longest match wins; among equals the later mount hides the earlier.
        if (UnderMountPoint(real, mount) && mount.size() >= best.size()) {
            best = mount;
            found = f[dash + 1] + " " + Unescape(f[dash + 2]) + " on " + mount;
        }
    }
    return found;
}

std::string MakeBenchFolder(const std::string& name) {
    const char* chosen = std::getenv("TALLOWMERE_BENCH_DIR");
    const std::filesystem::path base =
        chosen != nullptr && *chosen != '\0' ? chosen : TALLOWMERE_BENCH_DATA_DIR;
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    std::string pattern = (base / (name + "-XXXXXX")).string();
    if (ec || mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

std::string HostLine(const std::string& folder) {
    const std::string mode = HugePageMode();
    std::string line = "THP " + mode;
    if (mode != "madvise" && mode != "always")
        line += " (the goals count with madvise or always)";
    line += "; data on " + FileSystemOf(folder);
    if (line.find(" tmpfs ") != std::string::npos)
        line += " (memory, not a disk: saves do not count)";
    return line;
}

long ResidentKiB() {
    return StatusKiB("VmRSS:");
}

long PeakResidentKiB() {
    return StatusKiB("VmHWM:");
}

bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

bool DisableHugePages() {
    return prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) == 0;
}

}  // namespace tallowmere::bench
