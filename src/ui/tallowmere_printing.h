#pragma once
// Printing on a QPrinter: the view's register, reconcile list, report (as a
// table or a pie) or budget, laid out by PrintPages and painted with a
// QPainter, the pie by CWinChart. PrintDocument is the loop that prints a
// range of pages; print, preview and page setup use it (PrintCommands).
#include <QFont>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "ui/logic/print_pages.h"
#include "ui/win_chart.h"

class QPainter;
class QPrinter;

namespace tallowmere::ui {

class CTallowmerePrinting {
  public:
    // Starts a printout of job on printer: its resolution and printable
    // area, and the 10-point normal and bold fonts made from font (the
    // view's label font). The job must stay valid until ReleaseFonts.
    void BeginPrinting(QPrinter& printer, const PrintJob& job, const QFont& font);
    // Lays the columns out again (BeginPrinting lays out the job's).
    void SetColumns(const CShowColumns& columns);
    // The number of pages, at least 1.
    int CountPages();
    // Prints page (from 1) with a painter open on the printer.
    void PrintPage(QPainter& painter, int page);
    // Ends the printout: drops the fonts and the rows.
    void ReleaseFonts();
    bool HasFonts() const { return normal_.has_value(); }

    const PrintPages& Pages() const { return pages_; }

    // Widths of the texts measured so far, by font: a register repeats its
    // payees, categories and types on every page.
    using TextWidths = std::array<std::unordered_map<std::string, std::int64_t>, 2>;

  private:
    PrintPages pages_;
    CWinChart chart_;
    std::optional<QFont> normal_;
    std::optional<QFont> bold_;
    TextWidths widths_;
};

// Prints job on printer: BeginPrinting, the page count, pages fromPage to
// toPage (0 for either: from the first, to the last; kept to the pages
// there are) with a new page between two, and ReleaseFonts on every path.
// The document is named "Tallowmere Document". The number of pages printed,
// or -1 when the printer could not be started or the job failed or was
// aborted.
int PrintDocument(QPrinter& printer, CTallowmerePrinting& printing, const PrintJob& job,
                  const QFont& font, int fromPage = 0, int toPage = 0);

}  // namespace tallowmere::ui
