#pragma once
// Colours written as Windows COLORREF values, 0x00BBGGRR: the low byte is
// red. 0xFF0000 is blue, not red.
#include <QColor>
#include <cstdint>

namespace tallowmere::ui {

inline QColor FromColorRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

}  // namespace tallowmere::ui
