#pragma once
// Best effort for passwords: their text is overwritten once it has served,
// so it does not linger in freed memory.
#include <string.h>

#include <string>

namespace tallowmere::ui {

inline void Wipe(std::string& text) {
    explicit_bzero(text.data(), text.size());
    text.clear();
}

}  // namespace tallowmere::ui
