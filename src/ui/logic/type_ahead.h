#pragma once
// The lists' type-ahead search: one search text shared by every list of the
// program, started afresh when a key comes more than twice the double-click
// interval after the one before. Times are 32-bit millisecond ticks; their
// difference is taken unsigned, so the wrap after 49 days is harmless.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tallowmere::ui {

class TypeAheadSearch {
  public:
    // A held key would otherwise grow the text without bound; keys beyond
    // this length are not added.
    static constexpr std::size_t kMaxLength = 256;

    // Adds one typed character at tick `now` and returns the search text.
    const std::u32string& Type(char32_t ch, std::uint32_t now, std::uint32_t doubleClickMs);
    const std::u32string& Text() const { return text_; }

  private:
    std::u32string text_;
    std::uint32_t last_ = 0;
    bool typed_ = false;
};

// The search every list shares.
TypeAheadSearch& SharedTypeAhead();

}  // namespace tallowmere::ui
