// The register's many-row commands over an account of 50,000 transactions
// (offscreen): select all and set the status, and delete 1,000 selected rows
// with their transfer mirrors. Each prints its time and the files written
// (the goals: one write for the status, one per touched account for the
// delete).
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
#include "platform/atomic_file.h"
#include "platform/registry_store.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/register_list_ctrl.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"

namespace tallowmere {
namespace {

constexpr int kRows = 50000;
constexpr int kDeleted = 1000;
constexpr char kUserKeyPrefix[] = "Software\\Brackwater\\Tallowmere Desktop\\Bench - ";

// Every question answered Yes; nothing else is asked of these commands.
class YesServices final : public ui::UiServices {
  public:
    ui::Answer ShowMessage(QWidget*, const ui::MessageRequest&) override {
        return ui::Answer::kYes;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return {}; }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return {}; }
    QAction* Popup(QMenu&, const QPoint&) override { return nullptr; }
    int RunDialog(QDialog&) override { return 2; }
    bool RunPrintDialog(QWidget*, QPrinter&, int) override { return false; }
    void RunPrintPreview(QWidget*, QPrinter&, const std::function<void(QPrinter&)>&) override {}
    bool RunPageSetup(QWidget*, QPrinter&) override { return false; }
    bool OpenUrl(const QUrl&) override { return false; }
    void Beep() override {}
};

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("ui-register");
        if (folder.empty())
            return;
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        platform::SetRegistryStorePath("");
        CreatePrefsKeys();
        bench::DataSetOptions options;
        options.accounts = 2;
        options.firstAccountPercent = 95;
        options.transactions = kRows * 100 / 95 + 1;
        options.scheduled = 0;
        data = folder + "/data";
        result = bench::GenerateDataSet(data, options);
        if (result != 0)
            return;
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
        ui::SetServices(&services);
        std::printf("%s\n", bench::HostLine(data).c_str());
        std::fflush(stdout);
    }
    ~Fixture() {
        ui::SetServices(nullptr);
        app.SetCurrentUser(nullptr);
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // A fresh view on the big account.
    std::unique_ptr<ui::CTallowmereView> MakeView() {
        auto view = std::make_unique<ui::CTallowmereView>(app);
        view->resize(1000, 700);
        view->show();
        QApplication::processEvents();
        CAccounts& set = view->Data();
        CAccount* big = set.GetAccountAt(0);
        for (std::size_t i = 1; i < set.GetAccountCount(); ++i) {
            if (set.GetAccountAt(i)->Transactions().size() > big->Transactions().size())
                big = set.GetAccountAt(i);
        }
        view->ShowAccount(big);
        return view;
    }

    std::string folder;
    std::string data;
    int result = -1;
    YesServices services;
    std::unique_ptr<CUserItem> user;
    ui::CTallowmereApp app;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// Files written while it lives.
struct WriteCount {
    WriteCount() {
        platform::SetWriteFault([this](std::size_t written, int&) {
            files += written == 0 ? 1 : 0;
            return true;
        });
    }
    ~WriteCount() { platform::SetWriteFault(nullptr); }
    int files = 0;
};

void BM_SelectAllAndSetStatus(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    auto view = f.MakeView();
    int status = 1;
    int files = 0;
    for (auto _ : state) {
        view->RunCommand(32828);
        WriteCount count;
        view->SetTransactionStatus(status);
        files = count.files;
        status = status == 1 ? 0 : 1;
    }
    char label[120];
    std::snprintf(label, sizeof label, "%d rows, %d file(s) written; goal one write",
                  view->RegisterList()->GetItemCount(), files);
    state.SetLabel(label);
}
BENCHMARK(BM_SelectAllAndSetStatus)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_DeleteAThousandRows(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    int files = 0;
    int accounts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto view = f.MakeView();
        ui::CRegisterListCtrl& list = *view->RegisterList();
        list.SetSelection(-1, true);
        for (int row = 0; row < kDeleted; ++row)
            list.SetSelection(row * 7, false);
        accounts = static_cast<int>(view->Data().GetAccountCount());
        state.ResumeTiming();
        WriteCount count;
        view->OnDeleteTransaction();
        files = count.files;
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    char label[120];
    std::snprintf(label, sizeof label,
                  "%d rows deleted, %d file(s) written; goal at most one per account (%d)",
                  kDeleted, files, accounts);
    state.SetLabel(label);
}
BENCHMARK(BM_DeleteAThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
