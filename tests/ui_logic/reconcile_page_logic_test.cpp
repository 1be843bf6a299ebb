#include "ui/logic/reconcile_page_logic.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/account_header.h"
#include "model/transaction.h"
#include "ui_logic/view_pages_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;
using test::Day;
using test::MakeTx;

constexpr std::uint32_t kStatementBits =
    kChangeReconcileOpening | kChangeReconcileEnding | kChangeReconcileDate;

class ReconcilePageLogicTest : public test::ViewPagesTest {
  protected:
    // Opening 1,000.00; open -100.00 (marked), cleared +50.00 (marked), open
    // -20.00, reconciled -5.00 and void -7.00 (both marked, neither on the
    // page). A statement from 1,000.00 to 950.00 is off by nothing.
    CAccount& Checking() {
        CAccount& a = Account("Checking");
        if (a.Transactions().empty()) {
            a.Header().SetOpeningBalance(100000);
            a.AddTransaction(MakeTx(Day(2012, 3, 1), -10000, kStatusOpen | kStatusMarked, "Rent"));
            a.AddTransaction(
                MakeTx(Day(2012, 3, 2), 5000, kStatusCleared | kStatusMarked, "Refund"));
            a.AddTransaction(MakeTx(Day(2012, 3, 3), -2000, kStatusOpen, "Books"));
            a.AddTransaction(
                MakeTx(Day(2012, 2, 1), -500, kStatusReconciled | kStatusMarked, "Fee"));
            a.AddTransaction(MakeTx(Day(2012, 3, 4), -700, kStatusVoid | kStatusMarked, "Void"));
            a.RecalcBalances();
            EXPECT_EQ(a.Save(), 0);
        }
        return a;
    }
    void SetStatement(Cents opening, Cents ending, PalmTime date) {
        CAccount& a = Checking();
        a.Header().SetReconcileOpening(opening);
        a.Header().SetReconcileEnding(ending);
        a.Header().SetReconcileDate(date);
        ASSERT_EQ(a.Save(), 0);
    }
    static std::vector<std::uint8_t> Statuses(const CAccount& a) {
        std::vector<std::uint8_t> s;
        for (const auto& t : a.Transactions())
            s.push_back(t->GetStatus());
        return s;
    }
    CAccount& Reloaded(std::unique_ptr<CAccounts>& holder) {
        holder = Reload();
        CAccount* a = holder->FindAccountByName("Checking");
        EXPECT_NE(a, nullptr);
        return *a;
    }
};

TEST_F(ReconcilePageLogicTest, TheStatementOpensWithTheReconcileState) {
    CAccount& a = Checking();
    // Never reconciled: the opening balance and today.
    StatementDetailsValues v = ReconcileStatementValues(a);
    EXPECT_EQ(v.focusMode, 0);
    EXPECT_EQ(v.beginningBalance, "1000.00");
    EXPECT_EQ(v.endingBalance, FormatMoney(0, kMoneyFull));
    EXPECT_EQ(v.closingDate, At(2012, 3, 15, 10, 30));
    EXPECT_EQ(v.accountType, a.Header().GetType());

    // Reconciled before: from the last statement, a month on.
    a.Header().SetLastReconcileBalance(123456);
    a.Header().SetLastReconcileDate(At(2012, 1, 31));
    v = ReconcileStatementValues(a);
    EXPECT_EQ(v.focusMode, 2);
    EXPECT_EQ(v.beginningBalance, "1234.56");
    EXPECT_EQ(v.closingDate, At(2012, 2, 29));

    // Under way: the statement as entered.
    SetStatement(-2550, 98765, At(2012, 3, 10));
    v = ReconcileStatementValues(a);
    EXPECT_EQ(v.focusMode, 1);
    EXPECT_EQ(v.beginningBalance, "-25.50");
    EXPECT_EQ(v.endingBalance, "987.65");
    EXPECT_EQ(v.closingDate, At(2012, 3, 10));
}

