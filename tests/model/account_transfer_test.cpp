// Transfers between registers: every operation on a transfer keeps both
// accounts consistent in memory and on disk.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/account.h"
#include "model/account_test_world.h"

namespace tallowmere {
namespace {

using test::Day;
using test::MakeTx;

const RecordId kGroceries = RecordId::Fixed(0x0070);

// Checking, Savings and Euro (rate 1.2) in one folder.
struct TransferWorld {
    TransferWorld()
        : checking(world.AddAccount("Checking")),
          savings(world.AddAccount("Savings", 1, kSavings)),
          euro(world.AddAccount("Euro", 2)) {
        world.owner.rates[2] = 1.2;
        world.owner.categories[RecordIdToHex(kGroceries)] = "Groceries";
    }

    RecordId Id(const CAccount& a) const { return a.Header().GetId(); }

    // A withdrawal from Checking into target (none for a plain one).
    CTransaction* AddTransfer(CAccount* target, Cents amount, std::uint8_t status = kStatusOpen) {
        auto t = MakeTx(Day(2012, 3, 1), -amount, status, "Move");
        if (target)
            t->SetCategoryId(Id(*target));
        CTransaction* raw = t.get();
        EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
        EXPECT_EQ(checking.Save(), 0);
        return raw;
    }

    // A split withdrawal from Checking: line 0 to Savings 40.00, line 1
    // Groceries 10.00, line 2 to Euro 30.00.
    CTransaction* AddSplit(std::uint8_t status = kStatusOpen) {
        auto t = MakeTx(Day(2012, 3, 2), -8000, status, "Split");
        t->SetCategoryId(SplitMarkerId);
        t->SetSplitCategoryId(0, Id(savings));
        t->SetSplitAmount(0, 4000);
        t->SetSplitMemo(0, "to savings");
        t->SetSplitCategoryId(1, kGroceries);
        t->SetSplitAmount(1, 1000);
        t->SetSplitCategoryId(2, Id(euro));
        t->SetSplitAmount(2, 3000);
        CTransaction* raw = t.get();
        EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
        EXPECT_EQ(checking.Save(), 0);
        return raw;
    }

    int Modify(CTransaction* r, const std::function<void(CTransaction&)>& edit) {
        CTransaction e(*r);
        edit(e);
        return checking.ModifyTransaction(e, *r);
    }

