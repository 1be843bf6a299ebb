// The report details and upcoming transactions dialogs as the user meets
// them: what they show on opening, which buttons work when, and what the
// buttons and the list's double click do.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "model/accounts.h"
#include "model/report.h"
#include "model/transaction_type.h"
#include "ui/list_test_support.h"
#include "ui/report_detail_ctrl.h"
#include "ui/report_details_dlg.h"
#include "ui/scripted_services.h"
#include "ui/upcoming_list_ctrl.h"
#include "ui/upcoming_transactions_dlg.h"
#include "ui_logic/upcoming_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

constexpr RecordId kGroceries = RecordId::Fixed(0x0077);
constexpr RecordId kDining = RecordId::Fixed(0x0073);

template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

QStringList Headings(const COwnerListCtrl& list) {
    QStringList titles;
    for (int n = 0; n < list.GetColumnCount(); ++n)
        titles << list.model()->headerData(n, Qt::Horizontal).toString();
    return titles;
}

void ClickRow(COwnerListCtrl& list, int row, int section) {
    const QRect cell = list.visualRect(list.model()->index(row, section));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

class DialogsTest : public test::DialogSceneTest {
  protected:
    void SetUp() override {
        DialogSceneTest::SetUp();
        SetDateFormatter([](PalmTime t, unsigned) {
            const DateFields f = DateFields::FromPalmTime(t);
            char text[40];
            std::snprintf(text, sizeof text, "%02d/%02d/%02d", f.month, f.day, f.year % 100);
            return std::string(text);
        });
    }
    void TearDown() override {
        SetDateFormatter({});
        DialogSceneTest::TearDown();
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

    test::ScriptedServices services_;
};

class ReportDetailsDlgTest : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        market_ = Add(Account("Checking"), "Market", 3000, kGroceries, At(2012, 3, 10, 9));
        shop_ = Add(Account("Savings"), "Corner Shop", 2000, kGroceries, At(2012, 3, 12, 9));
        Add(Account("Checking"), "Bistro", 1500, kDining, At(2012, 3, 11, 9));
        report_ = std::make_unique<CReport>(*data_);
        report_->SetGroupBy(kReportByCategory);
        report_->SetRange(At(2012, 3, 1), At(2012, 3, 31, 23, 59, 59));
        ASSERT_EQ(0, report_->Compute());
        for (std::size_t n = 0; n < report_->GetItemCount(); ++n) {
            if (report_->GetItem(n)->GetId() == kGroceries)
                row_ = report_->GetItem(n);
        }
        ASSERT_NE(nullptr, row_);
    }

    RecordId market_;
    RecordId shop_;
    std::unique_ptr<CReport> report_;
    const CReportItem* row_ = nullptr;
};

TEST_F(ReportDetailsDlgTest, OpensOnTheRowsTransactionsWithEditOff) {
    CReportDetailsDlg dialog(Source(), *report_, *row_, true, dialog_);
    EXPECT_EQ("Report Detail", dialog.windowTitle());
    EXPECT_EQ("id_144", dialog.objectName());
    EXPECT_EQ("Detail for Groceries", Control<QLabel>(dialog, kDetailHeading)->text());
    CReportDetailCtrl* list = Control<CReportDetailCtrl>(dialog, kDetailList);
    ASSERT_EQ(&dialog.List(), list);
    EXPECT_EQ((QStringList{"", "Date", "Type", "Payee", "Amount"}), Headings(*list));
    EXPECT_EQ(2, list->GetItemCount());
    auto* edit = Control<QPushButton>(dialog, kDetailEdit);
    EXPECT_EQ("Edit...", edit->text());
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ("OK", Control<QPushButton>(dialog, 1)->text());
    EXPECT_EQ("Cancel", Control<QPushButton>(dialog, 2)->text());

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ClickRow(*list, 1, 3);
    EXPECT_TRUE(edit->isEnabled());
    test::SaveRender(dialog, QStringLiteral("report_details"));

    CReportDetailsDlg byPayee(Source(), *report_, *row_, false, dialog_);
    EXPECT_EQ((QStringList{"", "Date", "Type", "Category", "Amount"}), Headings(byPayee.List()));
}

