#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "model/accounts.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "ui/edit_scheduled_item_dlg.h"
#include "ui/icon_list.h"
#include "ui/owner_list_model.h"
#include "ui/scheduled_list_ctrl.h"
#include "ui/scheduled_list_dlg.h"
#include "ui/scripted_services.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

void SaveShot(QWidget& widget, const char* name) {
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(image.isNull());
    if (const QByteArray dir = qgetenv("TALLOWMERE_SHOTS"); !dir.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromUtf8(name)));
}

QStringList Entries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    return entries;
}

class ScheduledDlgsTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        // The strip of the list buttons, as the program loads it.
        ASSERT_TRUE(SetupIconList(0, 166, 1, 2, 23, 23, 0, QColor(255, 153, 51)));
        auto item = std::make_unique<CScheduledItem>();
        item->SetPayee("Rent");
        item->SetAccountId(Account("Checking").Header().GetId());
        item->EditTemplate().SetTypeId(WithdrawalTypeId);
        item->EditTemplate().SetAmount(120000);
        item->SetNextDue(test::At(2012, 4, 1, 9));
        item->SetFrequency(kFrequencyMonthly);
        item->SetRepeatCount(kRepeatIndefinitely);
        rent_ = item.get();
        ASSERT_EQ(0, data_->Scheduled().InsertSorted(std::move(item)));
    }

    CScheduledItem* rent_ = nullptr;
};

TEST_F(ScheduledDlgsTest, TheEditorOpensANewItemOnItsDefaults) {
    WidgetScheduledItemDialogs dialogs(*data_, {});
    CEditScheduledItemDlg dialog(*data_, &Account("Savings"), nullptr, dialogs, false);
    EXPECT_EQ("id_1589", dialog.objectName());
    EXPECT_EQ("Edit Scheduled Transaction", dialog.windowTitle());
    EXPECT_EQ((QStringList{"Once", "Weekly", "Every two weeks", "Twice a month", "Every four weeks",
                           "Monthly", "Every two months", "Quarterly", "Twice a year", "Annually"}),
              Entries(*Control<QComboBox>(dialog, 1074)));
    EXPECT_EQ((QStringList{"Indefinitely", "# of times"}),
              Entries(*Control<QComboBox>(dialog, 1075)));
    EXPECT_EQ((QStringList{"Manually", "Remind me", "Days in advance"}),
              Entries(*Control<QComboBox>(dialog, 1076)));
    EXPECT_EQ("Monthly", Control<QComboBox>(dialog, 1074)->currentText());
    EXPECT_EQ("Indefinitely", Control<QComboBox>(dialog, 1075)->currentText());
    EXPECT_EQ("Manually", Control<QComboBox>(dialog, 1076)->currentText());
    EXPECT_EQ("Savings", Control<QComboBox>(dialog, 1009)->currentText());
    EXPECT_EQ(QDate(2012, 3, 15), Control<QDateEdit>(dialog, 1001)->date());
    for (const int id : {1136, 1137, 1139})
        EXPECT_FALSE(Control<QWidget>(dialog, id)->isEnabled()) << id;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(Control<QLineEdit>(dialog, 1008)->isVisible());
    EXPECT_FALSE(Control<QLineEdit>(dialog, 1079)->isVisible());
    SaveShot(dialog, "edit_scheduled_new.png");
}

TEST_F(ScheduledDlgsTest, ChoicesShowAndHideTheRepeatAndDaysControls) {
    test::ScriptedServices services;
    WidgetScheduledItemDialogs dialogs(*data_, {});
    CEditScheduledItemDlg dialog(*data_, &Account("Checking"), rent_, dialogs, false);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto choose = [&dialog](int id, int index) {
        auto* combo = Control<QComboBox>(dialog, id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    choose(1075, kRepeatTimesIndex);
    choose(1076, kEnterDaysInAdvanceIndex);
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1008)->isVisible());
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1079)->isVisible());
    EXPECT_TRUE(Control<QLabel>(dialog, 1080)->isVisible());
    SaveShot(dialog, "edit_scheduled_all.png");

    // 101 times is refused, the dialog stays open and the item unchanged.
    Control<QLineEdit>(dialog, 1008)->setText("101");
    Control<QLineEdit>(dialog, 1079)->setText("5");
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(3723, services.messages[0].stringId);
    EXPECT_EQ("Please enter an integer between 0 and 100.", services.messages[0].text);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1008), QApplication::focusWidget());
    EXPECT_EQ(kRepeatIndefinitely, rent_->GetRepeatCount());

    choose(1074, kFrequencyOnce);
    for (const int id : {1077, 1075, 1008})
        EXPECT_FALSE(Control<QWidget>(dialog, id)->isVisible()) << id;
}

