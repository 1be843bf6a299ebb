#pragma once
// The colour tables a Palm bitmap falls back on when it brings none of its
// own: white and black for 1 bit, four and sixteen greys for 2 and 4 bits,
// and the Palm OS 8-bit system palette. Colours are 0xRRGGBB.
#include <array>
#include <cstdint>
#include <span>

namespace tallowmere {

// The 256-entry system palette of Palm OS 3.5 and later: the 6x6x6 colour
// cube without black (215 entries), ten greys, silver, maroon, purple, green
// and teal, and black for every entry from 230 on.
const std::array<std::uint32_t, 256>& PalmSystemPalette();

// The built-in table of a bitmap of that depth with no colour table: the
// greys for 1, 2 and 4 bits (white first), the system palette for 8 bits,
// empty for other depths.
std::span<const std::uint32_t> PalmDefaultColourTable(int depth);

}  // namespace tallowmere
