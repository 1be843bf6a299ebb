#include "ui/logic/upcoming_logic.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "model/accounts.h"
#include "model/string_table.h"
#include "model/transaction_type.h"
#include "platform/win_error.h"
#include "ui/logic/file_error_message.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class UpcomingLogicTest : public test::DialogSceneTest {
  protected:
    void SetUp() override {
        DialogSceneTest::SetUp();
        checking_ = Account("Checking").Header().GetId();
        savings_ = Account("Savings").Header().GetId();
        Account("Checking").Header().SetLastCheckNumber(1040);
        ASSERT_EQ(0, Account("Checking").Save());
        // Rent by check on the 1st of each month; a weekly deposit on Saturdays.
        rent_ = Schedule(checking_, "Landlord", 50000, CheckTypeId, kFrequencyMonthly,
                         At(2012, 3, 1, 9));
        pay_ = Schedule(savings_, "Employer", 12000, DepositTypeId, kFrequencyWeekly,
                        At(2012, 3, 10, 9));
    }
    UpcomingLogic Logic() { return UpcomingLogic(Source(), messages_, dialog_, &view_); }
    std::size_t Count(const RecordId& account) const {
        return data_->FindAccountById(account)->Transactions().size();
    }
    // The row of the schedule's n-th listed occurrence (from 0).
    static std::size_t RowOf(const UpcomingLogic& logic, const RecordId& item, int n) {
        for (std::size_t row = 0; row < logic.Count(); ++row) {
            if (logic.ScheduleAt(row) == item && n-- == 0)
                return row;
        }
        ADD_FAILURE() << "no such occurrence";
        return 0;
    }

    RecordId checking_;
    RecordId savings_;
    RecordId rent_;
    RecordId pay_;
};

