#include "model/program_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/paths.h"

namespace tallowmere {
namespace {

TEST(ProgramVersion, IsTheProjectVersionInFourParts) {
    // The build passes the project's own version text to this test.
    EXPECT_EQ(ProgramVersionText(), TALLOWMERE_PROJECT_VERSION);
    const ProgramVersion v = GetProgramVersion();
    EXPECT_EQ(ProgramVersionText(), std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                                        std::to_string(v.build) + "." + std::to_string(v.revision));
}

TEST(ProgramVersion, OnlyTheProgramFileHasVersionStrings) {
    std::string numeric = "-";
    std::string file = "-";
    std::string product = "-";
    EXPECT_EQ(GetVersionStrings("/usr/lib/libother.so", &numeric, &file, &product), kEUnexpected);
    EXPECT_EQ(numeric, "-");
    ASSERT_EQ(GetVersionStrings(GetModulePath(), &numeric, &file, &product), 0);
    EXPECT_EQ(numeric, ProgramVersionText());
    EXPECT_EQ(file, ProgramVersionText());
    EXPECT_EQ(product, ProgramVersionText());
}

TEST(ProgramVersion, TitleAndVersionAreCopiedOnlyWhenTheyFit) {
    // This test program's file name is the title.
    const std::string title = "model_program_version_test";
    const std::string version = ProgramVersionText();
    struct Case {
        std::size_t titleSize;
        std::size_t versionSize;
        bool titleCopied;
        bool versionCopied;
    };
    const Case cases[] = {
        {64, 64, true, true},
        {title.size() + 1, version.size() + 1, true, true},
        {title.size(), version.size(), false, false},
        {0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.titleSize);
        char titleBuffer[64];
        char versionBuffer[64];
        std::memset(titleBuffer, '#', sizeof titleBuffer);
        std::memset(versionBuffer, '#', sizeof versionBuffer);
        GetProgramTitleAndVersion(titleBuffer, c.titleSize, versionBuffer, c.versionSize);
        EXPECT_EQ(std::string(titleBuffer, c.titleCopied ? title.size() + 1 : 1),
                  c.titleCopied ? title + '\0' : "#");
        EXPECT_EQ(std::string(versionBuffer, c.versionCopied ? version.size() + 1 : 1),
                  c.versionCopied ? version + '\0' : "#");
    }
}

}  // namespace
}  // namespace tallowmere
