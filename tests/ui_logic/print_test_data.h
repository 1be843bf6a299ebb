#pragma once
// A user's data set for printing tests: the default accounts and lists in a
// temporary folder, a register filled with entries of every kind (checks,
// deposits, void, cleared, reconciled, marked, awaiting review, a split, a
// two-line memo, a long payee) over an overdrawn opening, and reports and
// budgets by category over it. Today is 2012-03-15; dates read as the
// program shows them in an American locale, "3/15/12".
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "model/account_test_world.h"
#include "model/accounts.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/report.h"
#include "model/transaction_type.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere::test {

inline constexpr RecordId kSalaryId = RecordId::Fixed(0x6B);
inline constexpr RecordId kFuelId = RecordId::Fixed(0x6D);
inline constexpr RecordId kDiningId = RecordId::Fixed(0x73);
inline constexpr RecordId kEducationId = RecordId::Fixed(0x74);
inline constexpr RecordId kGroceriesId = RecordId::Fixed(0x77);
inline constexpr RecordId kMiscId = RecordId::Fixed(0x7F);
inline constexpr RecordId kUtilitiesId = RecordId::Fixed(0x8C);

// 32 characters: the most a payee holds.
inline constexpr const char* kLongPayee = "Bookshop on the Hill and Coffee!";

class PrintData {
  public:
    PrintData() {
        platform::SetClock(&clock_);
        SetDateFormatter([](PalmTime t, unsigned) {
            const DateFields f = DateFields::FromPalmTime(t);
            char text[40];
            std::snprintf(text, sizeof text, "%d/%d/%02d", f.month, f.day, f.year % 100);
            return std::string(text);
        });
        folder_ = MakeTempDir("print");
        AccountsLoadFailure failure;
        EXPECT_EQ(CAccounts::LoadInto(data_, folder_, {}, &failure), 0) << failure.path;
    }
    ~PrintData() {
        SetDateFormatter(nullptr);
        platform::SetClock(nullptr);
    }
    PrintData(const PrintData&) = delete;
    PrintData& operator=(const PrintData&) = delete;

    CAccounts& Data() { return *data_; }
    CAccount& Account(const char* name) {
        CAccount* a = data_->FindAccountByName(name);
        EXPECT_NE(a, nullptr) << name;
        return *a;
    }

    // n entries, one a day from 2011-01-01, cycling through ten kinds, after
    // an opening balance of -3,000.00.
    void FillRegister(CAccount& account, int n) {
        account.Header().SetOpeningBalance(-300000);
        for (int i = 0; i < n; ++i)
            account.AddTransaction(Entry(i));
        account.RecalcBalances();
    }

    // A report (or budget) by category over the whole register's time.
    std::unique_ptr<CReport> MakeReport(bool budget, std::uint8_t period = kReportCustomRange) {
        auto report = std::make_unique<CReport>(*data_);
        Configure(*report, budget, period);
        EXPECT_EQ(report->Compute(), 0);
        return report;
    }
    // The report of the pie: expenses, small ones folded into "Other".
    std::unique_ptr<CReport> MakePieReport() {
        auto report = std::make_unique<CReport>(*data_);
        Configure(*report, false, kReportCustomRange);
        report->SetSignFilter(kReportExpensesOnly);
        report->SetOtherBucket(1);
        EXPECT_EQ(report->Compute(), 0);
        return report;
    }

    FixedClock clock_;

  private:
    static void Configure(CReport& report, bool budget, std::uint8_t period) {
        report.SetBudgetMode(budget ? 1 : 0);
        report.SetGroupBy(kReportByCategory);
        report.SetPeriodKind(period);
        report.SetRange(Day(2010, 1, 1), Day(2013, 12, 31));
        report.SetShowEmptyRows(0);
    }

    static std::unique_ptr<CTransaction> Entry(int i) {
        const PalmTime date = Day(2011, 1, 1) + static_cast<PalmTime>(i) * kSecondsPerDay;
        std::unique_ptr<CTransaction> t;
        switch (i % 10) {
            case 0:
                t = MakeTx(date, -(4567 + i), kStatusCleared, "Corner Grocery", CheckTypeId);
                t->SetCheckNumber(static_cast<std::uint32_t>(1000 + i));
                t->SetCategoryId(kGroceriesId);
                t->SetClassId(PersonalClassId);
                break;
            case 1:
                t = MakeTx(date, 250000, kStatusReconciled, "Paycheck");
                t->SetCategoryId(kSalaryId);
                t->SetClassId(BusinessClassId);
                break;
            case 2:
                t = MakeTx(date, -12035, kStatusOpen, "City Power & Light");
                t->SetCategoryId(kUtilitiesId);
                t->SetMemo("bill\r\nsecond line");
                break;
            case 3:
                t = MakeTx(date, -3850, kStatusVoid, "Trattoria Roma");
                t->SetCategoryId(kDiningId);
                break;
            case 4:
                t = MakeTx(date, -2999, kStatusOpen | kStatusMarked, kLongPayee);
                t->SetCategoryId(kEducationId);
                break;
            case 5:
                t = MakeTx(date, -5210, kStatusOpen, "Fuel Stop #42");
                t->SetCategoryId(kFuelId);
                t->SetReviewState(1);
                break;
            case 6:
                t = MakeTx(date, 1501, kStatusCleared, "Refund Desk");
                t->SetCategoryId(kMiscId);
                break;
            case 7:
                t = MakeTx(date, -5000, kStatusOpen, "Market");
                t->SetCategoryId(SplitMarkerId);
                t->SetSplitCategoryId(0, kGroceriesId);
                t->SetSplitAmount(0, 3000);
                t->SetSplitCategoryId(1, kDiningId);
                t->SetSplitAmount(1, 2000);
                break;
            case 8:
                t = MakeTx(date, -6100, kStatusCleared | kStatusMarked, "Gas Stop");
                t->SetCategoryId(kFuelId);
                t->SetClassId(PersonalClassId);
                break;
            default:
                t = MakeTx(date, -1234, kStatusOpen, "Corner Grocery");
                t->SetCategoryId(kGroceriesId);
                break;
        }
        return t;
    }

    std::string folder_;
    std::unique_ptr<CAccounts> data_;
};

}  // namespace tallowmere::test
