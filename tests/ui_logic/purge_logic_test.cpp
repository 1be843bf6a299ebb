#include "ui/logic/purge_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/accounts.h"
#include "model/transaction.h"
#include "model/transaction_type.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class PurgeLogicTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock_); }
    void TearDown() override { platform::SetClock(nullptr); }

    test::PinnedClock clock_;
    test::RecordingMessages messages_;
};

TEST_F(PurgeLogicTest, OpensOnDatedBeforeToday) {
    const PurgeForm form = OpenPurge();
    EXPECT_EQ(kPurgeBefore, form.mode);
    EXPECT_EQ(At(2012, 3, 15), form.day);
}

TEST_F(PurgeLogicTest, NoKeepsTheDialogAndYesTakesTheStartOfTheDay) {
    const PurgeForm form{kPurgeCleared, At(2011, 12, 31, 18, 5, 9)};
    PurgeValues values{-7, 0};
    messages_.answers = {Answer::kNo};
    EXPECT_FALSE(AcceptPurge(form, messages_, values).close);
    EXPECT_EQ(-7, values.mode);

    messages_.answers = {Answer::kYes};
    EXPECT_TRUE(AcceptPurge(form, messages_, values).close);
    EXPECT_EQ(kPurgeCleared, values.mode);
    // "Before" a day spares the day itself, whatever time the picker held.
    EXPECT_EQ(At(2011, 12, 31), values.date);

    ASSERT_EQ(2u, messages_.shown.size());
    for (const MessageRequest& asked : messages_.shown) {
        EXPECT_EQ(148, asked.stringId);
        EXPECT_EQ(Buttons::kYesNo, asked.buttons);
        EXPECT_EQ(Icon::kQuestion, asked.icon);
        EXPECT_EQ(Answer::kNo, asked.defaultAnswer);
    }
}

// Closing the question box without a choice answers No.
TEST_F(PurgeLogicTest, TheQuestionsDefaultIsNo) {
    PurgeValues values;
    EXPECT_FALSE(AcceptPurge(OpenPurge(), messages_, values).close);
}

class PurgeAccountTest : public test::DataSetTest {};

// The account's purge with what OK gives keeps every transaction of the
// chosen day, whatever the time of day it was entered at.
TEST_F(PurgeAccountTest, DatedBeforeKeepsTheChosenDayWhole) {
    CAccount& checking = Account("Checking");
    for (const PalmTime date : {At(2011, 12, 30, 23, 59), At(2011, 12, 31, 0, 0),
                                At(2011, 12, 31, 8, 15), At(2012, 1, 2, 12, 0)}) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(date);
        t->SetAmount(100);
        t->SetTypeId(DepositTypeId);
        checking.AddTransaction(std::move(t));
    }
    PurgeValues values;
    messages_.answers = {Answer::kYes};
    ASSERT_TRUE(AcceptPurge({kPurgeBefore, At(2011, 12, 31, 10, 30)}, messages_, values).close);
    ASSERT_EQ(0, checking.PurgeTransactions(values.mode, values.date));
    const std::unique_ptr<CAccounts> again = Reload();
    std::vector<PalmTime> left;
    for (const auto& t : again->FindAccountByName("Checking")->Transactions())
        left.push_back(t->GetDate());
    EXPECT_EQ(left, (std::vector<PalmTime>{At(2011, 12, 31, 0, 0), At(2011, 12, 31, 8, 15),
                                           At(2012, 1, 2, 12, 0)}));
}

}  // namespace
}  // namespace tallowmere::ui
