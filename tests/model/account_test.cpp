// One register: its orders, balances, reconcile bookkeeping, currency
// conversion, rename and the settings that follow the account type.
#include "model/account.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model/account_test_world.h"
#include "platform/named_mutex.h"

namespace tallowmere {
namespace {

using namespace std::chrono_literals;
using test::Day;
using test::MakeTx;

std::vector<std::string> Payees(const CAccount& a) {
    std::vector<std::string> out;
    for (const auto& t : a.Transactions())
        out.push_back(t->GetPayeeName());
    return out;
}

// ---------------------------------------------------------------- order

class SortTest : public ::testing::Test {
  protected:
    SortTest() : account(&owner) {
        EXPECT_EQ(account.MakeFilePath(test::MakeTempDir("sort"), "Sort"), 0);
        owner.categories[RecordIdToHex(kAuto)] = "Auto";
        owner.categories[RecordIdToHex(kGroceries)] = "Groceries";
        owner.classes[RecordIdToHex(kWork)] = "Work";
        owner.classes[RecordIdToHex(kHome)] = "Home";
    }

    // Four rows where the first key of every mode decides, so each
    // direction has exactly one right order.
    void AddRows() {
        auto a = MakeTx(Day(2012, 1, 3), 1000, kStatusOpen, "alpha");
        a->SetCategoryId(kGroceries);
        a->SetClassId(kWork);
        a->SetMemo("m3");
        auto b = MakeTx(Day(2012, 1, 1), -2000, kStatusCleared, "Bravo", CheckTypeId);
        b->SetCheckNumber(102);
        b->SetMemo("m1");
        auto c = MakeTx(Day(2012, 1, 2), -500, kStatusReconciled, "charlie", CheckTypeId);
        c->SetCheckNumber(101);
        c->SetCategoryId(SplitMarkerId);
        c->SetClassId(kHome);
        c->SetMemo("M2");
        auto d = MakeTx(Day(2012, 1, 1), -3000, kStatusVoid, "delta");
        d->SetCategoryId(kAuto);
        d->SetClassId(kWork);
        d->SetMemo("m0");
        for (auto* t : {&c, &a, &d, &b})
            ASSERT_EQ(account.AddTransaction(std::move(*t)), 0);
    }

    static constexpr RecordId kAuto = RecordId::Fixed(0x0071);
    static constexpr RecordId kGroceries = RecordId::Fixed(0x0072);
    static constexpr RecordId kWork = RecordId::Fixed(0x0101);
    static constexpr RecordId kHome = RecordId::Fixed(0x0102);