TEST_F(ReconcilePageLogicTest, OnlyTheChangedValuesAreWrittenWithTheirBitsAndSaved) {
    struct Case {
        const char* beginning;
        const char* ending;
        PalmTime date;
        std::uint32_t bits;
    };
    const PalmTime date = At(2012, 3, 10);
    const Case cases[] = {
        {"100.00", "200.00", date, 0},
        {"100.00", "250.00", date, kChangeReconcileEnding},
        {"$99.99", "200.00", date, kChangeReconcileOpening},
        {"100.00", "200.00", At(2012, 3, 11), kChangeReconcileDate},
        {"1", "2", At(2012, 3, 12), kStatementBits},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beginning << " " << c.ending);
        SetStatement(10000, 20000, date);
        CAccount& a = Checking();
        a.Header().SetChangeFlags(0);
        StatementDetailsValues v = ReconcileStatementValues(a);
        v.beginningBalance = c.beginning;
        v.endingBalance = c.ending;
        v.closingDate = c.date;
        EXPECT_EQ(ApplyStatementDetails(a, v, messages_), 0);
        EXPECT_EQ(a.Header().GetChangeFlags() & kStatementBits, c.bits);
        std::unique_ptr<CAccounts> again;
        const AccountHeader& filed = Reloaded(again).Header();
        EXPECT_EQ(filed.GetReconcileOpening(), ParseMoney(c.beginning));
        EXPECT_EQ(filed.GetReconcileEnding(), ParseMoney(c.ending));
        EXPECT_EQ(filed.GetReconcileDate(), c.date);
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ReconcilePageLogicTest, AFailedStatementSaveIsShown) {
    CAccount& a = Checking();
    StatementDetailsValues v = ReconcileStatementValues(a);
    v.endingBalance = "950.00";
    FailWrites();
    EXPECT_NE(ApplyStatementDetails(a, v, messages_), 0);
    EXPECT_EQ(messages_.Ids(), std::vector<int>{183});
}

TEST_F(ReconcilePageLogicTest, ThePageDrawsTheStatementAndTheDifference) {
    SetStatement(100000, 94000, At(2012, 3, 10, 12));
    const ReconcileTexts texts = ReconcileDrawnTexts(Checking(), MoneyStyle{"$", true});
    EXPECT_EQ(texts.closingDate, "3/10/12");
    EXPECT_EQ(texts.beginning.text, "$1000.00");
    EXPECT_EQ(texts.ending.text, "$940.00");
    // 1,000.00 - 100.00 + 50.00 - 5.00 (the marked reconciled fee) - 940.00
    EXPECT_EQ(texts.difference.text, "$5.00");
    EXPECT_FALSE(texts.difference.negative);
}

TEST_F(ReconcilePageLogicTest, MarkAllAndUnmarkAllChangeTheUnreconciledRowsAndSave) {
    CAccount& a = Checking();
    for (auto& t : a.Transactions())
        t->SetAttributes(0);
    ASSERT_EQ(MarkAllReconcileRows(a, true, messages_), 0);
    std::unique_ptr<CAccounts> again;
    // Every row is marked now: those on the page by this, the others before.
    for (const CAccount* acc : {&a, &Reloaded(again)}) {
        for (const auto& t : acc->Transactions())
            EXPECT_NE(t->GetStatus() & kStatusMarked, 0) << t->GetPayeeName();
    }
    // Only the one row that changed is modified.
    for (const auto& t : a.Transactions())
        EXPECT_EQ(t->IsModified(), t->GetPayeeName() == "Books") << t->GetPayeeName();

    ASSERT_EQ(MarkAllReconcileRows(a, false, messages_), 0);
    for (const CAccount* acc : {&a, &Reloaded(again)}) {
        for (const auto& t : acc->Transactions()) {
            SCOPED_TRACE(t->GetPayeeName());
            const bool onPage = t->MatchesStatus(2);
            // The reconciled and void rows are not on the page and keep theirs.
            EXPECT_EQ((t->GetStatus() & kStatusMarked) != 0, !onPage);
        }
    }
    EXPECT_TRUE(messages_.shown.empty());

    FailWrites();
    EXPECT_NE(MarkAllReconcileRows(a, true, messages_), 0);
    EXPECT_EQ(messages_.Ids(), std::vector<int>{183});
}

