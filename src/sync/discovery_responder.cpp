#include <unistd.h>

#include <array>
#include <cstring>

#include "sync/discovery_guard.h"
#include "sync/sync_parse.h"
#include "sync/sync_server.h"
#include "sync/sync_words.h"

namespace tallowmere::handheld {
namespace {

std::string HostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return std::string();
    return name.data();
}

}  // namespace

void CHandheldSyncServer::DiscoveryThreadProc() {
    CDiscoveryRateLimit limit(options_.discoveryPerSource, options_.discoveryOverall);
    const int fd = discoverySocket_.Fd();
    while (!stop_) {
        const auto ready = platform::WaitReadable(fd, wake_.ReadFd(), std::chrono::seconds(1));
        if (ready == platform::WaitResult::kWoken || stop_)
            break;
        if (ready == platform::WaitResult::kError)
            break;
        if (ready != platform::WaitResult::kReady)
            continue;
        std::array<char, kMaxWordBytes> datagram{};
        sockaddr_in from{};
        const long n = platform::ReceiveDatagram(fd, datagram.data(), datagram.size(), from,
                                                 std::chrono::milliseconds(0));
        if (n <= 0)
            continue;
        const int port =
            DiscoveryReplyPort(std::string_view(datagram.data(), static_cast<std::size_t>(n)));
        // Only the local network may ask, and only so often: the answer is
        // larger than the question, so anything else would make a reflector.
        if (port == 0 || !IsLocalNetworkSource(from.sin_addr) ||
            !limit.Allow(from.sin_addr.s_addr, CDiscoveryRateLimit::Clock::now()))
            continue;
        const std::string name = options_.hostName ? options_.hostName() : HostName();
        std::array<char, kDiscoveryReplyBytes> reply{};
        std::memcpy(reply.data(), name.data(), std::min(name.size(), reply.size()));
        sockaddr_in to = from;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        platform::SendDatagram(fd, reply.data(), reply.size(), to);
    }
}

}  // namespace tallowmere::handheld