    test::LedgerWorld world;
    CAccount& checking;
    CAccount& savings;
    CAccount& euro;
};

class TransferTest : public ::testing::Test, public TransferWorld {};

TEST_F(TransferTest, TransferCreatesTheMirrorDeposit) {
    CTransaction* t = AddTransfer(&savings, 10000);
    ASSERT_EQ(savings.Transactions().size(), 1u);
    const CTransaction& m = *savings.Transactions()[0];
    EXPECT_EQ(m.GetTypeId(), DepositTypeId);
    EXPECT_EQ(m.GetAmount(), 10000);
    EXPECT_EQ(m.GetCategoryId(), Id(checking));
    EXPECT_EQ(m.GetLinkedId(), t->GetId());
    EXPECT_EQ(t->GetLinkedId(), m.GetId());
    EXPECT_EQ(m.GetPayeeName(), "Move");
    EXPECT_EQ(savings.GetBalance(0), 10000);
    EXPECT_EQ(checking.GetBalance(0), -10000);
    test::CheckInvariants(world.owner);
}

TEST_F(TransferTest, SplitLinesCarriedOverFromElsewhereAreRelinked) {
    // A memorised split brings the links of mirrors that no longer exist.
    auto t = MakeTx(Day(2012, 3, 1), -300);
    t->SetCategoryId(SplitMarkerId);
    t->SetSplitCategoryId(0, Id(savings));
    t->SetSplitAmount(0, 300);
    t->SetSplitLinkedId(0, RecordId::Fixed(0x1234));
    t->SetSplitLinkedId(1, RecordId::Fixed(0x1235));
    CTransaction* raw = t.get();
    ASSERT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
    ASSERT_EQ(checking.Save(), 0);
    ASSERT_EQ(savings.Transactions().size(), 1u);
    EXPECT_EQ(raw->GetSplitLinkedId(0), savings.Transactions()[0]->GetId());
    EXPECT_TRUE(raw->GetSplitLinkedId(1).IsNull());
    test::CheckInvariants(world.owner);
}

TEST_F(TransferTest, MirrorInAnotherCurrencyIsConverted) {
    AddTransfer(&euro, 300);
    ASSERT_EQ(euro.Transactions().size(), 1u);
    EXPECT_EQ(euro.Transactions()[0]->GetAmount(), 360);
    test::CheckInvariants(world.owner);
}

TEST_F(TransferTest, SplitLinesThatNameAccountsGetMirrors) {
    CTransaction* t = AddSplit();
    ASSERT_EQ(savings.Transactions().size(), 1u);
    ASSERT_EQ(euro.Transactions().size(), 1u);
    const CTransaction& s = *savings.Transactions()[0];
    EXPECT_EQ(s.GetSplitIndex(), 0);
    EXPECT_EQ(s.GetAmount(), 4000);
    EXPECT_EQ(s.GetMemo(), "to savings");
    EXPECT_TRUE(s.IsSplitTransferCopy());
    EXPECT_EQ(t->GetSplitLinkedId(0), s.GetId());
    EXPECT_TRUE(t->GetSplitLinkedId(1).IsNull());
    EXPECT_EQ(euro.Transactions()[0]->GetAmount(), 3600);
    test::CheckInvariants(world.owner);
}

// Each edit starts from a fresh world and ends with both sides consistent.
struct EditCase {
    const char* name;
    std::function<void(TransferWorld&)> run;
};

void RunEdit(const EditCase& c) {
    TransferWorld w;
    SCOPED_TRACE(c.name);
    c.run(w);
    test::CheckInvariants(w.world.owner);
}

TEST(TransferEdits, EveryEditKeepsBothSidesInStep) {
    const std::vector<EditCase> cases = {
        {"plain to transfer",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(nullptr, 500);
             EXPECT_EQ(w.Modify(t, [&](CTransaction& e) { e.SetCategoryId(w.Id(w.savings)); }), 0);
             EXPECT_EQ(w.savings.GetBalance(0), 500);
         }},
        {"transfer to plain",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(&w.savings, 500);
             EXPECT_EQ(w.Modify(t, [&](CTransaction& e) { e.SetCategoryId(kGroceries); }), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             EXPECT_EQ(w.savings.DeletedTransactions().size(), 1u);
             EXPECT_TRUE(t->GetLinkedId().IsNull());
             EXPECT_EQ(w.savings.GetBalance(0), 0);
         }},
        {"transfer to another account",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(&w.savings, 500);
             EXPECT_EQ(w.Modify(t, [&](CTransaction& e) { e.SetCategoryId(w.Id(w.euro)); }), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             ASSERT_EQ(w.euro.Transactions().size(), 1u);
             EXPECT_EQ(w.euro.Transactions()[0]->GetAmount(), 600);
         }},
        {"same transfer, new amount, date and direction",
         [](TransferWorld& w) {
             // A row in between, so the mirror has to move.
             ASSERT_EQ(w.savings.AddTransaction(MakeTx(Day(2012, 3, 5), 50)), 0);
             ASSERT_EQ(w.savings.Save(), 0);
             CTransaction* t = w.AddTransfer(&w.savings, 500);
             EXPECT_EQ(w.Modify(t,
                                [](CTransaction& e) {
                                    e.SetAmount(1500);
                                    e.SetDate(Day(2012, 3, 9));
                                    e.SetTypeId(DepositTypeId);
                                    e.SetStatus(kStatusCleared);
                                }),
                       0);
             const CTransaction* m = w.savings.FindTransactionById(t->GetLinkedId());
             ASSERT_NE(m, nullptr);
             EXPECT_EQ(m->GetTypeId(), WithdrawalTypeId);
             EXPECT_EQ(m->GetAmount(), 1500);
             EXPECT_EQ(m->GetStatus() & kStatusMask, kStatusCleared);
             EXPECT_EQ(w.savings.GetBalance(0), 50 - 1500);
             EXPECT_EQ(w.checking.GetBalance(0), 1500);
             EXPECT_EQ(w.savings.Transactions().back().get(), m);
         }},
        {"split lines added, removed and moved",
         [](TransferWorld& w) {
             CTransaction* t = w.AddSplit();
             EXPECT_EQ(w.Modify(t,
                                [&](CTransaction& e) {
                                    e.SetSplitCategoryId(0, w.Id(w.euro));  // moved
                                    e.SetSplitAmount(0, 2500);
                                    e.SetSplitCategoryId(1, w.Id(w.savings));  // added
                                    e.SetSplitCategoryId(2, kGroceries);       // removed
                                    e.SetSplitCategoryId(3, w.Id(w.savings));  // added
                                    e.SetSplitAmount(3, 100);
                                }),
                       0);
             EXPECT_EQ(w.savings.Transactions().size(), 2u);
             ASSERT_EQ(w.euro.Transactions().size(), 1u);
             EXPECT_EQ(w.euro.Transactions()[0]->GetAmount(), 3000);
             EXPECT_EQ(w.euro.Transactions()[0]->GetSplitIndex(), 0);
         }},
        {"split line rewritten in place",
         [](TransferWorld& w) {
             CTransaction* t = w.AddSplit();
             const RecordId mirror = t->GetSplitLinkedId(0);
             EXPECT_EQ(w.Modify(t, [](CTransaction& e) { e.SetSplitAmount(0, 4100); }), 0);
             EXPECT_EQ(t->GetSplitLinkedId(0), mirror);
             EXPECT_EQ(w.savings.GetBalance(0), 4100);
         }},
        {"split to whole transfer",
         [](TransferWorld& w) {
             CTransaction* t = w.AddSplit();
             EXPECT_EQ(w.Modify(t, [&](CTransaction& e) { e.SetCategoryId(w.Id(w.euro)); }), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             ASSERT_EQ(w.euro.Transactions().size(), 1u);
             EXPECT_EQ(w.euro.Transactions()[0]->GetAmount(), 9600);
             EXPECT_EQ(w.euro.Transactions()[0]->GetSplitIndex(), kNoSplitIndex);
         }},
        {"whole transfer to split",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(&w.savings, 500);
             EXPECT_EQ(w.Modify(t,
                                [&](CTransaction& e) {
                                    e.SetCategoryId(SplitMarkerId);
                                    e.SetSplitCategoryId(0, w.Id(w.euro));
                                    e.SetSplitAmount(0, 500);
                                }),
                       0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             EXPECT_TRUE(t->GetLinkedId().IsNull());
             ASSERT_EQ(w.euro.Transactions().size(), 1u);
         }},
        {"split to plain",
         [](TransferWorld& w) {
             CTransaction* t = w.AddSplit();
             EXPECT_EQ(w.Modify(t, [](CTransaction& e) { e.SetCategoryId(kGroceries); }), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             EXPECT_TRUE(w.euro.Transactions().empty());
         }},
        {"edit from the mirror's side",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(&w.euro, 500);
             CTransaction* m = w.euro.Transactions()[0].get();
             CTransaction e(*m);
             e.SetAmount(1200);
             EXPECT_EQ(w.euro.ModifyTransaction(e, *m), 0);
             EXPECT_EQ(t->GetAmount(), 1000);
             EXPECT_EQ(w.checking.GetBalance(0), -1000);
         }},
        {"split copy is left to its parent",
         [](TransferWorld& w) {
             w.AddSplit();
             CTransaction* copy = w.savings.Transactions()[0].get();
             CTransaction e(*copy);
             e.SetAmount(1);
             EXPECT_EQ(w.savings.ModifyTransaction(e, *copy), -1);
             EXPECT_EQ(copy->GetAmount(), 4000);
         }},
        {"delete with its mirror, folded",
         [](TransferWorld& w) {
             CTransaction* t = w.AddTransfer(&w.savings, 500);
             EXPECT_EQ(w.checking.DeleteTransferMirrors(*t, true), 0);
             EXPECT_EQ(w.checking.DeleteTransaction(*t, true), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             EXPECT_EQ(w.savings.GetBalance(0), 500);
             EXPECT_EQ(w.savings.Header().GetOpeningBalance(), 500);
             EXPECT_EQ(w.checking.GetBalance(0), -500);
         }},
        {"delete a split's mirrors",
         [](TransferWorld& w) {
             CTransaction* t = w.AddSplit();
             EXPECT_EQ(w.checking.DeleteTransferMirrors(*t, false), 0);
             EXPECT_EQ(w.checking.DeleteTransaction(*t, false), 0);
             EXPECT_TRUE(w.savings.Transactions().empty());
             EXPECT_TRUE(w.euro.Transactions().empty());
         }},
    };
    for (const EditCase& c : cases)
        RunEdit(c);
}

TEST_F(TransferTest, PurgeUnlinksTheOtherSideAndKeepsTheBalance) {
    struct Case {
        int kind;
        std::uint8_t status;
        bool purged;
    };
    const std::vector<Case> cases = {
        {2, kStatusReconciled, true},
        {2, kStatusCleared, false},
        {1, kStatusCleared, true},
        {1, kStatusOpen, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " status " << int(c.status));
        CTransaction* t = AddTransfer(&savings, 500, c.status);
        const RecordId mirror = t->GetLinkedId();
        const Cents before = checking.GetBalance(0);
        ASSERT_EQ(checking.PurgeTransactions(c.kind, 0), 0);
        EXPECT_EQ(checking.GetBalance(0), before);
        const CTransaction* m = savings.FindTransactionById(mirror);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->GetLinkedId().IsNull(), c.purged);
        test::CheckInvariants(world.owner, false);
        // Start the next case without this transfer.
        for (auto* a : {&checking, &savings}) {
            while (!a->Transactions().empty())
                ASSERT_EQ(a->RemoveTransactionAt(0), 0);
        }
    }
}

TEST_F(TransferTest, PurgeByDateCountsEveryStatus) {
    AddTransfer(&savings, 500);
    auto late = MakeTx(Day(2012, 6, 1), -100);
    ASSERT_EQ(checking.AddTransaction(std::move(late)), 0);
    ASSERT_EQ(checking.PurgeTransactions(0, Day(2012, 4, 1)), 0);
    ASSERT_EQ(checking.Transactions().size(), 1u);
    EXPECT_EQ(checking.Header().GetOpeningBalance(), -500);
    EXPECT_EQ(checking.GetBalance(0), -600);
    EXPECT_TRUE(savings.Transactions()[0]->GetLinkedId().IsNull());
    test::CheckInvariants(world.owner, false);
}

TEST(PurgeProgress, ToldEveryThousandRowsLookedAtWithTheSamePurge) {
    // Two registers of the same rows, one purged with a progress.
    TransferWorld plain;
    TransferWorld watched;
    for (int i = 0; i < 2500; ++i) {
        auto t = MakeTx(Day(2012, 1, 1) + static_cast<PalmTime>(i) * 3600, -(100 + i),
                        i % 3 == 0 ? kStatusCleared : kStatusOpen);
        if (i % 100 == 0)
            t->SetCategoryId(plain.Id(plain.savings));
        auto copy = std::make_unique<CTransaction>(*t);
        copy->SetCategoryId(t->GetCategoryId().IsNull() ? kNoneId : watched.Id(watched.savings));
        ASSERT_EQ(plain.checking.AddTransactionWithTransfer(std::move(t)), 0);
        ASSERT_EQ(watched.checking.AddTransactionWithTransfer(std::move(copy)), 0);
    }
    std::vector<std::size_t> calls;
    ASSERT_EQ(plain.checking.PurgeTransactions(1, 0), 0);
    ASSERT_EQ(watched.checking.PurgeTransactions(
                  1, 0, [&calls](std::size_t done) { calls.push_back(done); }),
              0);
    EXPECT_EQ(calls, (std::vector<std::size_t>{1000, 2000}));
    ASSERT_EQ(watched.checking.Transactions().size(), plain.checking.Transactions().size());
    for (std::size_t i = 0; i < plain.checking.Transactions().size(); ++i) {
        EXPECT_EQ(watched.checking.Transactions()[i]->GetId(),
                  plain.checking.Transactions()[i]->GetId());
    }
    EXPECT_EQ(watched.checking.DeletedTransactions().size(),
              plain.checking.DeletedTransactions().size());
    EXPECT_EQ(watched.checking.Header().GetOpeningBalance(),
              plain.checking.Header().GetOpeningBalance());
    test::CheckInvariants(watched.world.owner, false);
}

TEST_F(TransferTest, PurgingASplitCopyUnlinksTheParentsLine) {
    CTransaction* t = AddSplit(kStatusReconciled);
    ASSERT_FALSE(t->GetSplitLinkedId(0).IsNull());
    ASSERT_EQ(savings.PurgeTransactions(2, 0), 0);
    EXPECT_TRUE(savings.Transactions().empty());
    EXPECT_TRUE(t->GetSplitLinkedId(0).IsNull());
    EXPECT_FALSE(t->GetSplitLinkedId(2).IsNull());
    test::CheckInvariants(world.owner, false);
}

TEST_F(TransferTest, PurgingASplitParentUnlinksEveryMirror) {
    AddSplit(kStatusReconciled);
    ASSERT_EQ(checking.PurgeTransactions(2, 0), 0);
    EXPECT_TRUE(savings.Transactions()[0]->GetLinkedId().IsNull());
    EXPECT_TRUE(euro.Transactions()[0]->GetLinkedId().IsNull());
    test::CheckInvariants(world.owner, false);
}

TEST_F(TransferTest, FailedMirrorSaveLeavesNeitherSideLinked) {
    savings.SetDoNotSave(true);
    auto t = MakeTx(Day(2012, 3, 1), -500);
    t->SetCategoryId(Id(savings));
    EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(t)), -1);
    EXPECT_TRUE(checking.Transactions().empty());
    EXPECT_TRUE(savings.Transactions().empty());
    EXPECT_EQ(savings.GetBalance(0), 0);

