#pragma once
// What keeps the discovery responder from serving as a reflector: it answers
// only local-network sources, and only so often per source and overall.
#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>

namespace tallowmere::handheld {

// Loopback 127/8, private 10/8, 172.16/12, 192.168/16 and link-local
// 169.254/16 (network byte order in, as a socket gives it).
bool IsLocalNetworkSource(const in_addr& address);

class CDiscoveryRateLimit {
  public:
    using Clock = std::chrono::steady_clock;
    CDiscoveryRateLimit(int perSourcePerSecond, int overallPerSecond)
        : perSource_(perSourcePerSecond), overall_(overallPerSecond) {}

    // True when an answer to source at now stays within both limits; the
    // answer is then counted.
    bool Allow(std::uint32_t source, Clock::time_point now);

  private:
    struct Window {
        Clock::time_point start;
        int count = 0;
    };
    // A fixed window of one second; false when it is full.
    static bool Take(Window& window, Clock::time_point now, int limit);

    // Sources beyond this many in one second are refused rather than
    // remembered.
    static constexpr std::size_t kMaxSources = 1024;
    int perSource_;
    int overall_;
    Window all_;
    std::map<std::uint32_t, Window> sources_;
};

}  // namespace tallowmere::handheld
