#include "ui/logic/hand_over_inbox.h"

#include <utility>

namespace tallowmere::ui {

std::optional<InstanceRequest> HandOverInbox::Add(InstanceRequest request) {
    if (open_)
        return request;
    if (waiting_.size() == kMaxWaiting)
        waiting_.pop_front();
    waiting_.push_back(std::move(request));
    return std::nullopt;
}

std::vector<InstanceRequest> HandOverInbox::Open() {
    open_ = true;
    std::vector<InstanceRequest> out(std::make_move_iterator(waiting_.begin()),
                                     std::make_move_iterator(waiting_.end()));
    waiting_.clear();
    return out;
}

}  // namespace tallowmere::ui
