// An edit moves only the rows it changed, yet leaves every register as a
// stable sort of the whole would: in each mode and direction, ties
// included, for plain rows, transfers and split lines with their mirrors.
// Where the type key has no order (the intransitive trio) the other rows
// keep theirs and nothing is lost. A register whose order or balances came
// from elsewhere is sorted and counted whole once.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/account.h"
#include "model/account_test_world.h"
#include "model/accounts.h"

namespace tallowmere {
namespace {

using test::Day;
using test::MakeTx;

using Rows = std::vector<const CTransaction*>;

Rows RowsOf(const CAccount& a) {
    Rows out;
    for (const auto& t : a.Transactions())
        out.push_back(t.get());
    return out;
}

// What a stable sort of the whole register gives after an edit: the rows of
// before that are still there, in their old order, rows that came in after
// them, all sorted with the edited records as they are now.
Rows FullResortOf(const CAccount& a, const Rows& before) {
    const Rows now = RowsOf(a);
    Rows rows;
    for (const CTransaction* t : before) {
        if (std::find(now.begin(), now.end(), t) != now.end())
            rows.push_back(t);
    }
    for (const CTransaction* t : now) {
        if (std::find(before.begin(), before.end(), t) == before.end())
            rows.push_back(t);
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const CTransaction* x, const CTransaction* y) {
        return a.CompareTransactions(*x, *y) < 0;
    });
    return rows;
}

const RecordId kFood = RecordId::Fixed(0x0071);
const RecordId kFoodLower = RecordId::Fixed(0x0072);
const RecordId kFuel = RecordId::Fixed(0x0073);
const RecordId kWork = RecordId::Fixed(0x0101);
const RecordId kHome = RecordId::Fixed(0x0102);

// Checking with thirty rows drawn from small pools, so every mode has runs
// of equal rows; some are transfers and one a split with a line to
// Savings, which has rows of its own. Only one numbered type, so the type
// key is an order.
class EditOrderTest : public ::testing::Test {
  protected:
    EditOrderTest()
        : checking(world.AddAccount("Checking")),
          savings(world.AddAccount("Savings", 1, kSavings)) {
        world.owner.categories[RecordIdToHex(kFood)] = "Food";
        world.owner.categories[RecordIdToHex(kFoodLower)] = "food";
        world.owner.categories[RecordIdToHex(kFuel)] = "Auto:Fuel";
        world.owner.classes[RecordIdToHex(kWork)] = "Work";
        world.owner.classes[RecordIdToHex(kHome)] = "home";
        std::mt19937 rng(18);
        const auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        const std::vector<PalmTime> dates = {Day(2012, 1, 1), Day(2012, 1, 2), Day(2012, 1, 3)};
        const std::vector<const char*> payees = {"alpha", "Alpha", "bravo", "Charlie"};
        const std::vector<std::uint8_t> statuses = {kStatusOpen, kStatusCleared, kStatusReconciled,
                                                    kStatusVoid};
        const std::vector<RecordId> categories = {kNoneId, kFood, kFoodLower, kFuel,
                                                  savings.Header().GetId()};
        const std::vector<RecordId> classes = {kNoneId, kWork, kHome};
        const std::vector<const char*> memos = {"", "m", "M"};
        for (int i = 0; i < 30; ++i) {
            const std::size_t kind = pick(3);
            const Cents amount = kind == 0 ? 700 : (pick(2) == 0 ? -500 : -1200);
            auto t = MakeTx(dates[pick(dates.size())], amount, statuses[pick(statuses.size())],
                            payees[pick(payees.size())],
                            kind == 2 ? std::optional<RecordId>(CheckTypeId) : std::nullopt);
            if (kind == 2)
                t->SetCheckNumber(101 + static_cast<std::uint32_t>(pick(2)));
            t->SetCategoryId(categories[pick(categories.size())]);
            t->SetClassId(classes[pick(classes.size())]);
            t->SetMemo(memos[pick(memos.size())]);
            if (i == 7) {
                t->SetCategoryId(SplitMarkerId);
                t->SetSplitCategoryId(0, kFood);
                t->SetSplitAmount(0, t->GetAmount() - 100);
                t->SetSplitCategoryId(1, savings.Header().GetId());
                t->SetSplitAmount(1, 100);
            }
            EXPECT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
        }
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(savings.AddTransaction(MakeTx(dates[pick(dates.size())], 700,
                                                    statuses[pick(statuses.size())],
                                                    payees[pick(payees.size())])),
                      0);
        }
        EXPECT_EQ(checking.Save(), 0);
        EXPECT_EQ(savings.Save(), 0);
    }

