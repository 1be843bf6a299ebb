#pragma once
// The pages of a printout, laid out and drawn through a canvas: a register or
// reconcile list, a report as a table or a pie, or a budget. Every page has a
// two-line header; the tables have column headings, rows and, on the last
// page, a closing line. The printer's side (fonts, painter, chart drawing)
// is the canvas; this side knows nothing of a toolkit.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/show_columns.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/print_layout.h"
#include "ui/logic/register_rows.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CChart;
class CReport;
}  // namespace tallowmere

namespace tallowmere::ui {

// What to print; the view fills it in for its page (MakePrintJob).
struct PrintJob {
    // The data set the rows' texts come from; nothing prints without it.
    const CAccounts* data = nullptr;
    int kind = kPrintRegister;
    // Registers: the account listed (none: no rows). Reports: the account
    // reported on (none: all accounts), named in the header.
    const CAccount* account = nullptr;
    // Reports and budgets.
    const CReport* report = nullptr;
    // The register's status filter (0-5).
    std::int64_t filter = 0;
    // The register's closing balance: 0 current, 1 cleared, other online.
    std::int64_t balanceKind = 0;
    // A report as a pie chart.
    bool pie = false;
    // Before every amount (Windows-1252).
    std::string symbol;
    // The page's column set.
    CShowColumns columns{0};
};

enum class PrintFont { kNormal, kBold };

// Where the pages are drawn. Texts are UTF-8, lengths device units.
class MPrintCanvas {
  public:
    virtual ~MPrintCanvas() = default;
    virtual void SetFont(PrintFont font) = 0;
    // The text's width in the current font.
    virtual std::int64_t TextWidth(std::string_view text) = 0;
    // One line of text from x, centred in the band [top, top + height),
    // never clipped; red or black.
    virtual void DrawText(std::int64_t x, std::int64_t top, std::int64_t height,
                          std::string_view text, bool red) = 0;
    // A horizontal line from left to right at y.
    virtual void DrawRule(std::int64_t left, std::int64_t right, std::int64_t y) = 0;
    // Draws the chart, whose geometry is in the pie's logical space, scaled
    // to the device, its labels in the normal font.
    virtual void DrawChart(CChart& chart, const PrintPieLayout& pie) = 0;
};

class PrintPages {
  public:
    // Starts a printout on a printer of these metrics; the columns are laid
    // out again (SetColumns).
    void Begin(const PrintJob& job, const PrintMetrics& metrics);
    // Lays the set's visible columns out across the printable width.
    void SetColumns(const CShowColumns& columns);
    // Finds the rows and returns the number of pages (at least 1).
    std::int64_t CountPages();
    // Draws page (from 1); nothing for a page outside the count. The chart
    // (may be null: no pie) receives the report's slices.
    void PrintPage(MPrintCanvas& canvas, std::int64_t page, CChart* chart);
    // Forgets the rows; the job must stay valid only until here.
    void End();

    const PrintRect& Printable() const { return printable_; }
    std::int64_t LineHeight() const { return line_; }
    std::int64_t RowsPerPage() const { return rowsPerPage_; }
    std::int64_t RowCount() const { return rowCount_; }
    std::int64_t PageCount() const { return pageCount_; }
    const std::vector<PrintColumn>& Columns() const { return columns_; }

  private:
    bool IsRegister() const;
    bool IsPie() const;
    void PrintHeader(MPrintCanvas& canvas, std::int64_t page);
    void PrintHeadings(MPrintCanvas& canvas);
    void PrintRows(MPrintCanvas& canvas, const PageRows& rows);
    void PrintClosingLine(MPrintCanvas& canvas, std::int64_t top);
    void PrintPie(MPrintCanvas& canvas, CChart* chart);
    CellText CellOf(std::int64_t row, int columnId) const;
    void DrawCell(MPrintCanvas& canvas, const PrintColumn& column, std::int64_t top,
                  const CellText& cell);

    PrintJob job_;
    PrintMetrics metrics_;
    PrintRect printable_;
    std::int64_t line_ = 1;
    std::int64_t rowsPerPage_ = 1;
    std::int64_t rowCount_ = 0;
    std::int64_t pageCount_ = 0;
    std::vector<PrintColumn> columns_;
    RegisterRows rows_;
};

}  // namespace tallowmere::ui
