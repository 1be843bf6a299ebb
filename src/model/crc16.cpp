#include "model/crc16.h"

#include <array>

namespace tallowmere {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i << 8;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
        }
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16(const void* buffer, std::size_t length, std::uint16_t initial) {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    unsigned crc = initial;
    for (std::size_t i = 0; i < length; ++i) {
        crc = ((crc << 8) ^ kTable[((crc >> 8) ^ p[i]) & 0xFF]) & 0xFFFF;
    }
    return static_cast<std::uint16_t>(crc);
}

}  // namespace tallowmere
