// A report by category over all accounts of a data set of 100,000
// transactions (five accounts, the thirty default categories, splits and
// transfers, seven years): one year and all time, each beside its goal.
// The same transactions are written as a ledger journal; load + report is
// then timed process against process: our driver on the data folder, ledger
// and hledger balance on the journal, each printed with its ratio to ours.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench_host.h"
#include "ledger_journal.h"
#include "model/accounts.h"
#include "model/report.h"
#include "model/transaction_type.h"
#include "process_runner.h"

namespace tallowmere {
namespace {

using bench::LedgerAmount;

constexpr int kTransactions = 100000;
constexpr int kFirstYear = 2019;
constexpr int kYears = 7;
constexpr int kReportYear = 2023;

struct Payee {
    const char* name;
    std::size_t category;  // index into kDefaultCategories (0 Salary, 10 Groceries, ...)
    Cents low;
    Cents high;
    bool income;
};

// Payees with their usual category and amount range, so that the rows fill
// unevenly as a real register would.
constexpr std::array<Payee, 24> kPayees = {{
    {"Paycheck", 0, 180000, 320000, true},
    {"Interest", 14, 10, 4000, true},
    {"Quick Lube", 1, 3000, 12000, false},
    {"Fuel Stop #42", 2, 2500, 8000, false},
    {"State Farm Agency", 3, 8000, 40000, false},
    {"Main St. Outfitters", 5, 1500, 20000, false},
    {"Trattoria Roma", 6, 2000, 14000, false},
    {"Bookshop on the Hill", 7, 900, 6000, false},
    {"Cinema 8", 8, 1200, 4000, false},
    {"Gift Shop", 9, 500, 15000, false},
    {"Corner Grocery", 10, 1500, 18000, false},
    {"Fresh Market", 10, 800, 9000, false},
    {"Blue Ridge Mortgage", 11, 120000, 180000, false},
    {"Hardware Barn", 11, 700, 25000, false},
    {"Dr. Patel", 13, 2000, 30000, false},
    {"Main St. Pharmacy", 13, 500, 6000, false},
    {"StreamFlix", 16, 999, 1999, false},
    {"County Tax Office", 17, 20000, 90000, false},
    {"Skyway Airlines", 20, 15000, 80000, false},
    {"Cable Vision", 23, 6000, 11000, false},
    {"Metro Gas", 24, 2000, 15000, false},
    {"City Power & Light", 25, 4000, 21000, false},
    {"City Water", 26, 2000, 6000, false},
    {"Harbor Inn", 29, 9000, 40000, false},
}};

PalmTime MakeDate(int year, int month, int day, int hour, int minute, int second) {
    DateFields f;
    f.year = static_cast<std::int16_t>(year);
    f.month = static_cast<std::int16_t>(month);
    f.day = static_cast<std::int16_t>(day);
    f.hour = static_cast<std::int16_t>(hour);
    f.minute = static_cast<std::int16_t>(minute);
    f.second = static_cast<std::int16_t>(second);
    return f.ToPalmTime();
}

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("report");
        if (folder.empty()) {
            error = "no bench folder";
            return;
        }
        // A lock folder of our own: the data set lock is per user, and a run
        // elsewhere must not stall us.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        dataFolder = folder + "/data";
        journal = folder + "/journal.ledger";
        std::filesystem::create_directories(dataFolder);
        if (!Generate())
            return;
        std::printf("%s\n", bench::HostLine(dataFolder).c_str());
        std::fflush(stdout);
        data = std::make_unique<CAccounts>();
        if (data->Load(dataFolder, {}) != 0)
            error = "load failed";
    }
    ~Fixture() {
        data.reset();
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    bool Generate() {
        CAccounts gen;
        if (gen.Load(dataFolder, {}) != 0 || gen.GetAccountCount() < 3) {
            error = "cannot create the data set";
            return false;
        }
        std::vector<CAccount*> accounts;
        std::vector<std::string> accountNames;
        for (std::size_t i = 0; i < gen.GetAccountCount(); ++i) {
            CAccount* a = gen.GetAccountAt(i);
            // Checking first: most of the register lives there.
            const auto at = a->Header().GetType() == kChecking ? accounts.begin() : accounts.end();
            accountNames.insert(
                accountNames.begin() + (at - accounts.begin()),
                (a->Header().GetType() == kCreditCard ? "Liabilities:" : "Assets:") +
                    a->Header().GetName());
            accounts.insert(at, a);
        }
        std::vector<RecordId> categories;
        std::vector<std::string> categoryNames;
        for (const DefaultCategory& c : kDefaultCategories) {
            categories.push_back(RecordId::Fixed(c.code));
            categoryNames.push_back("Categories:" +
                                    gen.Categories().GetFullNameById(categories.back()));
        }

        std::ofstream out(journal);
        std::mt19937 rng(7);
        const auto pick = [&rng](std::uint32_t n) { return rng() % n; };
        for (int i = 0; i < kTransactions; ++i) {
            const int year = kFirstYear + static_cast<int>(pick(kYears));
            const int month = 1 + static_cast<int>(pick(12));
            const int day =
                1 + static_cast<int>(pick(static_cast<std::uint32_t>(DaysInMonth(month, year))));
            const PalmTime date = MakeDate(year, month, day, 12, 0, 0);
            char dateText[40];
            std::snprintf(dateText, sizeof dateText, "%04d/%02d/%02d", year, month, day);

            // Most activity in checking, the rest on the cards and savings.
            const std::size_t from =
                pick(10) < 6 ? 0 : 1 + pick(static_cast<std::uint32_t>(accounts.size() - 1));
            const Payee& p = kPayees[pick(kPayees.size())];
            auto t = std::make_unique<CTransaction>();
            t->SetDate(date);
            t->SetPayeeName(p.name);
            t->SetStatus(static_cast<std::uint8_t>(pick(3) * 0x40 % 0xC0));
            const Cents amount =
                p.low + static_cast<Cents>(pick(static_cast<std::uint32_t>(p.high - p.low)));
            t->SetAmount(amount);
            out << dateText << ' ' << p.name << '\n';

            if (i % 12 == 6) {
                // A transfer: a card payment or a move to savings.
                const std::size_t to =
                    (from + 1 + pick(static_cast<std::uint32_t>(accounts.size() - 1))) %
                    accounts.size();
                t->SetTypeId(WithdrawalTypeId);
                t->SetPayeeName("Transfer");
                t->SetCategoryId(accounts[to]->Header().GetId());
                auto m = std::make_unique<CTransaction>();
                m->SetDate(date);
                m->SetPayeeName("Transfer");
                m->SetTypeId(DepositTypeId);
                m->SetAmount(amount);
                m->SetCategoryId(accounts[from]->Header().GetId());
                m->SetLinkedId(t->GetId());
                t->SetLinkedId(m->GetId());
                accounts[to]->AddTransaction(std::move(m));
                out << "    " << accountNames[to] << "  " << LedgerAmount(amount) << '\n';
            } else if (i % 10 == 3) {
                // A split over two to four categories; the lines add up.
                t->SetTypeId(WithdrawalTypeId);
                t->SetCategoryId(SplitMarkerId);
                const std::size_t lines = 2 + pick(3);
                Cents left = amount;
                for (std::size_t l = 0; l < lines; ++l) {
                    const Cents part = l + 1 == lines ? left : left / 2;
                    left -= part;
                    const std::size_t c = pick(static_cast<std::uint32_t>(categories.size()));
                    t->SetSplitCategoryId(l, categories[c]);
                    t->SetSplitAmount(l, part);
                    out << "    " << categoryNames[c] << "  " << LedgerAmount(part) << '\n';
                }
            } else {
                // One in twenty goes to some other category than the payee's.
                const std::size_t c = pick(20) == 0
                                          ? pick(static_cast<std::uint32_t>(categories.size()))
                                          : p.category;
                t->SetTypeId(p.income ? DepositTypeId
                                      : (pick(4) == 0 ? CheckTypeId : WithdrawalTypeId));
                t->SetCategoryId(categories[c]);
                out << "    " << categoryNames[c] << "  "
                    << LedgerAmount(p.income ? -amount : amount) << '\n';
            }
            out << "    " << accountNames[from] << "\n\n";
            accounts[from]->AddTransaction(std::move(t));
        }
        out.close();
        if (!out || gen.Save() != 0) {
            error = "cannot write the data set";
            return false;
        }
        return true;
    }

    std::string error;
    std::string folder;
    std::string dataFolder;
    std::string journal;
    std::unique_ptr<CAccounts> data;
    // Whole-process runs by program and period, made once each.
    std::map<std::pair<int, bool>, bench::TimedRuns> processes;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void SetYear(CReport& report) {
    report.SetRange(MakeDate(kReportYear, 1, 1, 0, 0, 0),
                    MakeDate(kReportYear, 12, 31, 23, 59, 59));
}

void SetAllTime(CReport& report) {
    report.SetRange(0, kPalmTimeMax);
}

void Prepare(CReport& report, bool year) {
    report.SetAccountId(kNoneId);
    report.SetGroupBy(kReportByCategory);
    report.SetPeriodKind(kReportCustomRange);
    if (year)
        SetYear(report);
    else
        SetAllTime(report);
}

void RunReport(benchmark::State& state, bool year, const char* label) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    CReport report(*f.data);
    Prepare(report, year);
    for (auto _ : state) {
        if (report.Compute() != 0) {
            state.SkipWithError("compute failed");
            break;
        }
        benchmark::DoNotOptimize(report.GetTotal());
    }
    state.counters["rows"] = static_cast<double>(report.GetItemCount());
    state.SetLabel(label);
}

void BM_ReportByCategoryYear(benchmark::State& state) {
    RunReport(state, true, "in process; no goal of its own (target <= 20 ms)");
}
BENCHMARK(BM_ReportByCategoryYear)->Unit(benchmark::kMillisecond);

void BM_ReportByCategoryAllTime(benchmark::State& state) {
    RunReport(state, false, "in process; goal <= 10 ms");
}
BENCHMARK(BM_ReportByCategoryAllTime)->Unit(benchmark::kMillisecond);

// Load + report, each program a fresh process on the same transactions, the
// programs taking turns.
enum Program { kOurs, kLedger, kHledger };
constexpr std::array<const char*, 3> kProgramNames = {"ours", "ledger", "hledger"};

std::string ProgramPath(Program p) {
    return p == kOurs ? bench::BenchProgram("tallowmere_cli")
                      : bench::FindProgram(kProgramNames[p]);
}

std::vector<std::string> CommandOf(Program p, const Fixture& f, bool year) {
    const std::string path = ProgramPath(p);
    if (p == kOurs) {
        std::vector<std::string> args = {path, "--figures", "report", f.dataFolder};
        if (year)
            args.insert(args.end(), {"--year", std::to_string(kReportYear)});
        return args;
    }
    std::vector<std::string> args = {path, "-f", f.journal, "balance"};
    if (year) {
        // The peers' end date is exclusive.
        args.insert(args.end(), {"-b", std::to_string(kReportYear) + "/01/01", "-e",
                                 std::to_string(kReportYear + 1) + "/01/01"});
    }
    args.push_back("^Categories");
    return args;
}

// Every installed program on the period, in turns: one unmeasured turn,
// then the median of 5. Null when the program is missing or failed.
const bench::TimedRuns* TimedProcess(Fixture& f, Program p, bool year) {
    if (f.processes.find(std::make_pair(static_cast<int>(kOurs), year)) == f.processes.end()) {
        std::vector<Program> programs;
        std::vector<bench::Command> commands;
        for (Program q : {kOurs, kLedger, kHledger}) {
            if (ProgramPath(q).empty())
                continue;
            programs.push_back(q);
            commands.push_back({CommandOf(q, f, year), q == kOurs, {}});
        }
        std::vector<bench::TimedRuns> timed = bench::TimeInTurns(commands);
        for (std::size_t i = 0; i < programs.size(); ++i)
            f.processes.emplace(std::make_pair(static_cast<int>(programs[i]), year),
                                std::move(timed[i]));
    }
    const auto found = f.processes.find(std::make_pair(static_cast<int>(p), year));
    return found != f.processes.end() && found->second.status == 0 ? &found->second : nullptr;
}

void RunProcesses(benchmark::State& state, Program p) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    const bool year = state.range(0) != 0;
    if (ProgramPath(p).empty()) {
        state.SkipWithError(
            p == kOurs
                ? "tallowmere_cli is not built"
                : (std::string(kProgramNames[p]) + " is not installed (make bench-deps)").c_str());
        return;
    }
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        timed = TimedProcess(f, p, year);
        if (timed == nullptr) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(timed->medianSeconds);
    }
    state.counters["peak_MiB"] = static_cast<double>(timed->medianPeakKiB) / 1024;
    std::string label = year ? "one year" : "all time";
    if (p == kOurs) {
        state.counters["load_ms"] = bench::MedianFigure(*timed, "load_ms");
        state.counters["report_ms"] = bench::MedianFigure(*timed, "report_ms");
        label += ", tallowmere_cli report";
    } else {
        label += std::string(", ") + kProgramNames[p] + " balance";
        const bench::TimedRuns* ours = TimedProcess(f, kOurs, year);
        if (ours != nullptr && ours->medianSeconds > 0) {
            state.counters[std::string(kProgramNames[p]) + "/ours"] =
                timed->medianSeconds / ours->medianSeconds;
        }
        if (p == kLedger && !year)
            label += "; goal: ledger/ours >= 8";
    }
    state.SetLabel(label + "; processes in turns, median of 5");
}

void BM_OursLoadAndReport(benchmark::State& state) {
    RunProcesses(state, kOurs);
}
void BM_LedgerLoadAndReport(benchmark::State& state) {
    RunProcesses(state, kLedger);
}
void BM_HledgerLoadAndReport(benchmark::State& state) {
    RunProcesses(state, kHledger);
}
BENCHMARK(BM_OursLoadAndReport)
    ->ArgName("year")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LedgerLoadAndReport)
    ->ArgName("year")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HledgerLoadAndReport)
    ->ArgName("year")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