    test::FakeOwner owner;
    CAccount account;
};

TEST_F(SortTest, EveryModeOrdersByItsKeysBothWays) {
    const std::vector<std::vector<std::string>> expected = {
        {"charlie", "Bravo", "alpha", "delta"},  // 0 status
        {"delta", "alpha", "Bravo", "charlie"},  // 1 category: texts, none, split
        {"delta", "Bravo", "charlie", "alpha"},  // 2 date, then type ids
        {"alpha", "delta", "charlie", "Bravo"},  // 3 type and number
        {"alpha", "Bravo", "charlie", "delta"},  // 4 payee ignoring case
        {"delta", "alpha", "Bravo", "charlie"},  // 5 category
        {"charlie", "alpha", "delta", "Bravo"},  // 6 class, then payee
        {"delta", "Bravo", "charlie", "alpha"},  // 7 memo ignoring case
        {"delta", "Bravo", "charlie", "alpha"},  // 8 signed amount
    };
    for (int mode = 0; mode < 9; ++mode) {
        for (bool ascending : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " ascending " << ascending);
            std::vector<std::string> want = expected[static_cast<std::size_t>(mode)];
            if (!ascending)
                std::reverse(want.begin(), want.end());
            account.ResetHeader();
            account.SetSortMode(static_cast<std::int16_t>(mode));
            account.SetSortAscending(ascending);
            AddRows();
            EXPECT_EQ(Payees(account), want) << "inserted";

            // A resort from another mode reaches the same order.
            account.SetSortMode(static_cast<std::int16_t>((mode + 4) % 9));
            account.SetSortAscending(!ascending);
            ASSERT_EQ(account.ResortTransactions(), 0);
            account.SetSortMode(static_cast<std::int16_t>(mode));
            account.SetSortAscending(ascending);
            account.ResortTransactions();
            EXPECT_EQ(Payees(account), want) << "resorted";
        }
    }
}

TEST_F(SortTest, TiesFallToTheLaterKeys) {
    // Same date: numbered types by check number; payees equal but for case
    // by their bytes; an equal row goes after its equals.
    auto c7 = MakeTx(Day(2012, 2, 1), -100, kStatusOpen, "shop", CheckTypeId);
    c7->SetCheckNumber(7);
    auto c5 = MakeTx(Day(2012, 2, 1), -100, kStatusOpen, "shop", CheckTypeId);
    c5->SetCheckNumber(5);
    c5->SetMemo("five");
    auto lower = MakeTx(Day(2012, 2, 2), -100, kStatusOpen, "smith");
    auto upper = MakeTx(Day(2012, 2, 2), -100, kStatusOpen, "Smith");
    auto again = MakeTx(Day(2012, 2, 2), -100, kStatusOpen, "Smith");
    again->SetMemo("second");
    for (auto* t : {&c7, &lower, &c5, &upper, &again})
        ASSERT_EQ(account.AddTransaction(std::move(*t)), 0);
    const auto& list = account.Transactions();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]->GetCheckNumber(), 5u);
    EXPECT_EQ(list[1]->GetCheckNumber(), 7u);
    EXPECT_EQ(list[2]->GetPayeeName(), "Smith");
    EXPECT_EQ(list[2]->GetMemo(), "");
    EXPECT_EQ(list[3]->GetMemo(), "second");
    EXPECT_EQ(list[4]->GetPayeeName(), "smith");

    account.SetSortAscending(false);
    account.ResortTransactions();
    EXPECT_EQ(list[0]->GetPayeeName(), "smith");
    EXPECT_EQ(list[4]->GetCheckNumber(), 5u);
}

TEST(SortKeyTest, TextsAreReadInPlaceUpToTheirLimits) {
    CTransaction t;
    t.SetPayeeName(std::string(40, 'p'));
    t.SetMemo(std::string(200, 'm'));
    t.SetCheckNumber(12);
    t.SetTypeId(CheckTypeId);
    t.SetAmount(300);
    t.SetStatus(kStatusCleared | kStatusMarked);
    const TransactionSortKey key = MakeSortKey(t);
    EXPECT_EQ(key.payee, t.GetPayeeName());
    EXPECT_EQ(key.memo, t.GetMemo());
    EXPECT_EQ(key.amount, -300);
    EXPECT_EQ(key.checkNumber, 12u);
    EXPECT_EQ(key.statusRank, 1);
}

TEST_F(SortTest, IntransitiveTypeKeyStillSortsSafely) {
    // Check #5 < U (by type id) < N #3 (by type id) < Check #5 (by number).
    RecordId unnumbered = RecordId::Fixed(0x0010);
    unnumbered.bytes[0] = 0x01;
    RecordId numbered = RecordId::Fixed(0x4011);
    numbered.bytes[0] = 0x02;
    account.SetSortMode(3);
    std::mt19937 rng(7);
    std::vector<std::unique_ptr<CTransaction>> rows;
    for (int i = 0; i < 60; ++i) {
        const int which = static_cast<int>(rng() % 3);
        auto t = MakeTx(Day(2012, 1, 1), -100, kStatusOpen, "x",
                        which == 0   ? CheckTypeId
                        : which == 1 ? unnumbered
                                     : numbered);
        t->SetCheckNumber(which == 0 ? 5 : 3);
        ASSERT_EQ(account.AddTransaction(std::move(t)), 0);
    }
    EXPECT_EQ(account.Transactions().size(), 60u);
    account.ResortTransactions();
    std::vector<RecordId> first;
    for (const auto& t : account.Transactions())
        first.push_back(t->GetId());
    account.ResortTransactions();
    std::vector<RecordId> second;
    for (const auto& t : account.Transactions())
        second.push_back(t->GetId());
    EXPECT_EQ(first, second);
}

