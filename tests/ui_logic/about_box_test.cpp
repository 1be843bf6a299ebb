#include "ui/logic/about_box.h"

#include <gtest/gtest.h>

#include "model/registry.h"

namespace tallowmere::ui {
namespace {

TEST(ReplaceFirstStringSpecTest, ReplacesOnlyTheFirstStringAndUndoublesPercents) {
    struct Case {
        const char* text;
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"Tallowmere Desktop version %s", "1.0.0.0", "Tallowmere Desktop version 1.0.0.0"},
        // A hostile translation: the rest stays text, nothing is read.
        {"%s%s%n", "1.0", "1.0%s%n"},
        {"%d %x %s", "v", "%d %x v"},
        {"100%% %s", "sure", "100% sure"},
        {"%%s %s", "v", "%s v"},
        {"no conversion", "v", "no conversion"},
        {"trailing %", "v", "trailing %"},
        {"%s", "50% %s", "50% %s"},  // the value is never read again
        {"", "v", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReplaceFirstStringSpec(c.text, c.value), c.expected);
    }
}

TEST(AboutBoxTest, PromoTextFromTheAboutKeyElseEmpty) {
    const std::string key = "Software\\Brackwater\\Tallowmere Desktop\\AboutTest";
    EXPECT_EQ(OpenAboutBox(key).promoText, "");  // no key at all

    CRegistry reg(RegRoot::kCurrentUser, key);
    ASSERT_TRUE(reg.Create());
    EXPECT_EQ(OpenAboutBox(key).promoText, "");
    ASSERT_TRUE(reg.SetString("Promo Text", "Caf\xE9 <b>deals</b>"));
    reg.Close();
    EXPECT_EQ(OpenAboutBox(key).promoText, "Caf\xC3\xA9 <b>deals</b>");

    const AboutForm form = OpenAboutBox(key);
    EXPECT_EQ(form.versionText, "Tallowmere Desktop version " + ProgramProductVersion());
    EXPECT_FALSE(ProgramProductVersion().empty());
}

}  // namespace
}  // namespace tallowmere::ui
