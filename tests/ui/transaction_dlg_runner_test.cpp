// Upcoming's Edit through the real transaction dialog: the schedule moves on
// only when the recorded transaction reached its file.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <cerrno>

#include "model/accounts.h"
#include "model/transaction_type.h"
#include "platform/atomic_file.h"
#include "ui/scripted_services.h"
#include "ui/transaction_dlg_runner.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class TransactionDlgRunnerTest : public test::DialogSceneTest {
  protected:
    void SetUp() override {
        DialogSceneTest::SetUp();
        savings_ = Account("Savings").Header().GetId();
        pay_ = Schedule(savings_, "Employer", 12000, DepositTypeId, kFrequencyWeekly,
                        At(2012, 3, 10, 9));
    }
    // The dialog is answered with OK, with the disk full or not.
    void OkWith(bool diskFull) {
        services_.dialogScripts.push_back([diskFull](QDialog& d) {
            EXPECT_EQ("id_133", d.objectName());
            if (diskFull) {
                platform::SetWriteFault([](std::size_t, int& err) {
                    err = ENOSPC;
                    return false;
                });
            }
            QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
            platform::SetWriteFault(nullptr);
            return d.result();
        });
    }

    test::ScriptedServices services_;
    RecordId savings_;
    RecordId pay_;
};

TEST_F(TransactionDlgRunnerTest, EditRecordsAndAdvancesOnlyAfterASavedEntry) {
    struct Case {
        const char* name;
        bool diskFull;
        PalmTime nextDue;
        std::size_t inFile;
    };
    const Case cases[] = {
        {"disk full", true, At(2012, 3, 10, 9), 0},
        {"saved", false, At(2012, 3, 17, 9), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case starts from the files.
        ASSERT_EQ(0, CAccounts::LoadInto(data_, folder_, {}));
        services_.messages.clear();
        OkWith(c.diskFull);
        CTransactionDlgRunner runner(nullptr, Source());
        ServiceMessages messages;
        UpcomingLogic logic(Source(), messages, runner, &view_);
        logic.Open();
        ASSERT_EQ(2u, logic.Count());
        ASSERT_EQ(pay_, logic.ScheduleAt(0));
        logic.Edit(0);
        EXPECT_EQ(c.nextDue, Item(pay_)->GetNextDue());
        EXPECT_EQ(c.inFile, Reload()->FindAccountById(savings_)->Transactions().size());
        // An entry that did not reach its file is offered again.
        EXPECT_EQ(c.diskFull ? 2u : 1u, logic.Count());
    }
}

TEST_F(TransactionDlgRunnerTest, TheOutcomeCarriesTheDialogsCode) {
    CTransactionDlgRunner runner(nullptr, Source());
    CAccount& savings = Account("Savings");
    CTransaction occurrence;
    occurrence.SetDate(At(2012, 3, 10, 9));
    occurrence.SetAmount(500);
    occurrence.SetTypeId(DepositTypeId);
    // Without a script the dialog is cancelled.
    const TransactionDialogOutcome cancelled = runner.RecordTransaction(savings, occurrence);
    EXPECT_EQ(2, cancelled.code);
    EXPECT_TRUE(savings.Transactions().empty());
    OkWith(false);
    const TransactionDialogOutcome recorded = runner.RecordTransaction(savings, occurrence);
    EXPECT_EQ(1, recorded.code);
    EXPECT_TRUE(recorded.saved);
    ASSERT_EQ(1u, savings.Transactions().size());
    OkWith(false);
    const TransactionDialogOutcome edited =
        runner.EditTransaction(savings, *savings.Transactions()[0]);
    EXPECT_EQ(1, edited.code);
    EXPECT_TRUE(edited.saved);
    EXPECT_EQ(1u, savings.Transactions().size());
}

}  // namespace
}  // namespace tallowmere::ui
