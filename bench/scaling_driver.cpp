// One size of the scaling run, in a process of its own so that every size
// starts from a fresh heap:
//
//   scaling_driver generate N FOLDER
//       writes the generated data set of N transactions
//   scaling_driver measure FOLDER
//       loads it as the desktop does, then times the all-time report by
//       category, an edit of one row of the longest register in each sort
//       mode 0-8 (saves off, as the edit is placed before the save) and the
//       save of that register's file
//
// The figures go to stderr as key=value pairs: times in ms (the median of 5
// after one unmeasured run), and for each step the peak resident set above
// what was resident before it, in KiB (load: the whole peak).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/account.h"
#include "model/account_sort.h"
#include "model/accounts.h"
#include "model/report.h"
#include "process_runner.h"

namespace tallowmere {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = bench::kMeasuredRuns;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Put(const char* key, double value) {
    std::fprintf(stderr, "%s=%.4f\n", key, value);
}

// Runs step once unmeasured, then kRuns times; the median in ms. The peak
// resident set above the start goes to extraKiB.
template <class Step>
double TimeStep(Step step, long& extraKiB) {
    const long before = bench::ResidentKiB();
    const bool reset = bench::ResetPeakResident();
    step(0);
    std::vector<double> ms;
    for (int i = 1; i <= kRuns; ++i) {
        const auto start = Clock::now();
        step(i);
        ms.push_back(MillisecondsSince(start));
    }
    extraKiB = reset && before >= 0 ? bench::PeakResidentKiB() - before : -1;
    return bench::Median(ms);
}

int Generate(const std::string& count, const std::string& folder) {
    bench::DataSetOptions options;
    options.transactions = std::atoi(count.c_str());
    if (options.transactions <= 0)
        return 1;
    bench::DataSetSummary made;
    const auto start = Clock::now();
    const int r = bench::GenerateDataSet(folder, options, &made);
    if (r != 0) {
        std::fprintf(stderr, "generation failed (%d)\n", r);
        return 2;
    }
    Put("generate_ms", MillisecondsSince(start));
    Put("transactions", made.transactions);
    Put("accounts", made.accounts);
    Put("bytes", static_cast<double>(made.bytes));
    return 0;
}

// A row of the register that an edit may move freely: no transfer, no split,
// not void; the first such from the middle on.
CTransaction* PickRow(CAccount& account, const CAccounts& data) {
    const auto& rows = account.Transactions();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        CTransaction& t = *rows[(rows.size() / 2 + k) % rows.size()];
        if (t.GetLinkedId().IsNull() && t.GetCategoryId() != SplitMarkerId &&
            !data.IsAccountId(t.GetCategoryId()) && (t.GetStatus() & kStatusVoid) != kStatusVoid)
            return &t;
    }
    return nullptr;
}

// Another payee and category from the register, so that each edit changes
// the keys of every mode.
const CTransaction* PickOther(const CAccount& account, const CTransaction& row,
                              const CAccounts& data) {
    for (const auto& t : account.Transactions()) {
        if (t->GetPayeeName() != row.GetPayeeName() && t->GetCategoryId() != row.GetCategoryId() &&
            t->GetCategoryId() != SplitMarkerId && !data.IsAccountId(t->GetCategoryId()))
            return t.get();
    }
    return nullptr;
}

int Measure(const std::string& folder) {
    const auto loadStart = Clock::now();
    std::unique_ptr<CAccounts> data;
    AccountsLoadFailure failure;
    if (CAccounts::LoadInto(data, folder, DesktopLoadOptions(HeaderCipher::None()), &failure) !=
        0) {
        std::fprintf(stderr, "load failed at %s\n", failure.path.c_str());
        return 2;
    }
    Put("load_ms", MillisecondsSince(loadStart));
    Put("load_peak_kib", static_cast<double>(bench::PeakResidentKiB()));
    std::size_t transactions = 0;
    CAccount* longest = nullptr;
    for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
        CAccount* a = data->GetAccountAt(i);
        transactions += a->Transactions().size();
        if (longest == nullptr || a->Transactions().size() > longest->Transactions().size())
            longest = a;
    }
    Put("transactions", static_cast<double>(transactions));
    if (longest == nullptr)
        return 2;
    Put("register_rows", static_cast<double>(longest->Transactions().size()));

    long extra = 0;
    CReport report(*data);
    report.SetAccountId(kNoneId);
    report.SetGroupBy(kReportByCategory);
    report.SetPeriodKind(kReportCustomRange);
    report.SetRange(0, kPalmTimeMax);
    bool computed = true;
    Put("report_ms", TimeStep([&](int) { computed = computed && report.Compute() == 0; }, extra));
    Put("report_extra_kib", static_cast<double>(extra));
    if (!computed)
        return 2;

    CTransaction* row = PickRow(*longest, *data);
    const CTransaction* other = row ? PickOther(*longest, *row, *data) : nullptr;
    if (other == nullptr) {
        std::fprintf(stderr, "no row to edit\n");
        return 2;
    }
    const std::string payees[2] = {row->GetPayeeName(), other->GetPayeeName()};
    const RecordId categories[2] = {row->GetCategoryId(), other->GetCategoryId()};
    const Cents amounts[2] = {row->GetAmount(), row->GetAmount() + 123457};
    // The edit is timed up to the save, which stays out.
    longest->SetDoNotSave(true);
    long editExtra = 0;
    for (int mode = 0; mode < kSortModeCount; ++mode) {
        longest->SetSortMode(static_cast<std::int16_t>(mode));
        longest->SetSortAscending(true);
        longest->ResortTransactions();
        const double ms = TimeStep(
            [&](int i) {
                // Date, amount, payee and category all change, back and forth.
                CTransaction e(*row);
                const int side = i % 2 == 0 ? 1 : 0;
                e.SetDate(side ? row->GetDate() + 97 * kSecondsPerDay
                               : row->GetDate() - 97 * kSecondsPerDay);
                e.SetAmount(amounts[side]);
                e.SetPayeeName(payees[side]);
                e.SetCategoryId(categories[side]);
                longest->ModifyTransaction(e, *row);
            },
            extra);
        if (extra > editExtra)
            editExtra = extra;
        char key[32];
        std::snprintf(key, sizeof key, "edit_mode%d_ms", mode);
        Put(key, ms);
    }
    Put("edit_extra_kib", static_cast<double>(editExtra));

    longest->SetDoNotSave(false);
    bool saved = true;
    Put("save_ms", TimeStep([&](int) { saved = saved && longest->Save() == 0; }, extra));
    Put("save_extra_kib", static_cast<double>(extra));
    if (!saved) {
        std::fprintf(stderr, "the save failed\n");
        return 2;
    }
    return 0;
}

}  // namespace
}  // namespace tallowmere

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "generate")
        return tallowmere::Generate(args[1], args[2]);
    if (args.size() == 2 && args[0] == "measure")
        return tallowmere::Measure(args[1]);
    std::fprintf(stderr,
                 "usage: scaling_driver generate N FOLDER\n"
                 "       scaling_driver measure FOLDER\n");
    return 1;
}
