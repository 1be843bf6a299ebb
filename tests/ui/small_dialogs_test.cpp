// The small dialogs as the user meets them: what they show on opening, the
// controls that stand for each value, and how they close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <memory>

#include "model/accounts.h"
#include "model/show_columns.h"
#include "ui/adjust_ending_balance_dlg.h"
#include "ui/budget_amount_dlg.h"
#include "ui/preferences_dlg.h"
#include "ui/purge_transactions_dlg.h"
#include "ui/scripted_services.h"
#include "ui/show_columns_dlg.h"
#include "ui/statement_details_dlg.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

template <typename W>
W* Control(const QDialog& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

void Click(const QDialog& dialog, int id) {
    auto* button = Control<QAbstractButton>(dialog, id);
    ASSERT_NE(nullptr, button) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    return entries;
}

class SmallDialogsTest : public test::DataSetTest {
  protected:
    test::ScriptedServices services_;
};

TEST_F(SmallDialogsTest, ShowColumnsBoxesStandForTheirEntries) {
    struct Case {
        int box;
        int entry;
        const char* label;
    };
    const Case cases[] = {
        {1030, 0, "&State"},      {1039, 1, "&Icon"},
        {1032, 2, "&Date"},       {1033, 3, "&Transaction Type"},
        {1034, 4, "&Payee"},      {1035, 5, "&Category Name"},
        {1040, 6, "Class &Name"}, {1036, 7, "&Memo"},
        {1037, 8, "&Amount"},     {1038, 9, "&Balance"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        CShowColumns columns(kRegisterColumns);
        columns.SetVisible(c.entry, false);
        CShowColumnsDlg dialog(columns);
        EXPECT_EQ("Show Columns", dialog.windowTitle());
        for (const Case& other : cases) {
            auto* box = Control<QCheckBox>(dialog, other.box);
            ASSERT_NE(nullptr, box) << other.box;
            EXPECT_EQ(other.box != c.box, box->isChecked()) << other.box;
        }
        EXPECT_EQ(c.label, Control<QCheckBox>(dialog, c.box)->text());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        ASSERT_NO_FATAL_FAILURE(Click(dialog, c.box));
        ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
        EXPECT_EQ(1, dialog.result());
        for (int entry = 0; entry < 10; ++entry)
            EXPECT_TRUE(columns.IsVisible(entry)) << entry;
    }
}

TEST_F(SmallDialogsTest, ShowColumnsCancelLeavesTheSet) {
    CShowColumns columns(kRegisterColumns);
    services_.dialogScripts.push_back([](QDialog& dialog) {
        QTest::mouseClick(Control<QCheckBox>(dialog, 1040), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(dialog, 2), Qt::LeftButton);
        return dialog.result();
    });
    EXPECT_EQ(2, RunShowColumnsDialog(nullptr, columns));
    EXPECT_TRUE(columns.IsVisible(6));
}

TEST_F(SmallDialogsTest, StatementDetailsFocusFollowsTheCallersMode) {
    struct Case {
        int mode;
        int focus;
        const char* ending;
        const char* selected;
    };
    const Case cases[] = {
        {0, 1073, "", ""},
        {1, 1072, "-87.50", "-87.50"},
        {2, 1072, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        CStatementDetailsDlg dialog({3, At(2012, 2, 29, 9, 0), "120.00", "-87.50", c.mode});
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        ASSERT_NE(nullptr, QApplication::focusWidget());
        EXPECT_EQ(QStringLiteral("id_%1").arg(c.focus), QApplication::focusWidget()->objectName());
        auto* ending = Control<QLineEdit>(dialog, 1072);
        EXPECT_EQ(c.ending, ending->text());
        EXPECT_EQ(c.selected, ending->selectedText());
        EXPECT_EQ("120.00", Control<QLineEdit>(dialog, 1015)->text());
        EXPECT_EQ(QDate(2012, 2, 29), Control<QDateEdit>(dialog, 1073)->date());
    }
}

TEST_F(SmallDialogsTest, StatementDetailsHintsAtNegativeCreditBalancesOnly) {
    for (const int type : {0, 1, 3, 7}) {
        SCOPED_TRACE(type);
        CStatementDetailsDlg dialog({static_cast<std::uint8_t>(type), At(2012, 3, 1), "", "", 0});
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(type == 3 || type == 7, Control<QLabel>(dialog, 1151)->isVisible());
    }
}

TEST_F(SmallDialogsTest, StatementDetailsContinueWantsBothBalances) {
    CStatementDetailsDlg dialog({1, At(2012, 3, 1, 9, 0), "", "", 0});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    QTest::keyClicks(Control<QLineEdit>(dialog, 1015), "10");
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    ASSERT_EQ(2u, services_.messages.size());
    EXPECT_EQ(149, services_.messages[0].stringId);
    EXPECT_EQ(150, services_.messages[1].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1072), QApplication::focusWidget());

    QTest::keyClicks(Control<QLineEdit>(dialog, 1072), "12.25");
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ("10", dialog.Values().beginningBalance);
    EXPECT_EQ("12.25", dialog.Values().endingBalance);
    EXPECT_EQ(At(2012, 3, 1, 9, 0), dialog.Values().closingDate);
}

TEST_F(SmallDialogsTest, PurgeAsksFirstAndNoKeepsTheDialog) {
    CPurgeTransactionsDlg dialog;
    EXPECT_EQ("Purge Transactions", dialog.windowTitle());
    EXPECT_EQ("Purge", Control<QPushButton>(dialog, 1)->text());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1064)->isChecked());
    EXPECT_EQ(QDate(2012, 3, 15), Control<QDateEdit>(dialog, 1001)->date());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1065));  // reconciled, the third choice
    services_.answers = {Answer::kNo, Answer::kYes};
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ(2, dialog.Values().mode);
    EXPECT_EQ(At(2012, 3, 15), dialog.Values().date);
    ASSERT_EQ(2u, services_.messages.size());
    EXPECT_EQ(148, services_.messages[1].stringId);
}

