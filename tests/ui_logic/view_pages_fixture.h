#pragma once
// What the tests of the Reports, Budgets and Reconcile pages share: the
// default data set (today pinned at 2012-03-15) in a temporary folder with
// a preferences store of its own, a few dated entries in Checking and
// Savings over four categories, and monthly budgets on two of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/account_test_world.h"
#include "model/category.h"
#include "model/preferences.h"
#include "model/report.h"
#include "platform/atomic_file.h"
#include "platform/registry_store.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::test {

inline constexpr RecordId kPageSalaryId = RecordId::Fixed(0x6B);
inline constexpr RecordId kPageFuelId = RecordId::Fixed(0x6D);
inline constexpr RecordId kPageDiningId = RecordId::Fixed(0x73);
inline constexpr RecordId kPageGroceriesId = RecordId::Fixed(0x77);

class ViewPagesTest : public DataSetTest {
  protected:
    static int Standalone() { return 4; }

    void SetUp() override {
        DataSetTest::SetUp();
        platform::SetRegistryStorePath(MakeTempDir("prefs") + "/registry");
        SetPlatformNumberSource(&Standalone);
        CreatePrefsKeys();
        SetPrefCurrentUser("alice");
        CreateUserPrefsKey();
        SetDateFormatter([](PalmTime t, unsigned) {
            const DateFields f = DateFields::FromPalmTime(t);
            char text[40];
            std::snprintf(text, sizeof text, "%d/%d/%02d", f.month, f.day, f.year % 100);
            return std::string(text);
        });
    }
    void TearDown() override {
        platform::SetWriteFault(nullptr);
        SetDateFormatter(nullptr);
        SetPlatformNumberSource(nullptr);
        platform::SetRegistryStorePath("");
        DataSetTest::TearDown();
    }

    // This quarter: Groceries -100.00 and -25.00, Salary +2,500.00, Dining
    // -40.00; last year: Fuel -60.00. Groceries 100.00 and Dining 50.00 a
    // month.
    void AddEntries() {
        CAccount& checking = Account("Checking");
        checking.AddTransaction(Entry(Day(2012, 3, 2), -10000, "Corner Grocery", kPageGroceriesId));
        checking.AddTransaction(Entry(Day(2012, 3, 5), 250000, "Paycheck", kPageSalaryId));
        checking.AddTransaction(Entry(Day(2012, 2, 10), -4000, "Trattoria", kPageDiningId));
        checking.AddTransaction(Entry(Day(2011, 12, 20), -6000, "Fuel Stop", kPageFuelId));
        checking.RecalcBalances();
        ASSERT_EQ(checking.Save(), 0);
        CAccount& savings = Account("Savings");
        savings.AddTransaction(Entry(Day(2012, 3, 10), -2500, "Corner Grocery", kPageGroceriesId));
        savings.RecalcBalances();
        ASSERT_EQ(savings.Save(), 0);
        ASSERT_EQ(data_->Categories().SetBudgetAmount(kPageGroceriesId, 10000), 0);
        ASSERT_EQ(data_->Categories().SetBudgetAmount(kPageDiningId, 5000), 0);
    }

    static std::unique_ptr<CTransaction> Entry(PalmTime date, Cents amount, const char* payee,
                                               const RecordId& category) {
        auto t = MakeTx(date, amount, kStatusOpen, payee);
        t->SetCategoryId(category);
        return t;
    }

    // Every save from here on fails as a refused write does.
    static void FailWrites() {
        platform::SetWriteFault([](std::size_t, int& err) {
            err = 13;  // EACCES
            return false;
        });
    }
};

}  // namespace tallowmere::test
