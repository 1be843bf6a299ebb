// Printed pages on a recording canvas with fixed metrics: 600 pixels per
// inch, a printable area of 5400 x 6600 (so 150 to 5250 across, 150 down to
// 6600), lines 100 high (59 rows a page) and every character 50 wide.
#include "ui/logic/print_pages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/chart.h"
#include "model/preferences.h"
#include "ui/logic/print_job.h"
#include "ui_logic/print_test_data.h"

namespace tallowmere::ui {
namespace {

constexpr std::int64_t kCharWidth = 50;
constexpr PrintMetrics kMetrics{600, 600, 5400, 6600, 100};
constexpr std::int64_t kLeft = 150;
constexpr std::int64_t kRight = 5250;
constexpr std::int64_t kTop = 150;
constexpr std::int64_t kLine = 100;
constexpr std::int64_t kRowsTop = kTop + 5 * kLine;

struct Drawn {
    std::int64_t x = 0;
    std::int64_t top = 0;
    std::string text;
    bool red = false;
    PrintFont font = PrintFont::kNormal;
};

std::int64_t Characters(std::string_view text) {
    std::int64_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

class RecordingCanvas final : public MPrintCanvas {
  public:
    void SetFont(PrintFont font) override { font_ = font; }
    std::int64_t TextWidth(std::string_view text) override { return Characters(text) * kCharWidth; }
    void DrawText(std::int64_t x, std::int64_t top, std::int64_t height, std::string_view text,
                  bool red) override {
        EXPECT_EQ(height, kLine) << text;
        texts.push_back({x, top, std::string(text), red, font_});
    }
    void DrawRule(std::int64_t left, std::int64_t right, std::int64_t y) override {
        rules.push_back({left, right, y});
    }
    void DrawChart(CChart& chart, const PrintPieLayout& pie) override {
        pies.push_back(pie);
        chart.Draw();
    }

    // The first text drawn exactly so; null when none.
    const Drawn* Find(std::string_view text) const {
        for (const Drawn& d : texts) {
            if (d.text == text)
                return &d;
        }
        return nullptr;
    }
    bool HasTextStarting(std::string_view start) const {
        for (const Drawn& d : texts) {
            if (d.text.starts_with(start))
                return true;
        }
        return false;
    }
    std::vector<Drawn> TextsAt(std::int64_t top) const {
        std::vector<Drawn> out;
        for (const Drawn& d : texts) {
            if (d.top == top)
                out.push_back(d);
        }
        return out;
    }

    struct Rule {
        std::int64_t left, right, y;
    };
    std::vector<Drawn> texts;
    std::vector<Rule> rules;
    std::vector<PrintPieLayout> pies;

  private:
    PrintFont font_ = PrintFont::kNormal;
};

// Keeps what it was asked to draw: slices and label anchors.
class RecordingChart final : public CChart {
  public:
    std::vector<int> slicesDrawn;
    std::vector<ChartPoint> anchors;

  protected:
    void DrawSlice(int, int, int, const ChartSlice& slice) override {
        slicesDrawn.push_back(slice.endAngle - slice.startAngle);
    }
    void DrawLabel(int, int, int, const ChartSlice& slice) override {
        anchors.push_back(GetSliceLabelPoint(slice));
    }
};

class PrintPagesTest : public ::testing::Test {
  protected:
    PrintJob RegisterJob(int rows, int kind = kPrintRegister) {
        CAccount& checking = data_.Account("Checking");
        data_.FillRegister(checking, rows);
        PrintViewState view;
        view.page = kind == kPrintReconcile ? kPageReconcile : kPageRegister;
        view.currentAccount = &checking;
        return MakePrintJob(data_.Data(), view);
    }

    // Prints every page; returns the canvas of each.
    std::vector<RecordingCanvas> PrintAll(const PrintJob& job, CChart* chart = nullptr,
                                          const PrintMetrics& metrics = kMetrics) {
        pages_.Begin(job, metrics);
        const std::int64_t count = pages_.CountPages();
        std::vector<RecordingCanvas> out(static_cast<std::size_t>(count));
        for (std::int64_t page = 1; page <= count; ++page)
            pages_.PrintPage(out[static_cast<std::size_t>(page - 1)], page, chart);
        pages_.End();
        return out;
    }

    const PrintColumn& ColumnOf(std::uint16_t id) const {
        for (const PrintColumn& c : pages_.Columns()) {
            if (c.id == id)
                return c;
        }
        ADD_FAILURE() << "no column " << id;
        return pages_.Columns().front();
    }

    test::PrintData data_;
    PrintPages pages_;
};

TEST_F(PrintPagesTest, RegisterPagesCarryHeaderRowsAndClosingLineOnTheLastPageOnly) {
    const PrintJob job = RegisterJob(130);
    const auto pages = PrintAll(job);
    // 130 rows and 3 spare lines over 59 a page.
    ASSERT_EQ(pages.size(), 3u);

    const RecordingCanvas& first = pages[0];
    const Drawn* account = first.Find("Account: Checking   3/15/12");
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->x, kLeft);
    EXPECT_EQ(account->top, kTop);
    EXPECT_EQ(account->font, PrintFont::kBold);
    const Drawn* pageNumber = first.Find("Page 1");
    ASSERT_NE(pageNumber, nullptr);
    EXPECT_EQ(pageNumber->x, kRight - 6 * kCharWidth);
    EXPECT_EQ(pageNumber->top, kTop);
    const Drawn* filter = first.Find("Transactions: All");
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->top, kTop + kLine);
    EXPECT_EQ(filter->font, PrintFont::kNormal);

