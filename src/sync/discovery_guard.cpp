#include "sync/discovery_guard.h"

#include <arpa/inet.h>

namespace tallowmere::handheld {

bool IsLocalNetworkSource(const in_addr& address) {
    const std::uint32_t a = ntohl(address.s_addr);
    const auto in = [a](std::uint32_t net, int bits) {
        const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
        return (a & mask) == net;
    };
    return in(0x7F000000, 8) || in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16) ||
           in(0xA9FE0000, 16);
}

bool CDiscoveryRateLimit::Take(Window& window, Clock::time_point now, int limit) {
    if (window.count == 0 || now - window.start >= std::chrono::seconds(1) || now < window.start) {
        window.start = now;
        window.count = 0;
    }
    if (window.count >= limit)
        return false;
    ++window.count;
    return true;
}

bool CDiscoveryRateLimit::Allow(std::uint32_t source, Clock::time_point now) {
    // Forget sources whose second is over, so the map stays small.
    for (auto it = sources_.begin(); it != sources_.end();) {
        if (now - it->second.start >= std::chrono::seconds(1) || now < it->second.start)
            it = sources_.erase(it);
        else
            ++it;
    }
    auto it = sources_.find(source);
    if (it == sources_.end()) {
        if (sources_.size() >= kMaxSources)
            return false;
        it = sources_.emplace(source, Window{}).first;
    }
    Window& own = it->second;
    if (own.count >= perSource_ && now - own.start < std::chrono::seconds(1))
        return false;
    if (!Take(all_, now, overall_))
        return false;
    return Take(own, now, perSource_);
}

}  // namespace tallowmere::handheld
