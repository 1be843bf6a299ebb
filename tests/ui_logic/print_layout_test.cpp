#include "ui/logic/print_layout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "model/show_columns.h"
#include "model/transaction.h"

namespace tallowmere::ui {
namespace {

TEST(PrintLayoutTest, PageCount) {
    struct Case {
        std::int64_t rowsPerPage;
        std::int64_t rows;
        bool pie;
        std::int64_t pages;
    };
    const Case cases[] = {
        {10, 17, false, 2},
        {10, 7, false, 1},
        {10, 8, false, 2},  // the three spare lines spill over
        {10, 0, false, 1},
        {10, 500, true, 1},
        {0, 5, false, 8},  // kept to one row a page
        {-3, 5, false, 8},
        {59, 130, false, 3},
        {1, std::int64_t{1} << 40, false, (std::int64_t{1} << 40) + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rowsPerPage << " per page, " << c.rows << " rows");
        EXPECT_EQ(CountPrintPages(c.rows, c.rowsPerPage, c.pie), c.pages);
    }
}

TEST(PrintLayoutTest, RowsPerPageNeverFallsBelowOne) {
    struct Case {
        std::int64_t height;
        std::int64_t line;
        std::int64_t rows;
    };
    const Case cases[] = {
        {6450, 100, 59}, {6499, 100, 59}, {550, 100, 1},    {300, 100, 1},
        {0, 100, 1},     {6450, 0, 6445}, {6450, -5, 6445},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " / " << c.line);
        EXPECT_EQ(RowsPerPage(PrintRect{0, 0, 100, c.height}, c.line), c.rows);
    }
}

TEST(PrintLayoutTest, RowsOfAPage) {
    struct Case {
        std::int64_t page;
        std::int64_t rows;
        std::int64_t first;
        std::int64_t end;
    };
    const Case cases[] = {
        {1, 17, 0, 10}, {2, 17, 10, 17}, {3, 17, 0, 0},
        {2, 8, 0, 0},  // the closing line's page
        {1, 0, 0, 0},   {0, 17, 0, 0},   {std::numeric_limits<std::int64_t>::max(), 17, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << " of " << c.rows << " rows");
        const PageRows r = RowsOfPage(c.page, c.rows, 10);
        EXPECT_EQ(r.end - r.first, c.end - c.first);
        if (c.end > c.first) {
            EXPECT_EQ(r.first, c.first);
        }
    }
}

TEST(PrintLayoutTest, PrintableRectKeepsAQuarterInchOffTopLeftAndRight) {
    EXPECT_EQ(PrintableRect({600, 600, 5400, 6600, 100}), (PrintRect{150, 150, 5250, 6600}));
    EXPECT_EQ(PrintableRect({599, 601, 5400, 6600, 100}), (PrintRect{149, 150, 5251, 6600}));
    EXPECT_EQ(PrintableRect({0, 0, 5400, 6600, 100}), (PrintRect{0, 0, 5400, 6600}));
}

TEST(PrintLayoutTest, ColumnsScaledAcrossThePaper) {
    struct Case {
        const char* name;
        int kind;
        std::vector<ShowColumnEntry> set;
        std::int64_t dpi;
        std::vector<PrintColumn> columns;
    };
    const std::vector<ShowColumnEntry> registerSet(kRegisterColumns.begin(),
                                                   kRegisterColumns.end());
    const std::vector<ShowColumnEntry> reportSet(kReportColumns.begin(), kReportColumns.end());
    const std::vector<ShowColumnEntry> budgetSet(kBudgetColumns.begin(), kBudgetColumns.end());
    const std::vector<Case> cases = {
        // 796 visible pixels without the icon column over 5100.
        {"register",
         kPrintRegister,
         registerSet,
         600,
         {{0, 150, 166},
          {2, 316, 384},
          {3, 700, 384},
          {4, 1084, 1281},
          {5, 2365, 640},
          {6, 3005, 512},
          {7, 3517, 640},
          {8, 4157, 544},
          {9, 4701, 544}}},
        // 5100 pixels at 600 dpi are 816 of the set's; the name takes 716.
        {"report", kPrintReport, reportSet, 600, {{21, 150, 4475}, {23, 4625, 625}}},
        {"budget",
         kPrintBudget,
         budgetSet,
         600,
         {{21, 150, 3225}, {22, 3375, 625}, {23, 4000, 625}, {24, 4625, 625}}},
        // Nothing left for the rest: it counts 90.
        {"no rest left",
         kPrintReport,
         {{21, kColumnWidthRest, 1, 0}, {23, 900, 1, 0}},
         600,
         {{21, 150, 463}, {23, 613, 4636}}},
        // Each rest column takes the rest; the other counts as 0.
        {"two rest columns",
         kPrintReport,
         {{21, kColumnWidthRest, 1, 0}, {22, kColumnWidthRest, 1, 0}, {23, 100, 1, 0}},
         600,
         {{21, 150, 2383}, {22, 2533, 2383}, {23, 4916, 332}}},
        {"at least 24",
         kPrintRegister,
         {{2, 1, 1, 0}, {4, 1000, 1, 0}},
         600,
         {{2, 150, 24}, {4, 174, 5094}}},
        {"hidden ones left out",
         kPrintRegister,
         {{2, 60, 0, 0}, {4, 200, 1, 0}},
         600,
         {{4, 150, 5100}}},
        // The report's icon column is the register's to print.
        {"other icon kept",
         kPrintRegister,
         {{20, 50, 1, 0}, {4, 50, 1, 0}},
         600,
         {{20, 150, 2550}, {4, 2700, 2550}}},
        {"reconcile drops the icon too",
         kPrintReconcile,
         {{1, 26, 1, 0}, {4, 100, 1, 0}},
         600,
         {{4, 150, 5100}}},
        // Without a resolution the paper counts as it is.
        {"no resolution", kPrintReport, reportSet, 0, {{21, 150, 5000}, {23, 5150, 100}}},
        {"all hidden", kPrintRegister, {{2, 60, 0, 0}}, 600, {}},
        {"only the icon", kPrintRegister, {{1, 26, 1, 0}}, 600, {}},
        {"zero widths", kPrintRegister, {{2, 0, 1, 0}, {4, 0, 1, 0}}, 600, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CShowColumns set(c.set);
        EXPECT_EQ(LayoutPrintColumns(set, c.kind, 150, 5100, c.dpi), c.columns);
    }
}

TEST(PrintLayoutTest, LookupTablesGiveNothingOutsideThem) {
    const std::vector<std::string> filters = {"All",     "Reconciled", "Unreconciled",
                                              "Cleared", "Uncleared",  "Downloaded"};
    for (std::size_t i = 0; i < filters.size(); ++i)
        EXPECT_EQ(RegisterFilterText(static_cast<std::int64_t>(i)), filters[i]);
    EXPECT_EQ(ReportByText(0), "Payee");
    EXPECT_EQ(ReportByText(1), "Category");
    EXPECT_EQ(ReportByText(2), "Class");
    EXPECT_EQ(AmountKindText(0), "All");
    EXPECT_EQ(AmountKindText(1), "Income");
    EXPECT_EQ(AmountKindText(2), "Expenses");
    EXPECT_EQ(PeriodText(0, 0, 0), "Last 30 Days");
    EXPECT_EQ(PeriodText(4, 0, 0), "Last Year");
    EXPECT_EQ(PeriodText(7, 0, 0), "This Year");
    for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{6}, std::int64_t{0xFFFFFFFF},
                             std::numeric_limits<std::int64_t>::min()})
        EXPECT_EQ(RegisterFilterText(bad), "") << bad;
    for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{3}, std::int64_t{65535}}) {
        EXPECT_EQ(ReportByText(bad), "") << bad;
        EXPECT_EQ(AmountKindText(bad), "") << bad;
    }
    for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{9}, std::int64_t{255}})
        EXPECT_EQ(PeriodText(bad, 0, 0), "") << bad;
    EXPECT_EQ(HeaderReportText(7, 99, 0, 0, -4), "By:     Period:      Amounts: ");
    EXPECT_EQ(HeaderRegisterText(6), "Transactions: ");
}

