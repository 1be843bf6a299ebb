#pragma once
// The icon chooser's grid: 8 x 8 cells looking onto a run of positions. The
// 64 built-in icons come first, running down the columns of the first eight
// rows; the icons of the user's icon database follow in the database's
// order. The cells show the positions from the first visible one, which the
// scroll bar moves a row at a time. Plain arithmetic, no toolkit.
#include <cstdint>
#include <vector>

namespace tallowmere::ui {

inline constexpr int kIconGridColumns = 8;
inline constexpr int kIconGridRows = 8;
inline constexpr int kIconGridCells = kIconGridColumns * kIconGridRows;
// The built-in icons offered: 0 to 63 (the split icon, 64, is not).
inline constexpr int kOfferedBuiltInIcons = 64;
// A database icon is stored as the 16-bit index 256 + id, so ids from here on
// cannot be stored and are not offered.
inline constexpr int kFirstUnstorableIconId = 65536 - 256;

// Built-in icon i sits at position (i / 8) + (i % 8) x 8, and position p
// holds built-in icon (p / 8) + (p % 8) x 8: a swap of row and column, its own
// inverse. Only for 0 to 63.
int TransposeBuiltInIcon(int indexOrPosition);

// The highest first visible row, with the top row 0, for this many database
// icons: enough to bring the last database row into the bottom row. 0 when
// there are none (the scroll bar is then disabled).
int IconGridScrollMaximum(int databaseIcons);

// The first visible position when the dialog opens on a selection: 0 for a
// built-in icon, else the one that makes the selection's row the last row
// shown.
int FirstVisibleAtOpening(int selectedPosition);

// Where the cells lie in the grid's own coordinates: cells of equal size
// with a gap around and between them.
struct IconGridGeometry {
    int cellWidth = 0;
    int cellHeight = 0;
    int gap = 0;
};

struct IconGridRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const IconGridRect&, const IconGridRect&) = default;
};

// Cell c (0 to 63, row by row).
IconGridRect IconGridCellRect(const IconGridGeometry& geometry, int cell);
// The width and height of the whole grid, gaps included.
int IconGridWidth(const IconGridGeometry& geometry);
int IconGridHeight(const IconGridGeometry& geometry);
// The cell under a point; -1 in a gap or outside the grid.
int IconGridCellAt(const IconGridGeometry& geometry, int x, int y);

// What a position holds.
struct GridIcon {
    enum class Kind { kEmpty, kBuiltIn, kDatabase };
    Kind kind = Kind::kEmpty;
    int iconIndex = -1;  // the index stored in an account or category
    int setPlace = -1;   // a database icon's place in the icon set
};

class ChooseIconGrid {
  public:
    // The ids of the icon set's icons, in the set's order. Ids that cannot
    // be stored as an index are left out.
    explicit ChooseIconGrid(const std::vector<std::uint16_t>& databaseIds);

    int DatabaseIcons() const { return static_cast<int>(offered_.size()); }
    int Total() const { return kOfferedBuiltInIcons + DatabaseIcons(); }

    // Selects the position of an icon index: a built-in icon's own position,
    // or the first database icon with id index - 256. Any other index
    // selects position 0.
    void SetSelection(int iconIndex);
    // The icon index of the selected position.
    int GetSelection() const;
    int SelectedPosition() const { return selected_; }

    // Scrolls to the opening position for the selection.
    void Open();

    int FirstVisible() const { return firstVisible_; }
    int ScrollRow() const { return firstVisible_ / kIconGridColumns; }
    int ScrollMaximum() const { return IconGridScrollMaximum(DatabaseIcons()); }
    bool ScrollEnabled() const { return Total() > kOfferedBuiltInIcons; }
    // Makes row the first visible row, clamped to the scroll range; true
    // when the first visible position changed.
    bool ScrollTo(int row);

    // The position cell c shows.
    int PositionOfCell(int cell) const { return firstVisible_ + cell; }
    GridIcon IconAt(int position) const;

    // Selects what cell c shows; a cell past the last icon (or no cell,
    // -1) changes nothing. True when the selection moved.
    bool Click(int cell);

  private:
    struct Offered {
        std::uint16_t id;
        int setPlace;
    };
    std::vector<Offered> offered_;
    int selected_ = 0;
    int firstVisible_ = 0;
};

}  // namespace tallowmere::ui
