#include "ui/logic/online_progress_logic.h"

namespace tallowmere::ui {

bool OnlineProgressState::Step(std::uint32_t now) {
    if (now - last_ <= kOnlineProgressStepMs)
        return false;
    last_ = now;
    frame_ = (frame_ + 1) % kOnlineProgressFrames;
    return true;
}

bool OnlineProgressState::TakeCancel() {
    const bool taken = cancel_;
    cancel_ = false;
    return taken;
}

}  // namespace tallowmere::ui
