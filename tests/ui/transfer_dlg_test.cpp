#include "ui/transfer_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "model/accounts.h"
#include "model/transaction.h"
#include "ui/scripted_services.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Control(const QDialog& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

class TransferDlgTest : public test::DataSetTest {};

TEST_F(TransferDlgTest, ListsEveryAccountFromTheCurrentOneToTheFirstOther) {
    CTransferDlg dialog(*data_, &Account("Checking"));
    EXPECT_EQ("id_140", dialog.objectName());
    EXPECT_EQ("Transfer Funds", dialog.windowTitle());
    const QStringList names = {"American Express", "Checking", "Mastercard", "Savings", "Visa"};
    for (const int id : {1056, 1057}) {
        auto* combo = Control<QComboBox>(dialog, id);
        ASSERT_NE(nullptr, combo) << id;
        QStringList listed;
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemText(i);
        EXPECT_EQ(names, listed) << id;
    }
    EXPECT_EQ("Checking", Control<QComboBox>(dialog, 1056)->currentText());
    EXPECT_EQ("American Express", Control<QComboBox>(dialog, 1057)->currentText());
    EXPECT_EQ(QDate(2012, 3, 15), Control<QDateEdit>(dialog, 1001)->date());
    EXPECT_EQ(QDate(2040, 2, 6), Control<QDateEdit>(dialog, 1001)->maximumDate());
    EXPECT_EQ("", Control<QLineEdit>(dialog, 1006)->text());
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1135)->isChecked());
    EXPECT_EQ("Cleared", Control<QCheckBox>(dialog, 1135)->text());
}

TEST_F(TransferDlgTest, OkBooksWhatWasTypedAndChosen) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        Control<QComboBox>(dialog, 1057)->setCurrentIndex(3);  // Savings
        QTest::keyClicks(Control<QLineEdit>(dialog, 1006), "12.50");
        QTest::mouseClick(Control<QCheckBox>(dialog, 1135), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    const TransferOutcome outcome = RunTransferDialog(nullptr, *data_, &Account("Checking"));
    EXPECT_EQ(1, outcome.code);
    EXPECT_EQ(0, outcome.result);
    EXPECT_TRUE(services.messages.empty());
    ASSERT_NE(nullptr, outcome.created);
    EXPECT_EQ(1250, outcome.created->GetAmount());
    EXPECT_EQ(kStatusCleared, outcome.created->GetStatus() & kStatusMask);
    const std::unique_ptr<CAccounts> again = Reload();
    ASSERT_EQ(1u, again->FindAccountByName("Savings")->Transactions().size());
    EXPECT_EQ(1250, again->FindAccountByName("Savings")->Transactions()[0]->GetAmount());
}

TEST_F(TransferDlgTest, TheSameAccountTwiceKeepsTheDialogOpenOnTo) {
    test::ScriptedServices services;
    CTransferDlg dialog(*data_, &Account("Checking"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Control<QComboBox>(dialog, 1057)->setCurrentIndex(1);
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(145, services.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Control<QComboBox>(dialog, 1057), QApplication::focusWidget());
    EXPECT_TRUE(Account("Checking").Transactions().empty());
}

TEST_F(TransferDlgTest, CancelEscAndTheCloseBoxGiveTwoAndBookNothing) {
    test::ScriptedServices services;
    for (const int how : {0, 1, 2}) {
        SCOPED_TRACE(how);
        CTransferDlg dialog(*data_, &Account("Checking"));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(Control<QLineEdit>(dialog, 1006), "5");
        if (how == 0)
            QTest::mouseClick(Control<QPushButton>(dialog, 2), Qt::LeftButton);
        else if (how == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(2, dialog.result());
    }
    services.dialogScripts.push_back([](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    });
    EXPECT_EQ(2, RunTransferDialog(nullptr, *data_, &Account("Checking")).code);
    EXPECT_EQ(std::vector<QString>{"id_140"}, services.dialogs);
    EXPECT_TRUE(Account("Checking").Transactions().empty());
    EXPECT_TRUE(services.messages.empty());
}

}  // namespace
}  // namespace tallowmere::ui
