#include "model/palm_bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "model/byte_order.h"
#include "model/palm_palette.h"

namespace tallowmere {

namespace {

constexpr std::uint16_t kCompressedFlag = 0x8000;
constexpr std::uint16_t kColourTableFlag = 0x4000;
constexpr std::uint16_t kTransparentFlag = 0x2000;
constexpr std::uint16_t kDirectColourFlag = 0x0400;

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kHeaderSizeV3 = 24;
constexpr std::size_t kDirectColourSize = 8;

enum Compression : std::uint8_t { kScanLine = 0, kRunLength = 1, kPackBits = 2 };

struct Header {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t rowBytes = 0;
    std::uint16_t flags = 0;
    std::uint8_t depth = 0;
    std::uint8_t version = 0;
    std::uint8_t transparentIndex = 0;
    std::uint8_t compression = 0;
    std::uint32_t transparentValue = 0;
    std::size_t size = kHeaderSize;
    std::size_t next = 0;  // bytes from this header to the next member, 0 = last
};

bool IsPlaceholder(const std::uint8_t* p) {
    return LoadBE16(p) == 0 && LoadBE16(p + 2) == 0 && LoadBE16(p + 4) == 0 &&
           LoadBE16(p + 6) == 0 && p[8] == 255 && p[9] == 1;
}

// Reads the header at offset, first moving past a placeholder; offset then
// names the real header. False when a header does not fit in what remains
// or has a version above 3.
bool ReadHeader(std::span<const std::uint8_t> res, std::size_t& offset, Header& h) {
    if (offset > res.size() || res.size() - offset < kHeaderSize)
        return false;
    if (IsPlaceholder(res.data() + offset)) {
        offset += kHeaderSize;
        if (res.size() - offset < kHeaderSize)
            return false;
    }
    const std::uint8_t* p = res.data() + offset;
    h = {};
    h.width = LoadBE16(p);
    h.height = LoadBE16(p + 2);
    h.rowBytes = LoadBE16(p + 4);
    h.flags = LoadBE16(p + 6);
    h.depth = p[8];
    h.version = p[9];
    h.compression = p[13];
    if (h.version > 3)
        return false;
    if (h.version < 3) {
        h.next = std::size_t{LoadBE16(p + 10)} * 4;
        h.transparentIndex = p[12];
        return true;
    }
    if (res.size() - offset < kHeaderSizeV3)
        return false;
    h.size = kHeaderSizeV3;
    h.transparentValue = LoadBE32(p + 16);
    h.next = LoadBE32(p + 20);
    return true;
}

bool IsSupportedDepth(int depth) {
    switch (depth) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            return true;
        default:
            return false;
    }
}

// Reads input from the front, refusing to pass its end.
class Input {
  public:
    explicit Input(std::span<const std::uint8_t> data) : data_(data) {}
    bool Has(std::size_t n) const { return data_.size() - pos_ >= n; }
    std::uint8_t Byte() { return data_[pos_++]; }
    const std::uint8_t* Take(std::size_t n) {
        const std::uint8_t* p = data_.data() + pos_;
        pos_ += n;
        return p;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// Scan-line: per row, a flag byte before each group of up to 8 bytes; a set
// bit (most significant first) takes the next data byte, a clear one keeps
// the byte of the row above (zero above the first row).
bool DecodeScanLine(Input& in, std::size_t rowBytes, std::size_t height,
                    std::vector<std::uint8_t>& out) {
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + y * rowBytes;
        if (y > 0)
            std::memcpy(row, row - rowBytes, rowBytes);
        for (std::size_t x = 0; x < rowBytes; x += 8) {
            if (!in.Has(1))
                return false;
            const std::uint8_t flags = in.Byte();
            const std::size_t group = std::min<std::size_t>(8, rowBytes - x);
            for (std::size_t k = 0; k < group; ++k) {
                if ((flags & (0x80 >> k)) == 0)
                    continue;
                if (!in.Has(1))
                    return false;
                row[x + k] = in.Byte();
            }
        }
    }
    return true;
}

// Run-length: per row, pairs {count, value} until the row is full; a pair
// never writes past the row's end, and a count of 0 writes nothing.
bool DecodeRunLength(Input& in, std::size_t rowBytes, std::size_t height,
                     std::vector<std::uint8_t>& out) {
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + y * rowBytes;
        if (y > 0)
            std::memcpy(row, row - rowBytes, rowBytes);
        std::size_t filled = 0;
        while (filled < rowBytes) {
            if (!in.Has(2))
                return false;
            const std::size_t count = in.Byte();
            const std::uint8_t value = in.Byte();
            const std::size_t n = std::min(count, rowBytes - filled);
            std::memset(row + filled, value, n);
            filled += n;
        }
    }
    return true;
}

// PackBits over the whole image in units of unit bytes: a control byte c
// copies the next c + 1 units when c >= 0 and repeats the next unit 1 - c
// times when c < 0. Output past the image's end is an error, except for the
// final half of a 2-byte unit when the image's size is odd.
bool DecodePackBits(Input& in, std::size_t unit, std::vector<std::uint8_t>& out) {
    const std::size_t total = out.size();
    std::size_t o = 0;
    while (o < total) {
        if (!in.Has(1))
            return false;
        const int c = static_cast<std::int8_t>(in.Byte());
        const std::size_t units = c >= 0 ? std::size_t(c) + 1 : std::size_t(1 - c);
        std::size_t bytes = units * unit;
        if (bytes > total - o) {
            if (unit != 2 || bytes != total - o + 1)
                return false;
            bytes = total - o;
        }
        if (c >= 0) {
            if (!in.Has(units * unit))
                return false;
            std::memcpy(out.data() + o, in.Take(units * unit), bytes);
        } else {
            if (!in.Has(unit))
                return false;
            const std::uint8_t* pattern = in.Take(unit);
            for (std::size_t i = 0; i < bytes; ++i)
                out[o + i] = pattern[i % unit];
        }
        o += bytes;
    }
    return true;
}

// The colours an index can name: the bitmap's own table by position, or the
// built-in one of its depth. An index past the table is black.
class ColourTable {
  public:
    ColourTable(std::span<const std::uint8_t> entries, bool own, int depth)
        : entries_(entries), own_(own), defaults_(PalmDefaultColourTable(depth)) {}
    std::uint32_t operator[](std::uint32_t index) const {
        if (own_) {
            if (index >= entries_.size() / 4)
                return 0;
            const std::uint8_t* e = entries_.data() + std::size_t{index} * 4;
            return (std::uint32_t{e[1]} << 16) | (std::uint32_t{e[2]} << 8) | e[3];
        }
        return index < defaults_.size() ? defaults_[index] : 0;
    }