// ---------------------------------------------------------------- balances

class BalanceTest : public ::testing::Test {
  protected:
    BalanceTest() {
        EXPECT_EQ(account.MakeFilePath(test::MakeTempDir("balance"), "Balance"), 0);
        account.Header().SetOpeningBalance(10000);
        account.RecalcBalances();
    }
    CAccount account;
};

TEST_F(BalanceTest, AddedTransactionsMoveTheCachedBalances) {
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 1), 5000, kStatusCleared)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), -2000, kStatusReconciled)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 3), -700, kStatusOpen)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 4), 99900, kStatusVoid)), 0);
    EXPECT_EQ(account.Header().GetCurrentBalance(), 10000 + 5000 - 2000 - 700);
    EXPECT_EQ(account.Header().GetClearedBalance(), 10000 + 5000 - 2000);
    account.SetOnlineBalance(42);

    struct Case {
        const char* what;
        Cents got;
        Cents want;
    };
    const std::vector<Case> cases = {
        {"balance 0", account.GetBalance(0), 12300},
        {"balance 1", account.GetBalance(1), 13000},
        {"balance 2 is the bank's", account.GetBalance(2), 42},
        {"filter 0", account.GetFilteredBalance(0), 12300},
        {"filter 1 reconciled", account.GetFilteredBalance(1), 8000},
        {"filter 2 open or cleared, from 0", account.GetFilteredBalance(2), 4300},
        {"filter 3 cleared or reconciled", account.GetFilteredBalance(3), 13000},
        {"filter 4 open or void, void not counted", account.GetFilteredBalance(4), -700},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;

    EXPECT_EQ(account.CountTransactions(0), 4);
    EXPECT_EQ(account.CountTransactions(4), 2);
    EXPECT_EQ(account.GetTransactionAt(4, 1)->GetStatus(), kStatusVoid);
    EXPECT_EQ(account.GetTransactionAt(4, 2), nullptr);
    const RecordId voidId = account.GetTransactionAt(0, 3)->GetId();
    EXPECT_EQ(account.IndexOfTransactionId(4, voidId), 1);
    EXPECT_EQ(account.IndexOfTransactionId(1, voidId), -1);
    EXPECT_EQ(account.FindTransactionById(voidId), account.Transactions()[3].get());
}

TEST_F(BalanceTest, RunningBalanceFollowsTheDisplayedRows) {
    account.Header().SetOpeningBalance(0);
    account.RecalcBalances();
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, i), i * 100)), 0);
    std::vector<Cents> asc;
    for (int n = 0; n < 3; ++n)
        asc.push_back(account.GetRunningBalance(0, n));
    EXPECT_EQ(asc, (std::vector<Cents>{100, 300, 600}));

    account.SetSortAscending(false);
    account.ResortTransactions();
    std::vector<Cents> desc;
    for (int n = 0; n < 3; ++n)
        desc.push_back(account.GetRunningBalance(0, n));
    EXPECT_EQ(desc, (std::vector<Cents>{600, 300, 100}));
    EXPECT_EQ(account.GetRunningBalance(0, -1), 0);
}

TEST_F(BalanceTest, RunningBalanceOfAFilterCountsVoidRowsAsZero) {
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 1), 100, kStatusOpen)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), 200, kStatusVoid)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 3), 400, kStatusOpen)), 0);
    // Filter 4 (open or void) starts from 0; filter 0 from the opening.
    EXPECT_EQ(account.GetRunningBalance(4, 1), 100);
    EXPECT_EQ(account.GetRunningBalance(4, 2), 500);
    EXPECT_EQ(account.GetRunningBalance(0, 2), 10500);
}

