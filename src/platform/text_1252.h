#pragma once
// Windows-1252 ("the ANSI code page") text: the form in which the model keeps
// and files every text. Conversion happens only at the edges.
#include <string>
#include <string_view>

namespace tallowmere::platform {

// Windows-1252 bytes to UTF-8. The five undefined bytes (81 8D 8F 90 9D) map
// to the C1 controls of the same value, so nothing is lost.
std::string Cp1252ToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252; characters with no 1252 form, and malformed UTF-8
// sequences, become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (ASCII included).
bool IsValidUtf8(std::string_view bytes);

// Case folding of one 1252 byte to lower case (A-Z and the accented letters).
unsigned char FoldCase1252(unsigned char c);

// Case-insensitive comparison through FoldCase1252: <0, 0 or >0.
int CompareNoCase1252(std::string_view a, std::string_view b);

// Equal when equal after folding A-Z to a-z, and no other byte: the rule for
// device serials and the user folders and keys named after them.
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);

// Plain unsigned byte comparison, the "C" locale's collation: <0, 0 or >0.
int CompareBytes(std::string_view a, std::string_view b);

// ASCII-only character tests that are safe for any byte value.
inline bool IsAsciiDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
inline bool IsAsciiSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
// Without the ASCII white space at both ends.
inline std::string_view TrimAsciiSpace(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace tallowmere::platform