  private:
    std::span<const std::uint8_t> entries_;
    bool own_;
    std::span<const std::uint32_t> defaults_;
};

std::uint32_t PixelAt(const std::uint8_t* row, int x, int depth, const ColourTable& table) {
    switch (depth) {
        case 1:
            return table[(row[x >> 3] >> (7 - (x & 7))) & 0x1];
        case 2:
            return table[(row[x >> 2] >> (6 - 2 * (x & 3))) & 0x3];
        case 4:
            return table[(row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xF];
        case 8:
            return table[row[x]];
        case 16:
            return PalmColour565(LoadBE16(row + 2 * x));
        case 24: {
            const std::uint8_t* p = row + 3 * x;
            return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        }
        default: {  // 32: the last three bytes
            const std::uint8_t* p = row + 4 * x;
            return (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
        }
    }
}

bool Decode(std::span<const std::uint8_t> bitmap, PalmBitmapImage& image) {
    std::size_t at = 0;
    Header h;
    if (!ReadHeader(bitmap, at, h))
        return false;
    if ((h.flags & kColourTableFlag) != 0 && (h.flags & kDirectColourFlag) != 0)
        return false;
    if (!IsSupportedDepth(h.depth))
        return false;
    if (h.width == 0 || h.height == 0 || h.width > kMaxPalmBitmapSide ||
        h.height > kMaxPalmBitmapSide)
        return false;
    // Every pixel of a row must lie inside the row.
    if (std::size_t{h.rowBytes} * 8 < std::size_t{h.width} * h.depth)
        return false;
    const std::size_t imageBytes = std::size_t{h.rowBytes} * h.height;
    if (imageBytes > kMaxPalmBitmapBytes)
        return false;

    Input in(bitmap.subspan(at + h.size));
    std::span<const std::uint8_t> tableEntries;
    const bool ownTable = (h.flags & kColourTableFlag) != 0;
    if (ownTable) {
        if (!in.Has(2))
            return false;
        const std::uint8_t* count = in.Take(2);
        const std::size_t size = std::size_t{LoadBE16(count)} * 4;
        if (!in.Has(size))
            return false;
        tableEntries = {in.Take(size), size};
    }
    const std::uint8_t* direct = nullptr;
    if (h.version < 3 && (h.flags & kDirectColourFlag) != 0) {
        if (!in.Has(kDirectColourSize))
            return false;
        direct = in.Take(kDirectColourSize);
    }

    std::vector<std::uint8_t> unpacked;
    const std::uint8_t* pixels = nullptr;
    if ((h.flags & kCompressedFlag) != 0) {
        const std::size_t sizeField = h.version < 3 ? 2 : 4;
        if (!in.Has(sizeField))
            return false;
        in.Take(sizeField);
        unpacked.assign(imageBytes, 0);
        bool done = false;
        switch (h.compression) {
            case kScanLine:
                done = DecodeScanLine(in, h.rowBytes, h.height, unpacked);
                break;
            case kRunLength:
                done = DecodeRunLength(in, h.rowBytes, h.height, unpacked);
                break;
            case kPackBits:
                // Bytes for indexed pixels, as Palm OS and other writers store
                // them; 16-bit units for direct colour.
                done = DecodePackBits(in, h.depth <= 8 ? 1 : 2, unpacked);
                break;
            default:
                break;
        }
        if (!done)
            return false;
        pixels = unpacked.data();
    } else {
        if (!in.Has(imageBytes))
            return false;
        pixels = in.Take(imageBytes);
    }

    const ColourTable table(tableEntries, ownTable, h.depth);
    image.width = h.width;
    image.height = h.height;
    image.pixels.resize(std::size_t{h.width} * h.height);
    std::uint32_t* out = image.pixels.data();
    for (int y = 0; y < h.height; ++y) {
        const std::uint8_t* row = pixels + std::size_t(y) * h.rowBytes;
        for (int x = 0; x < h.width; ++x)
            *out++ = PixelAt(row, x, h.depth, table);
    }

    if ((h.flags & kTransparentFlag) != 0) {
        // Indexed bitmaps name their transparent colour by an index into
        // their own colours, so that it matches their pixels.
        if (h.version == 2 && h.depth < 16) {
            image.hasTransparent = true;
            image.transparentColour = table[h.transparentIndex];
        } else if (h.version == 2 && direct != nullptr) {
            image.hasTransparent = true;
            image.transparentColour =
                (std::uint32_t{direct[5]} << 16) | (std::uint32_t{direct[6]} << 8) | direct[7];
        } else if (h.version == 3) {
            image.hasTransparent = true;
            image.transparentColour =
                h.depth > 8 ? PalmColour565(static_cast<std::uint16_t>(h.transparentValue))
                            : table[h.transparentValue];
        }
    }
    return true;
}

}  // namespace

std::optional<PalmBitmapMember> PickPalmBitmapMember(std::span<const std::uint8_t> resource,
                                                     int width, int height) {
    std::size_t at = 0;
    Header h;
    if (!ReadHeader(resource, at, h))
        return std::nullopt;
    PalmBitmapMember member{at, h.width, h.height};
    // Offsets are positive, so the walk only moves forward and ends.
    while (h.next != 0 && h.next <= resource.size() - at) {
        std::size_t nextAt = at + h.next;
        Header next;
        if (!ReadHeader(resource, nextAt, next) || next.width > width || next.height > height)
            break;
        at = nextAt;
        h = next;
        member = {at, h.width, h.height};
    }
    return member;
}

bool PalmBitmapToCBitmap(std::span<const std::uint8_t> bitmap, PalmBitmapImage& image) {
    image = {};
    bool done = false;
    try {
        done = Decode(bitmap, image);
    } catch (const std::bad_alloc&) {
        done = false;
    }
    if (!done)
        image = {};
    return done;
}

std::uint32_t PalmColour565(std::uint16_t pixel) {
    // Gives r5 << 3 | (r5 & 7), g6 << 2 | (g6 & 3) and b5 << 3 | (b5 & 7):
    // full parts stay full, so white, red, green and blue stay pure.
    const std::uint32_t p = pixel;
    return ((((p >> 11) * 0x4000 | (p & 0x3FE0)) * 4 | (p & 0x7F)) * 8) | (p & 7);
}

}  // namespace tallowmere
