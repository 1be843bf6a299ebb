// Where loaded transactions live: the pool of their data set, or of an
// account loaded on its own. Records move between accounts and outlive
// both; the memory goes back once the last of them is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"
#include "platform/record_pool.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

class RecordStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::MakeTempDir("records");
        before_ = platform::RecordPool::TotalChunkBytes();
    }

    // An account file of n transactions: payee "<name> <i>", amount i, and a
    // split line on every third.
    std::string WriteAccount(const std::string& name, int n) {
        CAccount account;
        account.Header().SetName(name);
        EXPECT_EQ(account.MakeFilePath(folder_, name), 0);
        for (int i = 0; i < n; ++i) {
            auto t = std::make_unique<CTransaction>();
            t->SetPayeeName(name + " " + std::to_string(i));
            t->SetAmount(i);
            if (i % 3 == 0) {
                t->SetCategoryId(SplitMarkerId);
                t->SetSplitAmount(1, i);
                t->SetSplitMemo(1, "line of " + std::to_string(i));
            }
            account.AddTransaction(std::move(t));
        }
        EXPECT_EQ(account.Save(), 0);
        return account.GetPath();
    }

    // Every record of the account reads as WriteAccount made it.
    static void ExpectRecords(const CAccount& account, const std::string& name, int n) {
        std::vector<bool> seen(static_cast<std::size_t>(n), false);
        for (const auto& t : account.Transactions()) {
            const auto i = static_cast<std::size_t>(t->GetAmount());
            ASSERT_LT(i, seen.size());
            seen[i] = true;
            EXPECT_EQ(t->GetPayeeName(), name + " " + std::to_string(i));
            EXPECT_EQ(t->GetSplitMemo(1), i % 3 == 0 ? "line of " + std::to_string(i) : "");
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), n);
    }

    std::size_t PoolBytes() const { return platform::RecordPool::TotalChunkBytes() - before_; }

    std::string folder_;
    std::size_t before_ = 0;
};

TEST_F(RecordStorageTest, AnAccountLoadedAloneKeepsItsPoolUntilItsLastRecordGoes) {
    const std::string path = WriteAccount("Checking", 3000);
    ASSERT_EQ(PoolBytes(), 0u) << "records made one by one come from the heap";
    std::unique_ptr<CTransaction> kept;
    {
        CAccount account;
        ASSERT_EQ(account.Load(path), 0);
        EXPECT_GT(PoolBytes(), 0u);
        ExpectRecords(account, "Checking", 3000);
        kept = std::move(account.Transactions()[3]);
        account.Transactions().erase(account.Transactions().begin() + 3);
        // Loading again gives the old records back and takes new ones.
        ASSERT_EQ(account.Load(path), 0);
        ExpectRecords(account, "Checking", 3000);
    }
    EXPECT_GT(PoolBytes(), 0u);
    EXPECT_EQ(kept->GetPayeeName(), "Checking " + std::to_string(kept->GetAmount()));
    kept.reset();
    EXPECT_EQ(PoolBytes(), 0u);
}

// The merge and account deletion move records between accounts and out of
// the data set; any order of destruction is safe.
TEST_F(RecordStorageTest, RecordsMoveBetweenAccountsAndOutliveTheirDataSet) {
    WriteAccount("Checking", 2000);
    WriteAccount("Savings", 1000);
    std::unique_ptr<CAccount> removed;
    {
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(CAccounts::LoadInto(data, folder_, AccountsLoadOptions{}), 0);
        EXPECT_GT(PoolBytes(), 0u);
        CAccount* checking = data->FindAccountByName("Checking");
        CAccount* savings = data->FindAccountByName("Savings");
        ASSERT_NE(checking, nullptr);
        ASSERT_NE(savings, nullptr);
        ExpectRecords(*checking, "Checking", 2000);
        // A record of one account handed to another, as a merge does.
        savings->Transactions().push_back(std::move(checking->Transactions().front()));
        checking->Transactions().erase(checking->Transactions().begin());
        ASSERT_EQ(data->DeleteAccount(*savings, &removed), 0);
        ASSERT_NE(removed, nullptr);
        // Reloaded in place: the old records go back, new ones are made.
        ASSERT_EQ(data->Load(folder_, AccountsLoadOptions{}), 0);
    }
    ASSERT_EQ(removed->Transactions().size(), 1001u);
    EXPECT_EQ(removed->Transactions().back()->GetPayeeName().rfind("Checking ", 0), 0u);
    removed->Transactions().pop_back();
    ExpectRecords(*removed, "Savings", 1000);
    EXPECT_GT(PoolBytes(), 0u);
    removed.reset();
    EXPECT_EQ(PoolBytes(), 0u);
}

}  // namespace
}  // namespace tallowmere
