// Reports over a small data set: three accounts (one in a currency at rate
// 2), a transfer, a three-way split with a transfer line, a void entry,
// unknown categories and budgets; a table of reports by grouping, period and
// sign filter with their rows and totals worked out by hand.
#include "model/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/account_test_world.h"
#include "model/accounts.h"
#include "model/chart.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Day;
using test::MakeTx;

constexpr RecordId kSalary = RecordId::Fixed(0x6B);
constexpr RecordId kAuto = RecordId::Fixed(0x6C);
constexpr RecordId kFuel = RecordId::Fixed(0x6D);
constexpr RecordId kAutoInsurance = RecordId::Fixed(0x6E);
constexpr RecordId kDining = RecordId::Fixed(0x73);
constexpr RecordId kGifts = RecordId::Fixed(0x76);
constexpr RecordId kTax = RecordId::Fixed(0x83);

class RecordingChart : public CChart {
  protected:
    void DrawSlice(int, int, int, const ChartSlice&) override {}
    void DrawLabel(int, int, int, const ChartSlice&) override {}
};

// Today is 2012-03-15 10:30 for every test.
class ReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClock(&clock_);
        folder_ = test::MakeTempDir("report");
        AccountsLoadFailure failure;
        ASSERT_EQ(CAccounts::LoadInto(set_, folder_, {}, &failure), 0) << failure.path;
        Build();
    }
    void TearDown() override { platform::SetClock(nullptr); }

    CAccount& Named(const char* name) {
        CAccount* a = set_->FindAccountByName(name);
        EXPECT_NE(a, nullptr) << name;
        return *a;
    }

    void Add(CAccount& a, PalmTime date, Cents amount, const char* payee, RecordId category,
             RecordId cls = kNoneId, std::uint8_t status = kStatusOpen) {
        auto t = MakeTx(date, amount, status, payee);
        t->SetCategoryId(category);
        t->SetClassId(cls);
        a.AddTransaction(std::move(t));
    }

    void Build() {
        // Three accounts: the two other default cards go.
        ASSERT_EQ(set_->DeleteAccount(Named("Mastercard")), 0);
        ASSERT_EQ(set_->DeleteAccount(Named("American Express")), 0);
        ASSERT_EQ(set_->GetAccountCount(), 3u);

        auto two = std::make_unique<CCurrencyItem>("TWO");
        const CurrencyId twoId = set_->Currencies().NewCurrencyId();
        two->SetCurrencyId(twoId);
        two->SetRate(2.0);
        ASSERT_EQ(set_->Currencies().AddUniqueAndSave(two), 0);

        CAccount& checking = Named("Checking");
        CAccount& savings = Named("Savings");
        CAccount& visa = Named("Visa");
        visa.Header().SetCurrencyId(twoId);

        Add(checking, Day(2012, 2, 1), 300000, "Acme", kSalary, BusinessClassId);
        Add(checking, Day(2012, 2, 3), -4500, "Gas Stop", kFuel, PersonalClassId);
        auto split = MakeTx(Day(2012, 2, 5), -12000, kStatusOpen, "Market");
        split->SetCategoryId(SplitMarkerId);
        split->SetSplitCategoryId(0, kFuel);
        split->SetSplitClassId(0, PersonalClassId);
        split->SetSplitAmount(0, 3000);
        split->SetSplitCategoryId(1, kAutoInsurance);
        split->SetSplitClassId(1, BusinessClassId);
        split->SetSplitAmount(1, 5000);
        split->SetSplitCategoryId(2, visa.Header().GetId());
        split->SetSplitAmount(2, 2000);
        splitId_ = split->GetId();
        ASSERT_EQ(checking.AddTransactionWithTransfer(std::move(split)), 0);
        Add(checking, Day(2012, 2, 7), -50000, "Void Co", kFuel, kNoneId, kStatusVoid);
        ASSERT_EQ(set_->CreateTransfer(Day(2012, 2, 10), checking, savings, 25000, false, nullptr),
                  0);
        Add(checking, Day(2012, 2, 28), -50, "Kiosk", kDining);
        Add(checking, Day(2012, 3, 2), -1000, "Gas Stop", kFuel);
        Add(checking, Day(2011, 12, 20), -8000, "Corner Shop", kNoneId);

        // In TWO: -61.00 is -30.50 at home, 15.01 is 7.505, rounded away.
        Add(visa, Day(2012, 2, 20), -6100, "gas stop", kFuel);
        Add(visa, Day(2012, 2, 21), 1501, "Refund Desk", kAuto, PersonalClassId);

        unknownA_ = NewRecordId();
        unknownB_ = NewRecordId();
        Add(savings, Day(2012, 2, 25), 1200, "Bank", unknownA_);
        Add(savings, Day(2012, 2, 26), 300, "Bank", unknownB_);
        ASSERT_EQ(set_->Save(), 0);
    }

    test::FixedClock clock_;
    std::string folder_;
    std::unique_ptr<CAccounts> set_;
    RecordId splitId_;
    RecordId unknownA_;
    RecordId unknownB_;
};

