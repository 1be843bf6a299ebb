#include "platform/text_1252.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tallowmere::platform {
namespace {

// Code points of the bytes 0x80-0x9F. The five bytes that 1252 leaves
// undefined keep their C1 value so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t kBad = 0xFFFFFFFF;

char32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHighBlock[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        // Every 1252 character lies in the BMP.
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes the unit starting at bytes[pos] and moves pos past it. A unit is a
// lead byte and the continuation bytes that follow it, up to the count the
// lead announces (the old 5- and 6-byte forms included), so that a broken or
// forbidden sequence is consumed whole. Returns kBad for anything that is
// not a well-formed scalar value: stray continuation bytes, truncation,
// overlong forms, surrogates and values above U+10FFFF.
char32_t DecodeUnit(std::string_view bytes, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos++]);
    if (lead < 0x80)
        return lead;

    int extra;
    char32_t cp;
    if (lead < 0xC0) {
        return kBad;
    } else if (lead < 0xE0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead < 0xF0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead < 0xF8) {
        extra = 3;
        cp = lead & 0x07;
    } else if (lead < 0xFC) {
        extra = 4;
        cp = lead & 0x03;
    } else if (lead < 0xFE) {
        extra = 5;
        cp = lead & 0x01;
    } else {
        return kBad;
    }

    for (int i = 0; i < extra; ++i) {
        if (pos >= bytes.size())
            return kBad;
        const auto next = static_cast<unsigned char>(bytes[pos]);
        if ((next & 0xC0) != 0x80)
            return kBad;
        ++pos;
        cp = (cp << 6) | (next & 0x3F);
    }

    static constexpr std::array<char32_t, 4> kMinimum = {0x80, 0x800, 0x10000, 0};
    if (extra > 3 || cp < kMinimum[extra - 1])
        return kBad;
    if (cp >= 0xD800 && cp <= 0xDFFF)
        return kBad;
    if (cp > 0x10FFFF)
        return kBad;
    return cp;
}

char ByteFor(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    // Only the C1 values that stand for themselves (the undefined bytes) and
    // the table's characters have a byte; U+0080 and friends do not.
    for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
        if (kHighBlock[i] == cp)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

template <typename Map>
int CompareMapped(std::string_view a, std::string_view b, Map map) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int x = map(static_cast<unsigned char>(a[i]));
        const int y = map(static_cast<unsigned char>(b[i]));
        if (x != y)
            return Sign(x - y);
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 2);
    for (const char c : ansi)
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeUnit(utf8, pos);
        out.push_back(cp == kBad ? '?' : ByteFor(cp));
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (DecodeUnit(bytes, pos) == kBad)
            return false;
    }
    return true;
}

unsigned char FoldCase1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    // 0xD7 is the multiplication sign; 0xDF (sharp s) has no capital here.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A:  // S caron
        case 0x8C:  // OE
        case 0x8E:  // Z caron
            return static_cast<unsigned char>(c + 0x10);
        case 0x9F:  // Y diaeresis
            return 0xFF;
        default:
            return c;
    }
}

int CompareNoCase1252(std::string_view a, std::string_view b) {
    return CompareMapped(a, b, [](unsigned char c) { return static_cast<int>(FoldCase1252(c)); });
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

int CompareBytes(std::string_view a, std::string_view b) {
    return CompareMapped(a, b, [](unsigned char c) { return static_cast<int>(c); });
}

}  // namespace tallowmere::platform
