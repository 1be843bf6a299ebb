#pragma once
// The arithmetic of the owner-drawn lists: spreading the client width over
// the columns and where to scroll so that a row comes into view.
#include <span>
#include <vector>

namespace tallowmere::ui {

// The difference between the client width and the sum of the widths, spread
// evenly over the columns (truncated toward zero), no column narrower than
// minWidth. Without columns, nothing.
std::vector<int> FitColumnsToWidth(std::span<const int> widths, int clientWidth, int minWidth);

// The row to scroll into view so that `row` shows, among `count` rows of
// which `page` whole rows fit from `top`: -1 when it is inside the page
// already or out of range; the row itself when it lies above; otherwise the
// row a page further down (or the last row), so that it comes in with a page
// of context below it.
int EnsureVisibleTarget(int row, int top, int page, int count);

}  // namespace tallowmere::ui