struct Row {
    std::string name;
    Cents amount;
};

std::vector<Row> RowsOf(const CReport& r) {
    std::vector<Row> rows;
    for (std::size_t i = 0; i < r.GetItemCount(); ++i)
        rows.push_back({r.GetItem(i)->GetName(), r.GetItem(i)->GetAmount()});
    return rows;
}

void ExpectRows(const CReport& r, const std::vector<Row>& expected, const std::string& what) {
    const std::vector<Row> rows = RowsOf(r);
    ASSERT_EQ(rows.size(), expected.size()) << what;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, expected[i].name) << what << " row " << i;
        EXPECT_EQ(rows[i].amount, expected[i].amount) << what << " row " << i;
    }
}

CReportItem* FindRow(const CReport& r, std::string_view name) {
    for (std::size_t i = 0; i < r.GetItemCount(); ++i) {
        if (r.GetItem(i)->GetName() == name)
            return r.GetItem(i);
    }
    return nullptr;
}

TEST_F(ReportTest, TableOfReports) {
    // The two unknown categories are rows of their own, ordered by id.
    const bool aFirst = RecordId::Compare(unknownA_, unknownB_) < 0;
    const Cents firstUnknown = aFirst ? 1200 : 300;
    const Cents secondUnknown = aFirst ? 300 : 1200;

    struct Case {
        const char* what;
        std::uint8_t groupBy;
        std::uint8_t period;
        std::uint8_t filter;
        const char* account;  // null: all accounts
        int showEmpty;
        std::vector<Row> rows;
        Cents total;
    };
    const std::vector<Case> cases = {
        {"category, last month, all",
         kReportByCategory,
         kReportLastMonth,
         kReportAllAmounts,
         nullptr,
         0,
         {{"Auto", 751},
          {"    Fuel", -4500 - 3000 - 3050},
          {"    Insurance", -5000},
          {"    Total Auto", 751 - 10550 - 5000},
          {"Dining", -50},
          {"Salary", 300000},
          {"", firstUnknown},
          {"", secondUnknown},
          {"<Unassigned>", -2000},
          {"[Visa]", -2000}},
         300000 - 4500 - 12000 - 50 - 3050 + 751 + 1500},
        {"category, last month, expenses",
         kReportByCategory,
         kReportLastMonth,
         kReportExpensesOnly,
         nullptr,
         0,
         {{"Auto", 0},
          {"    Fuel", -10550},
          {"    Insurance", -5000},
          {"    Total Auto", -15550},
          {"Dining", -50},
          {"<Unassigned>", -2000},
          {"[Visa]", -2000}},
         -10550 - 5000 - 50 - 2000 - 2000},
        // On one account the transfer line is left out, and not taken in by
        // the remainder either.
        {"category, last month, expenses, checking",
         kReportByCategory,
         kReportLastMonth,
         kReportExpensesOnly,
         "Checking",
         0,
         {{"Auto", 0},
          {"    Fuel", -7500},
          {"    Insurance", -5000},
          {"    Total Auto", -12500},
          {"Dining", -50},
          {"<Unassigned>", -2000}},
         -7500 - 5000 - 50 - 2000},
        {"category, last month, income",
         kReportByCategory,
         kReportLastMonth,
         kReportIncomeOnly,
         nullptr,
         0,
         // Auto's children come to nothing and go; its sub-total stays.
         {{"Auto", 751},
          {"    Total Auto", 751},
          {"Salary", 300000},
          {"", firstUnknown},
          {"", secondUnknown}},
         300000 + 751 + 1500},
        {"category, this month, all",
         kReportByCategory,
         kReportThisMonth,
         kReportAllAmounts,
         nullptr,
         0,
         {{"Auto", 0}, {"    Fuel", -1000}, {"    Total Auto", -1000}},
         -1000},
        {"category, last year, all",
         kReportByCategory,
         kReportLastYear,
         kReportAllAmounts,
         nullptr,
         0,
         {{"<Unassigned>", -8000}},
         -8000},
        {"payee, last month, all",
         kReportByPayee,
         kReportLastMonth,
         kReportAllAmounts,
         nullptr,
         1,
         {{"Acme", 300000},
          {"Bank", 1500},
          {"Gas Stop", -4500 - 3050},
          {"Kiosk", -50},
          {"Market", -12000},
          {"Refund Desk", 751}},
         300000 + 1500 - 7550 - 50 - 12000 + 751},
        {"payee, this quarter, expenses, visa",
         kReportByPayee,
         kReportThisQuarter,
         kReportExpensesOnly,
         "Visa",
         1,
         {{"gas stop", -3050}},
         -3050},
        {"class, this quarter, income",
         kReportByClass,
         kReportThisQuarter,
         kReportIncomeOnly,
         nullptr,
         0,
         {{"Business", 300000}, {"Personal", 751}, {"<Unassigned>", 1500}},
         300000 + 751 + 1500},
        {"class, this quarter, expenses",
         kReportByClass,
         kReportThisQuarter,
         kReportExpensesOnly,
         nullptr,
         0,
         {{"Business", -5000},
          {"Personal", -4500 - 3000},
          {"<Unassigned>", -2000 - 2000 - 50 - 1000 - 3050}},
         -5000 - 7500 - 8100},
        // Last 30 days: 2012-02-14 to 2012-03-15, empty rows shown.
        {"class, last 30 days, all",
         kReportByClass,
         kReportLast30Days,
         kReportAllAmounts,
         nullptr,
         1,
         {{"Business", 0}, {"Personal", 751}, {"<Unassigned>", -3050 + 1500 - 50 - 1000}},
         751 - 3050 + 1500 - 50 - 1000},
    };
    for (const Case& c : cases) {
        CReport r(*set_);
        r.SetGroupBy(c.groupBy);
        r.SetPeriodKind(c.period);
        PalmTime start = 0;
        PalmTime end = 0;
        ReportDateRange(c.period, start, end);
        r.SetRange(start, end);
        r.SetSignFilter(c.filter);
        r.SetShowEmptyRows(c.showEmpty);
        if (c.account != nullptr)
            r.SetAccountId(Named(c.account).Header().GetId());
        ASSERT_EQ(r.Compute(), 0) << c.what;
        ExpectRows(r, c.rows, c.what);
        EXPECT_EQ(r.GetTotal(), c.total) << c.what;
    }
}

