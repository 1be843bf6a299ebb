#include "ui/logic/choose_icon_grid.h"

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

std::vector<std::uint16_t> Ids(int count, std::uint16_t first = 100) {
    std::vector<std::uint16_t> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back(static_cast<std::uint16_t>(first + i));
    return ids;
}

TEST(ChooseIconGrid, BuiltInIconsRunDownTheColumns) {
    struct Case {
        int index;
        int position;
    };
    const Case cases[] = {{0, 0}, {1, 8}, {8, 1}, {7, 56}, {56, 7}, {9, 9}, {12, 33}, {63, 63}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        ChooseIconGrid grid(Ids(3));
        grid.SetSelection(c.index);
        EXPECT_EQ(c.position, grid.SelectedPosition());
        EXPECT_EQ(c.index, grid.GetSelection());
        EXPECT_EQ(c.index, grid.IconAt(c.position).iconIndex);
    }
    for (int i = 0; i < kOfferedBuiltInIcons; ++i)
        EXPECT_EQ(i, TransposeBuiltInIcon(TransposeBuiltInIcon(i))) << i;
}

TEST(ChooseIconGrid, DatabaseIconsFollowInTheSetsOrder) {
    // Ids out of order, a duplicate, and two ids whose index 256 + id would
    // not fit in 16 bits.
    const std::vector<std::uint16_t> ids = {40, 7, 65280, 7, 65279, 65535, 0};
    struct Case {
        int index;
        int position;
        int setPlace;
    };
    const Case cases[] = {
        {256 + 40, 64, 0},
        {256 + 7, 65, 1},  // the first of the two 7s
        {256 + 65279, 67, 4},
        {256 + 0, 68, 6},  // the places skip the ids left out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        ChooseIconGrid grid(ids);
        EXPECT_EQ(64 + 5, grid.Total());
        grid.SetSelection(c.index);
        EXPECT_EQ(c.position, grid.SelectedPosition());
        EXPECT_EQ(c.index, grid.GetSelection());
        const GridIcon icon = grid.IconAt(c.position);
        EXPECT_EQ(GridIcon::Kind::kDatabase, icon.kind);
        EXPECT_EQ(c.setPlace, icon.setPlace);
    }
    ChooseIconGrid grid(ids);
    EXPECT_EQ(256 + 7, grid.IconAt(66).iconIndex);  // the second 7
    EXPECT_EQ(3, grid.IconAt(66).setPlace);
    for (int position = 64; position < grid.Total(); ++position)
        EXPECT_LE(grid.IconAt(position).iconIndex, 65535) << position;
}

TEST(ChooseIconGrid, IndexesThatNameNoOfferedIconSelectTheFirstCell) {
    for (int index : {64, 65, 255, 256 + 5, 256 + 65280, 65535, -1, 70000}) {
        SCOPED_TRACE(index);
        ChooseIconGrid grid({40, 65280, 65535});
        grid.SetSelection(9);
        grid.SetSelection(index);
        EXPECT_EQ(0, grid.SelectedPosition());
        EXPECT_EQ(0, grid.GetSelection());
    }
}

TEST(ChooseIconGrid, OpeningShowsTheSelectionsRowLast) {
    struct Case {
        int position;
        int firstVisible;
    };
    const Case cases[] = {{0, 0}, {63, 0}, {64, 8}, {71, 8}, {72, 16}, {200, 144}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(c.firstVisible, FirstVisibleAtOpening(c.position));
        ChooseIconGrid grid(Ids(200));
        const GridIcon icon = grid.IconAt(c.position);
        ASSERT_NE(GridIcon::Kind::kEmpty, icon.kind);
        grid.SetSelection(icon.iconIndex);
        grid.Open();
        EXPECT_EQ(c.firstVisible, grid.FirstVisible());
        EXPECT_EQ(c.firstVisible / 8, grid.ScrollRow());
        EXPECT_LE(grid.ScrollRow(), grid.ScrollMaximum());
        // The selection shows in the bottom row, or among the built-ins.
        const int cell = c.position - grid.FirstVisible();
        EXPECT_TRUE(cell >= 56 || c.position < 64) << cell;
        EXPECT_LT(cell, 64);
    }
}

