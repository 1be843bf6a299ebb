#include "ui/logic/report_details_logic.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/accounts.h"
#include "model/string_table.h"
#include "model/transaction_type.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

// Built-in categories.
constexpr RecordId kGroceries = RecordId::Fixed(0x0077);
constexpr RecordId kDining = RecordId::Fixed(0x0073);

class ReportDetailsLogicTest : public test::DialogSceneTest {
  protected:
    void SetUp() override {
        DialogSceneTest::SetUp();
        checking_ = Account("Checking").Header().GetId();
        savings_ = Account("Savings").Header().GetId();
        inChecking_ = Add(Account("Checking"), "Market", 3000, kGroceries, At(2012, 3, 10, 9));
        inSavings_ = Add(Account("Savings"), "Corner Shop", 2000, kGroceries, At(2012, 3, 12, 9));
        Add(Account("Checking"), "Bistro", 1500, kDining, At(2012, 3, 11, 9));
        report_ = std::make_unique<CReport>(*data_);
        report_->SetGroupBy(kReportByCategory);
        report_->SetRange(At(2012, 3, 1), At(2012, 3, 31, 23, 59, 59));
        ASSERT_EQ(0, report_->Compute());
    }
    RecordId Add(CAccount& account, const char* payee, Cents amount, const RecordId& category,
                 PalmTime date) {
        auto t = std::make_unique<CTransaction>();
        t->SetDate(date);
        t->SetAmount(amount);
        t->SetTypeId(WithdrawalTypeId);
        t->SetPayeeName(payee);
        t->SetCategoryId(category);
        const RecordId id = t->GetId();
        EXPECT_EQ(0, account.AddTransaction(std::move(t)));
        EXPECT_EQ(0, account.Save());
        return id;
    }
    const CReportItem& Row(const RecordId& id) const {
        for (std::size_t n = 0; n < report_->GetItemCount(); ++n) {
            if (report_->GetItem(n)->GetId() == id)
                return *report_->GetItem(n);
        }
        ADD_FAILURE() << "no such row";
        return *report_->GetItem(0);
    }
    ReportDetailsLogic Logic(const RecordId& row) {
        return ReportDetailsLogic(Source(), *report_, Row(row), dialog_);
    }
    static std::size_t IndexOf(const ReportDetailsLogic& logic, const RecordId& transaction) {
        for (std::size_t n = 0; n < logic.Refs().size(); ++n) {
            if (logic.Refs()[n].transaction == transaction)
                return n;
        }
        ADD_FAILURE() << "not listed";
        return 0;
    }
    // The dialog's OK with the category changed, through the account.
    static int Recategorise(CAccount& account, const RecordId& id, const RecordId& category) {
        CTransaction* stored = account.FindTransactionById(id);
        CTransaction edited;
        edited.CopyFrom(*stored);
        edited.SetCategoryId(category);
        return account.ModifyTransaction(edited, *stored);
    }

    RecordId checking_;
    RecordId savings_;
    RecordId inChecking_;
    RecordId inSavings_;
    std::unique_ptr<CReport> report_;
};

TEST_F(ReportDetailsLogicTest, HeadingAndColumnsFollowTheRowAndTheFlag) {
    const ReportDetailsLogic logic = Logic(kGroceries);
    EXPECT_EQ("Detail for Groceries", logic.HeadingText());
    // The label goes in as it is, never as a format.
    EXPECT_EQ("Detail for 100%s off %d", DetailHeadingText("100%s off %d"));

    struct Case {
        bool payee;
        std::uint16_t id;
        int title;
    };
    for (const Case& c : {Case{true, 4, 202}, Case{false, 5, 203}}) {
        const auto columns = ReportDetailColumns(c.payee);
        EXPECT_EQ(0, columns[0].columnId);
        EXPECT_EQ(0, columns[0].titleStringId);
        EXPECT_EQ(25, columns[0].width);
        EXPECT_EQ(2, columns[1].columnId);
        EXPECT_EQ(75, columns[1].width);
        EXPECT_EQ(3, columns[2].columnId);
        EXPECT_EQ(60, columns[2].width);
        EXPECT_EQ(c.id, columns[3].columnId);
        EXPECT_EQ(c.title, columns[3].titleStringId);
        EXPECT_EQ(115, columns[3].width);
        EXPECT_EQ(8, columns[4].columnId);
        EXPECT_EQ(205, columns[4].titleStringId);
        EXPECT_EQ(85, columns[4].width);
    }
    for (const std::uint8_t by : {kReportByPayee, kReportByCategory, kReportByClass}) {
        report_->SetGroupBy(by);
        EXPECT_EQ(by != kReportByPayee, DetailShowsPayee(*report_));
    }
}

TEST_F(ReportDetailsLogicTest, EditOpensEachTransactionOnItsOwnAccount) {
    ReportDetailsLogic logic = Logic(kGroceries);
    ASSERT_EQ(2u, logic.Prune());
    for (const auto& [transaction, account] :
         {std::pair{inChecking_, checking_}, std::pair{inSavings_, savings_}}) {
        dialog_.calls.clear();
        EXPECT_FALSE(logic.Edit(IndexOf(logic, transaction)));
        ASSERT_EQ(1u, dialog_.calls.size());
        EXPECT_EQ(account, dialog_.calls[0].account);
        EXPECT_EQ(transaction, dialog_.calls[0].transaction);
        EXPECT_FALSE(dialog_.calls[0].record);
    }
}

