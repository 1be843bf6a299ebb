#pragma once
// The stop and cancel answers of a fuzzed reply walk: the stopAt-th event
// answers 9 (stop), the cancelAt-th progress call answers false (cancel),
// 0 meaning never; any call after either aborts, since a walk must say
// nothing once it was told to stop.
#include <cstdint>
#include <cstdlib>

namespace tallowmere::fuzz {

class WalkStopper {
  public:
    WalkStopper(int stopAt, int cancelAt) : stopAt_(stopAt), cancelAt_(cancelAt) {}

    bool Progress() {
        if (stopped_)
            std::abort();
        if (++progress_ == cancelAt_) {
            stopped_ = true;
            return false;
        }
        return true;
    }
    std::int32_t Event() {
        if (stopped_)
            std::abort();
        if (++events_ == stopAt_) {
            stopped_ = true;
            return 9;
        }
        return 0;
    }
    bool Stopped() const { return stopped_; }

  private:
    int stopAt_;
    int cancelAt_;
    int progress_ = 0;
    int events_ = 0;
    bool stopped_ = false;
};

}  // namespace tallowmere::fuzz
