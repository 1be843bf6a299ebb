// How the figures grow with the data: the generated data set at 10,000 and
// 100,000 transactions (1,000,000 too when TALLOWMERE_BENCH_1M is set), each
// size written and measured in processes of its own. Printed per size: the
// load (fresh processes in the default environment, and with huge pages
// off), the all-time report by category, an edit of one row of the longest
// register in every sort mode (saves off) and the save of that register, as
// time and peak memory per transaction, each beside its goal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_host.h"
#include "model/account_sort.h"
#include "process_runner.h"

namespace tallowmere {
namespace {

using bench::FigureIn;

// The goals hold at 100,000 transactions (the register of the save and the
// edit being one account of 100,000 rows); per transaction they give the
// line each size is read against.
constexpr double kLoadGoalMs = 100;
constexpr double kReportGoalMs = 10;
constexpr double kSaveGoalMs = 70;
constexpr double kEditGoalMs = 5;
constexpr double kGoalSize = 100000;
constexpr double kMemoryTargetBytes = 2.7 * 1024;

std::string Grouped(double value) {
    std::string digits = std::to_string(static_cast<long long>(value));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

void PrintRow(const char* step, double ms, double perCount, double kib, double count,
              const std::string& goal) {
    std::printf("  %-28s %9.2f %9.0f %10.0f %8.0f   %s\n", step, ms, ms * 1e6 / perCount, kib,
                kib * 1024 / count, goal.c_str());
}

std::string GoalPer(double goalMs, const char* unit) {
    char text[96];
    std::snprintf(text, sizeof text, "goal <= %.0f ms at 100k (%.0f ns/%s)", goalMs,
                  goalMs * 1e6 / kGoalSize, unit);
    return text;
}

void BM_Scaling(benchmark::State& state) {
    const std::string cli = bench::BenchProgram("tallowmere_cli");
    const std::string driver = bench::BenchProgram("scaling_driver");
    if (cli.empty() || driver.empty()) {
        state.SkipWithError("tallowmere_cli or scaling_driver is not built");
        return;
    }
    const std::string size = std::to_string(state.range(0));
    const std::string folder = bench::MakeBenchFolder("scaling-" + size);
    if (folder.empty()) {
        state.SkipWithError("no bench folder");
        return;
    }
    // A lock folder of our own: the database lock is per user.
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    const std::string data = folder + "/data";

    for (auto _ : state) {
        const bench::ProcessRun made = bench::RunProcess({driver, "generate", size, data}, true);
        if (made.status != 0) {
            state.SkipWithError(("generation failed: " + made.errors).c_str());
            break;
        }
        // The default environment and huge pages off, in turns.
        const std::vector<bench::TimedRuns> loads =
            bench::TimeInTurns({{{cli, "--figures", "load", data}, true, {}},
                                {{cli, "--figures", "--thp-off", "load", data}, true, {}}});
        const bench::TimedRuns& load = loads[0];
        const bench::TimedRuns& loadNoHuge = loads[1];
        const bench::ProcessRun measured = bench::RunProcess({driver, "measure", data}, true);
        if (load.status != 0 || loadNoHuge.status != 0 || measured.status != 0) {
            state.SkipWithError(("measuring failed: " + measured.errors).c_str());
            break;
        }
        const std::string& m = measured.errors;
        const double n = FigureIn(made.errors, "transactions");
        const double rows = FigureIn(m, "register_rows");
        const double loadMs = bench::MedianFigure(load, "load_ms");
        const double loadOffMs = bench::MedianFigure(loadNoHuge, "load_ms");

        std::printf(
            "\n%s transactions: %.0f accounts, %.1f MB, longest register %s rows (generated in "
            "%.0f ms); %s\n",
            Grouped(n).c_str(), FigureIn(made.errors, "accounts"),
            FigureIn(made.errors, "bytes") / 1e6, Grouped(rows).c_str(),
            FigureIn(made.errors, "generate_ms"), bench::HostLine(data).c_str());
        std::printf("  %-28s %9s %9s %10s %8s\n", "step (median of 5)", "ms", "ns/tx", "peak KiB",
                    "B/tx");
        char memoryGoal[64];
        std::snprintf(memoryGoal, sizeof memoryGoal, "; memory target <= %.1f KB/tx",
                      kMemoryTargetBytes / 1024);
        PrintRow("load, fresh process", loadMs, n, static_cast<double>(load.medianPeakKiB), n,
                 GoalPer(kLoadGoalMs, "tx") + memoryGoal);
        PrintRow("load, huge pages off", loadOffMs, n,
                 static_cast<double>(loadNoHuge.medianPeakKiB), n, "the same goal");
        std::printf("  %-28s %9.2f (whole process, spawn to exit)\n", "  load process",
                    load.medianSeconds * 1e3);
        PrintRow("report, all time", FigureIn(m, "report_ms"), n, FigureIn(m, "report_extra_kib"),
                 n, GoalPer(kReportGoalMs, "tx") + "; above loaded");
        PrintRow("save of the register", FigureIn(m, "save_ms"), rows,
                 FigureIn(m, "save_extra_kib"), rows,
                 GoalPer(kSaveGoalMs, "row") + "; fsync included; per row");
        double editMax = 0;
        for (int mode = 0; mode < kSortModeCount; ++mode) {
            const double ms = FigureIn(m, "edit_mode" + std::to_string(mode) + "_ms");
            editMax = std::max(editMax, ms);
            char step[40];
            std::snprintf(step, sizeof step, "edit, sort mode %d", mode);
            char goal[64];
            std::snprintf(goal, sizeof goal, "goal <= %.0f ms; per row", kEditGoalMs);
            PrintRow(step, ms, rows, FigureIn(m, "edit_extra_kib"), rows, goal);
        }
        std::fflush(stdout);

        state.SetIterationTime(loadMs / 1e3);
        state.counters["load_ms"] = loadMs;
        state.counters["load_no_thp_ms"] = loadOffMs;
        state.counters["report_ms"] = FigureIn(m, "report_ms");
        state.counters["save_ms"] = FigureIn(m, "save_ms");
        state.counters["edit_worst_ms"] = editMax;
        state.counters["load_peak_B_per_tx"] = static_cast<double>(load.medianPeakKiB) * 1024 / n;
    }
    state.SetLabel("time: the fresh-process load; figures above");
    std::filesystem::remove_all(folder);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000);
    const char* big = std::getenv("TALLOWMERE_BENCH_1M");
    if (big != nullptr && *big != '\0' && std::string(big) != "0")
        b->Arg(1000000);
}
BENCHMARK(BM_Scaling)->Apply(Sizes)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
