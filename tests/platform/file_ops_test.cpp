#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace tallowmere::platform {
namespace {

TEST(FileOps, RenameNeverReplaces) {
    const std::string dir = test::MakeTempDir("ren");
    test::WriteFileBytes(dir + "/a", "A");
    test::WriteFileBytes(dir + "/b", "B");
    EXPECT_EQ(RenameNoReplace(dir + "/a", dir + "/b"), 183);
    EXPECT_EQ(test::ReadFileBytes(dir + "/a"), "A");
    EXPECT_EQ(test::ReadFileBytes(dir + "/b"), "B");
    EXPECT_EQ(RenameNoReplace(dir + "/a", dir + "/c"), 0);
    EXPECT_FALSE(PathExists(dir + "/a"));
    EXPECT_EQ(test::ReadFileBytes(dir + "/c"), "A");
    EXPECT_EQ(RenameNoReplace(dir + "/missing", dir + "/d"), 2);
}

TEST(FileOps, NamesClashIgnoringCase) {
    const std::string dir = test::MakeTempDir("case");
    test::WriteFileBytes(dir + "/Visa.wqm", "");
    test::WriteFileBytes(dir + "/\xC3\x89pargne.wqm", "");  // "Épargne", UTF-8
    test::WriteFileBytes(dir + "/\xE6\x97\xA5.wqm", "");    // a name outside 1252
    struct Case {
        const char* name;
        const char* found;
    };
    const Case cases[] = {
        {"Visa.wqm", "Visa.wqm"},
        {"VISA.WQM", "Visa.wqm"},
        {"\xC3\xA9PARGNE.wqm", "\xC3\x89pargne.wqm"},  // é folds to É
        {"\xE6\x97\xA5.wqm", "\xE6\x97\xA5.wqm"},
        {"\xE6\x97\xA6.wqm", ""},  // another character outside 1252 is no match
        {"Visa", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindNameNoCase(dir, c.name), c.found) << c.name;
    EXPECT_EQ(FindNameNoCase(dir, "visa.wqm", "Visa.wqm"), "") << "an ignored entry is skipped";
    EXPECT_EQ(FindNameNoCase(dir + "/nowhere", "Visa.wqm"), "");
}

}  // namespace
}  // namespace tallowmere::platform
