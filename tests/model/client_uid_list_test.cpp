#include "model/client_uid_list.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::MakeTempDir;
using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(ClientUidListTest, ReadStringMapTakesWhatTheFileHolds) {
    struct Case {
        const char* label;
        std::string text;
        StringMap map;
    };
    const Case cases[] = {
        {"ours", "2\r\n111\r\nA\r\n222\r\nB\r\n", {{"111", "A"}, {"222", "B"}}},
        {"LF only", "1\n111\nA\n", {{"111", "A"}}},
        {"no final line break", "1\r\n111\r\nA", {{"111", "A"}}},
        {"count 3, two pairs", "3\r\n1\r\nA\r\n2\r\nB\r\n", {{"1", "A"}, {"2", "B"}, {"", ""}}},
        {"value missing", "2\r\n1\r\n", {{"1", ""}, {"", ""}}},
        {"huge count", "999999999\r\n1\r\nA\r\n", {{"1", "A"}, {"", ""}}},
        {"count beyond 64 bits", "99999999999999999999999\r\n", {{"", ""}}},
        {"fewer than held", "1\r\n1\r\nA\r\n2\r\nB\r\n", {{"1", "A"}}},
        {"a key twice keeps its first value", "2\r\nk\r\nA\r\nk\r\nB\r\n", {{"k", "A"}}},
        {"not a number", "x\r\n1\r\nA\r\n", {}},
        {"negative", "-2\r\n1\r\nA\r\n", {}},
        {"blank and sign", " +1\r\n1\r\nA\r\n", {{"1", "A"}}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StringMap map = {{"old", "entry"}};
        ReadStringMap(c.text, map);
        EXPECT_EQ(c.map, map);
    }
}

TEST(ClientUidListTest, WriteStringMapUsesCrLfInByteOrder) {
    const StringMap map = {{"b", "2"}, {"\xE9", "3"}, {"a", ""}};
    const std::string text = WriteStringMap(map);
    EXPECT_EQ("3\r\na\r\n\r\nb\r\n2\r\n\xE9\r\n3\r\n", text);
    StringMap back;
    ReadStringMap(text, back);
    EXPECT_EQ(map, back);
}

class ClientUidTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = MakeTempDir("user");
        ClientUid::SetDataFolder(folder_);
    }
    void TearDown() override { ClientUid::SetDataFolder(""); }
    std::string File() const { return folder_ + "/" + kClientUidListFile; }

    std::string folder_;
};

TEST_F(ClientUidTest, ALookedUpNumberIsSavedWithAnEmptyUid) {
    WriteFileBytes(File(), "1\r\n111\r\n12345678901\r\n");
    EXPECT_EQ("12345678901", ClientUid::Lookup("111"));
    EXPECT_EQ("", ClientUid::Lookup("222"));
    EXPECT_EQ(0, ClientUid::Save());
    EXPECT_EQ("2\r\n111\r\n12345678901\r\n222\r\n\r\n", ReadFileBytes(File()));
}

TEST_F(ClientUidTest, SetBeforeAnyLookupKeepsTheOtherEntries) {
    WriteFileBytes(File(), "2\r\n111\r\nA\r\n222\r\nB\r\n");
    ClientUid::Set("333", "C\r\nD");
    ClientUid::Set("111", "Z");
    EXPECT_EQ(0, ClientUid::Save());
    EXPECT_EQ("3\r\n111\r\nZ\r\n222\r\nB\r\n333\r\nCD\r\n", ReadFileBytes(File()));
}

TEST_F(ClientUidTest, ASwitchOfUserLoadsThatUsersList) {
    WriteFileBytes(File(), "1\r\n111\r\nFIRST\r\n");
    EXPECT_EQ("FIRST", ClientUid::Lookup("111"));
    const std::string other = MakeTempDir("user");
    WriteFileBytes(other + "/" + kClientUidListFile, "1\r\n222\r\nSECOND\r\n");
    ClientUid::SetDataFolder(other);
    EXPECT_EQ("", ClientUid::Lookup("111"));
    EXPECT_EQ("SECOND", ClientUid::Lookup("222"));
    EXPECT_EQ(0, ClientUid::Save());
    EXPECT_EQ("1\r\n111\r\nFIRST\r\n", ReadFileBytes(File()));

    // A folder without a list starts empty; no folder saves nothing.
    ClientUid::SetDataFolder(MakeTempDir("user"));
    EXPECT_EQ("", ClientUid::Lookup("222"));
    ClientUid::SetDataFolder("");
    EXPECT_NE(0, ClientUid::Save());
}

}  // namespace
}  // namespace tallowmere
