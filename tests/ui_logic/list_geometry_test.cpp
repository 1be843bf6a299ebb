// Spreading the width over the columns and where EnsureVisible scrolls to.
#include "ui/logic/list_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace tallowmere::ui {
namespace {

TEST(ListGeometry, FitColumnsToWidth) {
    struct Case {
        const char* name;
        std::vector<int> widths;
        int client;
        int minWidth;
        std::vector<int> fitted;
    };
    const std::vector<Case> cases = {
        {"wider client", {100, 50}, 250, 24, {150, 100}},
        {"narrower client", {100, 50}, 110, 24, {80, 30}},
        {"the share truncates toward zero", {10, 10, 10}, 35, 0, {11, 11, 11}},
        {"a negative share truncates toward zero", {10, 10, 10}, 25, 0, {9, 9, 9}},
        // Stored as 16 bits this used to become 65446.
        {"a narrow column stops at zero", {300, 20}, 100, 0, {190, 0}},
        {"or at the page's minimum", {300, 20}, 100, 24, {190, 24}},
        {"no columns", {}, 300, 24, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitColumnsToWidth(c.widths, c.client, c.minWidth), c.fitted);
    }
}

TEST(ListGeometry, EnsureVisibleTarget) {
    struct Case {
        const char* name;
        int row, top, page, count;
        int target;
    };
    const std::vector<Case> cases = {
        {"above the top", 3, 10, 8, 100, 3},
        {"the top row", 10, 10, 8, 100, 10},
        {"inside the page", 14, 10, 8, 100, -1},
        {"the last whole row", 17, 10, 8, 100, -1},
        // The first row below the page counted as visible before.
        {"just below the page", 18, 10, 8, 100, 25},
        {"far below", 60, 10, 8, 100, 67},
        {"near the end", 97, 10, 8, 100, 99},
        {"out of range", 100, 10, 8, 100, -1},
        {"negative", -1, 10, 8, 100, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EnsureVisibleTarget(c.row, c.top, c.page, c.count), c.target);
    }
}

}  // namespace
}  // namespace tallowmere::ui
