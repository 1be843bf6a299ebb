// Building the upcoming list for a year's window: 1,000 items of mixed
// frequencies due from today, and 50 weekly items left since 2000 (a
// catch-up of about 65,000 entries).
#include <benchmark/benchmark.h>

#include <memory>

#include "model/scheduled.h"
#include "model/upcoming.h"
#include "platform/clock.h"

namespace tallowmere {
namespace {

class FixedClock : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override {
        platform::LocalTime now;
        now.year = 2024;
        now.month = 2;
        now.day = 10;
        now.hour = 12;
        return now;
    }
    std::uint32_t TickCount() const override { return 1; }
};

PalmTime Day(int year, int month, int day) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    return f.ToPalmTime();
}

void Fill(CScheduledList& list, int items, PalmTime firstDue, bool mixed) {
    for (int i = 0; i < items; ++i) {
        auto item = std::make_unique<CScheduledItem>();
        item->SetPayee("Payee " + std::to_string(i % 97));
        item->SetAccountId(RecordId::Fixed(static_cast<std::uint16_t>(5 + i % 5)));
        const PalmTime due = firstDue + static_cast<PalmTime>(i % 28) * kSecondsPerDay;
        item->SetNextDue(due);
        item->EditTemplate().SetDate(due);
        item->SetFrequency(mixed ? 1 + i % 9 : kFrequencyWeekly);
        item->SetRepeatCount(kRepeatIndefinitely);
        list.AddItem(std::move(item));
    }
}

void Run(benchmark::State& state, int items, PalmTime firstDue, bool mixed) {
    FixedClock clock;
    platform::SetClock(&clock);
    CScheduledList list;
    Fill(list, items, firstDue, mixed);
    CUpcomingList upcoming;
    std::size_t entries = 0;
    for (auto _ : state) {
        entries = list.BuildUpcoming(kAllAccountsId, kWindowOneYear, upcoming);
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = static_cast<double>(entries);
    platform::SetClock(nullptr);
}

void BM_UpcomingYearOf1000Items(benchmark::State& state) {
    Run(state, 1000, Day(2024, 2, 10), true);
}
BENCHMARK(BM_UpcomingYearOf1000Items)->Unit(benchmark::kMillisecond);

void BM_UpcomingCatchUpSince2000(benchmark::State& state) {
    Run(state, 50, Day(2000, 1, 1), false);
}
BENCHMARK(BM_UpcomingCatchUpSince2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
