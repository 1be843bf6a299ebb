#include "ui/logic/register_rows.h"

#include <gtest/gtest.h>

#include "model/account.h"
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
            }
            EXPECT_EQ(rows.At(rows.Count()), nullptr);
            EXPECT_EQ(rows.BalanceAt(rows.Count()), 0);
        }
    }
}

TEST(RegisterRowsTest, NoAccountNoRows) {
    RegisterRows rows;
    rows.Build(nullptr, 0);
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_EQ(rows.At(0), nullptr);
}

}  // namespace
}  // namespace tallowmere::ui
