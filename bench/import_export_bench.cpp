// Export and import of 100,000 transactions in QIF and in CSV, each way
// beside its target: every register entry of a generated data set (eight
// accounts, splits and transfers, years of entries), in date order, is
// written to one file, and the file is read into a new account of a fresh
// data set, the saves of the import included (the account's file, the
// accounts that got transfer mirrors, the lists). ledger and hledger read the
// same transactions from their journal; each is timed process against
// process with our driver importing the files, and its ratio to ours printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "ledger_journal.h"
#include "model/accounts.h"
#include "model/paths.h"
#include "process_runner.h"

namespace tallowmere {
namespace {

using exchange::CCSVExporter;
using exchange::CCSVImporter;
using exchange::CQIFExporter;
using exchange::CQIFImporter;

constexpr int kTransactions = 100000;
constexpr const char* kTarget = "target <= 1 s";

std::string LedgerAccount(const CAccount& a) {
    const std::uint8_t type = a.Header().GetType();
    return (type == kCreditCard || type == kLiability || type == kLineOfCredit ? "Liabilities:"
                                                                               : "Assets:") +
           a.Header().GetName();
}

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("exchange");
        if (folder.empty()) {
            error = "no bench folder";
            return;
        }
        // A lock folder of our own: the data set lock is per user.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        const std::string data = folder + "/data";
        files = folder + "/files";
        std::filesystem::create_directories(files);
        bench::DataSetOptions shape;
        shape.transactions = kTransactions;
        if (bench::GenerateDataSet(data, shape) != 0) {
            error = "cannot generate the data set";
            return;
        }
        AccountsLoadFailure failure;
        if (CAccounts::LoadInto(source, data, {}, &failure) != 0) {
            error = "cannot load the data set: " + failure.path;
            return;
        }
        for (std::size_t i = 0; i < source->GetAccountCount(); ++i) {
            for (const auto& t : source->GetAccountAt(i)->Transactions())
                all.push_back(t.get());
        }
        std::stable_sort(all.begin(), all.end(), [](const CTransaction* a, const CTransaction* b) {
            return a->GetDate() < b->GetDate();
        });
        transactions = all.size();
        // The files the imports read.
        if (Export<CQIFExporter>("qif") != 0 || Export<CCSVExporter>("csv") != 0) {
            error = "export failed";
            return;
        }
        WriteJournal();
        std::printf("%s\n", bench::HostLine(files).c_str());
        std::fflush(stdout);
    }
    ~Fixture() {
        source.reset();
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    std::string FileOf(const char* extension) const { return files + "/all." + extension; }

    // Every transaction to one file; 0 or the error.
    template <class Exporter>
    int Export(const char* extension) {
        Exporter exporter;
        exporter.SetAccounts(source.get());
        return exporter.ExportTransactions(FileOf(extension), *source->GetAccountAt(0), all);
    }

    // Every register entry as one journal entry, splits as postings.
    void WriteJournal() {
        journal = folder + "/journal.ledger";
        std::ofstream out(journal);
        for (std::size_t i = 0; i < source->GetAccountCount(); ++i) {
            const CAccount& a = *source->GetAccountAt(i);
            const std::string account = LedgerAccount(a);
            for (const auto& t : a.Transactions()) {
                const DateFields d = DateFields::FromPalmTime(t->GetDate());
                char day[48];
                std::snprintf(day, sizeof day, "%04d/%02d/%02d", d.year, d.month, d.day);
                out << day << ' ' << t->GetPayeeName() << '\n';
                const Cents sign = t->IsOutflow() ? -1 : 1;
                const auto category = [&](const RecordId& id) {
                    if (const CAccount* other = source->FindAccountById(id))
                        return LedgerAccount(*other);
                    const std::string name = source->Categories().GetFullNameById(id);
                    return "Categories:" + (name.empty() ? std::string("None") : name);
                };
                if (t->GetCategoryId() == SplitMarkerId) {
                    for (std::size_t l = 0; l < kSplitLineCount; ++l) {
                        if (t->GetSplitAmount(l) != 0)
                            out << "    " << category(t->GetSplitCategoryId(l)) << "  "
                                << bench::LedgerAmount(-sign * t->GetSplitAmount(l)) << '\n';
                    }
                    // What the lines do not cover.
                    out << "    " << account << "  " << bench::LedgerAmount(sign * t->GetAmount())
                        << "\n    Categories:Rest\n\n";
                } else {
                    out << "    " << category(t->GetCategoryId()) << "  "
                        << bench::LedgerAmount(-sign * t->GetAmount()) << "\n    " << account
                        << "\n\n";
                }
            }
        }
        if (!out)
            error = "cannot write the journal";
    }

    std::string error;
    std::string folder;
    std::string files;
    std::string journal;
    std::unique_ptr<CAccounts> source;
    std::vector<const CTransaction*> all;
    std::size_t transactions = 0;
    // The whole-process runs by name ("qif" and "csv" for our driver's
    // imports, "ledger", "hledger"), made once.
    std::optional<std::map<std::string, bench::TimedRuns>> processes;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

template <class Exporter>
void RunExport(benchmark::State& state, const char* extension) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    for (auto _ : state) {
        if (f.Export<Exporter>(extension) != 0) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.counters["transactions"] = static_cast<double>(f.transactions);
    state.SetLabel(kTarget);
}

// Each run reads the file into a new account of a fresh data set (the
// default accounts and lists; transfer texts find or make their accounts).
template <class Importer>
void RunImport(benchmark::State& state, const char* extension) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string data = f.folder + "/import" + std::to_string(run++);
        std::unique_ptr<CAccounts> set;
        if (CAccounts::LoadInto(set, data, {}) != 0) {
            state.SkipWithError("cannot make the data set");
            break;
        }
        auto account = std::make_unique<CAccount>();
        account->Header().SetName("Imported");
        account->MakeFilePath(data, "Imported");
        CAccount* target = set->InsertAccount(std::move(account));
        state.ResumeTiming();

        Importer importer;
        importer.SetAccounts(set.get());
        importer.SetTargetAccount(target);
        const int r = importer.Import(f.FileOf(extension));

        state.PauseTiming();
        if (r != 0 || importer.GetFormatError() != 0)
            state.SkipWithError("import failed");
        else if (importer.GetImportedCount() != f.transactions)
            state.SkipWithError("not every transaction was read");
        set.reset();
        std::filesystem::remove_all(data);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.counters["transactions"] = static_cast<double>(f.transactions);
    state.SetLabel(kTarget);
}

void BM_QifExport(benchmark::State& state) {
    RunExport<CQIFExporter>(state, "qif");
}
BENCHMARK(BM_QifExport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QifImport(benchmark::State& state) {
    RunImport<CQIFImporter>(state, "qif");
}
BENCHMARK(BM_QifImport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvExport(benchmark::State& state) {
    RunExport<CCSVExporter>(state, "csv");
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CsvImport(benchmark::State& state) {
    RunImport<CCSVImporter>(state, "csv");
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr std::array<const char*, 2> kFormats = {"qif", "csv"};
constexpr std::array<const char*, 2> kPeers = {"ledger", "hledger"};

// Our driver importing each file into a fresh data set, and the installed
// peers reading the journal ("stats" reads every transaction and prints a
// few lines), as whole processes in turns: one unmeasured turn, then the
// median of 5. Null when the program is missing or failed.
const bench::TimedRuns* Process(Fixture& f, const std::string& name) {
    if (!f.processes) {
        std::vector<std::string> names;
        std::vector<bench::Command> commands;
        const std::string cli = bench::BenchProgram("tallowmere_cli");
        const std::string data = f.folder + "/driver-import";
        for (const char* format : kFormats) {
            if (cli.empty())
                break;
            names.push_back(format);
            commands.push_back({{cli, "--figures", "import", format, f.FileOf(format), data},
                                true,
                                [data] { std::filesystem::remove_all(data); }});
        }
        for (const char* peer : kPeers) {
            const std::string program = bench::FindProgram(peer);
            if (program.empty())
                continue;
            names.push_back(peer);
            commands.push_back({{program, "-f", f.journal, "stats"}, false, {}});
        }
        std::vector<bench::TimedRuns> timed = bench::TimeInTurns(commands);
        std::filesystem::remove_all(data);
        f.processes.emplace();
        for (std::size_t i = 0; i < names.size(); ++i)
            f.processes->emplace(names[i], std::move(timed[i]));
    }
    const auto found = f.processes->find(name);
    return found != f.processes->end() && found->second.status == 0 ? &found->second : nullptr;
}

void BM_OursImportProcess(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    const char* format = kFormats[static_cast<std::size_t>(state.range(0))];
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        timed = Process(f, format);
        if (timed == nullptr) {
            state.SkipWithError("tallowmere_cli is not built or failed");
            return;
        }
        state.SetIterationTime(timed->medianSeconds);
    }
    state.counters["import_ms"] = bench::MedianFigure(*timed, "import_ms");
    state.counters["peak_MiB"] = static_cast<double>(timed->medianPeakKiB) / 1024;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.SetLabel(std::string("tallowmere_cli import ") + format +
                   ", saves included; processes in turns, median of 5");
}
BENCHMARK(BM_OursImportProcess)
    ->ArgName("csv")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// ledger or hledger reading the same transactions from the journal, process
// against our imports.
void RunPeerReadsJournal(benchmark::State& state, const char* name) {
    if (bench::FindProgram(name).empty()) {
        state.SkipWithError((std::string(name) + " is not installed (make bench-deps)").c_str());
        return;
    }
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    const bench::TimedRuns* timed = nullptr;
    for (auto _ : state) {
        timed = Process(f, name);
        if (timed == nullptr) {
            state.SkipWithError((std::string(name) + " failed").c_str());
            return;
        }
        state.SetIterationTime(timed->medianSeconds);
    }
    for (const char* format : kFormats) {
        const bench::TimedRuns* ours = Process(f, format);
        if (ours != nullptr && ours->medianSeconds > 0)
            state.counters[std::string(name) + "/ours_" + format] =
                timed->medianSeconds / ours->medianSeconds;
    }
    state.counters["peak_MiB"] = static_cast<double>(timed->medianPeakKiB) / 1024;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.SetLabel(std::string(name) + " -f journal stats; processes in turns, median of 5");
}

void BM_LedgerReadsJournal(benchmark::State& state) {
    RunPeerReadsJournal(state, "ledger");
}
BENCHMARK(BM_LedgerReadsJournal)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_HledgerReadsJournal(benchmark::State& state) {
    RunPeerReadsJournal(state, "hledger");
}
BENCHMARK(BM_HledgerReadsJournal)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
