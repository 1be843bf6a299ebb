#include "platform/stale_files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace tallowmere::platform {
namespace {

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

std::vector<std::string> ListNames(int folderFd,
                                   const std::function<bool(std::string_view)>& pick) {
    std::vector<std::string> names;
    // fdopendir takes over the descriptor it is given.
    const int listFd = fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (listFd < 0)
        return names;
    DIR* dir = fdopendir(listFd);
    if (dir == nullptr) {
        close(listFd);
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != ".." && pick(name))
            names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

bool RemoveIfUnlocked(int folderFd, const std::string& name) {
    // O_NONBLOCK: a FIFO under a temporary name must not hang the load.
    const Fd fd(openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat opened {};
    if (fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return false;
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    // The name may have moved on since it was opened (a writer's rename);
    // only the very file that is locked here goes.
    struct stat named {};
    if (fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
        return false;
    return unlinkat(folderFd, name.c_str(), 0) == 0;
}

}  // namespace

int RemoveUnlockedFiles(const std::string& folder,
                        const std::function<bool(std::string_view)>& isTemporary) {
    const Fd folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() < 0)
        return 0;
    int removed = 0;
    for (const std::string& name : ListNames(folderFd.get(), isTemporary)) {
        if (RemoveIfUnlocked(folderFd.get(), name))
            ++removed;
    }
    return removed;
}

}  // namespace tallowmere::platform
