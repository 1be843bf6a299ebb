#pragma once
// The file transfer of a sync run, in both directions: the size as decimal
// text, an acknowledgement, the raw bytes, an acknowledgement.
#include <chrono>
#include <cstdint>
#include <string>

#include "sync/sync_link.h"

namespace tallowmere::handheld {

struct TransferLimits {
    // Sizes above this are refused before a byte is written.
    std::uint64_t maxBytes = 256u * 1024 * 1024;
    // The longest one transfer may take (within the link's own deadline).
    std::chrono::milliseconds deadline{std::chrono::minutes(10)};
    // A transfer that averages fewer bytes a second than this once its
    // first grace has passed is ended, so a trickle holds the server no
    // longer than a silence; 0: no floor.
    std::uint64_t minBytesPerSecond = 8 * 1024;
    std::chrono::milliseconds rateGrace{std::chrono::seconds(10)};
};

// Receives the handheld's file into path, which must not exist (it is made
// without following links, owner-only). False when the file cannot be made
// or written, the size text is not a size within the limit, or the peer
// stops, fails, runs out of time or falls under the rate floor; a partial
// file is then deleted.
bool ReceiveFile(CSyncLink& link, const std::string& path, const TransferLimits& limits);

// Sends the file at path (opened without following links). False when it
// cannot be read or the peer does not take it whole, final acknowledgement
// included, within the limits.
bool SendFile(CSyncLink& link, const std::string& path, const TransferLimits& limits);

}  // namespace tallowmere::handheld
