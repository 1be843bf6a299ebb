#include "platform/text_1252.h"

#include <gtest/gtest.h>

#include <string>

namespace tallowmere::platform {
namespace {

using namespace std::string_literals;

std::string Byte(int b) {
    return std::string(1, static_cast<char>(b));
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughValidUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const std::string utf8 = Cp1252ToUtf8(Byte(b));
        EXPECT_TRUE(IsValidUtf8(utf8)) << "byte " << b;
        EXPECT_EQ(Utf8ToCp1252(utf8), Byte(b)) << "byte " << b;
        all += Byte(b);
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, BytesMapToTheirCharacters) {
    struct Case {
        int byte;
        const char* utf8;
    };
    const Case cases[] = {
        {0x00, "\x00"},     {'A', "A"},         {0x7F, "\x7F"},     {0x80, "\u20AC"},
        {0x81, "\xC2\x81"}, {0x82, "\u201A"},   {0x8C, "\u0152"},   {0x8D, "\xC2\x8D"},
        {0x8E, "\u017D"},   {0x8F, "\xC2\x8F"}, {0x90, "\xC2\x90"}, {0x91, "\u2018"},
        {0x99, "\u2122"},   {0x9C, "\u0153"},   {0x9D, "\xC2\x9D"}, {0x9E, "\u017E"},
        {0x9F, "\u0178"},   {0xA0, "\xC2\xA0"}, {0xE9, "\u00E9"},   {0xFF, "\u00FF"},
    };
    for (const Case& c : cases) {
        const std::string expected = c.byte == 0 ? "\0"s : std::string(c.utf8);
        EXPECT_EQ(Cp1252ToUtf8(Byte(c.byte)), expected) << "byte " << c.byte;
    }
}

TEST(Utf8, ValidityAndConversionOfEachInput) {
    struct Case {
        const char* label;
        std::string utf8;
        bool valid;
        std::string ansi;
    };
    const Case cases[] = {
        {"empty", "", true, ""},
        {"ascii with NUL", "a\0b"s, true, "a\0b"s},
        {"latin-1", "caf\u00E9 \u00FF", true, "caf\xE9 \xFF"},
        {"table character", "\u20ACx \u2014 \u0178", true, "\x80x \x97 \x9F"},
        {"undefined byte's C1", "\xC2\x9D", true, "\x9D"},
        {"C1 without a 1252 byte", "\xC2\x80", true, "?"},
        {"BMP without a 1252 byte", "x\u0100y", true, "x?y"},
        {"replacement character", "\uFFFD", true, "?"},
        {"4-byte form", "x\xF0\x9F\x98\x80y", true, "x?y"},
        {"highest scalar", "\xF4\x8F\xBF\xBF", true, "?"},
        {"last before surrogates", "\xED\x9F\xBF", true, "?"},
        {"first after surrogates", "\xEE\x80\x80", true, "?"},
        {"stray continuations", "x\x80\xBFy", false, "x??y"},
        {"truncated at end", "ab\xC3", false, "ab?"},
        {"truncated before ascii", "\xE2\x82Z", false, "?Z"},
        {"truncated 4-byte before lead", "\xF0\x9F\x98\xC3\xA9", false, "?\xE9"},
        {"overlong 2-byte", "\xC0\xAF", false, "?"},
        {"overlong NUL", "\xC0\x80", false, "?"},
        {"overlong 3-byte", "\xE0\x80\xAF", false, "?"},
        {"overlong 4-byte", "\xF0\x80\x80\xAF", false, "?"},
        {"high surrogate", "\xED\xA0\x80", false, "?"},
        {"low surrogate", "\xED\xBF\xBF", false, "?"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, "?"},
        {"5-byte form", "\xF8\x88\x80\x80\x80z", false, "?z"},
        {"overlong 5-byte", "\xF8\x80\x80\x80\xAF", false, "?"},
        {"overlong 6-byte", "\xFC\x80\x80\x80\x80\xAF", false, "?"},
        {"FE and FF", "\xFE\xFF", false, "??"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.utf8), c.valid) << c.label;
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.ansi) << c.label;
    }
}

TEST(FoldCase1252, LowersLettersOnly) {
    const std::pair<int, int> cases[] = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},   {'0', '0'},
        {0xC0, 0xE0}, {0xD6, 0xF6}, {0xD7, 0xD7}, {0xD8, 0xF8}, {0xDE, 0xFE}, {0xDF, 0xDF},
        {0xE0, 0xE0}, {0xF7, 0xF7}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF},
        {0x9A, 0x9A}, {0x80, 0x80}, {0x8D, 0x8D}, {0xFF, 0xFF},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(FoldCase1252(static_cast<unsigned char>(in)), out) << "byte " << in;
    }
    for (int b = 0; b < 256; ++b) {
        const unsigned char folded = FoldCase1252(static_cast<unsigned char>(b));
        EXPECT_EQ(FoldCase1252(folded), folded) << "byte " << b;
    }
}

TEST(Compare1252, NoCaseAndByteOrder) {
    struct Case {
        std::string a;
        std::string b;
        int no_case;
        int bytes;
    };
    const Case cases[] = {
        {"", "", 0, 0},
        {"abc", "abc", 0, 0},
        {"abc", "ABC", 0, 1},
        {"a", "", 1, 1},
        {"ab", "abc", -1, -1},
        {"AB", "abc", -1, -1},
        {"Z", "a", 1, -1},
        {"\xC9T\xC9", "\xE9t\xE9", 0, -1},  // ETE with acute accents
        {"\x9F", "\xFF", 0, -1},
        {"\x8A", "\x9A", 0, -1},
        {"\xD7", "\xF7", -1, -1},
        {"\x80", "a", 1, 1},  // unsigned bytes
        {"a\0b"s, "a\0c"s, -1, -1},
        {"a\0"s, "a", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " vs " + testing::PrintToString(c.b));
        EXPECT_EQ(Sign(CompareNoCase1252(c.a, c.b)), c.no_case);
        EXPECT_EQ(Sign(CompareNoCase1252(c.b, c.a)), -c.no_case);
        EXPECT_EQ(Sign(CompareBytes(c.a, c.b)), c.bytes);
        EXPECT_EQ(Sign(CompareBytes(c.b, c.a)), -c.bytes);
    }
}

TEST(EqualsNoCaseAscii, FoldsOnlyAsciiLetters) {
    const struct {
        std::string a;
        std::string b;
        bool equal;
    } cases[] = {
        {"KNOWN-1", "known-1", true},
        {"Known-1", "kNOWN-1", true},
        {"KNOWN:1", "KNOWN-1", false},
        {"KNOWN-1", "KNOWN-1 ", false},
        {"\xC9", "\xE9", false},
        {"@[", "`{", false},
        {"", "", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.equal, EqualsNoCaseAscii(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(c.equal, EqualsNoCaseAscii(c.b, c.a)) << c.b << " / " << c.a;
    }
}

}  // namespace
}  // namespace tallowmere::platform
