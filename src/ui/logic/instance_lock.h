#pragma once
// The lock that makes a start the running copy: an exclusive flock on
// "tallowmere.lock" in the user's private lock folder, held for the whole life
// of the program. The kernel drops it when the process ends, however it ends.
#include <string>

namespace tallowmere::ui {

class InstanceLock {
  public:
    enum class Result {
        kAcquired,       // this start is the running copy
        kHeldElsewhere,  // another process of this user holds it
        kUnavailable,    // the folder is not a private folder of this user, or no lock file
    };

    // folder: the lock folder (platform::LockFolder() in the program).
    explicit InstanceLock(std::string folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Does not wait. Taking a lock already held here returns kAcquired.
    Result TryAcquire();
    bool Held() const { return fd_ >= 0; }
    const std::string& Folder() const { return folder_; }

  private:
    std::string folder_;
    int fd_ = -1;
};

// True when path is a folder (not a link) of the calling user that no one
// else may enter.
bool IsPrivateFolder(const std::string& path);

}  // namespace tallowmere::ui
