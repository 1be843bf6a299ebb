// The whole data set of one user, as the generator writes it (8 accounts,
// 100,000 register records with transfers and splits, the default lists plus
// 500 payees, 100 categories and 50 scheduled items), loaded with the data
// set's own load. Prints what was loaded, how long it took and the memory
// each transaction takes, each beside its goal: in this process, and in
// fresh processes of the bench driver as the desktop starts (the default
// environment, and with huge pages off), for the data set and for one
// account file of 100,000 rows.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "platform/record_pool.h"
#include "process_runner.h"

namespace tallowmere {
namespace {

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("data-set");
        if (folder.empty()) {
            std::printf("no bench folder\n");
            return;
        }
        // A lock folder of our own: the database lock is shared by every
        // process of the user, and a test run elsewhere must not stall us.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        const auto start = std::chrono::steady_clock::now();
        result = bench::GenerateDataSet(folder + "/data", bench::DataSetOptions{}, &made);
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf(
            "generated in %.0f ms (result %d): %d accounts, %d transactions (%d transfers, %d "
            "splits, %d split-line transfers), %d payees, %d categories, %d scheduled, "
            "net worth %.2f, %.1f MB on disk\n",
            ms, result, made.accounts, made.transactions, made.transfers, made.splits,
            made.splitTransfers, made.payees, made.categories, made.scheduled,
            static_cast<double>(made.netWorth) / 100.0, static_cast<double>(made.bytes) / 1e6);
        std::printf("%s\n", bench::HostLine(DataFolder()).c_str());
        std::fflush(stdout);
    }
    ~Fixture() {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    std::string DataFolder() const { return folder + "/data"; }

    // One account of 100,000 rows (no transfers, so no other account), made
    // on first use; its file, or "" when it could not be made.
    const std::string& AccountFile() {
        if (!accountTried) {
            accountTried = true;
            bench::DataSetOptions one;
            one.accounts = 1;
            one.transferPercent = 0;
            one.splitTransferPercent = 0;
            one.scheduled = 0;
            const std::string data = folder + "/account";
            if (bench::GenerateDataSet(data, one) == 0) {
                std::unique_ptr<CAccounts> set;
                if (CAccounts::LoadInto(set, data, DesktopLoadOptions(HeaderCipher::None())) == 0 &&
                    set->GetAccountCount() == 1)
                    accountFile = set->GetAccountAt(0)->GetPath();
            }
        }
        return accountFile;
    }

    std::string folder;
    int result = -1;
    bench::DataSetSummary made;
    bool accountTried = false;
    std::string accountFile;
    // Fresh-process loads by account (data set, account file): the default
    // environment, then huge pages off.
    std::optional<std::vector<bench::TimedRuns>> fresh[2];
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// As the desktop loads it (no password on this data set).
AccountsLoadOptions DesktopOptions() {
    return DesktopLoadOptions(HeaderCipher::None());
}

std::size_t CountTransactions(const CAccounts& data) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i)
        n += data.GetAccountAt(i)->Transactions().size();
    return n;
}

// Resident pages of this process, in bytes.
std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void Report(benchmark::State& state, const CAccounts& data, const char* target) {
    const std::size_t transactions = CountTransactions(data);
    state.counters["accounts"] = static_cast<double>(data.GetAccountCount());
    state.counters["transactions"] = static_cast<double>(transactions);
    state.counters["net_worth"] = static_cast<double>(data.GetNetWorth(0)) / 100.0;
    char label[160];
    std::snprintf(label, sizeof label, "%zu accounts, %zu transactions, net worth %.2f; %s",
                  data.GetAccountCount(), transactions,
                  static_cast<double>(data.GetNetWorth(0)) / 100.0, target);
    state.SetLabel(label);
}