TEST_F(ReconcilePageLogicTest, DoneAsksAboutADifferenceAndFinishesAsAnswered) {
    struct Case {
        const char* what;
        Cents ending;
        std::vector<Answer> answers;
        FinishResult result;
        std::vector<int> messages;
        bool adjustment;
    };
    // The marked rows come to 1,000.00 - 100.00 + 50.00 - 5.00 = 945.00.
    const Case cases[] = {
        {"no difference", 94500, {}, FinishResult::kFinished, {181}, false},
        {"off, No", 94000, {Answer::kNo}, FinishResult::kFinished, {151}, false},
        {"off, Yes", 94000, {Answer::kYes}, FinishResult::kFinished, {151}, true},
        {"off, Cancel", 94000, {Answer::kCancel}, FinishResult::kCancelled, {151}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        SetStatement(100000, c.ending, At(2012, 3, 10));
        CAccount& a = Checking();
        const std::vector<std::uint8_t> before = Statuses(a);
        const std::size_t rows = a.Transactions().size();
        messages_ = {};
        messages_.answers.assign(c.answers.begin(), c.answers.end());

        EXPECT_EQ(FinishReconcile(a, messages_), c.result);
        EXPECT_EQ(messages_.Ids(), c.messages);
        if (!c.answers.empty()) {
            const MessageRequest& q = messages_.shown.front();
            EXPECT_EQ(q.buttons, Buttons::kYesNoCancel);
            EXPECT_EQ(q.text,
                      "Your account is off by 5.00. Do you want to create an adjustment to "
                      "resolve the descrepancy?");
        }

        std::unique_ptr<CAccounts> again;
        CAccount& filed = Reloaded(again);
        if (c.result == FinishResult::kCancelled) {
            EXPECT_EQ(Statuses(a), before);
            EXPECT_EQ(Statuses(filed), before);
            EXPECT_EQ(filed.Header().GetReconcileDate(), At(2012, 3, 10));
            continue;
        }
        for (const CAccount* acc : {&a, &filed}) {
            EXPECT_EQ(acc->Transactions().size(), rows + (c.adjustment ? 1 : 0));
            EXPECT_EQ(acc->Header().GetReconcileDate(), 0u);
            EXPECT_EQ(acc->Header().GetLastReconcileDate(), At(2012, 3, 10));
            EXPECT_EQ(acc->Header().GetLastReconcileBalance(), c.ending);
            int adjustments = 0;
            for (const auto& t : acc->Transactions()) {
                SCOPED_TRACE(t->GetPayeeName());
                const std::string payee = t->GetPayeeName();
                if (payee == "Rent" || payee == "Refund" || payee == "Fee") {
                    EXPECT_EQ(t->GetStatus(), kStatusReconciled);
                }
                if (payee == "Books") {
                    EXPECT_EQ(t->GetStatus(), kStatusOpen);
                }
                if (payee == "Reconcile Adjustment") {
                    ++adjustments;
                    EXPECT_EQ(t->GetSignedAmount(), -500);
                    EXPECT_EQ(t->GetStatus() & kStatusMask, kStatusReconciled);
                }
            }
            EXPECT_EQ(adjustments, c.adjustment ? 1 : 0);
        }
    }
}

TEST_F(ReconcilePageLogicTest, AFailedFinishIsShownAndLeavesTheAccountAsItWas) {
    for (const bool adjust : {false, true}) {
        SCOPED_TRACE(adjust);
        TearDown();
        SetUp();
        SetStatement(100000, adjust ? 94000 : 94500, At(2012, 3, 10));
        CAccount& a = Checking();
        const std::vector<std::uint8_t> before = Statuses(a);
        const AccountHeader header = a.Header();
        const std::size_t rows = a.Transactions().size();
        const Cents cleared = a.GetBalance(1);
        messages_ = {};
        messages_.answers = {Answer::kYes};

        FailWrites();
        EXPECT_EQ(FinishReconcile(a, messages_), FinishResult::kFailed);
        platform::SetWriteFault(nullptr);
        // No congratulation for a reconcile the file does not hold.
        EXPECT_EQ(messages_.Ids(), adjust ? (std::vector<int>{151, 183}) : std::vector<int>{183});
        EXPECT_EQ(a.Transactions().size(), rows);
        EXPECT_EQ(Statuses(a), before);
        EXPECT_EQ(a.Header().GetBytes(), header.GetBytes());
        EXPECT_EQ(a.GetBalance(1), cleared);
        EXPECT_EQ(a.GetReconcileDifference(), adjust ? 500 : 0);

        // Done again once the disk takes it.
        messages_ = {};
        messages_.answers = {Answer::kNo};
        EXPECT_EQ(FinishReconcile(a, messages_), FinishResult::kFinished);
        std::unique_ptr<CAccounts> again;
        EXPECT_EQ(Reloaded(again).Header().GetLastReconcileDate(), At(2012, 3, 10));
    }
}

}  // namespace
}  // namespace tallowmere::ui