TEST_F(ReportTest, EmptyRowsShownAndSubTotalsOnlyInTextReports) {
    CReport r(*set_);
    r.SetGroupBy(kReportByCategory);
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportLastMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    // 30 categories, three sub-totals (Auto, Travel, Utilities), two unknown
    // ids, "<Unassigned>" and "[Visa]".
    EXPECT_EQ(r.GetItemCount(), 30u + 3u + 2u + 2u);
    const CReportItem* fuel = FindRow(r, "    Fuel");
    ASSERT_NE(fuel, nullptr);
    EXPECT_EQ(fuel->GetLabel(), "Auto:Fuel");
    EXPECT_EQ(fuel->GetTransactions().size(), 3u);  // the void entry is not among them
    const CReportItem* total = FindRow(r, "    Total Travel");
    ASSERT_NE(total, nullptr);
    EXPECT_TRUE(total->IsSubTotal());
    EXPECT_EQ(total->GetAmount(), 0);

    for (const auto& [budget, other] : {std::pair{1, 0}, std::pair{0, 1}}) {
        r.SetBudgetMode(static_cast<std::uint8_t>(budget));
        r.SetOtherBucket(static_cast<std::uint8_t>(other));
        ASSERT_EQ(r.Compute(), 0);
        EXPECT_EQ(FindRow(r, "    Total Auto"), nullptr) << budget << other;
    }
}