    void SetOrder(int mode, bool ascending) {
        for (CAccount* a : {&checking, &savings}) {
            a->SetSortMode(static_cast<std::int16_t>(mode));
            a->SetSortAscending(ascending);
            ASSERT_EQ(a->ResortTransactions(), 0);
        }
    }

    // The row of Checking that chooses, by its position now.
    CTransaction& RowAt(std::size_t i) { return *checking.Transactions()[i]; }
    CTransaction& FirstWhere(const std::function<bool(const CTransaction&)>& wanted) {
        for (const auto& t : checking.Transactions()) {
            if (wanted(*t))
                return *t;
        }
        ADD_FAILURE() << "no such row";
        return *checking.Transactions()[0];
    }

    test::LedgerWorld world;
    CAccount& checking;
    CAccount& savings;
};

TEST_F(EditOrderTest, EveryEditGivesTheOrderOfAFullResort) {
    const RecordId savingsId = savings.Header().GetId();
    const auto isTransfer = [&](const CTransaction& t) { return t.GetCategoryId() == savingsId; };
    const auto isSplit = [](const CTransaction& t) { return t.GetCategoryId() == SplitMarkerId; };
    const auto isPlain = [&](const CTransaction& t) {
        return !isTransfer(t) && !isSplit(t) && t.GetTypeId() != CheckTypeId;
    };
    struct Edit {
        const char* what;
        std::function<CTransaction&()> row;
        std::function<void(CTransaction&)> change;
    };
    const std::vector<Edit> edits = {
        {"first row to the last day", [&]() -> CTransaction& { return RowAt(0); },
         [](CTransaction& e) { e.SetDate(Day(2012, 1, 3)); }},
        {"last row to the first day", [&]() -> CTransaction& { return RowAt(29); },
         [](CTransaction& e) { e.SetDate(Day(2012, 1, 1)); }},
        {"payee only in case", [&]() -> CTransaction& { return RowAt(14); },
         [](CTransaction& e) { e.SetPayeeName(e.GetPayeeName() == "alpha" ? "Alpha" : "alpha"); }},
        {"amount", [&]() -> CTransaction& { return FirstWhere(isPlain); },
         [](CTransaction& e) { e.SetAmount(e.GetAmount() + 500); }},
        {"status", [&]() -> CTransaction& { return RowAt(10); },
         [](CTransaction& e) {
             e.SetStatus(e.GetStatus() == kStatusOpen ? kStatusVoid : kStatusOpen);
         }},
        {"check number",
         [&]() -> CTransaction& {
             return FirstWhere([](const CTransaction& t) { return t.GetTypeId() == CheckTypeId; });
         },
         [](CTransaction& e) { e.SetCheckNumber(e.GetCheckNumber() == 101 ? 102 : 101); }},
        {"category by text case", [&]() -> CTransaction& { return FirstWhere(isPlain); },
         [](CTransaction& e) { e.SetCategoryId(e.GetCategoryId() == kFood ? kFoodLower : kFood); }},
        {"class and memo", [&]() -> CTransaction& { return RowAt(20); },
         [](CTransaction& e) {
             e.SetClassId(e.GetClassId() == kHome ? kWork : kHome);
             e.SetMemo(e.GetMemo() == "m" ? "M" : "m");
         }},
        // Equal to a run of other rows, from either side of it.
        {"copy of a later row's keys", [&]() -> CTransaction& { return RowAt(3); },
         [](CTransaction&) {}},
        {"copy of an earlier row's keys", [&]() -> CTransaction& { return RowAt(26); },
         [](CTransaction&) {}},
        {"transfer date and amount, mirror placed too",
         [&]() -> CTransaction& { return FirstWhere(isTransfer); },
         [](CTransaction& e) {
             e.SetDate(e.GetDate() == Day(2012, 1, 1) ? Day(2012, 1, 3) : Day(2012, 1, 1));
             e.SetAmount(e.GetAmount() + 100);
         }},
        {"transfer payee", [&]() -> CTransaction& { return FirstWhere(isTransfer); },
         [](CTransaction& e) { e.SetPayeeName("bravo"); }},
        {"split date, line mirror placed too",
         [&]() -> CTransaction& { return FirstWhere(isSplit); },
         [](CTransaction& e) { e.SetDate(Day(2012, 1, 2)); }},
        {"plain becomes a transfer", [&]() -> CTransaction& { return FirstWhere(isPlain); },
         [&](CTransaction& e) { e.SetCategoryId(savingsId); }},
        {"transfer becomes plain", [&]() -> CTransaction& { return FirstWhere(isTransfer); },
         [](CTransaction& e) { e.SetCategoryId(kFuel); }},
    };
    for (int mode = 0; mode < kSortModeCount; ++mode) {
        for (bool ascending : {true, false}) {
            SetOrder(mode, ascending);
            for (const Edit& edit : edits) {
                SCOPED_TRACE(::testing::Message()
                             << "mode " << mode << (ascending ? " asc " : " desc ") << edit.what);
                const Rows checkingBefore = RowsOf(checking);
                const Rows savingsBefore = RowsOf(savings);
                CTransaction& r = edit.row();
                CTransaction e(r);
                edit.change(e);
                const std::string what = edit.what;
                if (what.starts_with("copy of")) {
                    const std::size_t at = what.find("later") != std::string::npos ? 25 : 4;
                    const CTransaction& model = RowAt(at);
                    e.SetDate(model.GetDate());
                    e.SetStatus(model.GetStatus());
                    e.SetTypeId(model.GetTypeId());
                    e.SetCheckNumber(model.GetCheckNumber());
                    e.SetAmount(model.GetAmount());
                    e.SetPayeeName(model.GetPayeeName());
                    e.SetMemo(model.GetMemo());
                    e.SetClassId(model.GetClassId());
                    if (!isTransfer(r) && !isSplit(r) && !isTransfer(model) && !isSplit(model))
                        e.SetCategoryId(model.GetCategoryId());
                }
                ASSERT_EQ(checking.ModifyTransaction(e, r), 0);
                EXPECT_EQ(RowsOf(checking), FullResortOf(checking, checkingBefore));
                EXPECT_EQ(RowsOf(savings), FullResortOf(savings, savingsBefore));
                test::CheckInvariants(world.owner);
                if (HasFatalFailure() || HasFailure())
                    return;
            }
        }
    }
}

