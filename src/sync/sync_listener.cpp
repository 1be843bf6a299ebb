#include <thread>
#include <utility>

#include "sync/sync_server.h"
#include "sync/sync_session.h"

namespace tallowmere::handheld {

void CHandheldSyncServer::ListenerThreadProc() {
    while (!stop_) {
        const auto ready =
            platform::WaitReadable(listenSocket_.Fd(), wake_.ReadFd(), std::chrono::seconds(1));
        if (ready == platform::WaitResult::kWoken || stop_)
            break;
        if (ready != platform::WaitResult::kReady)
            continue;
        sockaddr_in peer{};
        platform::Socket connection = platform::AcceptConnection(listenSocket_, &peer);
        if (!connection.Valid()) {
            // Out of descriptors, say: wait rather than spin.
            platform::WaitReadable(wake_.ReadFd(), -1, options_.acceptBackoff);
            continue;
        }
        // Taken while a session runs, so no peer can keep the rest out.
        queue_.Admit(std::move(connection), peer.sin_addr.s_addr);
    }
}

void CHandheldSyncServer::SessionThreadProc() {
    while (!stop_) {
        std::optional<CSessionQueue::Waiting> next = queue_.Next();
        if (!next)
            break;
        RunSession(std::move(next->socket), next->address);
        queue_.Done();
    }
}

void CHandheldSyncServer::RunSession(platform::Socket connection, std::uint32_t address) {
    CSyncSession session(*this, connection.Fd(), address);
    session.Run();
}

}  // namespace tallowmere::handheld