TEST_F(SmallDialogsTest, BudgetOpensOnItsDirectionAndGivesTheSignedAmount) {
    CBudgetAmountDlg dialog("Dining", 0);
    EXPECT_EQ("Enter the monthly budget amount for Dining.", Control<QLabel>(dialog, 1067)->text());
    EXPECT_EQ("0", Control<QLineEdit>(dialog, 1006)->text());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1070)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1071)->isChecked());

    struct Case {
        Cents budget;
        int radio;  // clicked before OK; 0 none
        const char* typed;
        Cents result;
    };
    for (const Case& c : {Case{-2500, 0, nullptr, -2500}, Case{-2500, 1070, nullptr, 2500},
                          Case{4000, 1071, "25", -2500}}) {
        SCOPED_TRACE(c.budget);
        Cents budget = c.budget;
        services_.dialogScripts.push_back([&c](QDialog& shown) {
            if (c.radio != 0)
                QTest::mouseClick(Control<QRadioButton>(shown, c.radio), Qt::LeftButton);
            if (c.typed != nullptr) {
                Control<QLineEdit>(shown, 1006)->clear();
                QTest::keyClicks(Control<QLineEdit>(shown, 1006), c.typed);
            }
            QTest::mouseClick(Control<QPushButton>(shown, 1), Qt::LeftButton);
            return shown.result();
        });
        EXPECT_EQ(1, RunBudgetAmountDialog(nullptr, "Dining", budget));
        EXPECT_EQ(c.result, budget);
    }
    Cents kept = 700;
    EXPECT_EQ(2, RunBudgetAmountDialog(nullptr, "Dining", kept));  // no script: cancelled
    EXPECT_EQ(700, kept);
}

TEST_F(SmallDialogsTest, AdjustShowsTheBalanceOfTheKindTheUserPicks) {
    CAccount& checking = Account("Checking");
    checking.Header().SetOpeningBalance(4200);
    checking.RecalcBalances();
    CAdjustEndingBalanceDlg dialog(checking, 2);
    EXPECT_EQ("Adjust Ending Balance", dialog.windowTitle());
    auto* kind = Control<QComboBox>(dialog, 1060);
    auto* amount = Control<QLineEdit>(dialog, 1006);
    EXPECT_EQ((QStringList{"Balance", "Cleared"}), Entries(*kind));
    EXPECT_EQ(0, kind->currentIndex());
    EXPECT_EQ("42.00", amount->text());
    EXPECT_EQ(15, amount->maxLength());

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    amount->setText("1");
    kind->setFocus();
    QTest::keyClick(kind, Qt::Key_Down);
    EXPECT_EQ(1, kind->currentIndex());
    EXPECT_EQ("42.00", amount->text());  // the cleared balance, replacing "1"
    amount->setText("30");
    ASSERT_NO_FATAL_FAILURE(Click(dialog, 1));
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ(3000, checking.GetBalance(1));
    EXPECT_EQ(3000, Reload()->FindAccountByName("Checking")->Header().GetOpeningBalance());
}