    // Headings three lines down, the rule half a line below them.
    const Drawn* date = first.Find("Date");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->top, kTop + 3 * kLine);
    EXPECT_EQ(date->x, ColumnOf(2).left);
    ASSERT_EQ(first.rules.size(), 1u);
    EXPECT_EQ(first.rules[0].left, kLeft);
    EXPECT_EQ(first.rules[0].right, kRight);
    EXPECT_EQ(first.rules[0].y, kTop + 3 * kLine + 150);

    // Row 0: a cleared check of 45.67, its cells 3 pixels inside their
    // columns, the amount right-aligned and red.
    ASSERT_NE(first.Find("1000"), nullptr);
    EXPECT_EQ(first.Find("1000")->x, ColumnOf(3).left + 3);
    EXPECT_EQ(first.Find("1000")->top, kRowsTop);
    const Drawn* amount = first.Find("$-45.67");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->top, kRowsTop);
    EXPECT_TRUE(amount->red);
    EXPECT_EQ(amount->x, ColumnOf(8).left + ColumnOf(8).width - 3 - 7 * kCharWidth);
    // The balance after it: the overdrawn opening less the check.
    const Drawn* balance = first.Find("$-3045.67");
    ASSERT_NE(balance, nullptr);
    EXPECT_EQ(balance->top, kRowsTop);
    EXPECT_TRUE(balance->red);

    // Row 58 is the last on page 1.
    EXPECT_FALSE(first.TextsAt(kRowsTop + 58 * kLine).empty());
    EXPECT_TRUE(first.TextsAt(kRowsTop + 59 * kLine).empty());
    EXPECT_NE(pages[1].Find("Page 2"), nullptr);
    EXPECT_NE(pages[1].Find("Account: Checking   3/15/12"), nullptr);

    // The closing line: page 3 holds rows 118-129, so it lies 12 + 2 lines
    // below the rows' top, bold and right-aligned.
    const std::string closing =
        "Balance: $" + FormatMoney(data_.Account("Checking").GetBalance(0), kMoneyFull);
    EXPECT_FALSE(pages[0].HasTextStarting("Balance: "));
    EXPECT_FALSE(pages[1].HasTextStarting("Balance: "));
    const Drawn* total = pages[2].Find(closing);
    ASSERT_NE(total, nullptr) << closing;
    EXPECT_EQ(total->top, kRowsTop + 14 * kLine);
    EXPECT_EQ(total->x, kRight - Characters(closing) * kCharWidth);
    EXPECT_EQ(total->font, PrintFont::kBold);
}

