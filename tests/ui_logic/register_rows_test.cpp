// The rows of a register found in one pass give the same rows, indexes and
// running balances as the account's own walks, and read as none once the
// register has lost a row.
#include "ui/logic/register_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "model/account.h"
#include "model/transaction_type.h"
#include "ui_logic/print_test_data.h"

namespace tallowmere::ui {
namespace {

// The rows and balances found in one pass are those the account's own
// look-ups give, for every filter, both sort directions and an unknown
// filter.
TEST(RegisterRowsTest, RowsAndBalancesMatchTheAccountsOwn) {
    test::PrintData data;
    CAccount& checking = data.Account("Checking");
    data.FillRegister(checking, 47);
    for (bool ascending : {true, false}) {
        checking.SetSortAscending(ascending);
        checking.SortTransactions();
        for (int filter : {0, 1, 2, 3, 4, 5, 9}) {
            SCOPED_TRACE(testing::Message() << "ascending " << ascending << " filter " << filter);
            RegisterRows rows;
            rows.Build(&checking, filter);
            ASSERT_EQ(rows.Count(), static_cast<std::size_t>(checking.CountTransactions(filter)));
            for (std::size_t i = 0; i < rows.Count(); ++i) {
                const int n = static_cast<int>(i);
                ASSERT_EQ(rows.At(i), checking.GetTransactionAt(filter, n)) << i;
                ASSERT_EQ(rows.BalanceAt(i), checking.GetRunningBalance(filter, n)) << i;
                EXPECT_EQ(rows.IndexOfId(rows.At(i)->GetId()),
                          checking.IndexOfTransactionId(filter, rows.At(i)->GetId()));
            }
            EXPECT_EQ(rows.At(rows.Count()), nullptr);
            EXPECT_EQ(rows.BalanceAt(rows.Count()), 0);
        }
    }
}

std::unique_ptr<CTransaction> Tx(PalmTime date, Cents signedAmount, std::uint8_t status) {
    auto t = std::make_unique<CTransaction>();
    t->SetDate(date);
    t->SetTypeId(signedAmount > 0 ? DepositTypeId : WithdrawalTypeId);
    t->SetAmount(signedAmount > 0 ? signedAmount : -signedAmount);
    t->SetStatus(status);
    return t;
}

// Balances past the range wrap as the account's own do.
TEST(RegisterRowsTest, BalancesWrapAsTheAccountsDo) {
    CAccount account;
    account.Header().SetOpeningBalance(100000);
    account.AddTransaction(Tx(1000000, std::numeric_limits<Cents>::max() - 5, kStatusOpen));
    account.AddTransaction(Tx(2000000, 900, kStatusCleared));
    account.AddTransaction(Tx(3000000, -40, kStatusVoid));
    RegisterRows rows;
    rows.Build(&account, 0);
    ASSERT_EQ(rows.Count(), 3u);
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(rows.BalanceAt(static_cast<std::size_t>(n)), account.GetRunningBalance(0, n));
}

TEST(RegisterRowsTest, ARowTheRegisterLostReadsAsNone) {
    CAccount account;
    for (int i = 0; i < 5; ++i)
        account.AddTransaction(Tx(1000000 + 86400 * static_cast<PalmTime>(i), 100, kStatusOpen));
    RegisterRows rows;
    rows.Build(&account, 0);
    account.Transactions().pop_back();
    // Not built again yet: the last row points past the register.
    EXPECT_EQ(rows.At(4), nullptr);
    EXPECT_NE(rows.At(3), nullptr);
    EXPECT_EQ(rows.IndexOfId(RecordId::Fixed(0x77)), -1);
    rows.Build(&account, 0);
    EXPECT_EQ(rows.Count(), 4u);
}

TEST(RegisterRowsTest, NoAccountNoRows) {
    RegisterRows rows;
    rows.Build(nullptr, 0);
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_EQ(rows.At(0), nullptr);
}

}  // namespace
}  // namespace tallowmere::ui