// Check #5 < U < N #3 < Check #5: no order exists, and a full sort moves
// rows on every call. An edit leaves the others as they were and puts the
// row where a binary search over them, its old index breaking ties, ends.
TEST(EditOrderIntransitiveTest, OtherRowsKeepTheirOrderAndNoneIsLost) {
    RecordId unnumbered = RecordId::Fixed(0x0010);
    unnumbered.bytes[0] = 0x01;
    RecordId numbered = RecordId::Fixed(0x4011);
    numbered.bytes[0] = 0x02;
    const std::vector<RecordId> types = {CheckTypeId, unnumbered, numbered};
    test::LedgerWorld world;
    CAccount& account = world.AddAccount("Trio");
    std::mt19937 rng(5);
    for (int i = 0; i < 24; ++i) {
        const std::size_t which = rng() % 3;
        // Amount 0 and equal fields elsewhere: the type key decides often.
        auto t = MakeTx(Day(2012, 1, 1 + static_cast<int>(rng() % 2)), 0, kStatusOpen, "x",
                        types[which]);
        t->SetCheckNumber(which == 0 ? 5 : 3);
        ASSERT_EQ(account.AddTransaction(std::move(t)), 0);
    }
    for (int mode = 0; mode < kSortModeCount; ++mode) {
        for (bool ascending : {true, false}) {
            account.SetSortMode(static_cast<std::int16_t>(mode));
            account.SetSortAscending(ascending);
            ASSERT_EQ(account.ResortTransactions(), 0);
            for (std::size_t pos : {0u, 5u, 11u, 23u}) {
                SCOPED_TRACE(::testing::Message()
                             << "mode " << mode << (ascending ? " asc" : " desc") << " row "
                             << pos);
                const Rows before = RowsOf(account);
                CTransaction& r = *account.Transactions()[pos];
                CTransaction e(r);
                const std::size_t next =
                    (std::find(types.begin(), types.end(), r.GetTypeId()) - types.begin() + 1) %
                    types.size();
                e.SetTypeId(types[next]);
                e.SetCheckNumber(next == 0 ? 5 : 3);
                ASSERT_EQ(account.ModifyTransaction(e, r), 0);

                const Rows after = RowsOf(account);
                ASSERT_EQ(after.size(), before.size());
                Rows othersBefore = before;
                othersBefore.erase(othersBefore.begin() + static_cast<std::ptrdiff_t>(pos));
                Rows othersAfter = after;
                const auto at = std::find(othersAfter.begin(), othersAfter.end(), &r);
                ASSERT_NE(at, othersAfter.end());
                const std::size_t landed = static_cast<std::size_t>(at - othersAfter.begin());
                othersAfter.erase(at);
                EXPECT_EQ(othersAfter, othersBefore);

                std::size_t lo = 0;
                std::size_t hi = othersBefore.size();
                while (lo < hi) {
                    const std::size_t mid = (lo + hi) / 2;
                    const int c = account.CompareTransactions(r, *othersBefore[mid]);
                    if (c < 0 || (c == 0 && mid >= pos))
                        hi = mid;
                    else
                        lo = mid + 1;
                }
                EXPECT_EQ(landed, lo);
            }
        }
    }
}

