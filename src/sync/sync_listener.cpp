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
        platform::Socket connection = platform::AcceptConnection(listenSocket_);
        if (!connection.Valid()) {
            // Out of descriptors, say: wait rather than spin.
            platform::WaitReadable(wake_.ReadFd(), -1, options_.acceptBackoff);
            continue;
        }
        RunSession(std::move(connection));
    }
}

void CHandheldSyncServer::RunSession(platform::Socket connection) {
    CSyncSession session(*this, connection.Fd());
    session.Run();
}

}  // namespace tallowmere::handheld
