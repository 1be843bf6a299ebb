#pragma once
// The sort of the Reports and Budgets lists: a column id 20-24 and a
// direction. Entering a page, and showing or hiding empty rows, go back to
// the name column ascending, which is the order the report computes in.
namespace tallowmere::ui {

struct ReportSort {
    int column = 21;
    bool ascending = true;

    bool IsComputedOrder() const { return column == 21 && ascending; }
    friend bool operator==(const ReportSort&, const ReportSort&) = default;
};

// A header click: the same column flips the direction, another sorts
// ascending. The icon column (20) cannot be sorted: false, nothing changes
// (the list beeps).
bool SortByHeader(ReportSort& sort, int columnId);

// Whether the page lists a column: the icon column only when grouping by
// category.
bool ReportColumnShown(int columnId, int groupBy);

}  // namespace tallowmere::ui
