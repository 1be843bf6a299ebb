#pragma once
// Builds Palm bitmaps and Palm databases byte by byte (big-endian), for the
// icon database tests and the fuzz seeds. The encoders here are plain and
// independent of the decoder: they write what the format says.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallowmere::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutBE16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
inline void PutBE32(Bytes& b, std::uint32_t v) {
    PutBE16(b, v >> 16);
    PutBE16(b, v);
}
inline void SetBE16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}
inline void SetBE32(Bytes& b, std::size_t at, std::uint32_t v) {
    SetBE16(b, at, v >> 16);
    SetBE16(b, at + 2, v);
}

// {index, red, green, blue}, as in colour tables.
inline void PutRgbEntry(Bytes& b, std::uint8_t index, std::uint32_t rgb) {
    b.insert(b.end(), {index, static_cast<std::uint8_t>(rgb >> 16),
                       static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)});
}

// Rows of even length, as Palm OS lays them out.
inline int EvenRowBytes(int width, int depth) {
    return (width * depth + 15) / 16 * 2;
}

// Packs one value per pixel into rows: an index for depths up to 8, a 5-6-5
// word for 16, 0xRRGGBB for 24 and 32 (stored 0, R, G, B).
inline Bytes PackPixels(int width, int height, int depth, const std::vector<std::uint32_t>& values,
                        int rowBytes) {
    Bytes rows(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = values[static_cast<std::size_t>(y) * width + x];
            if (depth < 8) {
                const int bit = x * depth;
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - depth - bit % 8));
            } else {
                const int bytes = depth / 8;
                for (int k = 0; k < bytes; ++k)
                    row[x * bytes + k] = static_cast<std::uint8_t>(v >> (8 * (bytes - 1 - k)));
            }
        }
    }
    return rows;
}

// Scan-line: a flag byte per group of 8, bits set for bytes that differ from
// the row above, then those bytes. Every byte of the first row is written, as
// Palm OS writers do.
inline Bytes CompressScanLine(const Bytes& rows, int rowBytes) {
    Bytes out;
    const std::size_t height = rowBytes == 0 ? 0 : rows.size() / rowBytes;
    for (std::size_t y = 0; y < height; ++y) {
        for (int x = 0; x < rowBytes; x += 8) {
            std::uint8_t flags = 0;
            Bytes data;
            for (int k = 0; k < 8 && x + k < rowBytes; ++k) {
                const std::size_t i = y * rowBytes + x + k;
                if (y == 0 || rows[i] != rows[i - rowBytes]) {
                    flags |= static_cast<std::uint8_t>(0x80 >> k);
                    data.push_back(rows[i]);
                }
            }
            out.push_back(flags);
            out.insert(out.end(), data.begin(), data.end());
        }
    }
    return out;
}

// Run-length: per row, {count, value} pairs of up to 255 bytes.
inline Bytes CompressRunLength(const Bytes& rows, int rowBytes) {
    Bytes out;
    for (std::size_t start = 0; start < rows.size(); start += rowBytes) {
        for (int x = 0; x < rowBytes;) {
            const std::uint8_t value = rows[start + x];
            int n = 1;
            while (x + n < rowBytes && n < 255 && rows[start + x + n] == value)
                ++n;
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(value);
            x += n;
        }
    }
    return out;
}

// PackBits of one row in units of unit bytes (a row of odd size in 2-byte
// units ends with a padded unit). Palm OS writers encode row by row; the
// decoder reads the rows as one stream.
inline void PackBitsRow(Bytes row, std::size_t unit, Bytes& out) {
    if (row.size() % unit != 0)
        row.resize(row.size() + unit - row.size() % unit, 0);
    const std::size_t units = row.size() / unit;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::equal(row.begin() + a * unit, row.begin() + (a + 1) * unit,
                          row.begin() + b * unit);
    };
    for (std::size_t i = 0; i < units;) {
        std::size_t run = 1;
        while (i + run < units && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.insert(out.end(), row.begin() + i * unit, row.begin() + (i + 1) * unit);
            i += run;
            continue;
        }
        std::size_t literal = 1;
        while (i + literal < units && literal < 128 &&
               !(i + literal + 1 < units && same(i + literal, i + literal + 1)))
            ++literal;
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), row.begin() + i * unit, row.begin() + (i + literal) * unit);
        i += literal;
    }
}

