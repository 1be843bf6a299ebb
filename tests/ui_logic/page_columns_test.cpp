// The column sets the pages show: foreign and repeated ids dropped, the
// default when nothing visible is left, rest widths, heading texts.
#include "ui/logic/page_columns.h"

#include <gtest/gtest.h>

#include <vector>

namespace tallowmere::ui {
namespace {

std::vector<PageColumn> Entries(const CShowColumns& set) {
    std::vector<PageColumn> out;
    for (int i = 0; i < set.GetCount(); ++i)
        out.push_back({set.GetId(i), set.IsVisible(i) ? set.GetWidth(i) : -set.GetWidth(i)});
    return out;
}

std::vector<PageColumn> Entries(std::span<const ShowColumnEntry> entries) {
    return Entries(CShowColumns(entries));
}

TEST(PageColumns, StoredSetsAreCheckedForThePage) {
    struct Case {
        const char* name;
        ListPage page;
        std::vector<ShowColumnEntry> stored;
        // Widths of hidden entries negated.
        std::vector<PageColumn> shown;
    };
    const std::vector<Case> cases = {
        {"a valid set stays as it is, order and hidden entries included",
         ListPage::kRegister,
         {{8, 85, 1, 0}, {4, 200, 1, 0}, {2, 60, 0, 0}},
         {{8, 85}, {4, 200}, {2, -60}}},
        {"ids of another page go",
         ListPage::kRegister,
         {{2, 60, 1, 0}, {21, 100, 1, 0}, {4, 200, 1, 0}, {99, 50, 1, 0}},
         {{2, 60}, {4, 200}}},
        {"a repeated id keeps its first entry",
         ListPage::kReconcile,
         {{4, 200, 1, 0}, {2, 60, 1, 0}, {4, 90, 0, 0}},
         {{4, 200}, {2, 60}}},
        {"report ids on the budgets page",
         ListPage::kBudgets,
         {{24, 100, 1, 0}, {3, 60, 1, 0}, {21, kColumnWidthRest, 1, 0}},
         {{24, 100}, {21, kColumnWidthRest}}},
        {"nothing visible left: the default",
         ListPage::kReports,
         {{2, 60, 1, 0}, {23, 100, 0, 0}},
         Entries(kReportColumns)},
        {"an empty set: the default", ListPage::kRegister, {}, Entries(kRegisterColumns)},
        {"only foreign ids: the default",
         ListPage::kReconcile,
         {{20, 26, 1, 0}, {22, 100, 1, 0}},
         Entries(kReconcileColumns)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Entries(ValidPageColumns(c.page, CShowColumns(c.stored))), c.shown);
    }
}

TEST(PageColumns, RestWidthsFillTheRoom) {
    struct Case {
        const char* name;
        std::vector<ShowColumnEntry> set;
        int room;
        std::vector<PageColumn> columns;
    };
    const std::vector<Case> cases = {
        {"the rest column takes what the others leave",
         {{20, 26, 1, 0}, {21, kColumnWidthRest, 1, 0}, {23, 100, 1, 0}},
         600,
         {{20, 26}, {21, 474}, {23, 100}}},
        {"hidden columns take no room and are not shown",
         {{20, 26, 0, 0}, {21, kColumnWidthRest, 1, 0}, {23, 100, 1, 0}},
         600,
         {{21, 500}, {23, 100}}},
        {"too little room: 90",
         {{2, 300, 1, 0}, {4, kColumnWidthRest, 1, 0}, {8, 300, 1, 0}},
         500,
         {{2, 300}, {4, 90}, {8, 300}}},
        {"two rest columns each count the other as 0",
         {{4, kColumnWidthRest, 1, 0}, {5, 100, 1, 0}, {7, kColumnWidthRest, 1, 0}},
         400,
         {{4, 300}, {5, 100}, {7, 300}}},
        {"no rest column", {{2, 60, 1, 0}, {3, 70, 1, 0}}, 10, {{2, 60}, {3, 70}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VisiblePageColumns(CShowColumns(c.set), c.room), c.columns);
    }
}

TEST(PageColumns, Headings) {
    struct Case {
        ListPage page;
        std::uint16_t id;
        int groupBy;
        int stringId;
    };
    const std::vector<Case> cases = {
        {ListPage::kRegister, 0, 0, 0},
        {ListPage::kRegister, 1, 0, 0},
        {ListPage::kRegister, 2, 0, 200},
        {ListPage::kReconcile, 6, 0, 207},
        {ListPage::kRegister, 9, 0, 206},
        {ListPage::kReports, 20, 1, 0},
        {ListPage::kReports, 21, kGroupByPayee, 202},
        {ListPage::kReports, 21, kGroupByCategory, 203},
        {ListPage::kBudgets, 21, kGroupByClass, 207},
        {ListPage::kReports, 23, 0, 205},
        {ListPage::kBudgets, 23, 0, 209},
        {ListPage::kBudgets, 24, 0, 223},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(ColumnTitleStringId(c.page, c.id, c.groupBy), c.stringId);
    }
}

}  // namespace
}  // namespace tallowmere::ui
