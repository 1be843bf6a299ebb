#pragma once
// Hand-overs that reach the running copy before its main window exists (a
// second start during the password prompt, say) wait here, and are delivered
// in order once the window is there.
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "ui/logic/instance_frames.h"

namespace tallowmere::ui {

class HandOverInbox {
  public:
    // A peer that keeps sending cannot grow the queue past this; the oldest
    // waiting hand-over goes first.
    static constexpr std::size_t kMaxWaiting = 16;

    // Returns the hand-over to deliver now once open; before that keeps it.
    std::optional<InstanceRequest> Add(InstanceRequest request);
    // Opens the inbox and returns what waited, oldest first.
    std::vector<InstanceRequest> Open();
    bool IsOpen() const { return open_; }

  private:
    std::deque<InstanceRequest> waiting_;
    bool open_ = false;
};

}  // namespace tallowmere::ui