TEST_F(UpcomingLogicTest, OpensOnTheStoredHorizonAndListsByDueDate) {
    struct Case {
        std::optional<std::uint32_t> stored;
        int mode;
        std::size_t rows;  // rent 1 Mar, then monthly; pay 10 Mar, then weekly
    };
    const Case cases[] = {
        {0, 0, 2},             // due by the start of tomorrow
        {std::nullopt, 1, 3},  // the default, one week: pay on 17 Mar too
        {1, 1, 3},
        {4, 4, 8},  // one month: rent 1 Apr, pay to 14 Apr
        {9, 1, 3},  // no such entry: the default
        {0xFFFFFFFF, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        platform::SetRegistryStorePath(test::MakeTempDir("registry") + "/registry");
        CreatePrefsKeys();
        SetPrefCurrentUser("tester");
        CreateUserPrefsKey();
        if (c.stored)
            SetPrefUpcomingThroughMode(*c.stored);
        UpcomingLogic logic = Logic();
        logic.Open();
        EXPECT_EQ(c.mode, logic.ThroughMode());
        ASSERT_EQ(c.rows, logic.Count());
        for (std::size_t row = 1; row < logic.Count(); ++row)
            EXPECT_LE(logic.DueDateAt(row - 1), logic.DueDateAt(row));
    }
}

TEST_F(UpcomingLogicTest, CellsShowTheDatePayeeAndTheAmountSignedByItsType) {
    SetDateFormatter([](PalmTime t, unsigned) {
        const DateFields f = DateFields::FromPalmTime(t);
        return std::to_string(f.month) + "/" + std::to_string(f.day);
    });
    UpcomingLogic logic = Logic();
    logic.Open();
    ASSERT_EQ(3u, logic.Count());
    EXPECT_EQ("3/1", logic.CellAt(0, kUpcomingColumnDate).text);
    EXPECT_EQ("Landlord", logic.CellAt(0, kUpcomingColumnPayee).text);
    const CellText check = logic.CellAt(0, kUpcomingColumnAmount);
    EXPECT_EQ(MoneyCellText("$", -50000, true), check);
    EXPECT_TRUE(check.negative);
    EXPECT_TRUE(check.money);
    const CellText deposit = logic.CellAt(1, kUpcomingColumnAmount);
    EXPECT_EQ(MoneyCellText("$", 12000, true), deposit);
    EXPECT_FALSE(deposit.negative);
    EXPECT_EQ(CellText{}, logic.CellAt(4, kUpcomingColumnPayee));
    SetDateFormatter({});
}

// Only the first occurrence of a series may be recorded, edited or skipped.
TEST_F(UpcomingLogicTest, ALaterOccurrenceIsRefusedWith152AndNothingChanges) {
    using Action = void (UpcomingLogic::*)(std::size_t);
    for (const Action action :
         {&UpcomingLogic::Record, &UpcomingLogic::Edit, &UpcomingLogic::Skip}) {
        messages_.shown.clear();
        UpcomingLogic logic = Logic();
        logic.Open();
        const std::size_t second = RowOf(logic, pay_, 1);
        (logic.*action)(second);
        EXPECT_EQ(std::vector<int>{kStringOutOfOrder}, messages_.Ids());
        EXPECT_EQ(At(2012, 3, 10, 9), Item(pay_)->GetNextDue());
        EXPECT_EQ(0u, Count(savings_));
        EXPECT_TRUE(dialog_.calls.empty());
        EXPECT_EQ(3u, logic.Count());
    }
    EXPECT_EQ(
        "You cannot edit a scheduled transaction out of order. You may only edit the first "
        "transaction in the series.",
        LoadString(kStringOutOfOrder));
}

TEST_F(UpcomingLogicTest, RecordPostsTheNextCheckIntoTheItemsAccountAndAdvances) {
    UpcomingLogic logic = Logic();
    logic.Open();
    logic.Record(RowOf(logic, rent_, 0));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(At(2012, 4, 1, 9), Item(rent_)->GetNextDue());
    EXPECT_EQ(std::vector<RecordId>{checking_}, view_.refreshed);
    EXPECT_EQ(2u, logic.Count());

    const auto again = Reload();
    const CAccount* checking = again->FindAccountById(checking_);
    ASSERT_EQ(1u, checking->Transactions().size());
    const CTransaction& posted = *checking->Transactions()[0];
    EXPECT_EQ(1041u, posted.GetCheckNumber());
    EXPECT_EQ(50000, posted.GetAmount());
    EXPECT_TRUE(IsSameDay(posted.GetDate(), At(2012, 3, 1)));
    EXPECT_EQ(1041u, checking->Header().GetLastCheckNumber());
    bool found = false;
    for (std::size_t n = 0; const CScheduledItem* item = again->Scheduled().GetItemAt(n, false);
         ++n) {
        if (item->GetId() == rent_) {
            found = true;
            EXPECT_EQ(At(2012, 4, 1, 9), item->GetNextDue());
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(UpcomingLogicTest, SkipAdvancesWithoutPosting) {
    UpcomingLogic logic = Logic();
    logic.Open();
    logic.Skip(RowOf(logic, pay_, 0));
    EXPECT_EQ(At(2012, 3, 17, 9), Item(pay_)->GetNextDue());
    EXPECT_EQ(0u, Count(savings_));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(2u, logic.Count());
    EXPECT_EQ(0u, Reload()->FindAccountById(savings_)->Transactions().size());
}

// Edit opens the dialog in record mode on the schedule's own account; the
// schedule moves on only when what the dialog entered is in its file.
TEST_F(UpcomingLogicTest, EditRecordsIntoTheItemsAccountAndAdvancesOnlyAfterASave) {
    struct Case {
        const char* name;
        TransactionDialogOutcome outcome;
        bool enters;  // the scripted dialog adds the occurrence
        bool advanced;
        bool refreshed;
    };
    const Case cases[] = {
        {"cancel", {2, false}, false, false, false},
        {"ok saved", {1, true}, true, true, true},
        {"ok, save failed", {1, false}, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Item(pay_)->SetNextDue(At(2012, 3, 10, 9));
        dialog_.calls.clear();
        view_.refreshed.clear();
        dialog_.script = [&](CAccount& account, const CTransaction& occurrence) {
            if (c.enters) {
                auto t = std::make_unique<CTransaction>();
                t->CopyFrom(occurrence);
                account.AddTransaction(std::move(t));
            }
            return c.outcome;
        };
        UpcomingLogic logic = Logic();
        logic.Open();
        const std::size_t before = Count(savings_);
        logic.Edit(RowOf(logic, pay_, 0));
        ASSERT_EQ(1u, dialog_.calls.size());
        EXPECT_TRUE(dialog_.calls[0].record);
        EXPECT_EQ(savings_, dialog_.calls[0].account);
        EXPECT_TRUE(IsSameDay(dialog_.calls[0].date, At(2012, 3, 10)));
        EXPECT_NE(pay_, dialog_.calls[0].transaction);  // a new id, not the template's
        EXPECT_EQ(c.advanced ? At(2012, 3, 17, 9) : At(2012, 3, 10, 9), Item(pay_)->GetNextDue());
        EXPECT_EQ(before + (c.enters ? 1 : 0), Count(savings_));
        EXPECT_EQ(c.refreshed, !view_.refreshed.empty());
        EXPECT_TRUE(messages_.shown.empty());
    }
}

TEST_F(UpcomingLogicTest, RecordAllPostsInDateOrderAndStopsAtTheFirstFailure) {
    // A schedule whose account is gone, due between the two others.
    const RecordId gone = Schedule(RecordId::Fixed(0x7777), "Nobody", 100, DepositTypeId,
                                   kFrequencyOnce, At(2012, 3, 5, 9));
    UpcomingLogic logic = Logic();
    logic.Open();
    ASSERT_EQ(4u, logic.Count());
    logic.RecordAll();
    EXPECT_EQ(1u, Count(checking_));
    EXPECT_EQ(0u, Count(savings_));
    EXPECT_EQ(At(2012, 4, 1, 9), Item(rent_)->GetNextDue());
    EXPECT_EQ(At(2012, 3, 5, 9), Item(gone)->GetNextDue());
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(185, messages_.shown[0].stringId);
    EXPECT_EQ(std::vector<RecordId>{checking_}, view_.refreshed);
    EXPECT_EQ(3u, logic.Count());

    // Without the broken schedule everything due goes in.
    Item(gone)->SetNextDue(kNoDueDate);
    messages_.shown.clear();
    logic.RecordAll();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(2u, Count(savings_));
    EXPECT_EQ(0u, logic.Count());
}

TEST_F(UpcomingLogicTest, AFailedSaveIsShownAndTheOccurrenceStaysOffered) {
    UpcomingLogic logic = Logic();
    logic.Open();
    platform::SetWriteFault([](std::size_t, int& err) {
        err = ENOSPC;
        return false;
    });
    logic.Record(RowOf(logic, rent_, 0));
    platform::SetWriteFault(nullptr);
    // The disk is full: the account's save failed, and nothing was posted.
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(FileErrorMessage(platform::kErrorDiskFull).text, messages_.shown[0].text);
    EXPECT_EQ(0u, Count(checking_));
    EXPECT_EQ(At(2012, 3, 1, 9), Item(rent_)->GetNextDue());
    EXPECT_EQ(3u, logic.Count());
    EXPECT_EQ(0u, Reload()->FindAccountById(checking_)->Transactions().size());
}

TEST_F(UpcomingLogicTest, TheChosenHorizonIsStoredByDone) {
    UpcomingLogic logic = Logic();
    logic.Open();
    logic.ChooseThroughMode(6);
    EXPECT_EQ(6, logic.ThroughMode());
    EXPECT_GT(logic.Count(), 7u);
    logic.ChooseThroughMode(12);  // no such entry
    EXPECT_EQ(6, logic.ThroughMode());
    EXPECT_EQ(1u, GetPrefUpcomingThroughMode());
    logic.Done();
    EXPECT_EQ(6u, GetPrefUpcomingThroughMode());
    UpcomingLogic next = Logic();
    next.Open();
    EXPECT_EQ(6, next.ThroughMode());
}

// A reload while the transaction dialog is open puts a new data set in
// place; the schedule is found again in it, by id and due date.
TEST_F(UpcomingLogicTest, AReloadDuringEditIsFollowed) {
    dialog_.script = [&](CAccount&, const CTransaction& occurrence) {
        EXPECT_EQ(0, CAccounts::LoadInto(data_, folder_, {}));
        CAccount* savings = data_->FindAccountById(savings_);
        auto t = std::make_unique<CTransaction>();
        t->CopyFrom(occurrence);
        savings->AddTransaction(std::move(t));
        EXPECT_EQ(0, savings->Save());
        return TransactionDialogOutcome{1, true};
    };
    UpcomingLogic logic = Logic();
    logic.Open();
    logic.Edit(RowOf(logic, pay_, 0));
    EXPECT_EQ(At(2012, 3, 17, 9), Item(pay_)->GetNextDue());
    EXPECT_EQ(2u, logic.Count());
    const auto again = Reload();
    EXPECT_EQ(1u, again->FindAccountById(savings_)->Transactions().size());
}

TEST_F(UpcomingLogicTest, NothingDueLeavesTheListEmpty) {
    Item(rent_)->SetNextDue(kNoDueDate);
    Item(pay_)->SetRepeatCount(0);
    UpcomingLogic logic = Logic();
    logic.Open();
    EXPECT_EQ(0u, logic.Count());
    EXPECT_FALSE(UpcomingLogic::RowActionsEnabled(-1));
    logic.Record(0);
    logic.RecordAll();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(view_.refreshed.empty());
}

}  // namespace
}  // namespace tallowmere::ui
