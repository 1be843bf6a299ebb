#include "ui/logic/type_ahead.h"

namespace tallowmere::ui {

const std::u32string& TypeAheadSearch::Type(char32_t ch, std::uint32_t now,
                                            std::uint32_t doubleClickMs) {
    // The first key ever starts the clock, so it never counts as a pause.
    if (!typed_) {
        typed_ = true;
        last_ = now;
    }
    const std::uint32_t elapsed = now - last_;
    if (std::uint64_t{elapsed} > 2 * std::uint64_t{doubleClickMs})
        text_.clear();
    if (text_.size() < kMaxLength)
        text_.push_back(ch);
    last_ = now;
    return text_;
}

TypeAheadSearch& SharedTypeAhead() {
    static TypeAheadSearch search;
    return search;
}

}  // namespace tallowmere::ui