// Orders and balances that did not come from this register's own edits: a
// file in another order than its mode, a header whose balances disagree
// with the rows, an opening balance set from outside. The edit leaves the
// order and the balances a full sort and a recount give.
TEST(EditOrderFromElsewhereTest, FirstEditSortsAndCountsWhatItCannotTrust) {
    struct Case {
        const char* what;
        // Given the saved account; may change it and reload it.
        std::function<void(CAccount&)> prepare;
    };
    const std::vector<Case> cases = {
        {"file in the order of another mode",
         [](CAccount& a) {
             a.SetSortMode(4);  // rows stay in date order
             ASSERT_EQ(a.Save(), 0);
             ASSERT_EQ(a.Load(a.GetPath()), 0);
         }},
        {"mode changed without a sort", [](CAccount& a) { a.SetSortMode(4); }},
        {"file whose balances disagree with its rows",
         [](CAccount& a) {
             a.Header().SetCurrentBalance(123);
             a.Header().SetClearedBalance(-45);
             ASSERT_EQ(a.Save(), 0);
             ASSERT_EQ(a.Load(a.GetPath()), 0);
         }},
        {"opening balance set directly",
         [](CAccount& a) { a.Header().SetOpeningBalance(a.Header().GetOpeningBalance() + 999); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::LedgerWorld world;
        CAccount& account = world.AddAccount("Checking");
        const std::vector<const char*> payees = {"delta", "alpha", "charlie", "bravo", "echo"};
        for (std::size_t i = 0; i < payees.size(); ++i) {
            ASSERT_EQ(account.AddTransaction(MakeTx(
                          Day(2012, 1, 1 + static_cast<int>(i)), -100 * static_cast<Cents>(i + 1),
                          i % 2 ? kStatusCleared : kStatusOpen, payees[i])),
                      0);
        }
        ASSERT_EQ(account.Save(), 0);
        // One edit first, so the order and balances are the register's own.
        CTransaction& first = *account.Transactions()[0];
        CTransaction e0(first);
        e0.SetMemo("seen");
        ASSERT_EQ(account.ModifyTransaction(e0, first), 0);

        c.prepare(account);
        const Rows before = RowsOf(account);
        CTransaction& r = *account.Transactions()[2];
        CTransaction e(r);
        e.SetAmount(e.GetAmount() + 1);
        ASSERT_EQ(account.ModifyTransaction(e, r), 0);
        EXPECT_EQ(RowsOf(account), FullResortOf(account, before));
        test::CheckInvariants(world.owner);
    }
}

// A category or class renamed: the registers ordered by those names are
// sorted again and saved; a register in another mode, or still in order,
// is left as it is, its file too.
TEST(ResortByNameTest, RegistersOrderedByARenamedNameAreSortedAgain) {
    const std::string folder = test::MakeTempDir("rename");
    std::unique_ptr<CAccounts> set;
    ASSERT_EQ(CAccounts::LoadInto(set, folder, {}), 0);
    auto* apple = static_cast<CCategoryItem*>(
        set->Categories().AddItem(std::make_unique<CCategoryItem>("Apple")));
    auto* banana = set->Categories().AddItem(std::make_unique<CCategoryItem>("Banana"));
    auto* alpha =
        static_cast<CClassItem*>(set->Classes().AddItem(std::make_unique<CClassItem>("Alpha")));
    auto* beta = set->Classes().AddItem(std::make_unique<CClassItem>("Beta"));
    ASSERT_TRUE(apple && banana && alpha && beta);

    // Checking by category, Savings by class, Visa by date, Mastercard by
    // category with nothing the rename moves.
    const auto fill = [](CAccount& a, int mode, const RecordId& first, const RecordId& second,
                         bool byClass) {
        a.SetSortMode(static_cast<std::int16_t>(mode));
        for (int i = 0; i < 4; ++i) {
            auto t = MakeTx(Day(2012, 1, 1 + i), -100 - i, kStatusOpen, "shop");
            const RecordId& id = i % 2 ? first : second;
            if (byClass)
                t->SetClassId(id);
            else
                t->SetCategoryId(id);
            ASSERT_EQ(a.AddTransaction(std::move(t)), 0);
        }
        ASSERT_EQ(a.Save(), 0);
    };
    CAccount& checking = *set->FindAccountByName("Checking");
    CAccount& savings = *set->FindAccountByName("Savings");
    CAccount& visa = *set->FindAccountByName("Visa");
    CAccount& mastercard = *set->FindAccountByName("Mastercard");
    fill(checking, 5, apple->GetId(), banana->GetId(), false);
    fill(savings, 6, alpha->GetId(), beta->GetId(), true);
    fill(visa, 2, apple->GetId(), banana->GetId(), false);
    fill(mastercard, 1, banana->GetId(), banana->GetId(), false);
    const std::string visaFile = test::ReadFileBytes(visa.GetPath());
    const std::string mastercardFile = test::ReadFileBytes(mastercard.GetPath());

    apple->SetName("Zucchini");
    alpha->SetName("Zulu");
    const Rows checkingBefore = RowsOf(checking);
    const Rows savingsBefore = RowsOf(savings);
    const Rows visaBefore = RowsOf(visa);
    EXPECT_FALSE(checking.IsInOrder());
    ASSERT_EQ(set->ResortRegistersByName(), 0);

    EXPECT_TRUE(checking.IsInOrder());
    EXPECT_TRUE(savings.IsInOrder());
    EXPECT_EQ(RowsOf(checking), FullResortOf(checking, checkingBefore));
    EXPECT_EQ(RowsOf(savings), FullResortOf(savings, savingsBefore));
    EXPECT_NE(RowsOf(checking), checkingBefore);
    EXPECT_EQ(RowsOf(visa), visaBefore);
    EXPECT_EQ(test::ReadFileBytes(visa.GetPath()), visaFile);
    EXPECT_EQ(test::ReadFileBytes(mastercard.GetPath()), mastercardFile);
    for (CAccount* a : {&checking, &savings}) {
        CAccount reloaded;
        ASSERT_EQ(reloaded.Load(a->GetPath()), 0);
        ASSERT_EQ(reloaded.Transactions().size(), a->Transactions().size());
        for (std::size_t i = 0; i < a->Transactions().size(); ++i)
            EXPECT_TRUE(reloaded.Transactions()[i]->IsSameRecord(*a->Transactions()[i]));
    }
}

}  // namespace
}  // namespace tallowmere
