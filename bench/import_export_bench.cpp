// Export and import of 100,000 transactions in QIF and in CSV, each way
// beside its target: every register entry of a generated data set (eight
// accounts, splits and transfers, years of entries), in date order, is
// written to one file, and the file is read into a new account of a fresh
// data set, the saves of the import included (the account's file, the
// accounts that got transfer mirrors, the lists). ledger reads the same
// transactions from its own journal, and its time is given as a ratio to
// ours.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "data_set_generator.h"
#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "ledger_runner.h"
#include "model/accounts.h"
#include "model/paths.h"

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
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp && *tmp ? tmp : "/tmp") + "/tallowmere-exchange-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            error = "mkdtemp failed";
            return;
        }
        folder = pattern;
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
    // Seconds per run, for the ratio to ledger.
    double qifImport = 0;
    double csvImport = 0;
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
void RunImport(benchmark::State& state, const char* extension, double& perRun) {
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    double total = 0;
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

        const auto start = std::chrono::steady_clock::now();
        Importer importer;
        importer.SetAccounts(set.get());
        importer.SetTargetAccount(target);
        const int r = importer.Import(f.FileOf(extension));
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
        total += d.count();

        state.PauseTiming();
        if (r != 0 || importer.GetFormatError() != 0)
            state.SkipWithError("import failed");
        else if (importer.GetImportedCount() != f.transactions)
            state.SkipWithError("not every transaction was read");
        set.reset();
        std::filesystem::remove_all(data);
        state.ResumeTiming();
    }
    if (state.iterations() > 0)
        perRun = total / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.counters["transactions"] = static_cast<double>(f.transactions);
    state.SetLabel(kTarget);
}

void BM_QifExport(benchmark::State& state) {
    RunExport<CQIFExporter>(state, "qif");
}
BENCHMARK(BM_QifExport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_QifImport(benchmark::State& state) {
    RunImport<CQIFImporter>(state, "qif", TheFixture().qifImport);
}
BENCHMARK(BM_QifImport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CsvExport(benchmark::State& state) {
    RunExport<CCSVExporter>(state, "csv");
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CsvImport(benchmark::State& state) {
    RunImport<CCSVImporter>(state, "csv", TheFixture().csvImport);
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->Iterations(3);

// ledger reading the same transactions from its journal ("stats" reads
// them all and prints a few lines), beside our imports of them.
void BM_LedgerReadsJournal(benchmark::State& state) {
    if (!bench::LedgerInstalled()) {
        state.SkipWithError("ledger is not installed");
        return;
    }
    Fixture& f = TheFixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    const double ledger = bench::TimeLedgerRuns(state, {"ledger", "-f", f.journal, "stats"});
    if (ledger < 0)
        return;
    if (f.qifImport > 0)
        state.counters["ledger/qif_import"] = ledger / f.qifImport;
    if (f.csvImport > 0)
        state.counters["ledger/csv_import"] = ledger / f.csvImport;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.transactions));
    state.SetLabel("ledger -f journal stats");
}
BENCHMARK(BM_LedgerReadsJournal)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
