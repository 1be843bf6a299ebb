#include "sync/sync_link.h"

#include <algorithm>

#include "platform/socket.h"
#include "sync/sync_parse.h"

namespace tallowmere::handheld {

void CSyncLink::SetRateFloor(std::uint64_t bytesPerSecond, std::chrono::milliseconds grace) {
    floorRate_ = bytesPerSecond;
    floorStart_ = Clock::now();
    floorGrace_ = grace;
    moved_ = 0;
}

std::chrono::milliseconds CSyncLink::Budget() const {
    Clock::time_point end = deadline_;
    if (floorRate_ > 0) {
        // The moment the bytes so far fall under the floor's average.
        const std::chrono::milliseconds earned(moved_ * 1000 / floorRate_);
        end = std::min(end, floorStart_ + std::max(floorGrace_, earned));
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    return std::min(idle_, left);
}

bool CSyncLink::SendText(std::string_view text) {
    return SendBytes(text.data(), text.size());
}

bool CSyncLink::SendBytes(const void* data, std::size_t size) {
    const auto budget = Budget();
    if (budget.count() <= 0)
        return false;
    if (!platform::SendAll(fd_, data, size, budget, wakeFd_))
        return false;
    moved_ += size;
    return true;
}

long CSyncLink::ReceiveWithin(void* buffer, std::size_t size, std::chrono::milliseconds within) {
    const auto budget = std::min(Budget(), within);
    if (budget.count() <= 0)
        return -1;
    const long n = platform::ReceiveSome(fd_, buffer, size, budget, wakeFd_);
    if (n > 0)
        moved_ += static_cast<std::uint64_t>(n);
    return n;
}

long CSyncLink::Receive(void* buffer, std::size_t size) {
    return ReceiveWithin(buffer, size, idle_);
}

std::string CSyncLink::ReceiveText(std::size_t max) {
    return ReceiveText(max, idle_);
}

std::string CSyncLink::ReceiveText(std::size_t max, std::chrono::milliseconds within) {
    std::string buffer(max, '\0');
    const long n = ReceiveWithin(buffer.data(), max, within);
    if (n <= 0)
        return std::string();
    buffer.resize(static_cast<std::size_t>(n));
    return std::string(WordText(buffer));
}

bool CSyncLink::ReceiveAck(std::size_t size) {
    char buffer[8];
    return Receive(buffer, std::min(size, sizeof buffer)) > 0;
}

}  // namespace tallowmere::handheld
