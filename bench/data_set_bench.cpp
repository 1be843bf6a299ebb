// The whole data set of one user, as the generator writes it (8 accounts,
// 100,000 register records with transfers and splits, the default lists plus
// 500 payees, 100 categories and 50 scheduled items), loaded with the data
// set's own load. Prints what was loaded, how long it took and the memory
// each transaction takes, each beside its target.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/accounts.h"

namespace tallowmere {
namespace {

struct Fixture {
    Fixture() {
        folder = (std::filesystem::temp_directory_path() /
                  ("tallowmere-data-set-bench-" + std::to_string(getpid())))
                     .string();
        std::filesystem::remove_all(folder);
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
        std::fflush(stdout);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    std::string DataFolder() const { return folder + "/data"; }

    std::string folder;
    int result = -1;
    bench::DataSetSummary made;
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
    Report(state, *data, cold ? "cold heap; target <= 300 ms" : "warm heap; target <= 300 ms");
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
        const std::size_t heapBefore = mallinfo2().uordblks;
        const std::size_t residentBefore = ResidentBytes();
        if (CAccounts::LoadInto(data, f.DataFolder(), options) != 0) {
            state.SkipWithError("load failed");
            return;
        }
        malloc_trim(0);
        const std::size_t heapAfter = mallinfo2().uordblks;
        const std::size_t residentAfter = ResidentBytes();
        const double n = static_cast<double>(CountTransactions(*data));
        heapPer = static_cast<double>(heapAfter - heapBefore) / n;
        residentPer =
            (static_cast<double>(residentAfter) - static_cast<double>(residentBefore)) / n;
        benchmark::DoNotOptimize(data.get());
    }
    state.counters["heap_bytes_per_transaction"] = heapPer;
    state.counters["rss_bytes_per_transaction"] = residentPer;
    state.counters["target_bytes"] = 2.7 * 1024;
    Report(state, *data, "whole data set's heap per transaction; target <= 2.7 KB");
}
BENCHMARK(BM_MemoryPerTransaction)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tallowmere