TEST_F(BalanceTest, DeleteWithFoldKeepsTheCurrentBalance) {
    auto deposit = MakeTx(Day(2012, 1, 1), 5000, kStatusCleared);
    const RecordId id = deposit->GetId();
    ASSERT_EQ(account.AddTransaction(std::move(deposit)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), -300)), 0);
    account.Header().SetChangeFlags(0);

    ASSERT_EQ(account.DeleteTransactionById(id, true), 0);
    EXPECT_EQ(account.GetBalance(0), 10000 + 5000 - 300);
    EXPECT_EQ(account.Header().GetOpeningBalance(), 15000);
    EXPECT_EQ(account.Header().GetChangeFlags(), kChangeOpeningBalance);
    ASSERT_EQ(account.DeletedTransactions().size(), 1u);
    EXPECT_EQ(account.DeletedTransactions()[0]->GetAttributes(), kAttrDeleted | kAttrModified);
    EXPECT_EQ(account.DeleteTransactionById(id, true), -1);

    // Without fold the balance drops.
    const RecordId other = account.Transactions()[0]->GetId();
    ASSERT_EQ(account.DeleteTransactionById(other, false), 0);
    EXPECT_EQ(account.GetBalance(0), 15000);

    CAccount reloaded;
    ASSERT_EQ(reloaded.Load(account.GetPath()), 0);
    EXPECT_EQ(reloaded.Header().GetBytes(), account.Header().GetBytes());
    EXPECT_EQ(reloaded.DeletedTransactions().size(), 2u);
}

TEST_F(BalanceTest, SetBalanceMovesOpeningAndTheOtherBalance) {
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 1), 500, kStatusCleared)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), 200, kStatusOpen)), 0);
    ASSERT_EQ(account.SetBalance(1, 20000), 0);  // cleared 10500 -> 20000
    EXPECT_EQ(account.Header().GetClearedBalance(), 20000);
    EXPECT_EQ(account.Header().GetOpeningBalance(), 19500);
    EXPECT_EQ(account.Header().GetCurrentBalance(), 20200);
    ASSERT_EQ(account.SetBalance(0, 0), 0);
    EXPECT_EQ(account.Header().GetOpeningBalance(), -700);
    EXPECT_EQ(account.Header().GetClearedBalance(), -200);
    EXPECT_EQ(account.GetBalance(1), -200);
    EXPECT_EQ(account.SetBalance(7, 1), 0);
    EXPECT_EQ(account.Header().GetCurrentBalance(), 0);
}

TEST_F(BalanceTest, HugeAmountsWrapInsteadOfOverflowing) {
    constexpr Cents kMax = std::numeric_limits<Cents>::max();
    auto a = MakeTx(Day(2012, 1, 1), kMax, kStatusCleared);
    const RecordId id = a->GetId();
    ASSERT_EQ(account.AddTransaction(std::move(a)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), kMax, kStatusCleared)), 0);
    account.RecalcBalances();
    (void)account.GetBalance(1);
    (void)account.GetRunningBalance(0, 5);
    account.SetDoNotSave(true);
    account.DeleteTransactionById(id, false);
    EXPECT_EQ(account.GetBalance(0),
              static_cast<Cents>(std::uint64_t{10000} + static_cast<std::uint64_t>(kMax)));
}

TEST(PurgeTest, KindsChooseByStatusAndDate) {
    struct Case {
        int kind;
        PalmTime date;
        std::vector<std::string> kept;
    };
    const std::vector<Case> cases = {
        {0, Day(2012, 1, 3), {"open3", "clr4", "void5"}},
        {1, 0, {"open1", "open3", "void5"}},
        {2, 0, {"open1", "clr2", "open3", "clr4", "void5"}},
        {5, Day(2040, 1, 1), {"open1", "clr2", "rec0", "open3", "clr4", "void5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CAccount account;
        ASSERT_EQ(account.MakeFilePath(test::MakeTempDir("purge"), "P"), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 1), 100, kStatusOpen, "open1")), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), 200, kStatusCleared, "clr2")), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 2), -50, 0xBF, "rec0")), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 3), 400, kStatusOpen, "open3")), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 4), 800, 0x7F, "clr4")), 0);
        ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 5), 1600, kStatusVoid, "void5")), 0);
        const Cents before = account.GetBalance(0);
        ASSERT_EQ(account.PurgeTransactions(c.kind, c.date), 0);
        std::vector<std::string> kept = Payees(account);
        std::vector<std::string> want = c.kept;
        std::sort(kept.begin(), kept.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(kept, want);
        EXPECT_EQ(account.GetBalance(0), before);
        EXPECT_EQ(account.DeletedTransactions().size(), 6 - c.kept.size());
    }
}

