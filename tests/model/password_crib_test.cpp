#include "model/password_crib.h"

#include <gtest/gtest.h>

#include <string>

namespace tallowmere {
namespace {

// Pinned once, and checked against an outside Blowfish (OpenSSL's command
// line with the key "ab" repeated, which keys Blowfish identically): a change
// of the text or of the cipher's use would lock every user out.
constexpr PasswordCrib kCribOfAb = {0x83, 0x76, 0x7C, 0x11, 0xDB, 0x42, 0xAD, 0x9E, 0xE4, 0x3A,
                                    0x9E, 0x33, 0x9F, 0x80, 0xE5, 0xF1, 0x94, 0xC4, 0x20, 0xC0,
                                    0x6B, 0x75, 0xE0, 0xCF, 0x74, 0xD7, 0x75, 0x6A, 0xE2, 0x59,
                                    0x7A, 0xBC, 0x5D, 0x53, 0x40, 0x74, 0x4A, 0x21, 0x56, 0x90};

TEST(PasswordCrib, KnownAnswerOfAb) {
    EXPECT_EQ(ComputePasswordCrib("ab"), kCribOfAb);
}

TEST(PasswordCrib, EmptyPasswordIsNoPassword) {
    EXPECT_TRUE(IsEmptyCrib(ComputePasswordCrib("")));
    EXPECT_FALSE(IsEmptyCrib(ComputePasswordCrib("ab")));
}

TEST(PasswordCrib, EveryByteOfThePasswordCounts) {
    // Case, order, a Windows-1252 letter and the last of 32 characters.
    const std::string long32(32, 'k');
    std::string long32b = long32;
    long32b.back() = 'K';
    const std::pair<std::string, std::string> pairs[] = {
        {"ab", "AB"}, {"ab", "ba"}, {"caf\xE9", "cafe"}, {long32, long32b}, {"ab", "ab "}};
    for (const auto& [a, b] : pairs) {
        SCOPED_TRACE(a + " / " + b);
        EXPECT_FALSE(CribsEqual(ComputePasswordCrib(a), ComputePasswordCrib(b)));
    }
}

TEST(PasswordCrib, ComparedOverAllFortyBytes) {
    PasswordCrib other = kCribOfAb;
    EXPECT_TRUE(CribsEqual(kCribOfAb, other));
    for (std::size_t i : {std::size_t{0}, std::size_t{20}, std::size_t{39}}) {
        other = kCribOfAb;
        other[i] ^= 0x01;
        EXPECT_FALSE(CribsEqual(kCribOfAb, other)) << i;
    }
}

}  // namespace
}  // namespace tallowmere