TEST_F(PrintPagesTest, ALastPageMayHoldOnlyTheClosingLine) {
    // 57 rows and 3 spare lines need a second page, with no row on it.
    const auto pages = PrintAll(RegisterJob(57));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_FALSE(pages[0].HasTextStarting("Balance: "));
    EXPECT_TRUE(pages[1].TextsAt(kRowsTop).empty());
    const auto closing = pages[1].TextsAt(kRowsTop + 2 * kLine);
    ASSERT_EQ(closing.size(), 1u);
    EXPECT_TRUE(closing[0].text.starts_with("Balance: $"));
}

TEST_F(PrintPagesTest, StatusCellsAndFittedTexts) {
    const auto pages = PrintAll(RegisterJob(10));
    const RecordingCanvas& page = pages.at(0);
    const auto statusAt = [&](int row) {
        for (const Drawn& d : page.TextsAt(kRowsTop + row * kLine)) {
            if (d.x == ColumnOf(0).left + 3)
                return d.text;
        }
        return std::string("(none)");
    };
    EXPECT_EQ(statusAt(0), "[X]");  // cleared
    EXPECT_EQ(statusAt(1), "[X]");  // reconciled
    EXPECT_EQ(statusAt(2), "[ ]");  // open
    EXPECT_EQ(statusAt(3), "[V]");  // void
    EXPECT_EQ(statusAt(4), "[ ]");  // open and marked: marks are the reconcile page's
    EXPECT_EQ(statusAt(5), "[*]");  // awaiting review

    // The payee column (1281 wide) takes 25 characters; the memo's line
    // break becomes a blank before it is cut to the memo column's 12.
    EXPECT_NE(page.Find("Bookshop on the Hill a..."), nullptr);
    EXPECT_NE(page.Find("bill seco..."), nullptr);
    EXPECT_EQ(ColumnOf(4).width, 1281);
    EXPECT_EQ(ColumnOf(7).width, 640);
    // A split shows its marker text as the category.
    EXPECT_NE(page.Find("-SPLIT-"), nullptr);
}

TEST_F(PrintPagesTest, ReconcileListsOpenAndClearedRowsMarkedByTheirReconcileBit) {
    const auto pages = PrintAll(RegisterJob(10, kPrintReconcile));
    const RecordingCanvas& page = pages.at(0);
    EXPECT_NE(page.Find("Transactions: Unreconciled"), nullptr);
    // Rows 0, 2 and 4-9 of the register: the reconciled and void ones go.
    std::vector<std::string> statuses;
    for (int row = 0; row < 10; ++row) {
        for (const Drawn& d : page.TextsAt(kRowsTop + row * kLine)) {
            if (d.x == ColumnOf(0).left + 3)
                statuses.push_back(d.text);
        }
    }
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"[ ]", "[ ]", "[X]", "[ ]", "[ ]", "[ ]", "[X]", "[ ]"}));
    EXPECT_EQ(page.Find("Trattoria Roma"), nullptr);
    EXPECT_EQ(page.Find("Paycheck"), nullptr);
    EXPECT_TRUE(page.HasTextStarting("Balance: $"));
}

TEST_F(PrintPagesTest, NoRowsGiveOnePageWithHeaderAndHeadingsOnly) {
    PrintViewState view;
    view.currentAccount = &data_.Account("Savings");
    const auto pages = PrintAll(MakePrintJob(data_.Data(), view));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].Find("Page 1"), nullptr);
    EXPECT_NE(pages[0].Find("Payee"), nullptr);
    for (const Drawn& d : pages[0].texts)
        EXPECT_LT(d.top, kRowsTop) << d.text;
}

TEST_F(PrintPagesTest, WithoutAnAccountTheRegisterIsEmptyAndNamesAllAccounts) {
    PrintViewState view;
    const auto pages = PrintAll(MakePrintJob(data_.Data(), view));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].Find("Account: All   3/15/12"), nullptr);
    EXPECT_FALSE(pages[0].HasTextStarting("Balance: "));
}

TEST_F(PrintPagesTest, AnUnknownFilterListsNothingAndNamesNothing) {
    PrintJob job = RegisterJob(20);
    job.filter = 99;
    const auto pages = PrintAll(job);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].Find("Transactions: "), nullptr);
    EXPECT_TRUE(pages[0].TextsAt(kRowsTop).empty());
}

