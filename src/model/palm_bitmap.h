#pragma once
// Decoder of Palm bitmaps ('Tbmp' resources), versions 0 to 3. A resource
// holds a family of bitmaps of one picture in several sizes or depths, each
// starting with a big-endian header:
//   0   u16  width, 2 u16 height, 4 u16 bytes per row
//   6   u16  flags: 0x8000 compressed, 0x4000 colour table,
//                   0x2000 transparent colour, 0x0400 direct colour
//   8   u8   bits per pixel (1, 2, 4, 8, 16, 24, 32), 9 u8 version
//   10  u16  versions 0-2: next member, in 4-byte units (0 = last)
//   12  u8   versions 0-2: transparent index
//   13  u8   compression: 0 scan-line, 1 run-length, 2 PackBits
//   16  u32  version 3: transparent value
//   20  u32  version 3: next member, in bytes (0 = last)
// The header is 16 bytes, 24 for version 3. A 16-byte placeholder (all zero
// but bits per pixel 255 and version 1) may stand before a member. Then come
// the colour table (u16 count, entries {index, red, green, blue}), for
// versions below 3 with direct colour an 8-byte block whose last three bytes
// are the transparent colour, and the pixels; compressed pixels begin with
// their size (2 bytes, 4 for version 3).
//
// The resources come from elsewhere: every read is checked against the
// resource, and a bitmap over the size caps is refused.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tallowmere {

inline constexpr int kMaxPalmBitmapSide = 1024;
inline constexpr std::size_t kMaxPalmBitmapBytes = 16 * 1024 * 1024;

// A decoded bitmap: pixels 0xRRGGBB, row by row from the top.
struct PalmBitmapImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasTransparent = false;
    std::uint32_t transparentColour = 0;
};

// Where a family member's header starts in the resource (past a
// placeholder), and its size in pixels.
struct PalmBitmapMember {
    std::size_t offset = 0;
    int width = 0;
    int height = 0;
};

// The member drawn in a rectangle of width x height: the first one, then
// each next one while it fits the rectangle. Nothing when the resource does
// not start with a readable header.
std::optional<PalmBitmapMember> PickPalmBitmapMember(std::span<const std::uint8_t> resource,
                                                     int width, int height);

// Decodes the bitmap at the start of bitmap (the rest may hold further
// members). False, with the image emptied, when it cannot be parsed or
// decompressed.
bool PalmBitmapToCBitmap(std::span<const std::uint8_t> bitmap, PalmBitmapImage& image);

// A 5-6-5 pixel as 0xRRGGBB, each part's low bits repeated into the gap
// (0xF800 gives 0xFF0000, 0x8410 gives 0x808080).
std::uint32_t PalmColour565(std::uint16_t pixel);

}  // namespace tallowmere
