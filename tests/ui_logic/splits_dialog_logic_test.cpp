#include "ui/logic/splits_dialog_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/list_file_names.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"
#include "support/test_env.h"
#include "ui_logic/dialog_data_fixture.h"

namespace tallowmere::ui {
namespace {

class SplitsDialogLogicTest : public ::testing::Test {
  protected:
    SplitsDialogLogicTest()
        : set(test::LoadDefaultDataSet("splits")),
          checking(*set->FindAccountByName("Checking")),
          savings(*set->FindAccountByName("Savings")),
          logic(*set, &checking, messages) {}

    static SplitsData NoSplits(const std::string& category, Cents total) {
        SplitsData in;
        in.firstCategoryText = category;
        in.transactionTotal = total;
        return in;
    }

    RecordId Category(const char* path) {
        return set->Categories().FindOrCreateByPath(path, false);
    }

    std::string ListFile(const char* name) {
        return test::ReadFileBytes(set->GetFolder() + "/" + name);
    }

    std::unique_ptr<CAccounts> set;
    CAccount& checking;
    CAccount& savings;
    test::RecordingMessages messages;
    SplitsDialogLogic logic;
};

TEST_F(SplitsDialogLogicTest, OpensWithTheCategoryAndTotalAndFillsTheRemainder) {
    logic.Open(NoSplits("Groceries", 20000));
    EXPECT_EQ(logic.Rows()[0].category, "Groceries");
    EXPECT_EQ(logic.Rows()[0].amount, "200.00");
    for (int i = 1; i < kSplitRows; ++i)
        EXPECT_EQ(logic.Rows()[i].amount, "") << i;
    EXPECT_EQ(logic.Totals().splits, 20000);
    EXPECT_EQ(logic.Totals().remainder, 0);

    logic.Rows()[0].amount = "50.00";
    EXPECT_TRUE(logic.OnAmountFocus(1));
    EXPECT_EQ(logic.Rows()[1].amount, "150.00");
    EXPECT_EQ(logic.Totals().remainder, 0);

    // Nothing left to fill, and a typed amount is never replaced.
    EXPECT_FALSE(logic.OnAmountFocus(2));
    EXPECT_EQ(logic.Rows()[2].amount, "");
    logic.Rows()[1].amount = "100.00";
    logic.Rows()[3].amount = "7";
    EXPECT_FALSE(logic.OnAmountFocus(3));
    EXPECT_EQ(logic.Rows()[3].amount, "7");
    EXPECT_TRUE(logic.OnAmountFocus(4));
    EXPECT_EQ(logic.Rows()[4].amount, "43.00");
}

TEST_F(SplitsDialogLogicTest, OpensFromTheLinesWithTheirTexts) {
    SplitsData in;
    in.hasSplits = true;
    in.transactionTotal = 5000;
    in.lines[0] = {Category("Auto:Fuel"), BusinessClassId, 1234, kNoneId, "Caf\xE9"};
    in.lines[1] = {savings.Header().GetId(), kNoneId, 0, kNoneId, ""};
    in.lines[2] = {RecordId::Fixed(0x7777), RecordId::Fixed(0x7778), -5, kNoneId, ""};
    logic.Open(in);

    struct Want {
        const char* category;
        const char* classText;
        const char* memo;
        const char* amount;
    };
    const Want want[] = {
        {"Auto:Fuel", "Business", "Caf\xC3\xA9", "12.34"},
        {"[Savings]", "", "", ""},  // an amount of 0 shows nothing
        {"", "", "", "-.05"},       // ids that name nothing show nothing
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(logic.Rows()[i].category, want[i].category);
        EXPECT_EQ(logic.Rows()[i].classText, want[i].classText);
        EXPECT_EQ(logic.Rows()[i].memo, want[i].memo);
        EXPECT_EQ(logic.Rows()[i].amount, want[i].amount);
    }
    EXPECT_EQ(logic.Totals().splits, 1229);
    EXPECT_EQ(logic.Totals().remainder, 3771);

    // Categories in tree order, then every account but the transaction's.
    const std::vector<std::string>& entries = logic.CategoryEntries();
    ASSERT_EQ(entries.size(), 34u);
    EXPECT_EQ(entries[0], "Auto");
    EXPECT_EQ(entries[1], "Auto:Fuel");
    const std::vector<std::string> accounts(entries.end() - 4, entries.end());
    EXPECT_EQ(accounts, (std::vector<std::string>{"[American Express]", "[Mastercard]", "[Savings]",
                                                  "[Visa]"}));
    EXPECT_EQ(logic.ClassEntries(), (std::vector<std::string>{"Business", "Personal"}));
}

TEST_F(SplitsDialogLogicTest, HasSplitsFollowsTheRows) {
    struct Case {
        const char* what;
        int row;
        const char* category;
        const char* amount;
        bool hasSplits;
    };
    const Case cases[] = {
        {"first row, amount only", 0, "", "200.00", false},
        {"first row, category", 0, "Groceries", "", true},
        {"fourth row, amount only", 3, "", "5.00", true},
        {"last row, negative amount only", 9, "", "-1.00", true},
        {"second row, zero amount", 1, "", "0.00", false},
        {"nothing at all", 0, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        logic.Open(NoSplits("", 20000));
        logic.Clear();
        logic.Rows()[c.row].category = c.category;
        logic.Rows()[c.row].amount = c.amount;
        SplitsFocus focus;
        ASSERT_TRUE(logic.Ok(&focus));
        EXPECT_EQ(logic.Result().hasSplits, c.hasSplits);
    }
    EXPECT_TRUE(messages.ids.empty());
}

TEST_F(SplitsDialogLogicTest, ClearEmptiesEveryLineButKeepsTheLinks) {
    SplitsData in;
    in.hasSplits = true;
    in.transactionTotal = 300;
    in.lines[0] = {Category("Groceries"), PersonalClassId, 100, RecordId::Fixed(0x4001), "a"};
    in.lines[4] = {savings.Header().GetId(), kNoneId, 200, RecordId::Fixed(0x4002), "b"};
    logic.Open(in);
    logic.Clear();
    EXPECT_EQ(logic.Totals().remainder, 300);
    SplitsFocus focus;
    ASSERT_TRUE(logic.Ok(&focus));
    const SplitsData& out = logic.Result();
    EXPECT_FALSE(out.hasSplits);
    for (int i = 0; i < kSplitRows; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(out.lines[i].category, kNoneId);
        EXPECT_EQ(out.lines[i].classId, kNoneId);
        EXPECT_EQ(out.lines[i].amount, 0);
        EXPECT_EQ(out.lines[i].memo, "");
        EXPECT_EQ(out.lines[i].linked, in.lines[i].linked);
    }
}

TEST_F(SplitsDialogLogicTest, ARefusedRowShowsItsMessageFocusesItAndMakesNothing) {
    struct Case {
        const char* what;
        SplitsRow row;
        int message;
        SplitsField field;
    };
    const std::string tooLongMemo(161, 'm');
    const Case cases[] = {
        {"trailing colon", {"Auto:", "", "", ""}, 137, SplitsField::kCategory},
        {"the split text", {"-split-", "", "", ""}, 137, SplitsField::kCategory},
        {"a slash", {"Auto/Fuel", "", "", ""}, 137, SplitsField::kCategory},
        {"a blank parent", {" :Fuel", "", "", ""}, 137, SplitsField::kCategory},
        {"no such account", {"[Nope]", "", "", ""}, 138, SplitsField::kCategory},
        {"its own account", {"[checking]", "", "", ""}, 145, SplitsField::kCategory},
        {"class with a colon", {"Dining", "a:b", "", ""}, 199, SplitsField::kClass},
        {"class of 33", {"", std::string(33, 'c'), "", ""}, 199, SplitsField::kClass},
        {"memo of 161", {"", "", tooLongMemo, ""}, 139, SplitsField::kMemo},
        {"amount past the top", {"", "", "", "72057594037927937"}, 146, SplitsField::kAmount},
        {"amount past the bottom", {"", "", "", "-72057594037927937"}, 146, SplitsField::kAmount},
        {"25 digits", {"", "", "", "1234567890123456789012345"}, 146, SplitsField::kAmount},
    };
    const std::string categoriesBefore = ListFile(kCategoriesListFile);
    const std::string classesBefore = ListFile(kClassListFile);
    const std::size_t categoryCount = set->Categories().GetCount(true);
    const std::size_t classCount = set->Classes().GetCount(true);

    SplitsData in;
    in.hasSplits = true;
    in.transactionTotal = 20000;
    in.lines[2] = {Category("Dining"), kNoneId, 500, RecordId::Fixed(0x4003), "old"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.ids.clear();
        logic.Open(in);
        // Rows before the failing one would make a category and a class.
        logic.Rows()[0] = {"Pets:Food", "Trip", "", "10.00"};
        logic.Rows()[1] = {"[Savings]", "", "to savings", "20.00"};
        logic.Rows()[2] = c.row;
        SplitsFocus focus;
        EXPECT_FALSE(logic.Ok(&focus));
        EXPECT_EQ(messages.ids, std::vector<int>{c.message});
        EXPECT_EQ(focus.row, 2);
        EXPECT_EQ(focus.field, c.field);
        EXPECT_EQ(logic.Result().lines, in.lines);
        EXPECT_EQ(set->Categories().GetCount(true), categoryCount);
        EXPECT_EQ(set->Classes().GetCount(true), classCount);
    }
    EXPECT_EQ(ListFile(kCategoriesListFile), categoriesBefore);
    EXPECT_EQ(ListFile(kClassListFile), classesBefore);
}

TEST_F(SplitsDialogLogicTest, AmountsAtTheLimitPassButTheirSumIsChecked) {
    logic.Open(NoSplits("", 0));
    logic.Rows()[0].amount = "72057594037927936.99";
    SplitsFocus focus;
    ASSERT_TRUE(logic.Ok(&focus));
    EXPECT_EQ(logic.Result().lines[0].amount, kAmountLimit);

    logic.Rows()[1].amount = "-72057594037927936.99";
    logic.Rows()[2].amount = "-0.01";
    ASSERT_TRUE(logic.Ok(&focus));

    logic.Rows()[1].amount = "72057594037927936.99";
    logic.Rows()[2].amount = "";
    EXPECT_FALSE(logic.Ok(&focus));
    EXPECT_EQ(messages.ids, std::vector<int>{146});
    EXPECT_EQ(focus.row, 1);
    EXPECT_EQ(focus.field, SplitsField::kAmount);
    EXPECT_EQ(logic.Totals().splits, WideCents{kAmountLimit} * 2);
    EXPECT_EQ(FormatWideMoney(logic.Totals().splits), "144115188075855873.98");

    // Adjust cannot take a total that no amount can hold.
    logic.Adjust();
    EXPECT_EQ(messages.ids, (std::vector<int>{146, 146}));
    EXPECT_EQ(logic.Totals().transaction, 0);
}

TEST_F(SplitsDialogLogicTest, AdjustTakesTheSplitsTotal) {
    logic.Open(NoSplits("Groceries", 20000));
    logic.Rows()[0].amount = "200.00";
    logic.Rows()[1] = {"Dining", "", "", "50.00"};
    logic.Recompute();
    EXPECT_EQ(logic.Totals().remainder, -5000);
    logic.Adjust();
    EXPECT_EQ(logic.Totals().transaction, 25000);
    EXPECT_EQ(logic.Totals().remainder, 0);
    SplitsFocus focus;
    ASSERT_TRUE(logic.Ok(&focus));
    EXPECT_EQ(logic.Result().transactionTotal, 25000);
}

TEST_F(SplitsDialogLogicTest, OkMakesTypedCategoriesAndClassesOnceEveryRowPassed) {
    SplitsData in;
    in.hasSplits = true;
    in.transactionTotal = 3000;
    in.lines[0] = {Category("Dining"), kNoneId, 1000, RecordId::Fixed(0x4004), ""};
    logic.Open(in);
    const std::string memo160(160, '\xE9');  // 160 characters, 160 bytes once stored
    logic.Rows()[0] = {"  Pets:Food ", "Trip", platform::Cp1252ToUtf8(memo160), "10.00"};
    logic.Rows()[1] = {"[savings]", "business", "", "20.00"};
    SplitsFocus focus;
    ASSERT_TRUE(logic.Ok(&focus));
    EXPECT_TRUE(messages.ids.empty());

    const SplitsData& out = logic.Result();
    const RecordId pets = Category("Pets:Food");
    ASSERT_NE(pets, kNoneId);
    RecordId trip;
    ASSERT_TRUE(set->Classes().FindIdByName("Trip", trip));
    EXPECT_EQ(out.lines[0], (SplitLine{pets, trip, 1000, RecordId::Fixed(0x4004), memo160}));
    EXPECT_EQ(out.lines[1],
              (SplitLine{savings.Header().GetId(), BusinessClassId, 2000, kNoneId, ""}));
    EXPECT_TRUE(out.hasSplits);

    // Saved as soon as they were made.
    CCategoryList categories;
    ASSERT_EQ(categories.Load(set->GetFolder() + "/" + kCategoriesListFile), 0);
    EXPECT_NE(categories.FindOrCreateByPath("Pets:Food", false), kNoneId);
}

// The link of a transfer line stays with its line, so the account keeps the
// one mirror it made however often the lines are edited.
TEST_F(SplitsDialogLogicTest, EditingATransferLineTwiceKeepsOneMirror) {
    auto t = std::make_unique<CTransaction>();
    t->SetTypeId(WithdrawalTypeId);
    t->SetAmount(10000);
    t->SetCategoryId(SplitMarkerId);
    t->SetSplitCategoryId(0, Category("Groceries"));
    t->SetSplitAmount(0, 6000);
    t->SetSplitCategoryId(1, savings.Header().GetId());
    t->SetSplitAmount(1, 4000);
    CTransaction& stored = *t;
    ASSERT_EQ(checking.AddTransactionWithTransfer(std::move(t)), 0);
    ASSERT_EQ(savings.Transactions().size(), 1u);

    for (const char* amount : {"45.00", "50.00"}) {
        SCOPED_TRACE(amount);
        CTransaction copy(stored);
        logic.Open({true, ReadSplitLines(copy), "", copy.GetAmount()});
        logic.Rows()[1].amount = amount;
        logic.Rows()[0].amount = "";
        EXPECT_TRUE(logic.OnAmountFocus(0));
        SplitsFocus focus;
        ASSERT_TRUE(logic.Ok(&focus));
        ASSERT_TRUE(logic.Result().hasSplits);
        WriteSplitLines(logic.Result().lines, copy);
        ASSERT_EQ(checking.ModifyTransaction(copy, stored), 0);
    }
    ASSERT_EQ(savings.Transactions().size(), 1u);
    const CTransaction& mirror = *savings.Transactions()[0];
    EXPECT_EQ(mirror.GetAmount(), 5000);
    EXPECT_EQ(mirror.GetLinkedId(), stored.GetId());
    EXPECT_EQ(stored.GetSplitLinkedId(1), mirror.GetId());
    EXPECT_EQ(stored.GetSplitAmount(0), 5000);
}

}  // namespace
}  // namespace tallowmere::ui
