// Writing and reading an array of 100,000 transactions through the object
// stream, in memory, as an account file holds them.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <vector>

#include "model/archive.h"
#include "model/transaction.h"

namespace tallowmere {
namespace {

constexpr int kTransactions = 100000;

std::vector<std::unique_ptr<CTransaction>> MakeTransactions() {
    std::vector<std::unique_ptr<CTransaction>> list;
    list.reserve(kTransactions);
    for (int i = 0; i < kTransactions; ++i) {
        auto t = std::make_unique<CTransaction>();
        t->SetAmount(100 + i);
        t->SetDate(static_cast<PalmTime>(3'500'000'000u + i * 60u));
        t->SetPayeeName("Corner Grocery");
        t->SetMemo("weekly shopping");
        if (i % 10 == 0) {
            t->SetCategoryId(SplitMarkerId);
            t->SetSplitAmount(0, 60);
            t->SetSplitAmount(1, 40 + i);
            t->SetSplitMemo(0, "milk");
        }
        list.push_back(std::move(t));
    }
    return list;
}

void BM_WriteTransactions(benchmark::State& state) {
    auto list = MakeTransactions();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CArchive ar;
        WriteObjectList(ar, list);
        bytes = ar.Data().size();
        benchmark::DoNotOptimize(ar.Data().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["stream_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteTransactions)->Unit(benchmark::kMillisecond);

void BM_ReadTransactions(benchmark::State& state) {
    auto list = MakeTransactions();
    CArchive out;
    WriteObjectList(out, list);
    const std::vector<std::uint8_t> data = out.TakeData();
    for (auto _ : state) {
        CArchive ar(data);
        auto back = ReadOwnedObjectList<CTransaction>(ar, nullptr);
        if (back.size() != list.size())
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(data.size()) * state.iterations());
}
BENCHMARK(BM_ReadTransactions)->Unit(benchmark::kMillisecond);

// The records take 2.5 KB each in memory, so a cold read is bound by the
// kernel handing out fresh pages; with the heap kept between iterations the
// figure shows the parse itself. Runs last: the setting is process-wide.
void BM_ReadTransactionsWarmHeap(benchmark::State& state) {
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, 1 << 28);
    BM_ReadTransactions(state);
}
BENCHMARK(BM_ReadTransactionsWarmHeap)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