    // A split whose second mirror fails takes the first one back.
    auto s = MakeTx(Day(2012, 3, 2), -200);
    s->SetCategoryId(SplitMarkerId);
    s->SetSplitCategoryId(0, Id(euro));
    s->SetSplitAmount(0, 100);
    s->SetSplitCategoryId(1, Id(savings));
    s->SetSplitAmount(1, 100);
    EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(s)), -1);
    EXPECT_TRUE(euro.Transactions().empty());
    savings.SetDoNotSave(false);
    test::CheckInvariants(world.owner);
}

TEST_F(TransferTest, TransferLabelAndNetOfTransfers) {
    EXPECT_EQ(savings.GetTransferLabel(), "[Savings]");
    AddTransfer(&savings, 500);
    AddSplit();
    ASSERT_EQ(checking.AddTransaction(MakeTx(Day(2012, 3, 3), 2500)), 0);
    // Only the deposit and the split's Groceries line are not transfers.
    EXPECT_EQ(checking.GetBalanceExcludingTransfers(0), 2500 - 1000);
    EXPECT_EQ(savings.GetBalanceExcludingTransfers(0), 0);
    EXPECT_EQ(checking.GetBalanceExcludingTransfers(1), checking.GetBalance(1));
}

}  // namespace
}  // namespace tallowmere
