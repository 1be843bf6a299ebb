#include "ui/logic/print_pages.h"

#include <algorithm>
#include <limits>

#include "model/account.h"
#include "model/accounts.h"
#include "model/chart.h"
#include "model/palm_time.h"
#include "model/report.h"
#include "ui/logic/cell_text.h"

namespace tallowmere::ui {
namespace {

// Text cells keep this far from their column's edges.
constexpr std::int64_t kCellInset = 3;
// Pie labels are drawn for slices of any width.
constexpr std::int16_t kPieLabelMinimum = 0;

int BalanceKindOf(std::int64_t kind) {
    return kind == 0 || kind == 1 ? static_cast<int>(kind) : 2;
}

// A filter outside int selects no row, as an unknown filter does.
int FilterOf(std::int64_t filter) {
    if (filter < std::numeric_limits<int>::min() || filter > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(filter);
}

CellMeasure MeasureOn(MPrintCanvas& canvas) {
    return [&canvas](std::string_view text) { return canvas.TextWidth(text); };
}

}  // namespace

void PrintPages::Begin(const PrintJob& job, const PrintMetrics& metrics) {
    job_ = job;
    if (job_.kind != kPrintReport && job_.kind != kPrintBudget && job_.kind != kPrintReconcile)
        job_.kind = kPrintRegister;
    metrics_ = metrics;
    printable_ = PrintableRect(metrics);
    line_ = std::max<std::int64_t>(metrics.lineHeight, 1);
    rowsPerPage_ = ui::RowsPerPage(printable_, line_);
    rows_.Clear();
    rowCount_ = 0;
    pageCount_ = 0;
    SetColumns(job_.columns);
}

void PrintPages::SetColumns(const CShowColumns& columns) {
    columns_ =
        LayoutPrintColumns(columns, job_.kind, printable_.left, printable_.Width(), metrics_.dpiX);
}

std::int64_t PrintPages::CountPages() {
    rows_.Clear();
    rowCount_ = 0;
    if (job_.data != nullptr) {
        if (IsRegister()) {
            rows_.Build(job_.account, FilterOf(job_.filter));
            rowCount_ = static_cast<std::int64_t>(rows_.Count());
        } else if (job_.report != nullptr) {
            rowCount_ = static_cast<std::int64_t>(job_.report->GetItemCount());
        }
    }
    pageCount_ = CountPrintPages(rowCount_, rowsPerPage_, IsPie());
    return pageCount_;
}

void PrintPages::PrintPage(MPrintCanvas& canvas, std::int64_t page, CChart* chart) {
    if (page < 1 || page > pageCount_)
        return;
    PrintHeader(canvas, page);
    if (IsPie()) {
        PrintPie(canvas, chart);
        return;
    }
    PrintHeadings(canvas);
    const PageRows rows = RowsOfPage(page, rowCount_, rowsPerPage_);
    PrintRows(canvas, rows);
    // With no rows there is nothing to sum up.
    if (page == pageCount_ && rowCount_ > 0) {
        const std::int64_t below = printable_.top + 5 * line_ + (rows.end - rows.first) * line_;
        PrintClosingLine(canvas, below + 2 * line_);
    }
}

void PrintPages::End() {
    rows_.Clear();
    rowCount_ = 0;
}

bool PrintPages::IsRegister() const {
    return job_.kind == kPrintRegister || job_.kind == kPrintReconcile;
}

bool PrintPages::IsPie() const {
    return job_.kind == kPrintReport && job_.pie;
}

void PrintPages::PrintHeader(MPrintCanvas& canvas, std::int64_t page) {
    const std::int64_t top = printable_.top;
    canvas.SetFont(PrintFont::kBold);
    std::string name;
    if (job_.account != nullptr)
        name = job_.account->GetName();
    canvas.DrawText(printable_.left, top, line_,
                    HeaderAccountText(job_.account != nullptr ? &name : nullptr, PalmTimeNow()),
                    false);
    const std::string pageText = HeaderPageText(page);
    canvas.DrawText(printable_.right - canvas.TextWidth(pageText), top, line_, pageText, false);

    canvas.SetFont(PrintFont::kNormal);
    std::string second;
    const CReport* r = job_.report;
    if (IsRegister())
        second = HeaderRegisterText(job_.filter);
    else if (r == nullptr)
        second = job_.kind == kPrintReport ? HeaderReportText(-1, -1, 0, 0, -1)
                                           : HeaderBudgetText(-1, -1, 0, 0);
    else if (job_.kind == kPrintReport)
        second = HeaderReportText(r->GetGroupBy(), r->GetPeriodKind(), r->GetStart(), r->GetEnd(),
                                  r->GetSignFilter());
    else
        second = HeaderBudgetText(r->GetGroupBy(), r->GetPeriodKind(), r->GetStart(), r->GetEnd());
    canvas.DrawText(printable_.left, top + line_, line_, second, false);
}

void PrintPages::PrintHeadings(MPrintCanvas& canvas) {
    const std::int64_t top = printable_.top + 3 * line_;
    const std::int64_t by = job_.report != nullptr ? job_.report->GetGroupBy() : -1;
    canvas.SetFont(PrintFont::kNormal);
    const CellMeasure measure = MeasureOn(canvas);
    for (const PrintColumn& column : columns_) {
        const std::string text = ColumnHeadingText(job_.kind, column.id, by);
        if (!text.empty())
            canvas.DrawText(column.left, top, line_, FitCellText(text, column.width, measure),
                            false);
    }
    canvas.DrawRule(printable_.left, printable_.right, top + line_ * 3 / 2);
}

void PrintPages::PrintRows(MPrintCanvas& canvas, const PageRows& rows) {
    canvas.SetFont(PrintFont::kNormal);
    std::int64_t top = printable_.top + 5 * line_;
    for (std::int64_t row = rows.first; row < rows.end; ++row, top += line_) {
        for (const PrintColumn& column : columns_)
            DrawCell(canvas, column, top, CellOf(row, column.id));
    }
}

CellText PrintPages::CellOf(std::int64_t row, int columnId) const {
    const MoneyStyle money{job_.symbol, true};
    if (IsRegister()) {
        const CTransaction* t = rows_.At(static_cast<std::size_t>(row));
        if (t == nullptr)
            return {};
        if (columnId == kColumnStatus)
            return {PrintStatusText(*t, job_.kind == kPrintReconcile), false, false};
        return RegisterCellText(*job_.data, *t, columnId, money,
                                rows_.BalanceAt(static_cast<std::size_t>(row)));
    }
    const CReportItem* item = job_.report->GetItem(static_cast<std::size_t>(row));
    if (item == nullptr)
        return {};
    return ReportCellText(*job_.report, *item, columnId, money, true);
}

void PrintPages::DrawCell(MPrintCanvas& canvas, const PrintColumn& column, std::int64_t top,
                          const CellText& cell) {
    if (cell.text.empty())
        return;
    std::int64_t width = 0;
    const std::string text = FitCellText(FlattenLineBreaks(cell.text),
                                         column.width - 2 * kCellInset, MeasureOn(canvas), &width);
    const std::int64_t x =
        cell.money ? column.left + column.width - kCellInset - width : column.left + kCellInset;
    canvas.DrawText(x, top, line_, text, cell.negative);
}

void PrintPages::PrintClosingLine(MPrintCanvas& canvas, std::int64_t top) {
    std::string text;
    if (IsRegister()) {
        if (job_.account == nullptr)
            return;
        const int kind = BalanceKindOf(job_.balanceKind);
        text = BalanceClosingText(kind, job_.symbol, job_.account->GetBalance(kind));
    } else if (job_.kind == kPrintReport) {
        text = ReportTotalText(job_.symbol, job_.report->GetTotal());
    } else {
        // The rows show budgets over the period; so does their total.
        const CReport& r = *job_.report;
        text = BudgetTotalText(
            job_.symbol, ScaleBudgetToPeriod(r.GetPeriodKind(), r.GetBudgetTotal()), r.GetTotal());
    }
    canvas.SetFont(PrintFont::kBold);
    canvas.DrawText(printable_.right - canvas.TextWidth(text), top, line_, text, false);
}

void PrintPages::PrintPie(MPrintCanvas& canvas, CChart* chart) {
    if (job_.report == nullptr)
        return;
    const PrintPieLayout pie = LayoutPrintPie(printable_, line_, metrics_.dpiY);
    if (chart != nullptr && job_.report->BuildSlices(*chart) > 0 && pie.fits) {
        chart->SetGeometry(pie.centreX, pie.centreY, pie.radius, pie.labelRadius, kPieLabelMinimum);
        canvas.SetFont(PrintFont::kNormal);
        canvas.DrawChart(*chart, pie);
    }
    const std::string text = ReportTotalText(job_.symbol, job_.report->GetTotal());
    canvas.SetFont(PrintFont::kBold);
    canvas.DrawText(printable_.right - canvas.TextWidth(text), pie.totalTop, line_, text, false);
}

}  // namespace tallowmere::ui
