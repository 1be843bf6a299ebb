#pragma once
// CRC-16 with the CCITT polynomial 0x1021, most significant bit first, no
// reflection and no final XOR.
#include <cstddef>
#include <cstdint>

namespace tallowmere {

// A length of 0 returns the initial value.
std::uint16_t Crc16(const void* buffer, std::size_t length, std::uint16_t initial);

}  // namespace tallowmere
