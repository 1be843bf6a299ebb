#include "ui/print_commands.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "ui/logic/messages.h"
#include "ui/ui_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringPrintFailed = 3322;

}  // namespace

PrintCommands::PrintCommands() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    // With no printer set up, the dialog starts on its PDF file output.
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer_->setOutputFormat(QPrinter::PdfFormat);
}

PrintCommands::~PrintCommands() = default;

bool PrintCommands::Print(QWidget* parent, const PrintJob& job, const QFont& font) {
    // The dialog offers the pages that the paper as it is now gives.
    printing_.BeginPrinting(*printer_, job, font);
    const int pages = printing_.CountPages();
    printing_.ReleaseFonts();
    printer_->setPrintRange(QPrinter::AllPages);
    if (!Services().RunPrintDialog(parent, *printer_, pages))
        return false;
    int from = 0;
    int to = 0;
    if (printer_->printRange() == QPrinter::PageRange) {
        from = printer_->fromPage();
        to = printer_->toPage();
    }
    if (PrintDocument(*printer_, printing_, job, font, from, to) < 0) {
        ServiceMessages(parent).Show(StringMessage(kStringPrintFailed));
        return false;
    }
    return true;
}

void PrintCommands::Preview(QWidget* parent, const PrintJob& job, const QFont& font) {
    Services().RunPrintPreview(parent, *printer_, [this, &job, &font](QPrinter& target) {
        PrintDocument(target, printing_, job, font);
    });
}

bool PrintCommands::PageSetup(QWidget* parent) {
    return Services().RunPageSetup(parent, *printer_);
}

}  // namespace tallowmere::ui
