#include "model/window_text.h"

#include <gtest/gtest.h>

#include <string>

#include "model/program_version.h"

namespace tallowmere {
namespace {

TEST(WindowText, FillsTheFirstPercentSOnlyAndNeverFormats) {
    struct Case {
        const char* text;
        const char* argument;
        const char* expect;
    };
    const Case cases[] = {
        {"Tallowmere Desktop version %s", "1.2.3.4", "Tallowmere Desktop version 1.2.3.4"},
        {"%s%s%n", "x", "x%s%n"},
        {"100%% of %s", "Ann", "100% of Ann"},
        {"%%s stays", "x", "%s stays"},
        {"no argument", "x", "no argument"},
        {"%d %x %", "x", "%d %x %"},
        // The argument is never read as a format.
        {"Detail for %s", "50%s %n", "Detail for 50%s %n"},
        {"", "x", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatWindowText(c.text, c.argument), c.expect) << c.text;
}

TEST(WindowText, VersionTextUsesTheProgramVersion) {
    EXPECT_EQ(SetVersionText("version %s"), "version " + ProgramVersionText());
    EXPECT_EQ(SetVersionText("%s%s%n"), ProgramVersionText() + "%s%n");
}

TEST(WindowText, LineBreaksBecomeTheCharacterOrGo) {
    struct Case {
        std::string text;
        std::string expect;
        int crs;
    };
    const Case cases[] = {
        {"line one\r\nline two", "line one line two", 1},
        {"a\nb\rc\r\r", "ab c  ", 3},
        {"plain", "plain", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ReplaceLineBreaks(text, ' '), c.crs) << c.text;
        EXPECT_EQ(text, c.expect);
    }
}

}  // namespace
}  // namespace tallowmere
