#pragma once
// Parsers of what the handheld sends. Each looks only at the bytes it is
// given, so a buffer without a terminator is never overrun.
#include <cstdint>
#include <string_view>

namespace tallowmere::handheld {

// A received word as text: up to its first NUL.
std::string_view WordText(std::string_view received);

// The port of a discovery request: the decimal number after the first '|'
// (leading blanks and a sign allowed, digits up to the first non-digit).
// 0 when there is no '|', no number, or the number is not a port 1..65535.
int ParseDiscoveryPort(std::string_view text);

// The port to answer a discovery datagram at (its text up to the first NUL
// holds "AndroidSyncRequest" and a port); 0 for no answer.
int DiscoveryReplyPort(std::string_view datagram);

// The size text of a transfer: leading blanks, an optional '+', digits up
// to the first non-digit. False for no digits, a '-', or a value above
// maxBytes (checked while parsing, so no value overflows).
bool ParseTransferSize(std::string_view text, std::uint64_t maxBytes, std::uint64_t& size);

}  // namespace tallowmere::handheld
