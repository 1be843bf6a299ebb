#pragma once
// The view's three print commands over one printer whose settings (printer,
// paper, margins) last for the session: Print... with its dialog, Print
// Preview and Print Setup..., all through UiServices. The view builds the
// job of its page (MakePrintJob) and passes its label font.
#include <QFont>
#include <memory>

#include "ui/logic/print_pages.h"
#include "ui/tallowmere_printing.h"

class QPrinter;
class QWidget;

namespace tallowmere::ui {

class PrintCommands {
  public:
    PrintCommands();
    ~PrintCommands();
    PrintCommands(const PrintCommands&) = delete;
    PrintCommands& operator=(const PrintCommands&) = delete;

    // Print...: the print dialog (printer or PDF file, page range, copies),
    // then the pages chosen. False when cancelled, or when the job failed,
    // which is said in a message box.
    bool Print(QWidget* parent, const PrintJob& job, const QFont& font);
    // Print Preview: every page in the preview window, until it is closed.
    void Preview(QWidget* parent, const PrintJob& job, const QFont& font);
    // Print Setup...: the paper and margins of the next printouts; true on OK.
    bool PageSetup(QWidget* parent);

    QPrinter& Printer() { return *printer_; }

  private:
    std::unique_ptr<QPrinter> printer_;
    CTallowmerePrinting printing_;
};

}  // namespace tallowmere::ui
