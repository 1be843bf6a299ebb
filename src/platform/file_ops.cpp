#include "platform/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere::platform {

// Case-insensitive equality of two UTF-8 names through their Windows-1252
// form; a name with characters outside it must match exactly.
bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    std::string a1252 = Utf8ToCp1252(a);
    std::string b1252 = Utf8ToCp1252(b);
    if (Cp1252ToUtf8(a1252) != a || Cp1252ToUtf8(b1252) != b)
        return false;
    return CompareNoCase1252(a1252, b1252) == 0;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return WinErrorFromErrno(errno);
    // File systems without the flag: a hard link fails on an existing target.
    if (link(from.c_str(), to.c_str()) != 0)
        return WinErrorFromErrno(errno);
    if (unlink(from.c_str()) != 0) {
        int err = errno;
        unlink(to.c_str());
        return WinErrorFromErrno(err);
    }
    return 0;
}

std::string FindNameNoCase(const std::string& folder, const std::string& name,
                           const std::string& ignore) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                            closedir);
    if (!dir)
        return {};
    std::string found;
    while (dirent* entry = readdir(dir.get())) {
        std::string entryName = entry->d_name;
        if (entryName == "." || entryName == ".." || (!ignore.empty() && entryName == ignore)) {
            continue;
        }
        if (entryName == name)
            return entryName;
        if (found.empty() && SameNameNoCase(entryName, name))
            found = entryName;
    }
    return found;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace tallowmere::platform
