#include "ui/logic/hand_over_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallowmere::ui {
namespace {

TEST(HandOverText, FileArgumentsBecomeAbsolute) {
    struct Case {
        std::vector<std::string> arguments;
        std::string text;
    };
    const Case cases[] = {
        {{}, ""},
        {{"notes.vmn"}, "/home/ann/work/notes.vmn"},
        {{"./a/../b.vmn"}, "/home/ann/work/b.vmn"},
        {{"../b.vmn"}, "/home/ann/b.vmn"},
        {{"/srv/data/c.vmn"}, "/srv/data/c.vmn"},
        {{"-x"}, "-x"},
        {{"my file.vmn"}, "\"/home/ann/work/my file.vmn\""},
        {{"-x", "a", "/b"}, "-x /home/ann/work/a /b"},
        {{""}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BuildHandOverText(c.arguments, "/home/ann/work"), c.text);
    }
}

TEST(HandOverText, IsCutTo1023BytesOnACharacterBoundary) {
    const std::string folder = "/f";
    // "/f/" then the name: 1100 ASCII bytes are cut to 1023.
    EXPECT_EQ(BuildHandOverText({std::string(1100, 'a')}, folder).size(), 1023u);

    // A two-byte character that would straddle byte 1023 goes whole.
    const std::string eAcute = "\xC3\xA9";
    std::string name(1019, 'a');  // "/f/" + 1019 = 1022 bytes
    name += eAcute + "z";
    const std::string text = BuildHandOverText({name}, folder);
    EXPECT_EQ(text.size(), 1022u);
    EXPECT_EQ(text.back(), 'a');

    // One that ends exactly at 1023 stays.
    std::string fits(1018, 'a');
    fits += eAcute + "z";
    EXPECT_EQ(BuildHandOverText({fits}, folder), "/f/" + std::string(1018, 'a') + eAcute);
}

}  // namespace
}  // namespace tallowmere::ui
