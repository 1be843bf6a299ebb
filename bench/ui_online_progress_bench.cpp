// What a progress call of an online exchange costs with the progress window
// open (offscreen): the exchange calls it between reads and for every SGML
// element, so a statement of many transactions calls it very often. Each
// call takes the Cancel flag; the window repaints and handles its events at
// most once per 30 ms. Printed: the time of one call, and how many repaints
// a second of calls makes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <clocale>

#include "exchange/online_progress.h"
#include "ui/online_progress_dlg.h"

namespace tallowmere {
namespace {

void BM_ProgressCall(benchmark::State& state) {
    QWidget owner;
    owner.show();
    ui::COnlineProgressDlg progress(&owner, ui::kStrDownloadingTransactions);
    std::int64_t calls = 0;
    int frames = 0;
    int lastFrame = progress.Frame();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(OnlineProgressStep(&progress));
        ++calls;
        if (progress.Frame() != lastFrame) {
            lastFrame = progress.Frame();
            ++frames;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["repaints_per_s"] = seconds > 0 ? frames / seconds : 0;
    state.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_ProgressCall)->Unit(benchmark::kNanosecond)->MinTime(1.0);

}  // namespace
}  // namespace tallowmere

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_COLLATE, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