TEST(PrintLayoutTest, HeaderTexts) {
    SetDateFormatter([](PalmTime t, unsigned) {
        const DateFields f = DateFields::FromPalmTime(t);
        char text[40];
        std::snprintf(text, sizeof text, "%d/%d/%d", f.month, f.day, f.year);
        return std::string(text);
    });
    DateFields start;
    start.year = 2012;
    start.month = 1;
    start.day = 2;
    DateFields end = start;
    end.month = 3;
    end.day = 31;
    const std::string name = "Caf\xE9";  // Windows-1252
    EXPECT_EQ(HeaderAccountText(&name, start.ToPalmTime()), "Account: Caf\xC3\xA9   1/2/2012");
    EXPECT_EQ(HeaderAccountText(nullptr, end.ToPalmTime()), "Account: All   3/31/2012");
    EXPECT_EQ(HeaderPageText(12), "Page 12");
    EXPECT_EQ(HeaderRegisterText(3), "Transactions: Cleared");
    EXPECT_EQ(HeaderReportText(1, 8, start.ToPalmTime(), end.ToPalmTime(), 2),
              "By: Category    Period: 1/2/2012 - 3/31/2012     Amounts: Expenses");
    EXPECT_EQ(HeaderBudgetText(2, 6, 0, 0), "By: Class    Period: This Quarter ");
    SetDateFormatter(nullptr);
}

