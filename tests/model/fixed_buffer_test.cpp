#include "model/fixed_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace tallowmere {
namespace {

constexpr char kFill = '#';

TEST(FixedBuffer, CopiesAtMostSizeLessOneAndZeroesTheRest) {
    const std::string forty(40, 'a');
    struct Case {
        const char* text;
        std::size_t size;
        std::string expect;  // the whole field
    };
    const Case cases[] = {
        {forty.c_str(), 33, std::string(32, 'a') + '\0'},
        {"abc", 8, std::string("abc") + std::string(5, '\0')},
        {"abc", 4, std::string("abc") + '\0'},
        {"abc", 3, std::string("ab") + '\0'},
        {"abc", 1, std::string(1, '\0')},
        {nullptr, 5, std::string(5, '\0')},
        {"", 2, std::string(2, '\0')},
        // 1252 bytes above 127 are characters like any other.
        {"\xA3\x80x", 3, std::string("\xA3\x80") + '\0'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect.size());
        std::string field(c.size + 1, kFill);
        CopyToFixedBuffer(field.data(), c.text, c.size);
        EXPECT_EQ(field.substr(0, c.size), c.expect);
        EXPECT_EQ(field[c.size], kFill) << "wrote past the field";
    }
}

TEST(FixedBuffer, SizeZeroWritesNothing) {
    std::string guard(3, kFill);
    CopyToFixedBuffer(guard.data() + 1, "text", 0);
    EXPECT_EQ(guard, std::string(3, kFill));
}

}  // namespace
}  // namespace tallowmere
