// The counted rows of a register give the same rows, indexes and running
// balances as the account's own walks, for every filter and both
// directions, and read as none once the register has lost a row.
#include "ui/logic/register_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "model/transaction_type.h"

namespace tallowmere::ui {
namespace {

std::unique_ptr<CTransaction> Tx(PalmTime date, Cents signedAmount, std::uint8_t status,
                                 std::uint8_t review = 0) {
    auto t = std::make_unique<CTransaction>();
    t->SetDate(date);
    t->SetTypeId(signedAmount > 0 ? DepositTypeId : WithdrawalTypeId);
    t->SetAmount(signedAmount > 0 ? signedAmount : -signedAmount);
    t->SetStatus(status);
    t->SetReviewState(review);
    return t;
}

// Every status, a downloaded entry, a marked one, and amounts that wrap.
void Fill(CAccount& account) {
    account.Header().SetOpeningBalance(100000);
    const std::uint8_t statuses[] = {kStatusOpen, kStatusCleared, kStatusReconciled, kStatusVoid,
                                     kStatusCleared | kStatusMarked};
    for (int i = 0; i < 40; ++i) {
        const Cents amount = (i % 3 == 0 ? 1 : -1) * (100 + 37 * i);
        account.AddTransaction(Tx(1000000 + 86400 * static_cast<PalmTime>(i % 13), amount,
                                  statuses[i % 5], i % 7 == 0 ? 1 : 0));
    }
    account.AddTransaction(Tx(1000000, std::numeric_limits<Cents>::max() - 5, kStatusOpen));
    account.AddTransaction(Tx(2000000, 900, kStatusOpen));
    account.RecalcBalances();
}

TEST(RegisterRows, AgreeWithTheAccountsOwnWalks) {
    for (const bool ascending : {true, false}) {
        CAccount account;
        account.SetSortAscending(ascending);
        Fill(account);
        ASSERT_TRUE(account.IsInOrder());
        for (int filter = 0; filter <= 6; ++filter) {
            SCOPED_TRACE(testing::Message() << "ascending " << ascending << " filter " << filter);
            RegisterRows rows;
            rows.Build(&account, filter);
            ASSERT_EQ(rows.Count(), account.CountTransactions(filter));
            for (int n = 0; n < rows.Count(); ++n) {
                const CTransaction* t = rows.At(n);
                ASSERT_EQ(t, account.GetTransactionAt(filter, n)) << n;
                EXPECT_EQ(rows.RunningBalance(n), account.GetRunningBalance(filter, n)) << n;
                EXPECT_EQ(rows.IndexOfId(t->GetId()),
                          account.IndexOfTransactionId(filter, t->GetId()));
            }
            EXPECT_EQ(rows.At(rows.Count()), nullptr);
            EXPECT_EQ(rows.At(-1), nullptr);
            EXPECT_EQ(rows.RunningBalance(rows.Count()), 0);
        }
    }
}

TEST(RegisterRows, ARowTheRegisterLostReadsAsNone) {
    CAccount account;
    Fill(account);
    RegisterRows rows;
    rows.Build(&account, 0);
    const int count = rows.Count();
    account.Transactions().pop_back();
    // Not counted again yet: the last row points past the register.
    EXPECT_EQ(rows.At(count - 1), nullptr);
    EXPECT_NE(rows.At(count - 2), nullptr);
    rows.Build(&account, 0);
    EXPECT_EQ(rows.Count(), count - 1);
}

TEST(RegisterRows, NoAccountHasNoRows) {
    RegisterRows rows;
    rows.Build(nullptr, 0);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(rows.At(0), nullptr);
    EXPECT_EQ(rows.IndexOfId(RecordId::Fixed(5)), -1);
}

}  // namespace
}  // namespace tallowmere::ui
