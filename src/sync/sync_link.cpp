#include "sync/sync_link.h"

#include <algorithm>

#include "platform/socket.h"
#include "sync/sync_parse.h"

namespace tallowmere::handheld {

std::chrono::milliseconds CSyncLink::Budget() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
    return std::min(idle_, left);
}

bool CSyncLink::SendText(std::string_view text) {
    return SendBytes(text.data(), text.size());
}

bool CSyncLink::SendBytes(const void* data, std::size_t size) {
    const auto budget = Budget();
    if (budget.count() <= 0)
        return false;
    return platform::SendAll(fd_, data, size, budget);
}

long CSyncLink::Receive(void* buffer, std::size_t size) {
    const auto budget = Budget();
    if (budget.count() <= 0)
        return -1;
    return platform::ReceiveSome(fd_, buffer, size, budget);
}

std::string CSyncLink::ReceiveText(std::size_t max) {
    std::string buffer(max, '\0');
    const long n = Receive(buffer.data(), max);
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