TEST_F(ScheduledDlgsTest, TheListShowsItsColumnsAndRows) {
    CScheduledListDlg dialog(*data_, &Account("Checking"), {});
    EXPECT_EQ("id_1590", dialog.objectName());
    EXPECT_EQ("Edit Scheduled Transactions", dialog.windowTitle());
    CScheduledListCtrl& list = dialog.List();
    EXPECT_EQ("id_1087", list.objectName());
    ASSERT_EQ(4, list.GetColumnCount());
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << list.model()->headerData(i, Qt::Horizontal).toString();
    EXPECT_EQ((QStringList{"Payee", "Frequency", "Amount", ""}), titles);
    EXPECT_EQ(1, list.GetItemCount());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    SaveShot(dialog, "scheduled_list.png");
}

TEST_F(ScheduledDlgsTest, NewEditsAndInsertsInPayeeOrder) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        EXPECT_EQ("id_1589", dialog.objectName());
        Control<QComboBox>(dialog, 1003)->setEditText("Allowance");
        Control<QLineEdit>(dialog, 1006)->setText("15.00");
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    CScheduledListDlg dialog(*data_, &Account("Checking"), {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Control<QPushButton>(dialog, 1003), Qt::LeftButton);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(2, dialog.List().GetItemCount());
    EXPECT_EQ(0, dialog.List().GetFirstSelectedItem());
    const std::unique_ptr<CAccounts> again = Reload();
    ASSERT_EQ(2u, again->Scheduled().GetCount(false));
    EXPECT_EQ("Allowance", again->Scheduled().GetItemAt(0, false)->GetPayee());
    EXPECT_EQ(1500, again->Scheduled().GetItemAt(0, false)->Template().GetAmount());
}

TEST_F(ScheduledDlgsTest, DeleteAnsweredNoKeepsTheItem) {
    test::ScriptedServices services;
    services.answers = {Answer::kNo};
    CScheduledListDlg dialog(*data_, &Account("Checking"), {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.List().SetSelection(0, true);
    QTest::mouseClick(Control<QPushButton>(dialog, 101), Qt::LeftButton);
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(514, services.messages[0].stringId);
    EXPECT_EQ(1, dialog.List().GetItemCount());
    services.answers = {Answer::kYes};
    QTest::mouseClick(Control<QPushButton>(dialog, 101), Qt::LeftButton);
    EXPECT_EQ(0, dialog.List().GetItemCount());
    EXPECT_EQ(0u, Reload()->Scheduled().GetCount(false));
}

TEST_F(ScheduledDlgsTest, ADoubleClickEditsTheRow) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        EXPECT_EQ("Rent", Control<QComboBox>(dialog, 1003)->currentText());
        Control<QLineEdit>(dialog, 1010)->setText("flat");
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    CScheduledListDlg dialog(*data_, &Account("Checking"), {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CScheduledListCtrl& list = dialog.List();
    const QRect row = list.visualRect(list.model()->index(0, 0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(1u, services.dialogs.size());
    EXPECT_EQ("flat", rent_->GetMemo());
    EXPECT_EQ(0, list.GetFirstSelectedItem());
}

TEST_F(ScheduledDlgsTest, SplitLinesTakeTheCategoryAndClassAway) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& splits) {
        Control<QLineEdit>(splits, 1023)->setText("600.00");
        Control<QLineEdit>(splits, 1026)->setText("600.00");
        QTest::mouseClick(Control<QPushButton>(splits, 1), Qt::LeftButton);
        return splits.result();
    });
    WidgetScheduledItemDialogs dialogs(*data_, {});
    CEditScheduledItemDlg dialog(*data_, &Account("Checking"), rent_, dialogs, false);
    dialogs.SetParent(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Control<QPushButton>(dialog, 3), Qt::LeftButton);
    ASSERT_EQ(1u, services.dialogs.size());
    EXPECT_EQ("-SPLIT-", Control<QComboBox>(dialog, 1007)->currentText());
    EXPECT_FALSE(Control<QComboBox>(dialog, 1007)->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(dialog, 1151)->isEnabled());
    EXPECT_EQ(kNoneId, rent_->Template().GetCategoryId());  // until OK
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(1, dialog.result());
    EXPECT_EQ(SplitMarkerId, rent_->Template().GetCategoryId());
    EXPECT_EQ(60000, rent_->Template().GetSplitAmount(1));
}

}  // namespace
}  // namespace tallowmere::ui
