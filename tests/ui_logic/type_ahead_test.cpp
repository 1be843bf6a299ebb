// The shared type-ahead text: keys close together add up, a pause longer
// than twice the double-click interval starts again, the tick count may wrap.
#include "ui/logic/type_ahead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallowmere::ui {
namespace {

constexpr std::uint32_t kDoubleClick = 400;

struct Key {
    char32_t ch;
    std::uint32_t at;
};

struct Case {
    const char* name;
    std::vector<Key> keys;
    std::u32string text;
};

TEST(TypeAhead, KeysAddUpUntilAPause) {
    const std::vector<Case> cases = {
        {"two quick letters", {{'a', 1000}, {'l', 1100}}, U"al"},
        {"a pause of exactly twice the interval goes on", {{'a', 1000}, {'l', 1800}}, U"al"},
        {"a longer pause starts again", {{'a', 1000}, {'b', 1801}}, U"b"},
        {"the clock wraps between two keys", {{'a', 0xFFFFFF00u}, {'l', 0x00000010u}}, U"al"},
        {"a pause after several keys", {{'a', 10}, {'l', 20}, {'p', 30}, {'x', 900}}, U"x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TypeAheadSearch search;
        for (const Key& key : c.keys)
            search.Type(key.ch, key.at, kDoubleClick);
        EXPECT_EQ(search.Text(), c.text);
    }
}

TEST(TypeAhead, TheFirstKeyEverStartsTheClock) {
    // However late the first key comes, it is not a pause.
    TypeAheadSearch search;
    search.Type('q', 5'000'000, kDoubleClick);
    EXPECT_EQ(search.Text(), U"q");
}

TEST(TypeAhead, AHeldKeyStopsGrowingTheText) {
    TypeAheadSearch search;
    for (std::uint32_t i = 0; i < 1000; ++i)
        search.Type('z', i, kDoubleClick);
    EXPECT_EQ(search.Text(), std::u32string(TypeAheadSearch::kMaxLength, U'z'));
    // A pause still starts again.
    search.Type('y', 5000, kDoubleClick);
    EXPECT_EQ(search.Text(), U"y");
}

}  // namespace
}  // namespace tallowmere::ui
