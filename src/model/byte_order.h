#pragma once
// Explicit little- and big-endian loads and stores on byte buffers: file and
// wire formats are read and written field by field, never as host structs.
#include <cstdint>
#include <cstring>

namespace tallowmere {

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t LoadLE64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(LoadLE32(p)) |
           (static_cast<std::uint64_t>(LoadLE32(p + 4)) << 32);
}
inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint16_t LoadBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline void StoreBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}

inline double LoadLEDouble(const std::uint8_t* p) {
    std::uint64_t bits = LoadLE64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline void StoreLEDouble(std::uint8_t* p, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    StoreLE64(p, bits);
}

}  // namespace tallowmere