TEST_F(PrintPagesTest, NoVisibleColumnPrintsNoCellsButTheRest) {
    struct Case {
        const char* name;
        std::vector<ShowColumnEntry> entries;
    };
    const std::vector<Case> cases = {
        {"all hidden", {{2, 60, 0, 0}, {4, 200, 0, 0}, {8, 85, 0, 0}}},
        {"only the icon column", {{1, 26, 1, 0}, {4, 200, 0, 0}}},
        {"no columns", {}},
        {"zero widths", {{2, 0, 1, 0}, {4, 0, 1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PrintData data;
        CAccount& checking = data.Account("Checking");
        data.FillRegister(checking, 70);
        PrintViewState view;
        view.currentAccount = &checking;
        PrintJob job = MakePrintJob(data.Data(), view);
        job.columns = CShowColumns(c.entries);
        PrintPages pages;
        pages.Begin(job, kMetrics);
        EXPECT_TRUE(pages.Columns().empty());
        ASSERT_EQ(pages.CountPages(), 2);
        RecordingCanvas first;
        RecordingCanvas last;
        pages.PrintPage(first, 1, nullptr);
        pages.PrintPage(last, 2, nullptr);
        EXPECT_NE(first.Find("Page 1"), nullptr);
        EXPECT_EQ(first.rules.size(), 1u);
        for (const Drawn& d : first.texts)
            EXPECT_LT(d.top, kTop + 2 * kLine) << d.text;
        EXPECT_TRUE(last.HasTextStarting("Balance: $"));
    }
}

TEST_F(PrintPagesTest, ReportTableWithItsHeadingsRowsAndTotal) {
    data_.FillRegister(data_.Account("Checking"), 40);
    const auto report = data_.MakeReport(false);
    report->SetAccountId(data_.Account("Checking").Header().GetId());
    ASSERT_EQ(report->Compute(), 0);
    PrintViewState view;
    view.page = kPageReports;
    view.report = report.get();
    const auto pages = PrintAll(MakePrintJob(data_.Data(), view));
    ASSERT_EQ(pages.size(), 1u);
    const RecordingCanvas& page = pages[0];
    EXPECT_NE(page.Find("Account: Checking   3/15/12"), nullptr);
    EXPECT_NE(page.Find("By: Category    Period: 1/1/10 - 12/31/13     Amounts: All"), nullptr);
    EXPECT_NE(page.Find("Category"), nullptr);
    EXPECT_NE(page.Find("Amount"), nullptr);
    EXPECT_EQ(page.Find("Budget"), nullptr);
    // The icon column is gone; the name column takes the paper's rest.
    ASSERT_EQ(pages_.Columns().size(), 2u);
    EXPECT_EQ(pages_.Columns()[0].id, 21);
    // 40 rows: four paychecks.
    const Drawn* salary = page.Find("Salary");
    ASSERT_NE(salary, nullptr);
    const Drawn* salaryAmount = page.Find("$10000.00");
    ASSERT_NE(salaryAmount, nullptr);
    EXPECT_EQ(salaryAmount->top, salary->top);
    EXPECT_FALSE(salaryAmount->red);
    const std::string total = "Total: $" + FormatMoney(report->GetTotal(), kMoneyFull);
    const Drawn* closing = page.Find(total);
    ASSERT_NE(closing, nullptr) << total;
    EXPECT_EQ(closing->top,
              kRowsTop + (static_cast<std::int64_t>(report->GetItemCount()) + 2) * kLine);
}

TEST_F(PrintPagesTest, BudgetRowsAndTotalsOverAQuarter) {
    data_.FillRegister(data_.Account("Checking"), 30);
    ASSERT_EQ(data_.Data().Categories().SetBudgetAmount(test::kGroceriesId, 10000), 0);
    ASSERT_EQ(data_.Data().Categories().SetBudgetAmount(test::kDiningId, 5000), 0);
    const auto report = data_.MakeReport(true, kReportThisQuarter);
    PrintViewState view;
    view.page = kPageBudgets;
    view.report = report.get();
    const auto pages = PrintAll(MakePrintJob(data_.Data(), view));
    ASSERT_EQ(pages.size(), 1u);
    const RecordingCanvas& page = pages[0];
    EXPECT_NE(page.Find("Account: All   3/15/12"), nullptr);
    EXPECT_NE(page.Find("By: Category    Period: This Quarter "), nullptr);
    for (const char* heading : {"Category", "Budget", "Actual", "Difference"})
        EXPECT_NE(page.Find(heading), nullptr) << heading;
    // Groceries: 100.00 a month shows as 300.00 a quarter.
    const Drawn* groceries = page.Find("Groceries");
    ASSERT_NE(groceries, nullptr);
    bool found = false;
    for (const Drawn& d : page.TextsAt(groceries->top))
        found |= d.text == "$300.00";
    EXPECT_TRUE(found);
    const Cents actual = report->GetTotal();
    const std::string closing = "Budget Total: $450.00     Actual Total: $" +
                                FormatMoney(actual, kMoneyFull) + "     Difference Total: $" +
                                FormatMoney(actual - 45000, kMoneyFull);
    EXPECT_NE(page.Find(closing), nullptr) << closing;
}

TEST_F(PrintPagesTest, PiePageDrawsTheChartInsideThePageAndTheTotalBelowIt) {
    data_.FillRegister(data_.Account("Checking"), 30);
    const auto report = data_.MakePieReport();
    PrintViewState view;
    view.page = kPageReports;
    view.report = report.get();
    view.chartMode = true;
    RecordingChart chart;
    const auto pages = PrintAll(MakePrintJob(data_.Data(), view), &chart);
    ASSERT_EQ(pages.size(), 1u);
    const RecordingCanvas& page = pages[0];
    ASSERT_EQ(page.pies.size(), 1u);
    const PrintPieLayout& pie = page.pies[0];
    EXPECT_EQ(pie.logicalDpi, 300);
    EXPECT_EQ(pie.deviceDpi, 600);
    EXPECT_EQ(page.Find("Category"), nullptr);  // no headings on a pie page
    EXPECT_EQ(chart.slicesDrawn.size(), static_cast<std::size_t>(chart.GetCount()));
    EXPECT_GE(chart.GetCount(), 3);
    // In the 300-dpi space the printable area spans 75..2625 across and
    // the chart's rectangle 400..3200 down.
    EXPECT_EQ(chart.anchors.size(), chart.slicesDrawn.size());
    for (const ChartPoint& p : chart.anchors) {
        EXPECT_GE(p.x, 75);
        EXPECT_LE(p.x, 2625);
        EXPECT_GE(p.y, 400);
        EXPECT_LE(p.y, 3200);
    }
    const std::string total = "Total: $" + FormatMoney(report->GetTotal(), kMoneyFull);
    const Drawn* closing = page.Find(total);
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->top, 6600 - 2 * kLine + kLine);
}

TEST_F(PrintPagesTest, PieWithoutSlicesOrRoomPrintsTheTotalOnly) {
    const auto empty = data_.MakePieReport();
    PrintViewState view;
    view.page = kPageReports;
    view.report = empty.get();
    view.chartMode = true;
    RecordingChart chart;
    auto pages = PrintAll(MakePrintJob(data_.Data(), view), &chart);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].pies.empty());
    EXPECT_NE(pages[0].Find("Total: $0"), nullptr);

    // Paper with room for the header but not for a pie.
    data_.FillRegister(data_.Account("Checking"), 30);
    const auto full = data_.MakePieReport();
    view.report = full.get();
    pages =
        PrintAll(MakePrintJob(data_.Data(), view), &chart, PrintMetrics{600, 600, 900, 1100, 100});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].pies.empty());
    EXPECT_TRUE(pages[0].HasTextStarting("Total: $"));
}

TEST_F(PrintPagesTest, PagesOutsideTheCountDrawNothing) {
    const PrintJob job = RegisterJob(10);
    pages_.Begin(job, kMetrics);
    ASSERT_EQ(pages_.CountPages(), 1);
    for (std::int64_t page : {0, 2, -1}) {
        RecordingCanvas canvas;
        pages_.PrintPage(canvas, page, nullptr);
        EXPECT_TRUE(canvas.texts.empty()) << page;
        EXPECT_TRUE(canvas.rules.empty()) << page;
    }
}

}  // namespace
}  // namespace tallowmere::ui
