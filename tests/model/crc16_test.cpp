#include "model/crc16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace tallowmere {
namespace {

// Bit by bit, most significant bit first: the definition the table must match.
std::uint16_t BitwiseCrc(const std::vector<std::uint8_t>& bytes, std::uint16_t crc) {
    for (std::uint8_t b : bytes) {
        crc = static_cast<std::uint16_t>(crc ^ (b << 8));
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

TEST(Crc16Test, CheckValues) {
    const char* check = "123456789";
    EXPECT_EQ(Crc16(check, 9, 0), 0x31C3);
    EXPECT_EQ(Crc16(check, 9, 0xFFFF), 0x29B1);  // the CCITT-FALSE check value
    EXPECT_EQ(Crc16(check, 9, 0x0DE5),
              BitwiseCrc(std::vector<std::uint8_t>(check, check + 9), 0x0DE5));
    EXPECT_EQ(Crc16(check, 0, 0x0DE5), 0x0DE5);
    EXPECT_EQ(Crc16(nullptr, 0, 1234), 1234);
}

TEST(Crc16Test, TableMatchesTheBitwiseDefinition) {
    std::mt19937 gen(3557);
    for (std::size_t length : {1u, 2u, 7u, 64u, 255u, 256u, 600u, 1000u}) {
        std::vector<std::uint8_t> bytes(length);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(gen());
        for (std::uint16_t init : {0x0000, 0x0DE5, 0xFFFF, 0x8000}) {
            EXPECT_EQ(Crc16(bytes.data(), bytes.size(), init), BitwiseCrc(bytes, init))
                << length << " " << init;
        }
    }
    // Every single byte value, so that each table entry is looked at.
    for (int b = 0; b < 256; ++b) {
        std::vector<std::uint8_t> one{static_cast<std::uint8_t>(b)};
        ASSERT_EQ(Crc16(one.data(), 1, 0x0DE5), BitwiseCrc(one, 0x0DE5)) << b;
    }
}

}  // namespace
}  // namespace tallowmere