// ---------------------------------------------------------------- reconcile

class ReconcileTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock); }
    void TearDown() override { platform::SetClock(nullptr); }
    test::FixedClock clock;
    CAccount account;
};

TEST_F(ReconcileTest, NextStatementIsOneMonthLaterClampedToTheMonth) {
    EXPECT_EQ(account.GetNextStatementDate(), TodayBound(0));
    struct Case {
        PalmTime last;
        PalmTime next;
    };
    const std::vector<Case> cases = {
        {Day(2012, 1, 31), Day(2012, 2, 29)},  {Day(2011, 1, 31), Day(2011, 2, 28)},
        {Day(2011, 12, 31), Day(2012, 1, 31)}, {Day(2012, 3, 31), Day(2012, 4, 30)},
        {Day(2012, 5, 15), Day(2012, 6, 15)},
    };
    for (const Case& c : cases) {
        account.Header().SetLastReconcileDate(c.last);
        EXPECT_EQ(account.GetNextStatementDate(), c.next) << c.last;
    }
}

TEST_F(ReconcileTest, StateTellsWhereTheReconcileStands) {
    account.Header().SetOpeningBalance(700);
    Cents opening = 1;
    Cents ending = 1;
    PalmTime date = 1;
    EXPECT_EQ(account.GetReconcileState(opening, ending, date), 0);
    EXPECT_EQ(opening, 700);
    EXPECT_EQ(ending, 0);
    EXPECT_EQ(date, TodayBound(0));

    account.Header().SetLastReconcileDate(Day(2012, 1, 31));
    account.Header().SetLastReconcileBalance(900);
    EXPECT_EQ(account.GetReconcileState(opening, ending, date), 2);
    EXPECT_EQ(opening, 900);
    EXPECT_EQ(ending, 0);
    EXPECT_EQ(date, Day(2012, 2, 29));

    account.Header().SetReconcileOpening(900);
    account.Header().SetReconcileEnding(1500);
    account.Header().SetReconcileDate(Day(2012, 2, 28));
    EXPECT_EQ(account.GetReconcileState(opening, ending, date), 1);
    EXPECT_EQ(opening, 900);
    EXPECT_EQ(ending, 1500);
    EXPECT_EQ(date, Day(2012, 2, 28));
}

