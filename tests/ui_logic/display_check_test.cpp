#include "ui/logic/display_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tallowmere::ui {
namespace {

TEST(DisplayCheck, AnyOfTheThreeVariablesIsADisplay) {
    struct Case {
        std::map<std::string, std::string> environment;
        bool display;
    };
    const Case cases[] = {
        {{}, false},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, false},
        {{{"DISPLAY", ":0"}}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{{"HOME", "/root"}}, false},
    };
    for (const Case& c : cases) {
        const bool got = HasDisplay([&](const char* name) {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? std::string() : it->second;
        });
        EXPECT_EQ(got, c.display) << c.environment.size();
    }
}

TEST(DisplayCheck, TheMessageIsOneLineThatSaysHowToStart) {
    const std::string text = NoDisplayMessage();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_NE(text.find("xvfb-run"), std::string::npos);
}

}  // namespace
}  // namespace tallowmere::ui
