#include "ui/logic/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tallowmere::ui {

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0;
}

InstanceLock::InstanceLock(std::string folder) : folder_(std::move(folder)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        close(fd_);
}

InstanceLock::Result InstanceLock::TryAcquire() {
    if (fd_ >= 0)
        return Result::kAcquired;
    // In a folder others can write to, the lock and the socket beside it
    // could be someone else's.
    if (!IsPrivateFolder(folder_))
        return Result::kUnavailable;
    const std::string path = folder_ + "/tallowmere.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return Result::kUnavailable;
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        close(fd);
        return busy ? Result::kHeldElsewhere : Result::kUnavailable;
    }
    fd_ = fd;
    return Result::kAcquired;
}

}  // namespace tallowmere::ui