TEST_F(ReconcileTest, DifferenceAdjustmentAndFinish) {
    ASSERT_EQ(account.MakeFilePath(test::MakeTempDir("rec"), "R"), 0);
    account.Header().SetReconcileOpening(1000);
    account.Header().SetReconcileEnding(1800);
    account.Header().SetReconcileDate(Day(2012, 2, 28));
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 2, 1), 500, kStatusOpen | kStatusMarked)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 2, 2), 200, kStatusCleared | kStatusMarked)),
              0);
    auto voided = MakeTx(Day(2012, 2, 3), 999, kStatusVoid | kStatusMarked);
    const RecordId voidId = voided->GetId();
    ASSERT_EQ(account.AddTransaction(std::move(voided)), 0);
    ASSERT_EQ(account.AddTransaction(MakeTx(Day(2012, 2, 4), 40, kStatusOpen)), 0);
    EXPECT_EQ(account.GetReconcileDifference(), 1000 + 500 + 200 - 1800);
    ASSERT_EQ(account.DeleteTransactionById(voidId, false), 0);

    struct Case {
        Cents value;
        RecordId type;
        Cents amount;
    };
    for (const Case& c : std::vector<Case>{
             {-100, DepositTypeId, 100}, {0, DepositTypeId, 0}, {25, WithdrawalTypeId, 25}}) {
        CAccount scratch;
        ASSERT_EQ(scratch.AddReconcileAdjustment(c.value), 0);
        ASSERT_EQ(scratch.Transactions().size(), 1u);
        const CTransaction& t = *scratch.Transactions()[0];
        EXPECT_EQ(t.GetTypeId(), c.type);
        EXPECT_EQ(t.GetAmount(), c.amount);
        EXPECT_EQ(t.GetPayeeName(), "Reconcile Adjustment");
        EXPECT_EQ(t.GetStatus(), kStatusReconciled);
        EXPECT_TRUE(t.GetCategoryId().IsNull());
        EXPECT_EQ(t.GetDate(), TodayBound(0));
    }

    account.Header().SetChangeFlags(0);
    ASSERT_EQ(account.FinishReconcile(), 0);
    int reconciled = 0;
    for (const auto& t : account.Transactions()) {
        EXPECT_EQ(t->GetStatus() & kStatusMarked, 0);
        if ((t->GetStatus() & kStatusMask) == kStatusReconciled)
            ++reconciled;
    }
    EXPECT_EQ(reconciled, 2);
    const AccountHeader& h = account.Header();
    EXPECT_EQ(h.GetLastReconcileBalance(), 1800);
    EXPECT_EQ(h.GetLastReconcileDate(), Day(2012, 2, 28));
    EXPECT_EQ(h.GetReconcileDate(), 0u);
    EXPECT_EQ(h.GetReconcileOpening(), 0);
    EXPECT_EQ(h.GetChangeFlags(), kChangeLastReconcileBalance | kChangeLastReconcileDate |
                                      kChangeReconcileOpening | kChangeReconcileEnding |
                                      kChangeReconcileDate);
    EXPECT_EQ(h.GetClearedBalance(), 500 + 200);
    CAccount reloaded;
    ASSERT_EQ(reloaded.Load(account.GetPath()), 0);
    EXPECT_EQ(reloaded.Header().GetBytes(), h.GetBytes());
}

// ---------------------------------------------------------------- currency

