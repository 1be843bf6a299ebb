#include "ui/logic/report_sort.h"

#include "model/report.h"
#include "ui/logic/page_columns.h"

namespace tallowmere::ui {

bool SortByHeader(ReportSort& sort, int columnId) {
    if (columnId < kReportSortName || columnId > kReportSortDifference)
        return false;
    if (sort.column == columnId) {
        sort.ascending = !sort.ascending;
    } else {
        sort.column = columnId;
        sort.ascending = true;
    }
    return true;
}

bool ReportColumnShown(int columnId, int groupBy) {
    if (columnId == kReportSortIcon)
        return groupBy == kGroupByCategory;
    return columnId > kReportSortIcon && columnId <= kReportSortDifference;
}

}  // namespace tallowmere::ui