TEST(PrintLayoutTest, ColumnHeadings) {
    struct Case {
        int kind;
        int id;
        std::int64_t by;
        const char* text;
    };
    const Case cases[] = {
        {kPrintRegister, 0, 0, ""},
        {kPrintRegister, 1, 0, ""},
        {kPrintRegister, 2, 0, "Date"},
        {kPrintRegister, 3, 0, "Type"},
        {kPrintRegister, 4, 0, "Payee"},
        {kPrintRegister, 5, 0, "Category"},
        {kPrintRegister, 6, 0, "Class"},
        {kPrintRegister, 7, 0, "Memo"},
        {kPrintRegister, 8, 0, "Amount"},
        {kPrintReconcile, 9, 0, "Balance"},
        {kPrintRegister, 21, 0, ""},
        {kPrintRegister, 10, 0, ""},
        {kPrintRegister, -1, 0, ""},
        {kPrintReport, 20, 1, ""},
        {kPrintReport, 21, 1, "Category"},
        {kPrintReport, 21, 0, "Payee"},
        {kPrintReport, 21, 5, ""},
        {kPrintReport, 22, 1, ""},
        {kPrintReport, 23, 1, "Amount"},
        {kPrintReport, 24, 1, "Difference"},
        {kPrintReport, 4, 1, ""},
        {kPrintBudget, 21, 2, "Class"},
        {kPrintBudget, 22, 2, "Budget"},
        {kPrintBudget, 23, 2, "Actual"},
        {kPrintBudget, 24, 2, "Difference"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " id " << c.id);
        EXPECT_EQ(ColumnHeadingText(c.kind, c.id, c.by), c.text);
    }
}

TEST(PrintLayoutTest, StatusTexts) {
    struct Case {
        std::uint8_t status;
        std::uint8_t review;
        bool reconcile;
        const char* text;
    };
    const Case cases[] = {
        {kStatusOpen, 0, false, "[ ]"},
        {kStatusCleared, 0, false, "[X]"},
        {kStatusReconciled, 0, false, "[X]"},
        {kStatusVoid, 0, false, "[V]"},
        {kStatusOpen | kStatusMarked, 0, false, "[ ]"},
        {kStatusVoid, 1, false, "[*]"},
        {kStatusCleared, 1, false, "[*]"},
        {kStatusCleared, 2, false, "[X]"},
        {kStatusOpen | kStatusMarked, 0, true, "[X]"},
        {kStatusCleared | kStatusMarked, 0, true, "[X]"},
        {kStatusCleared, 0, true, "[ ]"},
        {kStatusOpen, 1, true, "[ ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << int(c.status) << " review " << int(c.review)
                                        << " reconcile " << c.reconcile);
        CTransaction t;
        t.SetStatus(c.status);
        t.SetReviewState(c.review);
        EXPECT_EQ(PrintStatusText(t, c.reconcile), c.text);
    }
}