TEST(ConvertTest, RatesConvertAndRoundHalfAwayFromZero) {
    test::FakeOwner owner;
    owner.rates = {{1, 1.0}, {2, 1.2}, {3, 0.5}, {4, 0.0}, {5, 1.0}, {6, 1.0}};
    const auto make = [&](std::uint8_t currency) {
        auto a = std::make_unique<CAccount>(&owner);
        a->Header().SetCurrencyId(currency);
        return a;
    };
    auto home = make(1);
    auto at12 = make(2);
    auto at05 = make(3);
    auto zero = make(4);
    auto unknown = make(9);
    auto oneA = make(5);
    auto oneB = make(6);
    struct Case {
        const char* what;
        const CAccount& from;
        const CAccount& to;
        Cents amount;
        Cents want;
    };
    const std::vector<Case> cases = {
        {"3.00 home to 1.2", *home, *at12, 300, 360},
        {"0.29 at 0.5 to home", *at05, *home, 29, 58},
        {"1.20 at 1.2 to 0.5", *at12, *at05, 120, 50},
        // Hundredths divided by 100 and multiplied back lose a cent here.
        {"0.29 at 1.0 to 1.0", *oneA, *oneB, 29, 29},
        {"1.15 at 1.0 to home", *oneA, *home, 115, 115},
        {"half up", *home, *at05, 3, 2},
        {"half down", *home, *at05, -3, -2},
        {"same currency", *at12, *at12, 12345, 12345},
        {"rate 0 from", *zero, *home, 500, 500},
        {"rate 0 to", *home, *zero, 500, 500},
        {"unknown", *unknown, *home, 500, 500},
        {"huge clamps", *home, *at12, std::numeric_limits<Cents>::max(),
         std::numeric_limits<Cents>::max()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.from.ConvertAmountTo(c.to, c.amount), c.want) << c.what;

    // A home currency whose listed rate is 0 still converts the other side.
    owner.home = 4;
    EXPECT_EQ(zero->ConvertAmountTo(*at12, 100), 120);
    CAccount orphan;
    EXPECT_EQ(orphan.ConvertAmountTo(*at12, 100), 100);
    EXPECT_EQ(orphan.GetCurrencySymbol(), "$");
    owner.symbols[2] = "\x80";
    EXPECT_EQ(at12->GetCurrencySymbol(), "\x80");
}

// ---------------------------------------------------------------- account

class RenameTest : public ::testing::Test {
  protected:
    RenameTest() : folder(test::MakeTempDir("rename")) {
        account.Header().SetName("Visa");
        EXPECT_EQ(account.MakeFilePath(folder, "Visa"), 0);
        EXPECT_EQ(account.AddTransaction(MakeTx(Day(2012, 1, 1), 100)), 0);
        EXPECT_EQ(account.Save(), 0);
        account.Header().SetChangeFlags(0);
    }
    bool Exists(const std::string& name) const {
        return std::filesystem::exists(folder + "/" + name);
    }
    std::string folder;
    CAccount account;
};

TEST_F(RenameTest, MovesTheFileAndMarksTheName) {
    ASSERT_EQ(account.Rename("Card A/B"), 0);
    EXPECT_FALSE(Exists("Visa.wqm"));
    EXPECT_TRUE(Exists("Card A-B.wqm"));
    EXPECT_EQ(account.GetName(), "Card A-B");
    EXPECT_EQ(account.Header().GetChangeFlags(), kChangeName);
    CAccount reloaded;
    ASSERT_EQ(reloaded.Load(folder + "/Card A-B.wqm"), 0);
    EXPECT_EQ(reloaded.Header().GetBytes(), account.Header().GetBytes());
    EXPECT_EQ(reloaded.Transactions().size(), 1u);
}

TEST_F(RenameTest, NeverReplacesAnotherFileInAnyCase) {
    test::WriteFileBytes(folder + "/other.wqm", "keep");
    EXPECT_EQ(account.Rename("OTHER"), 183);
    EXPECT_EQ(test::ReadFileBytes(folder + "/other.wqm"), "keep");
    EXPECT_TRUE(Exists("Visa.wqm"));
    EXPECT_EQ(account.GetName(), "Visa");
    EXPECT_EQ(account.Header().GetChangeFlags(), 0u);

    // Its own name in another case is no clash.
    ASSERT_EQ(account.Rename("VISA"), 0);
    EXPECT_TRUE(Exists("VISA.wqm"));
    EXPECT_FALSE(Exists("Visa.wqm"));
    ASSERT_EQ(account.Rename("VISA"), 0);
}

TEST_F(RenameTest, MissingFileAndHeldLockFail) {
    CAccount unsaved;
    ASSERT_EQ(unsaved.MakeFilePath(folder, "Never"), 0);
    EXPECT_EQ(unsaved.Rename("Other"), 2);

    CAccountRoot::SetLockTimeout(50ms);
    platform::NamedMutex other(kDatabaseMutexName);
    std::thread holder([&] {
        ASSERT_TRUE(other.Lock(1000ms));
        std::this_thread::sleep_for(300ms);
        other.Unlock();
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(account.Rename("Later"), -1);
    holder.join();
    CAccountRoot::SetLockTimeout(10000ms);
    EXPECT_TRUE(Exists("Visa.wqm"));
    EXPECT_EQ(account.GetName(), "Visa");
}

TEST(AccountTest, DisableOnlineBankingForgetsTheBank) {
    CAccount account;
    ASSERT_EQ(account.MakeFilePath(test::MakeTempDir("online"), "Bank"), 0);
    AccountHeader& h = account.Header();
    h.SetOnlineEnabled(true);
    h.SetCustomerId("cust");
    h.SetOnlinePassword("pw");
    h.SetFiId(77);
    h.SetAccountNumber("123");
    h.SetDownloadEndDate("20120101");
    auto matched = MakeTx(Day(2012, 1, 1), 100);
    matched->SetMatchId(RecordId::Fixed(9));
    matched->SetPayeeLookupId(RecordId::Fixed(3));
    matched->SetOnlineId("FIT1");
    auto reviewed = MakeTx(Day(2012, 1, 2), 100);
    reviewed->SetReviewState(1);
    auto plain = MakeTx(Day(2012, 1, 3), 100);
    plain->SetOnlineId("FIT2");
    for (auto* t : {&matched, &reviewed, &plain})
        ASSERT_EQ(account.AddTransaction(std::move(*t)), 0);
    h.SetChangeFlags(0);

    ASSERT_EQ(account.DisableOnlineBanking(), 0);
    EXPECT_FALSE(h.GetOnlineEnabled());
    EXPECT_EQ(h.GetCustomerId(), "");
    EXPECT_EQ(h.GetOnlinePassword(), "");
    EXPECT_EQ(h.GetFiId(), 0u);
    EXPECT_EQ(h.GetAccountNumber(), "");
    EXPECT_EQ(h.GetDownloadEndDate(), "");
    EXPECT_EQ(h.GetChangeFlags(), kChangeOnlineEnabled | kChangeCustomerId | kChangeOnlinePassword |
                                      kChangeFiId | kChangeAccountNumber | kChangeDownloadEndDate);
    const auto& list = account.Transactions();
    EXPECT_TRUE(list[0]->GetMatchId().IsNull());
    EXPECT_TRUE(list[0]->GetPayeeLookupId().IsNull());
    EXPECT_EQ(list[0]->GetOnlineId(), "");
    EXPECT_EQ(list[1]->GetReviewState(), 0);
    EXPECT_EQ(list[2]->GetOnlineId(), "FIT2");
}

TEST(AccountTest, SettingsThatFollowTheAccountType) {
    struct Case {
        std::uint8_t type;
        RecordId defaultType;
        std::uint16_t icon;
    };
    const std::vector<Case> cases = {
        {kChecking, WithdrawalTypeId, 2}, {kSavings, DepositTypeId, 12},
        {kCash, WithdrawalTypeId, 1},     {kCreditCard, ChargeTypeId, 3},
        {kAsset, PaymentTypeId, 13},      {kLiability, PaymentTypeId, 14},
        {kMoneyMarket, EftTypeId, 12},    {kLineOfCredit, PaymentTypeId, 14},
        {8, WithdrawalTypeId, 14},
    };
    for (const Case& c : cases) {
        CAccount account;
        account.Header().SetType(c.type);
        EXPECT_EQ(account.GetDefaultTransactionTypeId(), c.defaultType) << int(c.type);
        EXPECT_EQ(AccountTypeDefaultIcon(c.type), c.icon) << int(c.type);
    }
}

TEST(AccountTest, NewAndResetRegisterSettings) {
    test::FakeOwner owner;
    CAccount account(&owner);
    EXPECT_EQ(account.GetOwner(), &owner);
    EXPECT_EQ(account.GetColor(), 0xFEF3EDu);
    EXPECT_EQ(account.GetSortMode(), 2);
    EXPECT_TRUE(account.GetSortAscending());
    EXPECT_EQ(account.GetTopRow(), 0);
    account.SetAutoAdjust(true);
    account.SetNewDownloadCount(4);
    account.Header().SetChangeFlags(0x100);
    EXPECT_FALSE(account.IsModified());
    account.Header().SetChangeFlags(0x100 | kChangeName);
    EXPECT_TRUE(account.IsModified());
    account.ClearChangeFlags();
    EXPECT_EQ(account.Header().GetChangeFlags(), 0x100u);
    account.ResetHeader();
    EXPECT_FALSE(account.GetAutoAdjust());
    EXPECT_EQ(account.GetNewDownloadCount(), 0);
}

}  // namespace
}  // namespace tallowmere