TEST(ChooseIconGrid, ScrollRangeReachesTheLastDatabaseRow) {
    struct Case {
        int databaseIcons;
        int maximum;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {8, 1}, {9, 2}, {17, 3}, {65215, 8152}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.databaseIcons);
        EXPECT_EQ(c.maximum, IconGridScrollMaximum(c.databaseIcons));
        ChooseIconGrid grid(Ids(c.databaseIcons, 0));
        EXPECT_EQ(c.maximum, grid.ScrollMaximum());
        EXPECT_EQ(c.databaseIcons > 0, grid.ScrollEnabled());
        // At the bottom the last icon is in the last row.
        grid.ScrollTo(c.maximum);
        if (c.databaseIcons > 0) {
            EXPECT_EQ(7, (grid.Total() - 1 - grid.FirstVisible()) / 8);
        }
    }
}

TEST(ChooseIconGrid, ScrollingClampsAndSaysWhetherItMoved) {
    ChooseIconGrid grid(Ids(17));  // rows 0 to 3
    struct Step {
        int row;
        bool moved;
        int firstVisible;
    };
    const Step steps[] = {{1, true, 8},   {1, false, 8}, {9, true, 24},
                          {3, false, 24}, {-4, true, 0}, {-1, false, 0}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.row);
        EXPECT_EQ(s.moved, grid.ScrollTo(s.row));
        EXPECT_EQ(s.firstVisible, grid.FirstVisible());
    }
}

TEST(ChooseIconGrid, ClickSelectsOnlyCellsThatHoldAnIcon) {
    // 17 database icons: positions 64 to 80.
    struct Case {
        const char* name;
        int scrollRow;
        int cell;
        bool moved;
        int selection;  // icon index afterwards
    };
    const Case cases[] = {
        {"a built-in icon", 0, 10, true, 17},
        {"the first cell again", 0, 0, false, 0},
        {"the last built-in", 0, 63, true, 63},
        {"a database icon", 3, 40, true, 256 + 100},  // position 64
        {"the last icon", 3, 56, true, 256 + 116},    // position 80
        {"past the last icon", 3, 57, false, 0},
        {"the last cell", 3, 63, false, 0},
        {"no cell", 0, -1, false, 0},
        {"beyond the grid", 0, 64, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChooseIconGrid grid(Ids(17));
        grid.ScrollTo(c.scrollRow);
        EXPECT_EQ(c.moved, grid.Click(c.cell));
        EXPECT_EQ(c.selection, grid.GetSelection());
    }
}

TEST(ChooseIconGrid, PositionsPastTheLastIconAreEmpty) {
    ChooseIconGrid grid(Ids(2));
    EXPECT_EQ(GridIcon::Kind::kBuiltIn, grid.IconAt(63).kind);
    EXPECT_EQ(GridIcon::Kind::kDatabase, grid.IconAt(65).kind);
    for (int position : {66, 71, -1}) {
        EXPECT_EQ(GridIcon::Kind::kEmpty, grid.IconAt(position).kind) << position;
        EXPECT_EQ(-1, grid.IconAt(position).iconIndex) << position;
    }
}

TEST(IconGridGeometry, HitTestFindsTheCellAndNotTheGaps) {
    const IconGridGeometry geometry{36, 30, 2};  // stride 38 across, 32 down
    struct Case {
        int x;
        int y;
        int cell;
    };
    const Case cases[] = {
        {2, 2, 0},     {37, 31, 0},   {38, 2, -1},   {40, 2, 1},     {2, 32, -1},  {2, 34, 8},
        {1, 10, -1},   {10, 1, -1},   {-5, 10, -1},  {268, 226, 63}, {303, 10, 7}, {304, 10, -1},
        {306, 10, -1}, {10, 255, 56}, {10, 256, -1}, {10, 999, -1},  {0, 0, -1},   {155, 100, 28}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(c.cell, IconGridCellAt(geometry, c.x, c.y));
    }
    EXPECT_EQ(306, IconGridWidth(geometry));
    EXPECT_EQ(258, IconGridHeight(geometry));
    EXPECT_EQ((IconGridRect{268, 226, 36, 30}), IconGridCellRect(geometry, 63));
    for (int cell = 0; cell < kIconGridCells; ++cell) {
        const IconGridRect r = IconGridCellRect(geometry, cell);
        EXPECT_EQ(cell, IconGridCellAt(geometry, r.x, r.y)) << cell;
        EXPECT_EQ(cell, IconGridCellAt(geometry, r.x + r.width - 1, r.y + r.height - 1)) << cell;
    }
    EXPECT_EQ(-1, IconGridCellAt(IconGridGeometry{0, 30, 2}, 2, 2));
}

}  // namespace
}  // namespace tallowmere::ui