TEST_F(SmallDialogsTest, PreferencesShowTheLayoutsInTheirOrder) {
    PreferencesValues values{false, false, 9, 1};
    CPreferencesDlg dialog(values);
    auto* dates = Control<QComboBox>(dialog, 17035);
    auto* numbers = Control<QComboBox>(dialog, 17032);
    EXPECT_EQ(
        (QStringList{"mm/dd/yy", "mm/dd/yyyy", "dd/mm/yy", "dd/mm/yyyy", "yy/mm/dd", "yyyy/mm/dd"}),
        Entries(*dates));
    EXPECT_EQ((QStringList{"1,000.00", "1.000,00"}), Entries(*numbers));
    EXPECT_EQ(1, dates->currentIndex());  // 9 is no layout
    EXPECT_EQ(1, numbers->currentIndex());
    EXPECT_EQ("Show Decimals", Control<QCheckBox>(dialog, 1145)->text());

    services_.dialogScripts.push_back([](QDialog& shown) {
        QTest::mouseClick(Control<QCheckBox>(shown, 1145), Qt::LeftButton);
        Control<QComboBox>(shown, 17035)->setCurrentIndex(5);
        QTest::mouseClick(Control<QPushButton>(shown, 1), Qt::LeftButton);
        return shown.result();
    });
    EXPECT_EQ(1, RunPreferencesDialog(nullptr, values));
    EXPECT_TRUE(values.showDecimals);
    EXPECT_FALSE(values.showYear);
    EXPECT_EQ(5, values.dateFormat);
    EXPECT_EQ(1, values.numberFormat);
}

// The files count seconds from 1904 in 32 bits: a later day would wrap.
TEST_F(SmallDialogsTest, PickersOfferOnlyTheDaysTheFilesCanHold) {
    CPurgeTransactionsDlg purge;
    CStatementDetailsDlg statement({0, At(2012, 3, 1), "", "", 0});
    for (QDateEdit* picker :
         {Control<QDateEdit>(purge, 1001), Control<QDateEdit>(statement, 1073)}) {
        ASSERT_NE(nullptr, picker);
        EXPECT_EQ(QDate(1904, 1, 1), picker->minimumDate());
        EXPECT_EQ(QDate(2040, 2, 6), picker->maximumDate());
        EXPECT_TRUE(picker->calendarPopup());
    }
}

TEST_F(SmallDialogsTest, EscAndTheCloseBoxGiveTwo) {
    CShowColumns columns(kRegisterColumns);
    const std::function<std::unique_ptr<QDialog>()> makers[] = {
        [&] { return std::make_unique<CAdjustEndingBalanceDlg>(Account("Savings"), 0); },
        [] { return std::make_unique<CBudgetAmountDlg>("Dining", 0); },
        [] { return std::make_unique<CPreferencesDlg>(PreferencesValues{}); },
        [] { return std::make_unique<CPurgeTransactionsDlg>(); },
        [&] { return std::make_unique<CShowColumnsDlg>(columns); },
        [] {
            return std::make_unique<CStatementDetailsDlg>(
                StatementDetailsValues{0, At(2012, 3, 1), "1", "2", 1});
        },
    };
    for (const auto& make : makers) {
        for (const bool escape : {true, false}) {
            std::unique_ptr<QDialog> dialog = make();
            SCOPED_TRACE(dialog->objectName().toStdString());
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
            if (escape)
                QTest::keyClick(dialog.get(), Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(2, dialog->result());
        }
    }
    EXPECT_TRUE(services_.messages.empty());
}

}  // namespace
}  // namespace tallowmere::ui
