#pragma once
// The arithmetic and the texts of a printed page, apart from any device: the
// printable rectangle, rows per page and the page count, the columns scaled
// to the paper, the header, heading and closing texts, and where the pie
// goes. Lengths are the printer's pixels, in 64 bits, so that a fine
// resolution or a long register cannot overflow. Texts are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/money.h"
#include "model/palm_time.h"

namespace tallowmere {
class CShowColumns;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// What is printed.
inline constexpr int kPrintRegister = 0;
inline constexpr int kPrintReport = 1;
inline constexpr int kPrintBudget = 2;
inline constexpr int kPrintReconcile = 3;

// Stored column widths are screen pixels of a 96-per-inch screen.
inline constexpr std::int64_t kColumnSetDpi = 96;
// The pie is computed at no more than this many pixels per inch: its model
// keeps 16-bit coordinates.
inline constexpr std::int64_t kPieMaxDpi = 300;

struct PrintRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;

    std::int64_t Width() const { return right - left; }
    std::int64_t Height() const { return bottom - top; }
    friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

// The printer as the layout sees it.
struct PrintMetrics {
    std::int64_t dpiX = 0;
    std::int64_t dpiY = 0;
    // The printable area (its origin is the device's origin).
    std::int64_t width = 0;
    std::int64_t height = 0;
    // Of the normal font: its height and external leading.
    std::int64_t lineHeight = 0;
};

// The printable area less a quarter inch at the top, the left and the right
// (integer division); the bottom keeps no margin.
PrintRect PrintableRect(const PrintMetrics& metrics);

// Whole lines of the printable height less the five of the header and the
// headings; at least 1, so that tiny paper or a huge font still prints. A
// line height below 1 counts as 1.
std::int64_t RowsPerPage(const PrintRect& printable, std::int64_t lineHeight);

// The pie prints on one page, and so do no rows (header and headings only);
// otherwise the rows and three spare lines for the closing line, over the
// rows per page, rounded up.
std::int64_t CountPrintPages(std::int64_t rows, std::int64_t rowsPerPage, bool pie);

// The rows [first, end) of a page counted from 1; empty outside the pages.
struct PageRows {
    std::int64_t first = 0;
    std::int64_t end = 0;
};
PageRows RowsOfPage(std::int64_t page, std::int64_t rows, std::int64_t rowsPerPage);

struct PrintColumn {
    std::uint16_t id = 0;
    std::int64_t left = 0;
    std::int64_t width = 0;

    friend bool operator==(const PrintColumn&, const PrintColumn&) = default;
};

// The visible columns of the set in its order, side by side from left, their
// widths scaled so that together they span width (each at least 24). The
// icon column of the kind (1 for registers, 20 for reports and budgets) is
// left out. A column of width 0xFFFF takes what the paper has left after the
// other visible columns, the paper measured at the set's 96 pixels per
// inch; 90 when nothing is left. No visible width at all gives no columns.
std::vector<PrintColumn> LayoutPrintColumns(const CShowColumns& set, int kind, std::int64_t left,
                                            std::int64_t width, std::int64_t dpiX);

// The texts of the lookup tables; empty for an index outside its table.
std::string RegisterFilterText(std::int64_t filter);
std::string ReportByText(std::int64_t by);
std::string AmountKindText(std::int64_t kind);
// Kinds 0-7 by name; 8 "start - end" with both dates.
std::string PeriodText(std::int64_t kind, PalmTime start, PalmTime end);

// The short date text of t.
std::string PrintDateText(PalmTime t);

// Line 1 of the header: the account's name (Windows-1252; null: all
// accounts) and today's date.
std::string HeaderAccountText(const std::string* accountName, PalmTime today);
std::string HeaderPageText(std::int64_t page);
// Line 2: the filter for registers; by, period and amounts for reports; by
// and period for budgets.
std::string HeaderRegisterText(std::int64_t filter);
std::string HeaderReportText(std::int64_t by, std::int64_t period, PalmTime start, PalmTime end,
                             std::int64_t amountKind);
std::string HeaderBudgetText(std::int64_t by, std::int64_t period, PalmTime start, PalmTime end);

// The heading of column id for the kind; by names the report's grouping.
std::string ColumnHeadingText(int kind, int columnId, std::int64_t by);

// "[*]" for a download awaiting review, else by the status "[ ]", "[X]" or
// "[V]"; reconciling, "[X]" for a marked row and "[ ]" for any other.
std::string PrintStatusText(const CTransaction& t, bool reconcile);

// The closing lines. Symbols are Windows-1252.
std::string BalanceClosingText(std::int64_t balanceKind, std::string_view symbol, Cents balance);
std::string ReportTotalText(std::string_view symbol, Cents total);
std::string BudgetTotalText(std::string_view symbol, Cents budget, Cents actual);

// Where the pie of a report goes: computed in a logical space of at most
// 300 pixels per inch, drawn scaled by deviceDpi / logicalDpi.
struct PrintPieLayout {
    // False when there is no room for a pie (its radius would be 0 or less).
    bool fits = false;
    std::int64_t deviceDpi = 1;
    std::int64_t logicalDpi = 1;
    // Logical units.
    std::int16_t centreX = 0;
    std::int16_t centreY = 0;
    std::int16_t radius = 0;
    std::int16_t labelRadius = 0;
    PrintRect labelBounds;
    // Device units: the top of the total line below the chart.
    std::int64_t totalTop = 0;
};

// The chart's rectangle is the printable one from 2 x its top + 5 lines down
// to 2 lines above its bottom; the pie is centred in it with a radius of half
// its smaller side less 40 and labels at 3/5 of that; the labels may reach to
// 12 pixels inside its left and right edges. The total line lies one line
// below it.
PrintPieLayout LayoutPrintPie(const PrintRect& printable, std::int64_t lineHeight,
                              std::int64_t dpi);

}  // namespace tallowmere::ui
