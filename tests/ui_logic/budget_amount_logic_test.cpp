#include "ui/logic/budget_amount_logic.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

TEST(BudgetAmountLogic, TheSignBecomesTheDirectionAndComesBack) {
    struct Case {
        Cents budget;
        int direction;
        const char* text;
    };
    const Case cases[] = {
        {0, kDirectionWithdrawal, "0"},
        {-2500, kDirectionWithdrawal, "25.00"},
        {2500, kDirectionDeposit, "25.00"},
        {5, kDirectionDeposit, ".05"},
        {-7205759403792793699, kDirectionWithdrawal, "72057594037927936.99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.budget);
        const BudgetAmountForm form = OpenBudgetAmount("Groceries", c.budget);
        EXPECT_EQ(c.direction, form.direction);
        EXPECT_EQ(c.text, form.amountText);
        test::RecordingMessages messages;
        Cents amount = 1;
        ASSERT_TRUE(AcceptBudgetAmount(form, messages, amount).close);
        EXPECT_EQ(c.budget, amount);
        EXPECT_TRUE(messages.shown.empty());
    }
}

TEST(BudgetAmountLogic, OkTakesTheTypedAmountInTheChosenDirection) {
    struct Case {
        const char* text;
        int direction;
        Cents amount;
    };
    const Case cases[] = {
        {"25.00", kDirectionWithdrawal, -2500},
        {"25", kDirectionDeposit, 2500},
        {"", kDirectionDeposit, 0},
        {"-10", kDirectionWithdrawal, 1000},  // a typed sign is the text's own
        {"7", kDirectionNone, 700},           // nothing chosen counts as no withdrawal
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        BudgetAmountForm form = OpenBudgetAmount("Groceries", 0);
        form.amountText = c.text;
        form.direction = c.direction;
        test::RecordingMessages messages;
        Cents amount = 1;
        ASSERT_TRUE(AcceptBudgetAmount(form, messages, amount).close);
        EXPECT_EQ(c.amount, amount);
    }
}

TEST(BudgetAmountLogic, AnAmountBeyondTheRangeIsRefused) {
    for (const char* text : {"72057594037927937", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        BudgetAmountForm form = OpenBudgetAmount("Groceries", 0);
        form.amountText = text;
        test::RecordingMessages messages;
        Cents amount = 1;
        const OkResult ok = AcceptBudgetAmount(form, messages, amount);
        EXPECT_FALSE(ok.close);
        EXPECT_EQ(kBudgetAmount, ok.focusId);
        EXPECT_EQ(std::vector<int>{146}, messages.Ids());
        EXPECT_EQ(1, amount);
    }
}

TEST(BudgetAmountLogic, ThePromptNamesTheRowAsItIs) {
    struct Case {
        const char* label;  // Windows-1252
        const char* prompt;
    };
    const Case cases[] = {
        {"Groceries", "Enter the monthly budget amount for Groceries."},
        {"100% %s %d", "Enter the monthly budget amount for 100% %s %d."},
        {"Caf\xE9:Lunch", "Enter the monthly budget amount for Caf\xC3\xA9:Lunch."},
        {"", "Enter the monthly budget amount for ."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.prompt, OpenBudgetAmount(c.label, 0).prompt);
    }
}

// The most negative amount has no magnitude of its own.
TEST(BudgetAmountLogic, TheLowestAmountOpensAsTheLargestMagnitude) {
    const BudgetAmountForm form = OpenBudgetAmount("x", std::numeric_limits<Cents>::min());
    EXPECT_EQ(kDirectionWithdrawal, form.direction);
    EXPECT_EQ("92233720368547758.07", form.amountText);
}

}  // namespace
}  // namespace tallowmere::ui
