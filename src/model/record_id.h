#pragma once
// The 8-byte record identity: machine id, sequence number and creation time,
// each big-endian. Stored and compared as bytes, never as host integers.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace tallowmere {

struct RecordId {
    std::array<std::uint8_t, 8> bytes{};

    static void Copy(RecordId& dest, const RecordId& src) { dest.bytes = src.bytes; }
    static bool Equals(const RecordId& a, const RecordId& b) { return a.bytes == b.bytes; }
    static bool IsNull(const RecordId& id) {
        for (auto b : id.bytes) {
            if (b != 0)
                return false;
        }
        return true;
    }
    // Fixed ids and the split marker: bytes 0-6 zero; byte 7 is not looked at.
    static bool IsLowZero(const RecordId& id) {
        for (std::size_t i = 0; i < 7; ++i) {
            if (id.bytes[i] != 0)
                return false;
        }
        return true;
    }
    static void Clear(RecordId& id) { id.bytes.fill(0); }
    // Byte-wise unsigned comparison from byte 0: -1, 0 or 1.
    static int Compare(const RecordId& a, const RecordId& b) {
        int r = std::memcmp(a.bytes.data(), b.bytes.data(), a.bytes.size());
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }

    bool IsNull() const { return IsNull(*this); }
    friend bool operator==(const RecordId& a, const RecordId& b) = default;

    // A fixed id: bytes 0-5 zero, the code big-endian in bytes 6-7.
    static constexpr RecordId Fixed(std::uint16_t code) {
        RecordId id;
        id.bytes[6] = static_cast<std::uint8_t>(code >> 8);
        id.bytes[7] = static_cast<std::uint8_t>(code & 0xFF);
        return id;
    }
    static RecordId FromBytes(const std::uint8_t* p) {
        RecordId id;
        std::memcpy(id.bytes.data(), p, 8);
        return id;
    }
    void ToBytes(std::uint8_t* p) const { std::memcpy(p, bytes.data(), 8); }
};

inline constexpr RecordId kNoneId{};
// Stands in a transaction's category field when it has split lines.
inline constexpr RecordId SplitMarkerId = RecordId::Fixed(1);

// Fills a new id: machine id, next sequence number, NowAsPalmTime().
// Thread-safe.
void NewRecordId(RecordId& out);
inline RecordId NewRecordId() {
    RecordId id;
    NewRecordId(id);
    return id;
}

// 16 upper-case hex digits and a NUL into buffer (at least 17 bytes); returns
// the position of the NUL.
char* RecordIdToHex(const RecordId& id, char* buffer);
std::string RecordIdToHex(const RecordId& id);

}  // namespace tallowmere
