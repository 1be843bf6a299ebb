#pragma once
// Exports keep every record on its own lines: a line break inside a text is
// written as a vertical tab, and an import reads a vertical tab back as a
// line feed.
#include <string>
#include <string_view>

namespace tallowmere::exchange {

inline constexpr char kLineBreakStandIn = '\v';

// CR LF, CR and LF each become one vertical tab.
std::string EncodeLineBreaks(std::string_view text);
// Every vertical tab becomes a line feed.
void DecodeLineBreaks(std::string& text);

}  // namespace tallowmere::exchange
