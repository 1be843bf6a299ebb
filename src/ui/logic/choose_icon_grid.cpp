#include "ui/logic/choose_icon_grid.h"

#include <algorithm>

namespace tallowmere::ui {

namespace {

// The column or row along one axis: -1 before the first cell, in a gap or
// past the last.
int CellAlong(int at, int size, int gap, int count) {
    if (size <= 0 || gap < 0)
        return -1;
    const int offset = at - gap;
    if (offset < 0)
        return -1;
    const int stride = size + gap;
    const int index = offset / stride;
    if (index >= count || offset % stride >= size)
        return -1;
    return index;
}

}  // namespace

int TransposeBuiltInIcon(int indexOrPosition) {
    return indexOrPosition / kIconGridColumns +
           (indexOrPosition % kIconGridColumns) * kIconGridRows;
}

int IconGridScrollMaximum(int databaseIcons) {
    // Signed, so that no icons give no rows to scroll rather than a huge
    // (0 - 1) / 8.
    if (databaseIcons <= 0)
        return 0;
    return (databaseIcons - 1) / kIconGridColumns + 1;
}

int FirstVisibleAtOpening(int selectedPosition) {
    if (selectedPosition < kOfferedBuiltInIcons)
        return 0;
    return (selectedPosition - kOfferedBuiltInIcons) / kIconGridColumns * kIconGridColumns +
           kIconGridColumns;
}

IconGridRect IconGridCellRect(const IconGridGeometry& geometry, int cell) {
    const int column = cell % kIconGridColumns;
    const int row = cell / kIconGridColumns;
    return {geometry.gap + column * (geometry.cellWidth + geometry.gap),
            geometry.gap + row * (geometry.cellHeight + geometry.gap), geometry.cellWidth,
            geometry.cellHeight};
}

int IconGridWidth(const IconGridGeometry& geometry) {
    return geometry.gap + kIconGridColumns * (geometry.cellWidth + geometry.gap);
}

int IconGridHeight(const IconGridGeometry& geometry) {
    return geometry.gap + kIconGridRows * (geometry.cellHeight + geometry.gap);
}

int IconGridCellAt(const IconGridGeometry& geometry, int x, int y) {
    const int column = CellAlong(x, geometry.cellWidth, geometry.gap, kIconGridColumns);
    const int row = CellAlong(y, geometry.cellHeight, geometry.gap, kIconGridRows);
    if (column < 0 || row < 0)
        return -1;
    return row * kIconGridColumns + column;
}

ChooseIconGrid::ChooseIconGrid(const std::vector<std::uint16_t>& databaseIds) {
    for (int place = 0; place < static_cast<int>(databaseIds.size()); ++place) {
        if (databaseIds[place] < kFirstUnstorableIconId)
            offered_.push_back({databaseIds[place], place});
    }
}

void ChooseIconGrid::SetSelection(int iconIndex) {
    selected_ = 0;
    if (iconIndex >= 0 && iconIndex < kOfferedBuiltInIcons) {
        selected_ = TransposeBuiltInIcon(iconIndex);
        return;
    }
    const int id = iconIndex - 256;
    const auto found = std::find_if(offered_.begin(), offered_.end(),
                                    [id](const Offered& icon) { return icon.id == id; });
    if (found != offered_.end())
        selected_ = kOfferedBuiltInIcons + static_cast<int>(found - offered_.begin());
}

int ChooseIconGrid::GetSelection() const {
    return IconAt(selected_).iconIndex;
}

void ChooseIconGrid::Open() {
    firstVisible_ = FirstVisibleAtOpening(selected_);
}

bool ChooseIconGrid::ScrollTo(int row) {
    const int first = std::clamp(row, 0, ScrollMaximum()) * kIconGridColumns;
    if (first == firstVisible_)
        return false;
    firstVisible_ = first;
    return true;
}

GridIcon ChooseIconGrid::IconAt(int position) const {
    if (position < 0 || position >= Total())
        return {};
    if (position < kOfferedBuiltInIcons)
        return {GridIcon::Kind::kBuiltIn, TransposeBuiltInIcon(position), -1};
    const Offered& icon = offered_[position - kOfferedBuiltInIcons];
    return {GridIcon::Kind::kDatabase, 256 + icon.id, icon.setPlace};
}

bool ChooseIconGrid::Click(int cell) {
    if (cell < 0 || cell >= kIconGridCells)
        return false;
    const int position = PositionOfCell(cell);
    if (position >= Total() || position == selected_)
        return false;
    selected_ = position;
    return true;
}

}  // namespace tallowmere::ui
