// The transaction dialog over an account of 100,000 transactions, with 5,000
// payees and 500 categories: opening it on a stored transaction (the logic
// alone, then the whole dialog with its combos), and OK on an edited amount
// with its saves (the register's re-sort and file, the payee list). Each
// figure is printed beside its goal.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui/transaction_dlg.h"

namespace tallowmere {
namespace {

constexpr int kBigAccountRows = 100000;

class QuietMessages final : public ui::Messages {
  public:
    ui::Answer Show(const ui::MessageRequest&) override {
        ++shown;
        return ui::Answer::kOk;
    }
    int shown = 0;
};

class NoSubDialogs final : public ui::TransactionSubDialogs {
  public:
    std::string EditPayees() override { return {}; }
    std::string EditCategories() override { return {}; }
    std::string EditClasses() override { return {}; }
    int RunSplits(const CAccount&, ui::SplitsData&) override { return 2; }
    int RunConvertCurrency(CurrencyId, bool, ui::ConvertCurrencyData&) override { return 2; }
};

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("ui-transaction");
        if (folder.empty()) {
            std::printf("no bench folder\n");
            return;
        }
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        bench::DataSetOptions options;
        options.accounts = 2;
        options.firstAccountPercent = 95;
        options.transactions = kBigAccountRows * 100 / 95 + 1;
        options.transferPercent = 0;
        options.splitTransferPercent = 0;
        options.scheduled = 0;
        options.payees = 5000;
        options.categories = 500;
        const std::string data = folder + "/data";
        result = bench::GenerateDataSet(data, options);
        if (result == 0)
            result = CAccounts::LoadInto(set, data, DesktopLoadOptions(HeaderCipher::None()));
        if (result != 0) {
            std::printf("data set failed: %d\n", result);
            return;
        }
        big = set->GetAccountAt(0);
        for (std::size_t i = 0; i < set->GetAccountCount(); ++i) {
            CAccount* a = set->GetAccountAt(i);
            if (a->Transactions().size() > big->Transactions().size())
                big = a;
        }
        // A plain transaction from the middle of the register.
        const std::size_t count = big->Transactions().size();
        for (std::size_t i = count / 2; i < count && stored == nullptr; ++i) {
            CTransaction* t = big->Transactions()[i].get();
            if (t->GetCategoryId() != SplitMarkerId && !t->IsSplitTransferCopy())
                stored = t;
        }
        std::printf("%s\nbig account: %zu transactions; %zu payees; %zu categories\n",
                    bench::HostLine(data).c_str(), count, set->Payees().GetCount(false),
                    set->Categories().GetCount(false));
        std::fflush(stdout);
    }
    ~Fixture() {
        set.reset();
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    std::string folder;
    int result = -1;
    std::unique_ptr<CAccounts> set;
    CAccount* big = nullptr;
    CTransaction* stored = nullptr;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

bool Ready(benchmark::State& state) {
    const Fixture& f = TheFixture();
    if (f.result != 0 || f.stored == nullptr) {
        state.SkipWithError("no data set");
        return false;
    }
    return true;
}

void BM_OpenTheLogic(benchmark::State& state) {
    if (!Ready(state))
        return;
    Fixture& f = TheFixture();
    QuietMessages messages;
    NoSubDialogs dialogs;
    for (auto _ : state) {
        ui::TransactionDialogLogic logic(*f.set, *f.big, f.stored, messages, dialogs);
        logic.Open();
        benchmark::DoNotOptimize(logic.Form().amount.data());
    }
    state.SetLabel("the logic's part of the 50 ms");
}
BENCHMARK(BM_OpenTheLogic)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenTheDialog(benchmark::State& state) {
    if (!Ready(state))
        return;
    Fixture& f = TheFixture();
    for (auto _ : state) {
        auto dialog = std::make_unique<ui::CTransactionDlg>(*f.set, *f.big, f.stored, false,
                                                            nullptr, ui::TransactionEditors{});
        dialog->show();
        QApplication::processEvents();
        state.PauseTiming();
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("goal at most 50 ms");
}
BENCHMARK(BM_OpenTheDialog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OkWithItsSaves(benchmark::State& state) {
    if (!Ready(state))
        return;
    Fixture& f = TheFixture();
    QuietMessages messages;
    NoSubDialogs dialogs;
    Cents amount = f.stored->GetAmount();
    const RecordId id = f.stored->GetId();
    for (auto _ : state) {
        state.PauseTiming();
        CTransaction* stored = f.big->FindTransactionById(id);
        ui::TransactionDialogLogic logic(*f.set, *f.big, stored, messages, dialogs);
        logic.Open();
        amount = amount % 100000 + 1;
        logic.Form().amount = FormatMoney(amount, kMoneyFull);
        state.ResumeTiming();
        const ui::DialogStep step = logic.Ok();
        if (!step.close)
            state.SkipWithError("OK refused");
    }
    if (messages.shown != 0)
        state.SkipWithError("a message was shown");
    state.SetLabel("goal at most 250 ms");
}
BENCHMARK(BM_OkWithItsSaves)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tallowmere

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_COLLATE, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
