#pragma once
// The column sets of the main view's four list pages as the lists can show
// them. A stored set comes from the registry and may name columns of
// another page, repeat a column or hide every column; what the list shows
// is checked here, once for the screen and the printout alike.
#include <cstdint>
#include <span>
#include <vector>

#include "model/show_columns.h"

namespace tallowmere::ui {

// The view's page numbers.
enum class ListPage : int { kRegister = 0, kReports = 1, kBudgets = 2, kReconcile = 3 };

// Column ids: 0-9 on the register and reconcile pages, 20-24 on the reports
// and budgets pages.
bool IsPageColumnId(ListPage page, std::uint16_t id);
std::span<const ShowColumnEntry> DefaultPageColumns(ListPage page);

// The stored set without the entries whose id does not belong to the page
// and without repeats of an id (the first stays); the others keep their
// order, width and visibility. When no visible entry is left, the page's
// default set.
CShowColumns ValidPageColumns(ListPage page, const CShowColumns& stored);

struct PageColumn {
    std::uint16_t id = 0;
    int width = 0;
    friend bool operator==(const PageColumn&, const PageColumn&) = default;
};

// The visible entries in the set's order. A kColumnWidthRest width takes
// what the room leaves after the other visible columns (other rest columns
// count as 0), 90 when that is negative.
std::vector<PageColumn> VisiblePageColumns(const CShowColumns& set, int room);

// Report grouping, as the "By" combo numbers it.
inline constexpr int kGroupByPayee = 0;
inline constexpr int kGroupByCategory = 1;
inline constexpr int kGroupByClass = 2;

// The string id of a column's heading; 0 for the icon columns, which have
// none. Column 21 is named after the grouping; 23 is "Amount" on the
// reports page and "Actual" on the budgets page.
int ColumnTitleStringId(ListPage page, std::uint16_t id, int groupBy);

}  // namespace tallowmere::ui
