#include "ui/logic/show_columns_logic.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "model/show_columns.h"

namespace tallowmere::ui {
namespace {

TEST(ShowColumnsLogic, EachBoxStandsForItsEntry) {
    struct Case {
        int controlId;
        int entry;
    };
    const Case cases[] = {{1030, 0}, {1039, 1}, {1032, 2}, {1033, 3}, {1034, 4},
                          {1035, 5}, {1040, 6}, {1036, 7}, {1037, 8}, {1038, 9}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.controlId);
        EXPECT_EQ(c.controlId, kShowColumnBoxes[i].controlId);

        CShowColumns columns(kRegisterColumns);
        columns.SetVisible(c.entry, false);
        ShowColumnsForm form = OpenShowColumns(columns);
        for (std::size_t j = 0; j < form.size(); ++j)
            EXPECT_EQ(j != i, form[j]) << kShowColumnBoxes[j].controlId;

        // Marking the box shows the entry again; clearing another hides that.
        form[i] = true;
        const std::size_t other = (i + 1) % form.size();
        form[other] = false;
        AcceptShowColumns(form, columns);
        EXPECT_TRUE(columns.IsVisible(c.entry));
        EXPECT_FALSE(columns.IsVisible(kShowColumnBoxes[other].entry));
    }
}

TEST(ShowColumnsLogic, OkChangesOnlyTheVisibility) {
    CShowColumns columns(kRegisterColumns);
    columns.SetWidth(4, 333);
    const CShowColumns::Record before = columns.ToRecord();
    ShowColumnsForm none{};
    AcceptShowColumns(none, columns);
    for (int entry = 0; entry < 10; ++entry) {
        EXPECT_FALSE(columns.IsVisible(entry));
        EXPECT_EQ(kRegisterColumns[static_cast<std::size_t>(entry)].id, columns.GetId(entry));
    }
    EXPECT_EQ(333, columns.GetWidth(4));
    ShowColumnsForm all;
    all.fill(true);
    AcceptShowColumns(all, columns);
    EXPECT_EQ(before, columns.ToRecord());
}

}  // namespace
}  // namespace tallowmere::ui
