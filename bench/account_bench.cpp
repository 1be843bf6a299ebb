// A register of 100,000 transactions (splits on one in ten, transfers to a
// second account on another one in ten) in a real account file: load, save,
// one transfer edit end to end, a resort, and the memory each transaction
// takes. Then single edits of a register of about 100,000 rows in a
// generated data set, in every sort mode. Each figure is printed beside its
// target.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/account.h"
#include "model/accounts.h"
#include "model/transaction_type.h"
#include "platform/record_pool.h"

namespace tallowmere {
namespace {

constexpr int kTransactions = 100000;

class BenchOwner : public CAccount::MOwner {
  public:
    CAccount* FindAccountById(const RecordId& id) override {
        for (CAccount* a : accounts) {
            if (a->Header().GetId() == id)
                return a;
        }
        return nullptr;
    }
    std::string GetCategoryDisplayText(const RecordId&) const override { return "Groceries"; }
    std::string GetClassNameById(const RecordId&) const override { return {}; }
    std::string GetCurrencySymbolById(std::uint8_t) const override { return "$"; }
    std::uint8_t GetHomeCurrencyId() const override { return 1; }
    std::optional<double> GetCurrencyRate(std::uint8_t) const override { return 1.0; }
    std::vector<CAccount*> accounts;
};

// The data folder, written once for the whole program.
struct Fixture {
    Fixture() {
        // On the disk that holds user data: the save's goal counts its fsyncs.
        folder = bench::MakeBenchFolder("account");
        if (folder.empty())
            std::abort();
        std::printf("%s\n", bench::HostLine(folder).c_str());
        // A lock folder of our own: the database lock is shared by every
        // process of the user, and a test run elsewhere must not stall us.
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        Generate();
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    void Generate() {
        static constexpr std::array<const char*, 8> kPayees = {
            "Corner Grocery", "City Power & Light", "Blue Ridge Mortgage",  "Main St. Pharmacy",
            "Fuel Stop #42",  "Paycheck",           "Bookshop on the Hill", "Cable Vision"};
        static constexpr std::array<const char*, 4> kMemos = {"weekly shopping", "monthly bill", "",
                                                              "reimbursed by work, see receipt"};
        CAccount checking(&owner);
        CAccount savings(&owner);
        owner.accounts = {&checking, &savings};
        checking.Header().SetName("Checking");
        savings.Header().SetName("Savings");
        checking.MakeFilePath(folder, "Checking");
        savings.MakeFilePath(folder, "Savings");
        std::mt19937 rng(42);
        const PalmTime start = 3'500'000'000u;
        for (int i = 0; i < kTransactions; ++i) {
            auto t = std::make_unique<CTransaction>();
            t->SetDate(start + static_cast<PalmTime>(rng() % (3650u * kSecondsPerDay)));
            const bool deposit = rng() % 5 == 0;
            t->SetTypeId(deposit ? DepositTypeId
                                 : (rng() % 3 == 0 ? CheckTypeId : WithdrawalTypeId));
            t->SetCheckNumber(1000 + static_cast<std::uint32_t>(i));
            t->SetAmount(100 + static_cast<Cents>(rng() % 500000));
            t->SetPayeeName(kPayees[rng() % kPayees.size()]);
            t->SetMemo(kMemos[rng() % kMemos.size()]);
            t->SetStatus(static_cast<std::uint8_t>((rng() % 3) * 0x40));
            if (i % 10 == 0) {
                t->SetCategoryId(SplitMarkerId);
                t->SetSplitAmount(0, t->GetAmount() / 2);
                t->SetSplitAmount(1, t->GetAmount() - t->GetAmount() / 2);
                t->SetSplitMemo(0, "half");
            } else if (i % 10 == 5) {
                // A transfer, linked by hand so the generator saves only once.
                auto m = std::make_unique<CTransaction>();
                t->SetCategoryId(savings.Header().GetId());
                m->SetDate(t->GetDate());
                m->SetPayeeName(t->GetPayeeName());
                m->SetTypeId(t->IsOutflow() ? DepositTypeId : WithdrawalTypeId);
                m->SetAmount(t->GetAmount());
                m->SetStatus(t->GetStatus());
                m->SetCategoryId(checking.Header().GetId());
                m->SetLinkedId(t->GetId());
                t->SetLinkedId(m->GetId());
                transferId = t->GetId();
                savings.AddTransaction(std::move(m));
            }
            checking.AddTransaction(std::move(t));
        }
        checking.Save();
        savings.Save();
        checkingPath = checking.GetPath();
        savingsPath = savings.GetPath();
        owner.accounts.clear();
    }

    std::string folder;
    std::string checkingPath;
    std::string savingsPath;
    RecordId transferId;
    BenchOwner owner;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void Target(benchmark::State& state, const char* text) {
    state.SetLabel(text);
}

void BM_LoadAccount(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        CAccount account(&f.owner);
        if (account.Load(f.checkingPath) != 0)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(account.Transactions().data());
    }
    Target(state,
           "100k transactions, in process; goal <= 90 ms counts in a fresh process "
           "(data_set_bench)");
}
BENCHMARK(BM_LoadAccount)->Unit(benchmark::kMillisecond);

void BM_SaveAccount(benchmark::State& state) {
    Fixture& f = TheFixture();
    CAccount account(&f.owner);
    if (account.Load(f.checkingPath) != 0) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        if (account.Save() != 0)
            state.SkipWithError("save failed");
    }
    Target(state, "100k transactions, fsync of file and folder and rename included; goal <= 70 ms");
}
BENCHMARK(BM_SaveAccount)->Unit(benchmark::kMillisecond);

void BM_EditTransfer(benchmark::State& state) {
    Fixture& f = TheFixture();
    CAccount checking(&f.owner);
    CAccount savings(&f.owner);
    if (checking.Load(f.checkingPath) != 0 || savings.Load(f.savingsPath) != 0) {
        state.SkipWithError("load failed");
        return;
    }
    f.owner.accounts = {&checking, &savings};
    CTransaction* r = checking.FindTransactionById(f.transferId);
    if (!r) {
        state.SkipWithError("no transfer");
        return;
    }
    Cents amount = r->GetAmount();
    for (auto _ : state) {
        // Replace, re-sort, balances, and save both accounts.
        CTransaction e(*r);
        e.SetAmount(++amount);
        e.SetDate(e.GetDate() + kSecondsPerDay);
        if (checking.ModifyTransaction(e, *r) != 0)
            state.SkipWithError("edit failed");
    }
    f.owner.accounts.clear();
    Target(state, "transfer in a 100k register, both files saved; target <= 250 ms");
}
BENCHMARK(BM_EditTransfer)->Unit(benchmark::kMillisecond);

// Each iteration flips the direction, so every run really reorders.
void BM_Resort(benchmark::State& state) {
    Fixture& f = TheFixture();
    CAccount account(&f.owner);
    account.Load(f.checkingPath);
    account.SetDoNotSave(true);
    account.SetSortMode(static_cast<std::int16_t>(state.range(0)));
    bool ascending = true;
    for (auto _ : state) {
        ascending = !ascending;
        account.SetSortAscending(ascending);
        account.ResortTransactions();
    }
    Target(state, "100k, no save (mode 2 by date, 5 by category text); part of the edit budget");
}
BENCHMARK(BM_Resort)->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_MemoryPerTransaction(benchmark::State& state) {
    Fixture& f = TheFixture();
    double perTransaction = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks + platform::RecordPool::TotalChunkBytes();
        auto account = std::make_unique<CAccount>(&f.owner);
        account->Load(f.checkingPath);
        const std::size_t after = mallinfo2().uordblks + platform::RecordPool::TotalChunkBytes();
        perTransaction = static_cast<double>(after - before) /
                         static_cast<double>(account->Transactions().size());
        benchmark::DoNotOptimize(account.get());
    }
    state.counters["bytes_per_transaction"] = perTransaction;
    state.counters["target_bytes"] = 2.7 * 1024;
    Target(state, "heap and record pool per loaded transaction; target <= 2.7 KB");
}
BENCHMARK(BM_MemoryPerTransaction)->Unit(benchmark::kMillisecond)->Iterations(1);

// Purges every cleared or reconciled row (two in three, a tenth of them
// transfers whose mirrors lose their link), without the saves.
void BM_PurgeWithTransfers(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        state.PauseTiming();
        CAccount checking(&f.owner);
        CAccount savings(&f.owner);
        if (checking.Load(f.checkingPath) != 0 || savings.Load(f.savingsPath) != 0) {
            state.SkipWithError("load failed");
            break;
        }
        checking.SetDoNotSave(true);
        savings.SetDoNotSave(true);
        f.owner.accounts = {&checking, &savings};
        state.ResumeTiming();
        checking.PurgeTransactions(1, 0);
        state.PauseTiming();
        f.owner.accounts.clear();
        state.ResumeTiming();
    }
    Target(state, "100k register, about 6,700 transfers unlinked; no target, was quadratic");
}
BENCHMARK(BM_PurgeWithTransfers)->Unit(benchmark::kMillisecond)->Iterations(2);

