// The register list over an account of 100,000 transactions, painted as the
// main window paints it (offscreen): switching to that account from a small
// one and painting it, sorting it again in memory and painting, and
// scrolling a page. Each figure is printed beside its goal. The saves that
// follow a switch or a sort in the program are not part of these figures.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_host.h"
#include "data_set_generator.h"
#include "exchange/desktop_load_options.h"
#include "model/accounts.h"
#include "model/show_columns.h"
#include "ui/color_ref.h"
#include "ui/icon_painter.h"
#include "ui/register_list_ctrl.h"

namespace tallowmere {
namespace {

using ui::CRegisterListCtrl;

constexpr int kBigAccountRows = 100000;

struct Fixture {
    Fixture() {
        folder = bench::MakeBenchFolder("ui-lists");
        if (folder.empty()) {
            std::printf("no bench folder\n");
            return;
        }
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        // Two accounts: nearly every record in the first, a few in the other.
        bench::DataSetOptions options;
        options.accounts = 2;
        options.firstAccountPercent = 95;
        options.transactions = kBigAccountRows * 100 / 95 + 1;
        options.transferPercent = 0;
        options.splitTransferPercent = 0;
        options.scheduled = 0;
        const std::string data = folder + "/data";
        result = bench::GenerateDataSet(data, options);
        if (result == 0)
            result = CAccounts::LoadInto(set, data, DesktopLoadOptions(HeaderCipher::None()));
        if (result != 0) {
            std::printf("data set failed: %d\n", result);
            return;
        }
        big = set->GetAccountAt(0);
        small = set->GetAccountAt(1);
        for (std::size_t i = 0; i < set->GetAccountCount(); ++i) {
            CAccount* a = set->GetAccountAt(i);
            if (a->Transactions().size() > big->Transactions().size())
                big = a;
        }
        if (small == big)
            small = set->GetAccountAt(0);
        std::printf("%s\nbig account: %zu transactions; small: %zu\n",
                    bench::HostLine(data).c_str(), big->Transactions().size(),
                    small->Transactions().size());
        std::fflush(stdout);

        list = std::make_unique<CRegisterListCtrl>(set.get());
        list->Create(QRect(0, 0, 900, 600), nullptr, 5003);
        list->SetIconPainter(&icons);
        list->SetPageColumns(ui::ListPage::kRegister, CShowColumns(kRegisterColumns), 0);
        Show(*small);
        list->show();
        QApplication::processEvents();
    }
    ~Fixture() {
        list.reset();
        set.reset();
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }

    // What the view does to show an account, then the paint.
    void Show(CAccount& account) {
        list->SetAccount(&account);
        list->SetSort(static_cast<std::uint16_t>(account.GetSortMode()),
                      account.GetSortAscending() ? 1 : 0);
        list->SetEvenRowColor(ui::FromColorRef(account.GetColor()));
        list->ResetItemCount();
        list->SetTopIndex(account.GetTopRow());
        list->viewport()->repaint();
    }

    std::string folder;
    int result = -1;
    std::unique_ptr<CAccounts> set;
    CAccount* big = nullptr;
    CAccount* small = nullptr;
    ui::IconPainter icons;
    std::unique_ptr<CRegisterListCtrl> list;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void Label(benchmark::State& state, const char* goal) {
    char text[160];
    std::snprintf(text, sizeof text, "%d rows; goal %s", TheFixture().list->GetItemCount(), goal);
    state.SetLabel(text);
}

void BM_SwitchToTheBigAccountAndPaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    for (auto _ : state) {
        f.Show(*f.big);
        state.PauseTiming();
        f.Show(*f.small);
        state.ResumeTiming();
    }
    f.Show(*f.big);
    Label(state, "at most 100 ms");
}
BENCHMARK(BM_SwitchToTheBigAccountAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A click on a column header: the register, in date order, is sorted by
// that column (sort modes 0-8 are the columns 0-8) and painted. The sort is
// the account's own; the list's part is counting the rows again and the
// paint, printed alone below.
void BM_SortByAColumnAndPaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    const auto mode = static_cast<std::int16_t>(state.range(0));
    f.Show(*f.big);
    for (auto _ : state) {
        state.PauseTiming();
        f.big->SetSortMode(2);
        f.big->SortTransactions();
        f.list->ResetItemCount();
        state.ResumeTiming();
        f.big->SetSortMode(mode);
        f.big->SortTransactions();
        f.list->SetSort(static_cast<std::uint16_t>(mode), 1);
        f.list->ResetItemCount();
        f.list->viewport()->repaint();
    }
    f.big->SetSortMode(2);
    f.big->SortTransactions();
    f.list->ResetItemCount();
    Label(state, "at most 100 ms");
}
BENCHMARK(BM_SortByAColumnAndPaint)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The list's part of a sort: the rows counted again and painted.
void BM_CountRowsAgainAndPaint(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    f.Show(*f.big);
    for (auto _ : state) {
        f.list->ResetItemCount();
        f.list->viewport()->repaint();
    }
    Label(state, "the list's part of the 100 ms");
}
BENCHMARK(BM_CountRowsAgainAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScrollAPage(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    f.Show(*f.big);
    const int page = f.list->GetRowsPerPage();
    int top = 0;
    for (auto _ : state) {
        top += page;
        if (top + page >= f.list->GetItemCount())
            top = 0;
        f.list->SetTopIndex(top);
        f.list->viewport()->repaint();
    }
    Label(state, "at most 16 ms");
}
BENCHMARK(BM_ScrollAPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with every memo and payee as long as the fields hold, so that
// each text cell is cut to fit.
void BM_ScrollAPageOfLongTexts(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (f.result != 0) {
        state.SkipWithError("no data set");
        return;
    }
    const std::string memo(160, 'm');
    const std::string payee(32, 'P');
    for (const auto& t : f.big->Transactions()) {
        t->SetMemo(memo);
        t->SetPayeeName(payee);
    }
    f.Show(*f.big);
    const int page = f.list->GetRowsPerPage();
    int top = 0;
    for (auto _ : state) {
        top += page;
        if (top + page >= f.list->GetItemCount())
            top = 0;
        f.list->SetTopIndex(top);
        f.list->viewport()->repaint();
    }
    Label(state, "at most 16 ms");
}
BENCHMARK(BM_ScrollAPageOfLongTexts)->Unit(benchmark::kMillisecond)->UseRealTime();

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
