#include "model/registry.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

namespace store = platform;
constexpr RegRoot kHkcu = RegRoot::kCurrentUser;
constexpr const char kKey[] = "Software\\Brackwater\\Tallowmere Desktop";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { store::SetRegistryStorePath(test::MakeTempDir("reg") + "/registry"); }
    void TearDown() override { store::SetRegistryStorePath(""); }

    // Stores raw bytes of any type in an existing key.
    static void Put(std::string_view name, std::uint32_t type, std::string_view bytes) {
        ASSERT_EQ(0, store::RegStoreCreateKey(kKey));
        ASSERT_EQ(
            0, store::RegStoreSetValue(
                   kKey, name, type,
                   std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
    }
};

TEST_F(RegistryTest, OpenNeedsTheKeyAndCreateMakesItsParents) {
    CRegistry reg(kHkcu, kKey);
    EXPECT_FALSE(reg.Open());
    EXPECT_FALSE(reg.SetDword("X", 1));
    EXPECT_TRUE(reg.Create());
    EXPECT_TRUE(reg.SetDword("X", 1));
    EXPECT_TRUE(reg.Close());
    EXPECT_FALSE(reg.SetDword("X", 2));

    EXPECT_TRUE(CRegistry(kHkcu, "software\\BRACKWATER").Open());
    EXPECT_FALSE(CRegistry(RegRoot::kNone, kKey).Open());
    EXPECT_EQ(1u, RegReadDword(kHkcu, kKey, "x", 0));
}

TEST_F(RegistryTest, WritersCreateTheKeyOnlyForBinaryValues) {
    const std::string missing = std::string(kKey) + "\\Missing";
    const std::array<std::uint8_t, 3> data = {1, 2, 3};
    EXPECT_FALSE(RegWriteDword(kHkcu, missing, "D", 5));
    EXPECT_FALSE(RegWriteString(kHkcu, missing, "S", "text"));
    EXPECT_NE(0, store::RegStoreKeyExists(missing));
    EXPECT_TRUE(RegWriteBinary(kHkcu, missing, "B", data));
    EXPECT_EQ(0, store::RegStoreKeyExists(missing));

    EXPECT_TRUE(RegWriteDword(kHkcu, missing, "D", 5));
    EXPECT_TRUE(RegWriteString(kHkcu, missing, "S", "text"));
    EXPECT_EQ(5u, RegReadDword(kHkcu, missing, "d", 0));
    EXPECT_EQ("text", RegReadString(kHkcu, missing, "s", "def"));
    CRegistry reg(kHkcu, missing);
    ASSERT_TRUE(reg.Open());
    EXPECT_EQ(5u, reg.GetValueSize("S"));  // the NUL is stored
    EXPECT_EQ(3u, reg.GetValueSize("B"));
    EXPECT_EQ(0u, reg.GetValueSize("None"));
    EXPECT_TRUE(reg.DeleteValue("s"));
    EXPECT_FALSE(reg.DeleteValue("s"));
    EXPECT_EQ("def", RegReadString(kHkcu, missing, "S", "def"));
}

TEST_F(RegistryTest, ReadersCheckTypeAndSize) {
    struct Case {
        const char* label;
        std::uint32_t type;
        std::string bytes;
        std::uint32_t dword;  // RegReadDword with default 77
        std::string text;     // RegReadString with default "def"
    };
    const Case cases[] = {
        {"dword", store::kRegDword, std::string("\x01\x02\x00\x00", 4), 0x201, "def"},
        {"big-endian dword", store::kRegDwordBigEndian, std::string("\x00\x00\x02\x01", 4), 0x201,
         "def"},
        {"two-byte dword", store::kRegDword, std::string("\x01\x02", 2), 77, "def"},
        {"five-byte dword", store::kRegDword, std::string("\x01\x02\0\0\0", 5), 77, "def"},
        {"binary of four", store::kRegBinary, std::string("\x01\x02\0\0", 4), 77, "def"},
        {"text one", store::kRegSz, std::string("1\0", 2), 77, "1"},
        {"text with NUL inside", store::kRegSz, std::string("ab\0cd\0", 6), 77, "ab"},
        {"text without NUL", store::kRegSz, "abc", 77, "abc"},
        {"empty text", store::kRegSz, "", 77, "def"},
        {"only a NUL", store::kRegSz, std::string("\0", 1), 77, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Put("V", c.type, c.bytes);
        EXPECT_EQ(c.dword, RegReadDword(kHkcu, kKey, "V", 77));
        EXPECT_EQ(c.text, RegReadString(kHkcu, kKey, "V", "def"));
    }
    EXPECT_EQ(77u, RegReadDword(kHkcu, kKey, "Absent", 77));
    EXPECT_EQ(9u, RegReadDword(kHkcu, "Software\\Absent", "V", 9));
}

TEST_F(RegistryTest, BinaryReadsStayInsideTheBuffer) {
    Put("B", store::kRegBinary, std::string(61, 'x'));
    std::vector<std::uint8_t> buf(64, 0);
    std::uint32_t size = 60;
    EXPECT_FALSE(RegReadBinary(kHkcu, kKey, "B", buf.data(), size));
    EXPECT_EQ(61u, size);
    EXPECT_EQ(0, buf[0]);

    size = 61;
    EXPECT_TRUE(RegReadBinary(kHkcu, kKey, "B", buf.data(), size));
    EXPECT_EQ(61u, size);
    EXPECT_EQ('x', buf[60]);
    EXPECT_EQ(0, buf[61]);

    size = 64;
    EXPECT_FALSE(RegReadBinary(kHkcu, "Software\\Absent", "B", buf.data(), size));
    EXPECT_FALSE(RegReadBinary(kHkcu, kKey, "Absent", buf.data(), size));
}

}  // namespace
}  // namespace tallowmere