TEST_F(ReportTest, OtherTakesSmallRowsAndAZeroOtherGetsNoSlice) {
    CReport r(*set_);
    r.SetGroupBy(kReportByPayee);
    r.SetSignFilter(kReportExpensesOnly);
    r.SetOtherBucket(1);
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportLastMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    // Threshold: 0.5 % of 196.00 is 0.98, so the kiosk's 0.50 is folded.
    ExpectRows(r, {{"Gas Stop", -7550}, {"Market", -12000}, {"Other", -50}}, "other");
    EXPECT_EQ(r.GetTotal(), -19600);

    RecordingChart chart;
    ASSERT_EQ(r.BuildSlices(chart), 3);
    // (7550 * 360 + 9800) / 19600 = 139, (12000 * 360 + 9800) / 19600 = 220,
    // and the last row takes what is left.
    EXPECT_EQ(chart.GetSlice(0)->endAngle - chart.GetSlice(0)->startAngle, 139);
    EXPECT_EQ(chart.GetSlice(1)->endAngle - chart.GetSlice(1)->startAngle, 220);
    EXPECT_EQ(chart.GetSlice(2)->endAngle, 360);
    EXPECT_EQ(chart.GetSlice(0)->Label(), "Gas Stop");
    EXPECT_EQ(chart.GetItemData(2), r.GetItem(2));

    ReportDateRange(kReportThisMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    ExpectRows(r, {{"Gas Stop", -1000}, {"Other", 0}}, "zero other");
    ASSERT_EQ(r.BuildSlices(chart), 1);
    EXPECT_EQ(chart.GetSlice(0)->endAngle, 360);
    EXPECT_EQ(chart.GetItemData(0), r.GetItem(0));

    r.SetRange(Day(2000, 1, 1), Day(2000, 1, 2));
    ASSERT_EQ(r.Compute(), 0);
    // Without rows there is no "Other" either.
    EXPECT_EQ(r.GetItemCount(), 0u);
    EXPECT_EQ(r.BuildSlices(chart), 0);
    EXPECT_EQ(chart.GetCount(), 0);
}

TEST_F(ReportTest, Budgets) {
    ASSERT_EQ(set_->Categories().SetBudgetAmount(kFuel, 10000), 0);
    ASSERT_EQ(set_->Categories().SetBudgetAmount(kTax, 5000), 0);
    CReport r(*set_);
    r.SetGroupBy(kReportByCategory);
    r.SetBudgetMode(1);
    r.SetSignFilter(kReportExpensesOnly);  // ignored in budget mode
    r.SetShowEmptyRows(0);
    r.SetPeriodKind(kReportThisQuarter);
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportThisQuarter, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(r.GetSignFilter(), kReportAllAmounts);
    EXPECT_EQ(r.GetBudgetTotal(), 15000);
    // Tax has nothing but a budget, so it stays.
    const CReportItem* tax = FindRow(r, "Tax");
    ASSERT_NE(tax, nullptr);
    EXPECT_EQ(tax->GetAmount(), 0);
    const CReportItem* fuel = FindRow(r, "    Fuel");
    ASSERT_NE(fuel, nullptr);
    EXPECT_EQ(fuel->GetAmount(), -4500 - 3000 - 1000 - 3050);
    EXPECT_EQ(r.GetItemBudget(*fuel, false), 10000);
    EXPECT_EQ(r.GetItemBudget(*fuel, true), 30000);
    r.SetPeriodKind(kReportLastYear);
    EXPECT_EQ(r.GetItemBudget(*fuel, true), 120000);
    EXPECT_EQ(r.SetItemBudget(*r.GetItem(r.GetItemCount() - 2), 100), -1);  // "<Unassigned>"

    const CReportItem* tax2 = FindRow(r, "Tax");
    ASSERT_EQ(r.SetItemBudget(*tax2, 0), 0);
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(FindRow(r, "Tax"), nullptr);
    EXPECT_EQ(r.GetBudgetTotal(), 10000);

    // Payee and class budgets go to their lists; a new payee is made.
    r.SetGroupBy(kReportByPayee);
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(r.GetBudgetTotal(), 0);
    const CReportItem* kiosk = FindRow(r, "Kiosk");
    ASSERT_NE(kiosk, nullptr);
    ASSERT_EQ(r.SetItemBudget(*kiosk, 2500), 0);
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(r.GetBudgetTotal(), 2500);
    EXPECT_EQ(r.GetItemBudget(*FindRow(r, "Kiosk"), false), 2500);

    r.SetGroupBy(kReportByClass);
    ASSERT_EQ(r.Compute(), 0);
    ASSERT_EQ(r.SetItemBudget(*FindRow(r, "Business"), 4000), 0);
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(r.GetBudgetTotal(), 4000);
    EXPECT_EQ(r.GetItemBudget(*FindRow(r, "Business"), true), 4000 * 12);
}

TEST(ReportPeriods, RangesOfEachKind) {
    struct Case {
        platform::LocalTime today;
        int kind;
        PalmTime start;
        PalmTime end;
    };
    const auto at = [](int y, int m, int d, int h, int mi, int s) {
        DateFields f;
        f.year = static_cast<std::int16_t>(y);
        f.month = static_cast<std::int16_t>(m);
        f.day = static_cast<std::int16_t>(d);
        f.hour = static_cast<std::int16_t>(h);
        f.minute = static_cast<std::int16_t>(mi);
        f.second = static_cast<std::int16_t>(s);
        return f.ToPalmTime();
    };
    const auto first = [&](int y, int m, int d) { return at(y, m, d, 0, 0, 0); };
    const auto last = [&](int y, int m, int d) { return at(y, m, d, 23, 59, 59); };
    const platform::LocalTime mid{2012, 3, 15, 10, 30, 0};
    const platform::LocalTime newYear{2012, 1, 1, 0, 0, 5};
    const platform::LocalTime leap{2012, 2, 29, 23, 0, 0};
    const std::vector<Case> cases = {
        {mid, kReportLast30Days, first(2012, 2, 14), last(2012, 3, 15)},
        {mid, kReportLast90Days, first(2011, 12, 16), last(2012, 3, 15)},
        {mid, kReportLastMonth, first(2012, 2, 1), last(2012, 2, 29)},
        {mid, kReportLastQuarter, first(2011, 10, 1), last(2011, 12, 31)},
        {mid, kReportLastYear, first(2011, 1, 1), last(2011, 12, 31)},
        {mid, kReportThisMonth, first(2012, 3, 1), last(2012, 3, 31)},
        {mid, kReportThisQuarter, first(2012, 1, 1), last(2012, 3, 31)},
        {mid, kReportThisYear, first(2012, 1, 1), last(2012, 12, 31)},
        {newYear, kReportLastMonth, first(2011, 12, 1), last(2011, 12, 31)},
        {newYear, kReportLastQuarter, first(2011, 10, 1), last(2011, 12, 31)},
        {newYear, kReportLastYear, first(2011, 1, 1), last(2011, 12, 31)},
        {leap, kReportThisMonth, first(2012, 2, 1), last(2012, 2, 29)},
        {leap, kReportLastMonth, first(2012, 1, 1), last(2012, 1, 31)},
        {leap, kReportLast30Days, first(2012, 1, 30), last(2012, 2, 29)},
    };
    test::FixedClock clock;
    platform::SetClock(&clock);
    for (const Case& c : cases) {
        clock.now = c.today;
        PalmTime start = 0;
        PalmTime end = 0;
        ReportDateRange(c.kind, start, end);
        EXPECT_EQ(start, c.start) << c.kind << " on " << c.today.month << "/" << c.today.day;
        EXPECT_EQ(end, c.end) << c.kind << " on " << c.today.month << "/" << c.today.day;
    }
    platform::SetClock(nullptr);

    // A picked range takes in the whole of its end day.
    PalmTime start = at(2012, 5, 4, 13, 0, 0);
    PalmTime end = first(2012, 5, 9);
    ReportDateRange(kReportCustomRange, start, end);
    EXPECT_EQ(start, first(2012, 5, 4));
    EXPECT_EQ(end, last(2012, 5, 9));
}

TEST(ReportPeriods, BudgetScale) {
    const std::vector<std::pair<int, Cents>> cases = {
        {0, 10000}, {1, 10000}, {2, 10000},  {3, 30000}, {4, 120000},
        {5, 10000}, {6, 30000}, {7, 120000}, {8, 10000},
    };
    for (const auto& [kind, scaled] : cases)
        EXPECT_EQ(ScaleBudgetToPeriod(kind, 10000), scaled) << kind;
    EXPECT_EQ(ScaleBudgetToPeriod(7, std::numeric_limits<Cents>::max() / 2),
              std::numeric_limits<Cents>::max());
}

TEST_F(ReportTest, SortingIsStableAndCategoryNamesRecompute) {
    CReport r(*set_);
    r.SetGroupBy(kReportByPayee);
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportLastMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    r.SortItems(kReportSortAmount, true);
    ExpectRows(r,
               {{"Market", -12000},
                {"Gas Stop", -7550},
                {"Kiosk", -50},
                {"Refund Desk", 751},
                {"Bank", 1500},
                {"Acme", 300000}},
               "by amount");
    // Every budget is 0: the order stays, in both directions.
    r.SortItems(kReportSortBudget, false);
    EXPECT_EQ(r.GetItem(0)->GetName(), "Market");
    EXPECT_EQ(r.GetItem(5)->GetName(), "Acme");
    r.SortItems(kReportSortName, false);
    EXPECT_EQ(r.GetItem(0)->GetName(), "Refund Desk");
    EXPECT_EQ(r.GetItem(5)->GetName(), "Acme");

    r.SetGroupBy(kReportByCategory);
    r.SetShowEmptyRows(0);
    r.SortItems(kReportSortName, false);
    EXPECT_EQ(r.GetItem(0)->GetName(), "[Visa]");
    EXPECT_EQ(r.GetItem(r.GetItemCount() - 1)->GetName(), "Auto");
}

TEST_F(ReportTest, MembershipAfterEdits) {
    CReport r(*set_);
    r.SetGroupBy(kReportByCategory);
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportLastMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    CAccount& checking = Named("Checking");
    const RecordId checkingId = checking.Header().GetId();
    const CTransaction& split = *checking.FindTransactionById(splitId_);

    CReportItem* insurance = FindRow(r, "    Insurance");
    CReportItem* unassigned = FindRow(r, "<Unassigned>");
    CReportItem* totalAuto = FindRow(r, "    Total Auto");
    CReportItem* dining = FindRow(r, "Dining");
    ASSERT_TRUE(insurance && unassigned && totalAuto && dining);
    EXPECT_TRUE(r.IncludesTransaction(*insurance, checkingId, split));
    EXPECT_TRUE(r.IncludesTransaction(*unassigned, checkingId, split));  // its remainder
    EXPECT_TRUE(r.IncludesTransaction(*totalAuto, checkingId, split));

    // The kiosk entry moves to another category: the row lets it go.
    ASSERT_EQ(dining->GetTransactions().size(), 1u);
    CTransaction moved(*r.ResolveTransaction(dining->GetTransactions()[0]));
    EXPECT_FALSE(r.IncludesTransaction(*unassigned, checkingId, moved));
    moved.SetCategoryId(kTax);
    EXPECT_FALSE(r.IncludesTransaction(*dining, checkingId, moved));
    EXPECT_TRUE(dining->GetTransactions().empty());

    // A split whose lines cover the whole amount leaves nothing unassigned.
    CTransaction covered(split);
    covered.SetSplitAmount(2, 4000);
    EXPECT_FALSE(r.IncludesTransaction(*unassigned, checkingId, covered));
}

// Split lines stand anywhere among the ten, with empty lines between them.
// Whatever row a split was counted in, it stays in; no other row claims it.
TEST_F(ReportTest, SplitWithGapsStaysInItsRows) {
    struct Line {
        std::size_t index;
        RecordId category;
        RecordId cls;
        Cents amount;
    };
    struct Case {
        const char* what;
        std::uint8_t groupBy;
        Cents amount;
        std::vector<Line> lines;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases = {
        {"Auto, empty, Dining",
         kReportByCategory,
         -5000,
         {{0, kAuto, kNoneId, 3000}, {2, kDining, kNoneId, 2000}},
         {"Auto", "    Total Auto", "Dining"}},
        {"Auto, Dining, empty, Gifts",
         kReportByCategory,
         -5000,
         {{0, kAuto, kNoneId, 1000}, {1, kDining, kNoneId, 1000}, {3, kGifts, kNoneId, 3000}},
         {"Auto", "    Total Auto", "Dining", "Gifts"}},
        {"a zero line with a category counts, the rest is unassigned",
         kReportByCategory,
         -5000,
         {{1, kGifts, kNoneId, 0}, {9, kDining, kNoneId, 2000}},
         {"Dining", "Gifts", "<Unassigned>"}},
        {"classes across a gap",
         kReportByClass,
         -5000,
         {{0, kAuto, BusinessClassId, 3000}, {2, kDining, PersonalClassId, 2000}},
         {"Business", "Personal"}},
        {"a zero line with only a class counts nowhere",
         kReportByClass,
         -5000,
         {{0, kAuto, BusinessClassId, 5000}, {1, kNoneId, PersonalClassId, 0}},
         {"Business"}},
    };
    CAccount& checking = Named("Checking");
    const RecordId checkingId = checking.Header().GetId();
    PalmTime day = Day(2010, 6, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto split = MakeTx(day, c.amount, kStatusOpen, "Stall");
        split->SetCategoryId(SplitMarkerId);
        for (const Line& l : c.lines) {
            split->SetSplitCategoryId(l.index, l.category);
            split->SetSplitClassId(l.index, l.cls);
            split->SetSplitAmount(l.index, l.amount);
        }
        const ReportTransactionRef ref{checkingId, split->GetId()};
        checking.AddTransaction(std::move(split));
        const CTransaction& t = *checking.FindTransactionById(ref.transaction);

        CReport r(*set_);
        r.SetGroupBy(c.groupBy);
        PalmTime start = day;
        PalmTime end = day;
        ReportDateRange(kReportCustomRange, start, end);
        r.SetRange(start, end);
        ASSERT_EQ(r.Compute(), 0);
        for (std::size_t i = 0; i < r.GetItemCount(); ++i) {
            CReportItem& row = *r.GetItem(i);
            const auto& refs = row.GetTransactions();
            const bool counted = std::find(refs.begin(), refs.end(), ref) != refs.end();
            const bool expected =
                std::find(c.rows.begin(), c.rows.end(), row.GetName()) != c.rows.end();
            EXPECT_EQ(counted, expected) << row.GetName();
            EXPECT_EQ(r.IncludesTransaction(row, checkingId, t), counted) << row.GetName();
            EXPECT_EQ(std::find(refs.begin(), refs.end(), ref) != refs.end(), counted)
                << row.GetName();
        }
        day += 86400;
    }
}

// A parent's total lists each transaction of its rows once, in the order the
// rows first list it: the split with lines in Fuel and Insurance (and twice
// in Fuel) comes once, after the parent's own entry and Fuel's earlier one;
// its Lodging line puts it in Travel's total as well.
TEST_F(ReportTest, SubTotalsListEachTransactionOnceInFirstSeenOrder) {
    constexpr RecordId kLodging = RecordId::Fixed(0x92);
    CAccount& checking = Named("Checking");
    Add(checking, Day(2010, 6, 1), -1000, "Pump", kFuel);
    auto split = MakeTx(Day(2010, 6, 2), -6000, kStatusOpen, "Split");
    split->SetCategoryId(SplitMarkerId);
    const std::vector<std::pair<RecordId, Cents>> lines = {
        {kAutoInsurance, 2000}, {kFuel, 500}, {kLodging, 1000}, {kFuel, 300}, {kDining, 2200}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        split->SetSplitCategoryId(i, lines[i].first);
        split->SetSplitAmount(i, lines[i].second);
    }
    checking.AddTransaction(std::move(split));
    Add(checking, Day(2010, 6, 3), -700, "Lot", kAuto);
    Add(Named("Visa"), Day(2010, 6, 1), -400, "Pump2", kAutoInsurance);

    CReport r(*set_);
    r.SetGroupBy(kReportByCategory);
    PalmTime start = Day(2010, 6, 1);
    PalmTime end = Day(2010, 6, 3);
    ReportDateRange(kReportCustomRange, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);

    struct Case {
        const char* row;
        Cents amount;
        std::vector<std::string> payees;
    };
    const std::vector<Case> cases = {
        {"    Fuel", -1800, {"Pump", "Split"}},
        {"    Insurance", -2200, {"Split", "Pump2"}},
        {"    Total Auto", -4700, {"Lot", "Pump", "Split", "Pump2"}},
        {"    Total Travel", -1000, {"Split"}},
    };
    for (const Case& c : cases) {
        const CReportItem* row = FindRow(r, c.row);
        ASSERT_NE(row, nullptr) << c.row;
        EXPECT_EQ(row->GetAmount(), c.amount) << c.row;
        std::vector<std::string> payees;
        for (const ReportTransactionRef& ref : row->GetTransactions()) {
            const CTransaction* t = r.ResolveTransaction(ref);
            ASSERT_NE(t, nullptr) << c.row;
            payees.push_back(t->GetPayeeName());
        }
        EXPECT_EQ(payees, c.payees) << c.row;
    }
}

// Three lines of 0.01 in TWO round to 0.01 each at home while the whole
// 0.03 comes to 0.02: the rest is worked out before converting, so no
// stray cent turns up in "<Unassigned>".
TEST_F(ReportTest, ForeignSplitLeavesNoRoundingRemainder) {
    CAccount& visa = Named("Visa");
    auto split = MakeTx(Day(2010, 6, 1), -3, kStatusOpen, "Stall");
    split->SetCategoryId(SplitMarkerId);
    for (std::size_t i = 0; i < 3; ++i) {
        split->SetSplitCategoryId(i, i == 2 ? kDining : kFuel);
        split->SetSplitAmount(i, 1);
    }
    visa.AddTransaction(std::move(split));
    CReport r(*set_);
    r.SetGroupBy(kReportByCategory);
    r.SetShowEmptyRows(0);
    PalmTime start = Day(2010, 6, 1);
    PalmTime end = start;
    ReportDateRange(kReportCustomRange, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    ExpectRows(r, {{"Auto", 0}, {"    Fuel", -2}, {"    Total Auto", -2}, {"Dining", -1}},
               "foreign split");
    EXPECT_EQ(r.GetTotal(), -2);
}

TEST_F(ReportTest, RowsSurviveAReload) {
    CReport r(*set_);
    r.SetGroupBy(kReportByPayee);
    r.SetAccountId(Named("Visa").Header().GetId());
    PalmTime start = 0;
    PalmTime end = 0;
    ReportDateRange(kReportLastMonth, start, end);
    r.SetRange(start, end);
    ASSERT_EQ(r.Compute(), 0);
    ASSERT_EQ(r.GetItemCount(), 2u);
    const ReportTransactionRef ref = r.GetItem(0)->GetTransactions().at(0);

    AccountsLoadFailure failure;
    ASSERT_EQ(CAccounts::LoadInto(set_, folder_, {}, &failure), 0) << failure.path;
    r.SetData(*set_);
    const CTransaction* t = r.ResolveTransaction(ref);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetPayeeName(), "gas stop");
    ASSERT_EQ(r.Compute(), 0);
    EXPECT_EQ(r.GetItemCount(), 2u);

    r.SetAccountId(NewRecordId());
    EXPECT_EQ(r.Compute(), -1);
    EXPECT_EQ(r.GetItemCount(), 0u);
}

}  // namespace
}  // namespace tallowmere
