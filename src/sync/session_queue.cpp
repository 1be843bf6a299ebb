#include "sync/session_queue.h"

#include <algorithm>
#include <utility>

namespace tallowmere::handheld {

void CSessionQueue::Admit(platform::Socket socket, std::uint32_t address) {
    std::lock_guard lock(mutex_);
    if (stopped_ || running_ == address)
        return;
    auto same = std::find_if(waiting_.begin(), waiting_.end(),
                             [&](const Waiting& w) { return w.address == address; });
    if (same != waiting_.end()) {
        // The peer has given up on the older one; it keeps its place.
        same->socket = std::move(socket);
        return;
    }
    if (waiting_.size() >= kMaxWaiting)
        return;
    waiting_.push_back({std::move(socket), address});
    changed_.notify_all();
}

std::optional<CSessionQueue::Waiting> CSessionQueue::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || !waiting_.empty(); });
    if (stopped_)
        return std::nullopt;
    Waiting next = std::move(waiting_.front());
    waiting_.pop_front();
    running_ = next.address;
    return next;
}

void CSessionQueue::Done() {
    std::lock_guard lock(mutex_);
    running_.reset();
}

void CSessionQueue::Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    waiting_.clear();
    changed_.notify_all();
}

void CSessionQueue::Start() {
    std::lock_guard lock(mutex_);
    stopped_ = false;
}

}  // namespace tallowmere::handheld