// Cold: freed memory goes back to the system first, so every load pays its
// page faults as the first load of a new process does. Warm: the heap of the
// previous load is reused.
void BM_LoadDataSet(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("generation failed");
        return;
    }
    const bool cold = state.range(0) != 0;
    const AccountsLoadOptions options = DesktopOptions();
    std::unique_ptr<CAccounts> data;
    for (auto _ : state) {
        state.PauseTiming();
        data.reset();
        if (cold)
            malloc_trim(0);
        state.ResumeTiming();
        AccountsLoadFailure failure;
        if (CAccounts::LoadInto(data, f.DataFolder(), options, &failure) != 0) {
            state.SkipWithError(("load failed: " + failure.path).c_str());
            return;
        }
        benchmark::DoNotOptimize(data.get());
    }
    Report(state, *data,
           cold ? "in process, cold heap; goal <= 100 ms counts in a fresh process (below)"
                : "in process, warm heap; goal <= 100 ms counts in a fresh process (below)");
}
BENCHMARK(BM_LoadDataSet)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_MemoryPerTransaction(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("generation failed");
        return;
    }
    const AccountsLoadOptions options = DesktopOptions();
    double heapPer = 0;
    double residentPer = 0;
    std::unique_ptr<CAccounts> data;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t heapBefore =
            mallinfo2().uordblks + platform::RecordPool::TotalChunkBytes();
        const std::size_t residentBefore = ResidentBytes();
        if (CAccounts::LoadInto(data, f.DataFolder(), options) != 0) {
            state.SkipWithError("load failed");
            return;
        }
        malloc_trim(0);
        const std::size_t heapAfter =
            mallinfo2().uordblks + platform::RecordPool::TotalChunkBytes();
        const std::size_t residentAfter = ResidentBytes();
        const double n = static_cast<double>(CountTransactions(*data));
        heapPer = static_cast<double>(heapAfter - heapBefore) / n;
        residentPer =
            (static_cast<double>(residentAfter) - static_cast<double>(residentBefore)) / n;
        benchmark::DoNotOptimize(data.get());
    }
    state.counters["heap_and_pool_bytes_per_transaction"] = heapPer;
    state.counters["rss_bytes_per_transaction"] = residentPer;
    state.counters["target_bytes"] = 2.7 * 1024;
    Report(state, *data, "whole data set's heap and record pool per transaction; target <= 2.7 KB");
}
BENCHMARK(BM_MemoryPerTransaction)->Unit(benchmark::kMillisecond)->Iterations(1);

// The load as the desktop starts: fresh processes of the bench driver, in
// the default environment and with huge pages off in turns, one unmeasured
// turn, then the median of 5. The time is the load inside the process; the
// whole process (spawn to exit) is a counter.
void BM_LoadFreshProcess(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("generation failed");
        return;
    }
    const bool account = state.range(0) != 0;
    const bool noHugePages = state.range(1) != 0;
    const std::string cli = bench::BenchProgram("tallowmere_cli");
    const std::string path = account ? f.AccountFile() : f.DataFolder();
    if (cli.empty() || path.empty()) {
        state.SkipWithError(cli.empty() ? "tallowmere_cli is not built"
                                        : "the one-account data set failed");
        return;
    }
    std::optional<std::vector<bench::TimedRuns>>& loads = f.fresh[account ? 1 : 0];
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        if (!loads) {
            loads = bench::TimeInTurns({{{cli, "--figures", "load", path}, true, {}},
                                        {{cli, "--figures", "--thp-off", "load", path}, true, {}}});
        }
        timed = &(*loads)[noHugePages ? 1 : 0];
        if (timed->status != 0 || timed->runs.empty()) {
            state.SkipWithError("the driver failed");
            return;
        }
        state.SetIterationTime(bench::MedianFigure(*timed, "load_ms") / 1e3);
    }
    const double transactions = bench::MedianFigure(*timed, "transactions");
    state.counters["transactions"] = transactions;
    state.counters["process_ms"] = timed->medianSeconds * 1e3;
    state.counters["peak_bytes_per_transaction"] =
        static_cast<double>(timed->medianPeakKiB) * 1024 / transactions;
    std::string label = account ? "one account file; goal <= 90 ms" : "data set; goal <= 100 ms";
    label += "; THP " + bench::HugePageMode();
    label += noHugePages ? ", huge pages off for the process" : ", default environment";
    state.SetLabel(label);
}
BENCHMARK(BM_LoadFreshProcess)
    ->ArgNames({"account", "thp_off"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