// ---------------------------------------------------------------- edits

// A generated data set whose first account holds about 100,000 rows, loaded
// as the desktop loads it, with saves skipped: an edit's figure is the work
// between the dialog's OK and the save.
struct EditFixture {
    EditFixture() {
        folder = (std::filesystem::temp_directory_path() /
                  ("tallowmere-edit-bench-" + std::to_string(getpid())))
                     .string();
        std::filesystem::remove_all(folder);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        bench::DataSetOptions options;
        options.transactions = 137500;
        options.firstAccountPercent = 80;
        bench::DataSetSummary made;
        if (bench::GenerateDataSet(folder + "/data", options, &made) != 0 ||
            CAccounts::LoadInto(data, folder + "/data", DesktopLoadOptions(HeaderCipher::None())) !=
                0) {
            data.reset();
            return;
        }
        for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
            CAccount* a = data->GetAccountAt(i);
            a->SetSkipSaves(true);
            if (!account || a->Transactions().size() > account->Transactions().size())
                account = a;
        }
        PickRows();
        std::printf(
            "edit bench: data set of %d transactions in %d accounts, %.1f MB; register "
            "\"%s\" of %zu rows\n",
            made.transactions, made.accounts, static_cast<double>(made.bytes) / 1e6,
            account->GetName().c_str(), account->Transactions().size());
        std::fflush(stdout);
    }
    ~EditFixture() {
        data.reset();
        std::filesystem::remove_all(folder);
    }

    // A plain row and a transfer near the middle of the register, and the
    // second category and account that each edit toggles to.
    void PickRows() {
        const TransactionArray& rows = account->Transactions();
        const RecordId self = account->Header().GetId();
        for (std::size_t k = 0; k < rows.size() && (!plain || !transfer); ++k) {
            CTransaction* t = rows[(rows.size() / 2 + k) % rows.size()].get();
            const RecordId c = t->GetCategoryId();
            CAccount* other = c.IsNull() || c == SplitMarkerId ? nullptr : data->FindAccountById(c);
            if (!other && !plain && !c.IsNull() && c != SplitMarkerId && t->GetLinkedId().IsNull())
                plain = t;
            if (other && other != account && !transfer && !t->IsSplitTransferCopy() &&
                other->FindTransactionById(t->GetLinkedId()))
                transfer = t;
        }
        if (!plain || !transfer)
            return;
        plainStart = *plain;
        transferStart = *transfer;
        // The category whose text lies farthest from the row's own, so the
        // category modes move the row far.
        const CCategoryList& categories = data->Categories();
        const std::string own = data->GetCategoryDisplayText(plain->GetCategoryId());
        const bool wantLast = own < "M";
        std::string best;
        for (std::size_t i = 0; i < categories.GetCount(false); ++i) {
            const RecordId id = categories.GetAt(i, false)->GetId();
            const std::string text = data->GetCategoryDisplayText(id);
            if (otherCategory.IsNull() || (wantLast ? text > best : text < best)) {
                otherCategory = id;
                best = text;
            }
        }
        for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
            const RecordId id = data->GetAccountAt(i)->Header().GetId();
            if (id != self && id != transfer->GetCategoryId()) {
                otherAccount = id;
                break;
            }
        }
    }

    // Every register of the data set in this order.
    void SetOrder(int mode, bool ascending) {
        if (mode == currentMode && ascending == currentAscending)
            return;
        for (std::size_t i = 0; i < data->GetAccountCount(); ++i) {
            CAccount* a = data->GetAccountAt(i);
            a->SetSortMode(static_cast<std::int16_t>(mode));
            a->SetSortAscending(ascending);
            a->ResortTransactions();
        }
        currentMode = mode;
        currentAscending = ascending;
    }

    std::string folder;
    std::unique_ptr<CAccounts> data;
    CAccount* account = nullptr;
    CTransaction* plain = nullptr;
    CTransaction* transfer = nullptr;
    CTransaction plainStart{CTransaction::ForLoad{}};
    CTransaction transferStart{CTransaction::ForLoad{}};
    RecordId otherCategory;
    RecordId otherAccount;
    int currentMode = -1;
    bool currentAscending = true;
};

