#include "ui/logic/list_geometry.h"

#include <algorithm>
#include <cstdint>

namespace tallowmere::ui {

std::vector<int> FitColumnsToWidth(std::span<const int> widths, int clientWidth, int minWidth) {
    std::vector<int> fitted(widths.begin(), widths.end());
    if (fitted.empty())
        return fitted;
    std::int64_t sum = 0;
    for (const int w : widths)
        sum += w;
    const std::int64_t delta = (clientWidth - sum) / static_cast<std::int64_t>(fitted.size());
    for (int& w : fitted)
        w = static_cast<int>(std::max<std::int64_t>(minWidth, w + delta));
    return fitted;
}

int EnsureVisibleTarget(int row, int top, int page, int count) {
    if (row < 0 || row >= count)
        return -1;
    if (row <= top)
        return row;
    if (row < top + page)
        return -1;
    return std::min(row + std::max(page, 1) - 1, count - 1);
}

}  // namespace tallowmere::ui
