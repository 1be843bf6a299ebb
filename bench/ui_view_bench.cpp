// The main view over a user of 100,000 transactions (offscreen): making the
// view (the load, the due scheduled items and the first paint), and choosing
// the big account in the pane from a small one whose top row did not change
// (so nothing is saved) and painting it. Each figure is printed beside its
// goal.
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
#include "model/preferences.h"
#include "model/registry.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/register_list_ctrl.h"
#include "ui/tallowmere_view.h"

namespace tallowmere {
namespace {

constexpr int kBigAccountRows = 100000;
constexpr char kUserKeyPrefix[] = "Software\\Brackwater\\Tallowmere Desktop\\Bench - ";

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("ui-view");
        if (folder.empty()) {
            std::printf("no bench folder\n");
            return;
        }
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        platform::SetRegistryStorePath("");
        CreatePrefsKeys();
        bench::DataSetOptions options;
        options.accounts = 2;
        options.firstAccountPercent = 95;
        options.transactions = kBigAccountRows * 100 / 95 + 1;
        options.transferPercent = 0;
        options.splitTransferPercent = 0;
        options.scheduled = 0;
        data = folder + "/data";
        result = bench::GenerateDataSet(data, options);
        if (result != 0) {
            std::printf("data set failed: %d\n", result);
            return;
        }
        // Every file the desktop's load makes is there before the timing.
        std::unique_ptr<CAccounts> set;
        result = CAccounts::LoadInto(set, data, DesktopLoadOptions(HeaderCipher::None()));
        if (result != 0)
            return;
        PlatformUserRecord record;
        record.name[0] = 'B';
        record.folder[0] = 'b';
        user = std::make_unique<CUserItem>(record);
        user->SetKeyPath(kUserKeyPrefix);
        platform::RegStoreCreateKey(user->GetKeyPath());
        RegWriteString(RegRoot::kCurrentUser, user->GetKeyPath(), kUserDirectoryValue, data);
        SetPrefCurrentUser(user->GetFolderName());
        CreateUserPrefsKey();
        app.SetCurrentUser(user.get());
        std::printf("%s\n", bench::HostLine(data).c_str());
        std::fflush(stdout);
    }
    ~Fixture() {
        view.reset();
        app.SetCurrentUser(nullptr);
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    void MakeView() {
        view = std::make_unique<ui::CTallowmereView>(app);
        view->resize(1000, 700);
        view->show();
        QApplication::processEvents();
        view->repaint();
    }

    std::string folder;
    std::string data;
    int result = -1;
    std::unique_ptr<CUserItem> user;
    ui::CTallowmereApp app;
    std::unique_ptr<ui::CTallowmereView> view;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_MakeTheViewAndPaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    for (auto _ : state) {
        f.MakeView();
        state.PauseTiming();
        f.view.reset();
        state.ResumeTiming();
    }
    state.SetLabel("goal: the core's load of this folder plus 300 ms");
}
BENCHMARK(BM_MakeTheViewAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The pane's choice of the big account: the small one's top row is stored
// (unchanged, so not saved), the big one shown and painted.
void BM_ChooseTheBigAccountAndPaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    f.MakeView();
    CAccounts& set = f.view->Data();
    CAccount* big = set.GetAccountAt(0);
    CAccount* small = set.GetAccountAt(1);
    if (small->Transactions().size() > big->Transactions().size())
        std::swap(big, small);
    for (auto _ : state) {
        state.PauseTiming();
        f.view->ShowAccount(small);
        f.view->repaint();
        state.ResumeTiming();
        f.view->SaveTopRow(small);
        f.view->ShowAccount(big);
        f.view->RefreshFilterCombo(f.view->Filter());
        f.view->RegisterList()->viewport()->repaint();
    }
    char label[120];
    std::snprintf(label, sizeof label, "%d rows; goal at most 100 ms",
                  f.view->RegisterList()->GetItemCount());
    state.SetLabel(label);
    f.view.reset();
}
BENCHMARK(BM_ChooseTheBigAccountAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

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