EditFixture& TheEditFixture() {
    static EditFixture fixture;
    return fixture;
}

enum EditField { kEditDate, kEditAmount, kEditPayee, kEditCategory };
constexpr std::array<const char*, 4> kFieldNames = {"date", "amount", "payee", "category"};

// The edited copy: the field away from its first value, or back to it, so
// every edit moves the row.
void ToggleField(CTransaction& e, const CTransaction& start, EditField field,
                 const RecordId& otherCategory) {
    switch (field) {
        case kEditDate:
            e.SetDate(e.GetDate() == start.GetDate() ? start.GetDate() + 30 * kSecondsPerDay
                                                     : start.GetDate());
            break;
        case kEditAmount:
            e.SetAmount(e.GetAmount() == start.GetAmount() ? start.GetAmount() + 123456
                                                           : start.GetAmount());
            break;
        case kEditPayee:
            e.SetPayeeName(e.GetPayeeName() == start.GetPayeeName() ? "Zenith Outfitters"
                                                                    : start.GetPayeeName());
            break;
        case kEditCategory:
            e.SetCategoryId(e.GetCategoryId() == start.GetCategoryId() ? otherCategory
                                                                       : start.GetCategoryId());
            break;
    }
}

// Arguments: sort mode, ascending, transfer, field.
void BM_EditInDataSet(benchmark::State& state) {
    EditFixture& f = TheEditFixture();
    if (!f.data || !f.plain || !f.transfer) {
        state.SkipWithError("no data set");
        return;
    }
    const int mode = static_cast<int>(state.range(0));
    const bool ascending = state.range(1) != 0;
    const bool isTransfer = state.range(2) != 0;
    const auto field = static_cast<EditField>(state.range(3));
    f.SetOrder(mode, ascending);
    CTransaction& r = isTransfer ? *f.transfer : *f.plain;
    const CTransaction& start = isTransfer ? f.transferStart : f.plainStart;
    const RecordId other = isTransfer ? f.otherAccount : f.otherCategory;
    for (auto _ : state) {
        CTransaction e(r);
        ToggleField(e, start, field, other);
        if (f.account->ModifyTransaction(e, r) != 0)
            state.SkipWithError("edit failed");
    }
    char label[120];
    std::snprintf(label, sizeof label, "mode %d %s, %s %s; goal <= 5 ms", mode,
                  ascending ? "asc" : "desc", isTransfer ? "transfer" : "plain",
                  kFieldNames[static_cast<std::size_t>(field)]);
    Target(state, label);
}
BENCHMARK(BM_EditInDataSet)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7, 8}, {1, 0}, {0, 1}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

