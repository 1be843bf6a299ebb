#pragma once
// One checking account with five register entries and four downloads
// waiting for review: two matched to the right entries, one unmatched and
// one matched to the wrong one of two alike entries.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/account_download.h"
#include "model/account_test_world.h"
#include "model/accounts.h"
#include "model/transaction_type.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::test {

class DownloadReviewTest : public DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        checking_ = &Account("Checking");
        r1_ = Enter(MakeTx(Day(2024, 1, 5), -4250, kStatusOpen, "Corner Grocer"));
        r2_ = Enter(MakeTx(Day(2024, 1, 10), 150000, kStatusOpen, "Payroll"));
        r3_ = Enter(MakeTx(Day(2024, 1, 12), -2000, kStatusOpen, "Cafe Alpha"));
        r4_ = Enter(MakeTx(Day(2024, 1, 14), -2000, kStatusCleared, "Cafe Beta"));
        r5_ = Enter(MakeTx(Day(2024, 1, 20), -9900, kStatusOpen, "Utility"));
        ASSERT_EQ(checking_->Save(), 0);
        checking_->BeginDownloadSession(nullptr);
        d1_ = Download("20240106", "-42.50", "DEBIT", "GROCER 0042", "D1");
        d2_ = Download("20240110", "1500.00", "CREDIT", "PAYROLL", "D2");
        d3_ = Download("20240118", "-7.77", "DEBIT", "KIOSK", "D3");
        d4_ = Download("20240115", "-20.00", "DEBIT", "CAFE BETA", "D4");
        checking_->ForgetDownloadSession();
        ASSERT_EQ(checking_->Save(), 0);
    }

    CTransaction* Enter(std::unique_ptr<CTransaction> t) {
        CTransaction* raw = t.get();
        EXPECT_EQ(checking_->AddTransaction(std::move(t)), 0);
        return raw;
    }

    CTransaction* Download(const char* date, const char* amount, const char* type, const char* name,
                           const char* id) {
        EXPECT_EQ(checking_->AddDownloadedTransaction(date, amount, type, "", name, "", id), 0);
        for (const auto& t : checking_->Transactions()) {
            if (t->GetOnlineId() == id)
                return t.get();
        }
        ADD_FAILURE() << "download " << id << " was not added";
        return nullptr;
    }

    CAccount* checking_ = nullptr;
    CTransaction* r1_ = nullptr;
    CTransaction* r2_ = nullptr;
    CTransaction* r3_ = nullptr;
    CTransaction* r4_ = nullptr;
    CTransaction* r5_ = nullptr;
    CTransaction* d1_ = nullptr;
    CTransaction* d2_ = nullptr;
    CTransaction* d3_ = nullptr;
    CTransaction* d4_ = nullptr;
};

}  // namespace tallowmere::test