TEST(PrintLayoutTest, ClosingTexts) {
    EXPECT_EQ(BalanceClosingText(0, "$", 12345), "Balance: $123.45");
    EXPECT_EQ(BalanceClosingText(1, "$", -5), "Cleared: $-.05");
    EXPECT_EQ(BalanceClosingText(2, "$", 0), "Online Balance: $0");
    EXPECT_EQ(BalanceClosingText(7, "\xA3", 100),
              "Online Balance: \xC2\xA3"
              "1.00");
    EXPECT_EQ(ReportTotalText("$", -250000), "Total: $-2500.00");
    EXPECT_EQ(BudgetTotalText("\x80", 30000, 12550),
              "Budget Total: \xE2\x82\xAC"
              "300.00     Actual Total: \xE2\x82\xAC"
              "125.50     Difference Total: \xE2\x82\xAC-174.50");
    EXPECT_EQ(BudgetTotalText("$", std::numeric_limits<Cents>::min(), 1),
              "Budget Total: $-92233720368547758.08     Actual Total: $.01     Difference "
              "Total: $92233720368547758.07");
}

TEST(PrintLayoutTest, PieLaidOutAtThreeHundredDotsPerInchAtMost) {
    // Letter paper less quarter inches: at 1200 dpi, lines 200 high.
    const PrintPieLayout fine = LayoutPrintPie(PrintRect{300, 300, 9900, 13200}, 200, 1200);
    ASSERT_TRUE(fine.fits);
    EXPECT_EQ(fine.deviceDpi, 1200);
    EXPECT_EQ(fine.logicalDpi, 300);
    // The chart's rectangle 75..2475 by 400..3200 in the logical space.
    EXPECT_EQ(fine.centreX, 1275);
    EXPECT_EQ(fine.centreY, 1800);
    EXPECT_EQ(fine.radius, 1160);
    EXPECT_EQ(fine.labelRadius, 696);
    EXPECT_EQ(fine.labelBounds, (PrintRect{87, 400, 2463, 3200}));
    EXPECT_EQ(fine.totalTop, 13200 - 400 + 200);

    // The same paper at 300 dpi is laid out alike, unscaled.
    const PrintPieLayout plain = LayoutPrintPie(PrintRect{75, 75, 2475, 3300}, 50, 300);
    ASSERT_TRUE(plain.fits);
    EXPECT_EQ(plain.logicalDpi, 300);
    EXPECT_EQ(plain.deviceDpi, 300);
    EXPECT_EQ(plain.centreX, fine.centreX);
    EXPECT_EQ(plain.centreY, fine.centreY);
    EXPECT_EQ(plain.radius, fine.radius);

    // Coarser printers are not scaled up.
    EXPECT_EQ(LayoutPrintPie(PrintRect{37, 37, 1237, 1650}, 25, 150).logicalDpi, 150);

    // No room for a pie.
    EXPECT_FALSE(LayoutPrintPie(PrintRect{150, 150, 750, 1100}, 100, 600).fits);

    // Paper beyond 16 bits at 300 dpi is laid out coarser still.
    const PrintPieLayout huge = LayoutPrintPie(PrintRect{300, 300, 400000, 400000}, 200, 1200);
    ASSERT_TRUE(huge.fits);
    EXPECT_EQ(huge.logicalDpi, 75);
    EXPECT_EQ(huge.centreX, (18 + 25000) / 2);
}

}  // namespace
}  // namespace tallowmere::ui