// The first edit after a load finds out once, in one pass over the rows,
// whether the file's order is the register's (the files hold mode 2).
void BM_FirstEditAfterLoad(benchmark::State& state) {
    EditFixture& f = TheEditFixture();
    if (!f.data || !f.plain) {
        state.SkipWithError("no data set");
        return;
    }
    const std::string name = f.account->GetName();
    const RecordId id = f.plain->GetId();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CAccounts> data;
        CAccount* account = nullptr;
        if (CAccounts::LoadInto(data, f.folder + "/data",
                                DesktopLoadOptions(HeaderCipher::None())) == 0)
            account = data->FindAccountByName(name);
        CTransaction* r = account ? account->FindTransactionById(id) : nullptr;
        if (!r) {
            state.SkipWithError("load failed");
            break;
        }
        for (std::size_t i = 0; i < data->GetAccountCount(); ++i)
            data->GetAccountAt(i)->SetSkipSaves(true);
        CTransaction e(*r);
        e.SetDate(e.GetDate() + 30 * kSecondsPerDay);
        state.ResumeTiming();
        if (account->ModifyTransaction(e, *r) != 0)
            state.SkipWithError("edit failed");
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    Target(state, "mode 2 asc, plain date, order checked once; goal <= 5 ms");
}
BENCHMARK(BM_FirstEditAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tallowmere
