#pragma once
// The connections that wait for their sync session while another runs.
// Sessions run one at a time, but no peer may keep the others out: each
// source address has at most one connection running or waiting (a newer
// one takes the place of its waiting one; one that comes while its
// address's session runs is closed), and at most kMaxWaiting wait in all.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/socket.h"

namespace tallowmere::handheld {

class CSessionQueue {
  public:
    static constexpr std::size_t kMaxWaiting = 8;

    struct Waiting {
        platform::Socket socket;
        // IPv4, network byte order.
        std::uint32_t address = 0;
    };

    // Queues a new connection, or closes it (or the one it replaces).
    void Admit(platform::Socket socket, std::uint32_t address);
    // The next connection to serve, waiting until one comes; nothing once
    // stopped. Its address counts as running until Done (which may come
    // more than once).
    std::optional<Waiting> Next();
    void Done();
    // Ends the waits of Next and closes every waiting connection; Start
    // takes connections again.
    void Stop();
    void Start();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Waiting> waiting_;
    std::optional<std::uint32_t> running_;
    bool stopped_ = false;
};

}  // namespace tallowmere::handheld
