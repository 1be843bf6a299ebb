// A register of 100,000 rows (one generated account) printed to a PDF file
// at the printer's high resolution (1200 dpi, letter paper): the time of
// the whole job beside its goal of 10 s, the pages, the file's size, and how
// far the resident memory rose while printing. The same for 10,000 rows: the
// pages are painted one at a time, so ten times the rows must not take ten
// times the memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "ui/logic/print_job.h"
#include "ui/tallowmere_printing.h"

namespace tallowmere {
namespace {

constexpr double kGoalSeconds = 10.0;

// The painting needs the application object's fonts; no window is shown.
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "print_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

struct Register {
    std::string folder;
    std::unique_ptr<CAccounts> data;
    int result = -1;
};

// One account of about rows rows, generated on first use.
Register& RegisterOf(int rows) {
    static std::map<int, std::unique_ptr<Register>> made;
    auto& slot = made[rows];
    if (slot)
        return *slot;
    slot = std::make_unique<Register>();
    slot->folder = bench::MakeBenchFolder("print-" + std::to_string(rows));
    if (slot->folder.empty())
        return *slot;
    // A lock folder of our own: the database lock is shared by every
    // process of the user.
    setenv("XDG_RUNTIME_DIR", slot->folder.c_str(), 1);
    bench::DataSetOptions one;
    one.accounts = 1;
    one.transactions = rows;
    one.transferPercent = 0;
    one.splitTransferPercent = 0;
    one.scheduled = 0;
    const std::string data = slot->folder + "/data";
    slot->result = bench::GenerateDataSet(data, one);
    if (slot->result == 0)
        slot->result =
            CAccounts::LoadInto(slot->data, data, DesktopLoadOptions(HeaderCipher::None()));
    if (slot->result == 0)
        std::printf("%s\n", bench::HostLine(data).c_str());
    return *slot;
}

void BM_PrintRegisterToPdf(benchmark::State& state) {
    App();
    Register& reg = RegisterOf(static_cast<int>(state.range(0)));
    if (reg.result != 0 || reg.data->GetAccountCount() == 0) {
        state.SkipWithError("the register could not be made");
        return;
    }
    ui::PrintViewState view;
    view.currentAccount = reg.data->GetAccountAt(0);
    const ui::PrintJob job = ui::MakePrintJob(*reg.data, view);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    const QString path = QString::fromStdString(reg.folder + "/register.pdf");
    int pages = 0;
    double seconds = 0;
    long rise = -1;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
        ui::CTallowmerePrinting printing;
        const long before = bench::ResidentKiB();
        bench::ResetPeakResident();
        const auto start = std::chrono::steady_clock::now();
        pages = ui::PrintDocument(printer, printing, job, font);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peak = bench::PeakResidentKiB();
        rise = before >= 0 && peak >= 0 ? peak - before : -1;
    }
    const double megabytes = static_cast<double>(QFileInfo(path).size()) / 1e6;
    const std::size_t rows = view.currentAccount->Transactions().size();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = megabytes;
    state.counters["rss_rise_MB"] = static_cast<double>(rise) / 1024.0;
    char label[200];
    std::snprintf(label, sizeof label,
                  "%zu rows, %d pages in %.2f s (goal %.0f s for 100,000 rows), %.1f ms a page, "
                  "%.1f MB of PDF, resident memory +%.1f MB",
                  rows, pages, seconds, kGoalSeconds, pages > 0 ? seconds * 1000.0 / pages : 0.0,
                  megabytes, static_cast<double>(rise) / 1024.0);
    state.SetLabel(label);
}
BENCHMARK(BM_PrintRegisterToPdf)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
}  // namespace tallowmere