inline Bytes CompressPackBits(const Bytes& rows, int rowBytes, std::size_t unit) {
    Bytes out;
    for (std::size_t start = 0; start < rows.size(); start += rowBytes)
        PackBitsRow(Bytes(rows.begin() + start, rows.begin() + start + rowBytes), unit, out);
    return out;
}

enum class Packing { kNone = -1, kScanLine = 0, kRunLength = 1, kPackBits = 2 };

struct TbmpLayout {
    int width = 4;
    int height = 2;
    int depth = 8;
    int version = 1;
    int rowBytes = 0;                                       // 0: EvenRowBytes
    std::vector<std::uint32_t> values;                      // per pixel, see PackPixels
    std::optional<std::vector<std::uint32_t>> colourTable;  // 0xRRGGBB entries
    bool directColour = false;                              // versions below 3: the 8-byte block
    std::uint32_t directTransparent = 0;                    // its transparent colour, 0xRRGGBB
    bool transparent = false;                               // flag 0x2000
    std::uint8_t transparentIndex = 0;                      // versions 0-2
    std::uint32_t transparentValue = 0;                     // version 3
    Packing packing = Packing::kNone;
};

// One bitmap (next member offset 0).
inline Bytes Tbmp(const TbmpLayout& s) {
    const int rowBytes = s.rowBytes != 0 ? s.rowBytes : EvenRowBytes(s.width, s.depth);
    std::uint16_t flags = 0;
    if (s.packing != Packing::kNone)
        flags |= 0x8000;
    if (s.colourTable)
        flags |= 0x4000;
    if (s.transparent)
        flags |= 0x2000;
    if (s.directColour)
        flags |= 0x0400;
    Bytes b;
    PutBE16(b, s.width);
    PutBE16(b, s.height);
    PutBE16(b, rowBytes);
    PutBE16(b, flags);
    b.push_back(static_cast<std::uint8_t>(s.depth));
    b.push_back(static_cast<std::uint8_t>(s.version));
    if (s.version < 3) {
        PutBE16(b, 0);
        b.push_back(s.transparentIndex);
        b.push_back(s.packing == Packing::kNone ? 0 : static_cast<std::uint8_t>(s.packing));
        PutBE16(b, 0);
    } else {
        b.push_back(24);  // header size
        b.push_back(0);
        b.push_back(0);
        b.push_back(s.packing == Packing::kNone ? 0 : static_cast<std::uint8_t>(s.packing));
        PutBE16(b, 72);  // density
        PutBE32(b, s.transparentValue);
        PutBE32(b, 0);
    }
    if (s.colourTable) {
        PutBE16(b, static_cast<std::uint32_t>(s.colourTable->size()));
        for (std::size_t i = 0; i < s.colourTable->size(); ++i)
            PutRgbEntry(b, static_cast<std::uint8_t>(i), (*s.colourTable)[i]);
    }
    if (s.directColour && s.version < 3) {
        b.insert(b.end(), {5, 6, 5, 0});  // bits of red, green, blue; reserved
        PutRgbEntry(b, 0, s.directTransparent);
    }
    const Bytes rows = PackPixels(s.width, s.height, s.depth, s.values, rowBytes);
    if (s.packing == Packing::kNone) {
        b.insert(b.end(), rows.begin(), rows.end());
        return b;
    }
    Bytes packed;
    if (s.packing == Packing::kScanLine)
        packed = CompressScanLine(rows, rowBytes);
    else if (s.packing == Packing::kRunLength)
        packed = CompressRunLength(rows, rowBytes);
    else
        packed = CompressPackBits(rows, rowBytes, s.depth <= 8 ? 1 : 2);
    const std::size_t sizeField = s.version < 3 ? 2 : 4;
    const std::uint32_t total = static_cast<std::uint32_t>(packed.size() + sizeField);
    if (sizeField == 2)
        PutBE16(b, total);
    else
        PutBE32(b, total);
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

// The 16-byte placeholder that may stand before a member.
inline Bytes Placeholder() {
    Bytes b(16, 0);
    b[8] = 255;
    b[9] = 1;
    return b;
}

// Chains members into one resource: each member but the last (a placeholder
// counts as part of the member after it) gets its next offset, and members
// of versions 0-2 are padded to 4 bytes.
inline Bytes Family(const std::vector<Bytes>& members) {
    Bytes out;
    for (std::size_t i = 0; i < members.size(); ++i) {
        Bytes m = members[i];
        const bool last = i + 1 == members.size();
        const std::size_t header = m.size() >= 16 && m[8] == 255 && m[9] == 1 ? 16 : 0;
        const int version = m[header + 9];
        if (version < 3) {
            m.resize((m.size() + 3) / 4 * 4, 0);
            if (!last)
                SetBE16(m, header + 10, static_cast<std::uint32_t>((m.size() - header) / 4));
        } else if (!last) {
            SetBE32(m, header + 20, static_cast<std::uint32_t>(m.size() - header));
        }
        out.insert(out.end(), m.begin(), m.end());
    }
    return out;
}

struct PdbResource {
    std::uint32_t type = 0x54626D70;  // 'Tbmp'
    std::uint16_t id = 0;
    Bytes data;
};

struct PdbLayout {
    std::string name = "BrackwaterIcons";
    std::uint16_t attributes = 0x0001;
    std::uint32_t creationDate = 0;
    std::uint32_t type = 0x49636F6E;     // 'Icon'
    std::uint32_t creator = 0x42726B77;  // 'Brkw'
    Bytes appInfo;
    Bytes sortInfo;
    std::vector<PdbResource> resources;
};

// A resource database (or, without attribute 1, a record database with
// 8-byte entries) with its data laid out from g on: application info, sort
// info, then the entries' data in order.
inline Bytes Pdb(const PdbLayout& s) {
    const bool resource = (s.attributes & 1) != 0;
    const std::uint32_t entrySize = resource ? 10 : 8;
    const std::uint32_t g = entrySize * static_cast<std::uint32_t>(s.resources.size()) + 80;
    Bytes b(32, 0);
    std::copy_n(s.name.begin(), std::min<std::size_t>(s.name.size(), 31), b.begin());
    PutBE16(b, s.attributes);
    PutBE16(b, 1);  // version
    PutBE32(b, s.creationDate);
    PutBE32(b, s.creationDate);
    PutBE32(b, 0);  // last backup
    PutBE32(b, 1);  // modification number
    std::uint32_t at = g;
    const std::uint32_t app = s.appInfo.empty() ? 0 : at;
    at += static_cast<std::uint32_t>(s.appInfo.size());
    const std::uint32_t sort = s.sortInfo.empty() ? 0 : at;
    at += static_cast<std::uint32_t>(s.sortInfo.size());
    PutBE32(b, app);
    PutBE32(b, sort);
    PutBE32(b, s.type);
    PutBE32(b, s.creator);
    PutBE32(b, 0);  // unique-id seed
    PutBE32(b, 0);  // next record list
    PutBE16(b, static_cast<std::uint32_t>(s.resources.size()));
    for (std::size_t i = 0; i < s.resources.size(); ++i) {
        const PdbResource& r = s.resources[i];
        if (resource) {
            PutBE32(b, r.type);
            PutBE16(b, r.id);
            PutBE32(b, at);
        } else {
            PutBE32(b, at);
            PutBE32(b, static_cast<std::uint32_t>(i + 1));  // attributes 0, unique id
        }
        at += static_cast<std::uint32_t>(r.data.size());
    }
    PutBE16(b, 0);  // the gap before g
    b.insert(b.end(), s.appInfo.begin(), s.appInfo.end());
    b.insert(b.end(), s.sortInfo.begin(), s.sortInfo.end());
    for (const PdbResource& r : s.resources)
        b.insert(b.end(), r.data.begin(), r.data.end());
    return b;
}

// Offsets of the header fields that tests change by hand.
inline constexpr std::size_t kPdbAppInfoAt = 52;
inline constexpr std::size_t kPdbSortInfoAt = 56;
inline constexpr std::size_t kPdbTypeAt = 60;
inline constexpr std::size_t kPdbCreatorAt = 64;
inline constexpr std::size_t kPdbNextListAt = 72;
// The data offset field of resource entry i.
inline constexpr std::size_t PdbResourceOffsetAt(std::size_t i) {
    return 78 + 10 * i + 6;
}

}  // namespace tallowmere::test
