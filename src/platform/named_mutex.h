#pragma once
// Named mutexes: one lock per name, shared by every thread of the process
// and, through a lock file in the user's runtime folder, by every process of
// the same user. The thread that holds one may take it again (it must then
// release it as often).
#include <chrono>
#include <memory>
#include <string>

namespace tallowmere::platform {

class NamedMutex {
  public:
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Waits at most timeout; false when the wait ran out.
    bool Lock(std::chrono::milliseconds timeout);
    // Releases one hold; a thread that holds nothing releases nothing.
    void Unlock();

    struct State;

  private:
    std::shared_ptr<State> state_;
};

// Holds a named mutex for a scope when the wait succeeded.
class NamedMutexLock {
  public:
    NamedMutexLock(NamedMutex& mutex, std::chrono::milliseconds timeout)
        : mutex_(mutex), held_(mutex.Lock(timeout)) {}
    ~NamedMutexLock() {
        if (held_)
            mutex_.Unlock();
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;
    bool Held() const { return held_; }

  private:
    NamedMutex& mutex_;
    bool held_;
};

// The folder of the lock files: $XDG_RUNTIME_DIR/tallowmere, else a private
// folder below the temporary folder.
std::string LockFolder();

}  // namespace tallowmere::platform