TEST_F(ReportDetailsLogicTest, AnEditThatTakesTheTransactionOutOfTheRowDropsIt) {
    struct Case {
        const char* name;
        int code;
        RecordId category;  // what the dialog's OK sets; none: nothing
        bool remove;        // the dialog deletes the transaction (101)
        bool dropped;
    };
    const Case cases[] = {
        {"cancel", 2, kNoneId, false, false},
        {"ok, still groceries", 1, kGroceries, false, false},
        {"ok, now dining", 1, kDining, false, true},
        {"deleted", kTransactionDialogGone, kNoneId, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, report_->Compute());
        ReportDetailsLogic logic = Logic(kGroceries);
        ASSERT_EQ(2u, logic.Prune());
        dialog_.script = [&](CAccount& account, const CTransaction& t) {
            if (!c.category.IsNull()) {
                EXPECT_EQ(0, Recategorise(account, t.GetId(), c.category));
            }
            if (c.remove) {
                EXPECT_EQ(0, data_->DeleteTransaction(account, t, false));
            }
            return TransactionDialogOutcome{c.code, true};
        };
        EXPECT_EQ(c.dropped, logic.Edit(IndexOf(logic, inSavings_)));
        ASSERT_EQ(c.dropped ? 1u : 2u, logic.Refs().size());
        EXPECT_EQ(inChecking_, logic.Refs()[0].transaction);
        for (std::size_t n = 0; n < logic.Refs().size(); ++n)
            EXPECT_NE(nullptr, logic.TransactionAt(n));
        // A deleted transaction cannot be opened again from the list.
        if (c.remove) {
            dialog_.calls.clear();
            logic.Edit(0);
            ASSERT_EQ(1u, dialog_.calls.size());
            EXPECT_EQ(inChecking_, dialog_.calls[0].transaction);
        }
        // Put back for the next case.
        if (c.category == kDining) {
            EXPECT_EQ(0, Recategorise(Account("Savings"), inSavings_, kGroceries));
        }
        if (c.remove)
            inSavings_ =
                Add(Account("Savings"), "Corner Shop", 2000, kGroceries, At(2012, 3, 12, 9));
    }
}

// The dialog holds references, not the report's rows: a recompute that
// frees every row, or a transaction deleted elsewhere, leaves nothing to
// point at.
TEST_F(ReportDetailsLogicTest, ReferencesOutliveTheReportsRowsAndGoneOnesAreDropped) {
    ReportDetailsLogic logic = Logic(kGroceries);
    report_->SetRange(At(2011, 1, 1), At(2011, 1, 2));
    ASSERT_EQ(0, report_->Compute());
    ASSERT_EQ(2u, logic.Prune());
    EXPECT_EQ("Detail for Groceries", logic.HeadingText());

    const CTransaction* stored = Account("Checking").FindTransactionById(inChecking_);
    ASSERT_EQ(0, data_->DeleteTransaction(Account("Checking"), *stored, false));
    const std::size_t gone = IndexOf(logic, inChecking_);
    EXPECT_EQ(nullptr, logic.TransactionAt(gone));
    // Editing it opens nothing and drops it.
    EXPECT_TRUE(logic.Edit(gone));
    EXPECT_TRUE(dialog_.calls.empty());
    ASSERT_EQ(1u, logic.Refs().size());
    EXPECT_EQ(inSavings_, logic.Refs()[0].transaction);
    EXPECT_EQ(1u, logic.Prune());
}

// A reload while the transaction dialog is open: the report reads the new
// data set and the references resolve there.
TEST_F(ReportDetailsLogicTest, AReloadDuringEditIsFollowed) {
    ReportDetailsLogic logic = Logic(kGroceries);
    dialog_.script = [&](CAccount&, const CTransaction& t) {
        const RecordId id = t.GetId();
        EXPECT_EQ(0, CAccounts::LoadInto(data_, folder_, {}));
        report_->SetData(*data_);
        EXPECT_EQ(0, Recategorise(*data_->FindAccountById(savings_), id, kDining));
        return TransactionDialogOutcome{1, true};
    };
    EXPECT_TRUE(logic.Edit(IndexOf(logic, inSavings_)));
    ASSERT_EQ(1u, logic.Refs().size());
    EXPECT_EQ(data_->FindAccountById(checking_), logic.AccountAt(0));
    EXPECT_EQ(data_->FindAccountById(checking_)->FindTransactionById(inChecking_),
              logic.TransactionAt(0));
}

TEST_F(ReportDetailsLogicTest, SplitAmountsShowTheRowsLinesExceptOnGatheringRows) {
    const DetailAmountRule rule = DetailAmountRuleFor(Row(kGroceries));
    EXPECT_EQ(kReportByCategory, rule.kind);
    EXPECT_FALSE(rule.wholeAmounts);
    EXPECT_EQ(kGroceries, rule.rowId);
    const CReportItem other(kReportByCategory, "Total Food", "", kNoneId, kGroceries, 0);
    EXPECT_FALSE(DetailAmountRuleFor(other).wholeAmounts);
    report_->SetOtherBucket(1);
    ASSERT_EQ(0, report_->Compute());
    const CReportItem& last = *report_->GetItem(report_->GetItemCount() - 1);
    ASSERT_TRUE(last.IsOther());
    EXPECT_TRUE(DetailAmountRuleFor(last).wholeAmounts);
}

}  // namespace
}  // namespace tallowmere::ui