TEST_F(ReportDetailsDlgTest, EditAndADoubleClickOpenTheTransactionAndFollowTheRow) {
    dialog_.script = [&](CAccount& account, const CTransaction& t) {
        CTransaction* stored = account.FindTransactionById(t.GetId());
        CTransaction edited;
        edited.CopyFrom(*stored);
        edited.SetCategoryId(kDining);
        EXPECT_EQ(0, account.ModifyTransaction(edited, *stored));
        return TransactionDialogOutcome{1, true};
    };
    CReportDetailsDlg dialog(Source(), *report_, *row_, true, dialog_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CReportDetailCtrl& list = dialog.List();
    const QRect cell = list.visualRect(list.model()->index(0, 3));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(1u, dialog_.calls.size());
    EXPECT_EQ(1, list.GetItemCount());

    ClickRow(list, 0, 3);
    QTest::mouseClick(Control<QPushButton>(dialog, kDetailEdit), Qt::LeftButton);
    EXPECT_EQ(2u, dialog_.calls.size());
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_FALSE(Control<QPushButton>(dialog, kDetailEdit)->isEnabled());
    // The two went to their own accounts.
    EXPECT_NE(dialog_.calls[0].account, dialog_.calls[1].account);
}

// A transaction that vanished behind the dialog's back draws as nothing and
// leaves the list once it was seen.
TEST_F(ReportDetailsDlgTest, ARowWhoseTransactionIsGoneLeavesTheList) {
    CReportDetailsDlg dialog(Source(), *report_, *row_, true, dialog_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(2, dialog.List().GetItemCount());
    CAccount& savings = Account("Savings");
    ASSERT_EQ(0, data_->DeleteTransaction(savings, *savings.FindTransactionById(shop_), false));
    dialog.List().viewport()->update();
    QTRY_COMPARE(dialog.List().GetItemCount(), 1);
    EXPECT_TRUE(dialog_.calls.empty());
}

TEST_F(ReportDetailsDlgTest, OkAndEscOnlyClose) {
    CReportDetailsDlg dialog(Source(), *report_, *row_, true, dialog_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(2, dialog.result());
    services_.dialogScripts.push_back([](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(1, RunReportDetailsDialog(nullptr, Source(), *report_, *row_, true, dialog_));
    EXPECT_TRUE(dialog_.calls.empty());
}

class UpcomingDlgTest : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        checking_ = Account("Checking").Header().GetId();
        rent_ = Schedule(checking_, "Landlord", 50000, CheckTypeId, kFrequencyMonthly,
                         At(2012, 3, 1, 9));
        pay_ = Schedule(Account("Savings").Header().GetId(), "Employer", 12000, DepositTypeId,
                        kFrequencyWeekly, At(2012, 3, 10, 9));
    }
    RecordId checking_;
    RecordId rent_;
    RecordId pay_;
};

TEST_F(UpcomingDlgTest, OpensOnTheStoredHorizonWithTheRowButtonsOff) {
    SetPrefUpcomingThroughMode(4);
    CUpcomingTransactionsDlg dialog(Source(), dialog_, &view_);
    EXPECT_EQ("Upcoming Transactions", dialog.windowTitle());
    auto* through = Control<QComboBox>(dialog, kUpcomingThru);
    QStringList entries;
    for (int n = 0; n < through->count(); ++n)
        entries << through->itemText(n);
    EXPECT_EQ((QStringList{"Due", "1 Week", "2 Weeks", "3 Weeks", "1 Month", "2 Months", "3 Months",
                           "6 Months", "1 Year"}),
              entries);
    EXPECT_EQ(4, through->currentIndex());
    auto* list = Control<CUpcomingListCtrl>(dialog, kUpcomingList);
    ASSERT_EQ(&dialog.List(), list);
    EXPECT_EQ((QStringList{"Date", "Payee", "Amount"}), Headings(*list));
    EXPECT_EQ(8, list->GetItemCount());
    struct Button {
        int id;
        const char* text;
        bool enabled;
    };
    for (const Button& b :
         {Button{kUpcomingDone, "Done", true}, Button{kUpcomingRecordAll, "Record All", true},
          Button{kUpcomingRecord, "&Record", false}, Button{kUpcomingEdit, "&Edit...", false},
          Button{kUpcomingSkip, "Skip...", false}}) {
        auto* button = Control<QPushButton>(dialog, b.id);
        ASSERT_NE(nullptr, button) << b.id;
        EXPECT_EQ(b.text, button->text());
        EXPECT_EQ(b.enabled, button->isEnabled()) << b.id;
    }
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ClickRow(*list, 0, 1);
    EXPECT_TRUE(Control<QPushButton>(dialog, kUpcomingRecord)->isEnabled());
    // The columns share the list's width.
    int width = 0;
    for (int n = 0; n < list->header()->count(); ++n)
        width += list->header()->sectionSize(n);
    EXPECT_NEAR(list->viewport()->width(), width, 3);
    test::SaveRender(dialog, QStringLiteral("upcoming_transactions"));
}

TEST_F(UpcomingDlgTest, TheButtonsActOnTheSelectedRow) {
    CUpcomingTransactionsDlg dialog(Source(), dialog_, &view_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CUpcomingListCtrl& list = dialog.List();
    ASSERT_EQ(3, list.GetItemCount());  // rent 1 Mar, pay 10 and 17 Mar
    // The second pay is out of order.
    ClickRow(list, 2, 1);
    QTest::mouseClick(Control<QPushButton>(dialog, kUpcomingSkip), Qt::LeftButton);
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(152, services_.messages[0].stringId);
    EXPECT_EQ(3, list.GetItemCount());

    ClickRow(list, 0, 1);
    QTest::mouseClick(Control<QPushButton>(dialog, kUpcomingRecord), Qt::LeftButton);
    EXPECT_EQ(1u, Account("Checking").Transactions().size());
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_EQ(std::vector<RecordId>{checking_}, view_.refreshed);

    // A double click edits: the scripted dialog is cancelled.
    const QRect cell = list.visualRect(list.model()->index(0, 1));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(1u, dialog_.calls.size());
    EXPECT_TRUE(dialog_.calls[0].record);
    EXPECT_EQ(2, list.GetItemCount());

    QTest::mouseClick(Control<QPushButton>(dialog, kUpcomingRecordAll), Qt::LeftButton);
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_EQ(2u, Account("Savings").Transactions().size());
    EXPECT_FALSE(Control<QPushButton>(dialog, kUpcomingEdit)->isEnabled());
    EXPECT_EQ(1u, services_.messages.size());
}

// Only a user's choice rebuilds; Done stores it, Esc does not.
TEST_F(UpcomingDlgTest, TheHorizonIsStoredByDone) {
    {
        CUpcomingTransactionsDlg dialog(Source(), dialog_, &view_);
        auto* through = Control<QComboBox>(dialog, kUpcomingThru);
        through->setCurrentIndex(8);
        emit through->activated(8);
        EXPECT_GT(dialog.List().GetItemCount(), 50);
        dialog.reject();
        EXPECT_EQ(2, dialog.result());
        EXPECT_EQ(1u, GetPrefUpcomingThroughMode());
    }
    services_.dialogScripts.push_back([](QDialog& d) {
        auto* through = d.findChild<QComboBox*>("id_1078");
        through->setCurrentIndex(0);
        emit through->activated(0);
        QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(1, RunUpcomingTransactionsDialog(nullptr, Source(), dialog_, &view_));
    EXPECT_EQ(0u, GetPrefUpcomingThroughMode());
}

}  // namespace
}  // namespace tallowmere::ui
