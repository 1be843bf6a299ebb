#include "ui/account_info_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "ui/account_icon_frame.h"
#include "ui/icon_painter.h"
#include "ui/scripted_services.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

template <typename W>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

class NoDialogs final : public AccountInfoSubDialogs {
  public:
    std::optional<int> ChooseIcon(int) override { return std::nullopt; }
    bool RunOnlineSetup(OnlineSetupValues& values) override {
        ++setups;
        values.enabled = true;
        values.accountNumber = "998877";
        values.bankText = "Loopback Bank";
        return true;
    }
    int setups = 0;
};

// Where a run saves its pictures for a person to look at; none when unset.
void SaveShot(QWidget& widget, const char* name) {
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(image.isNull());
    if (const QByteArray dir = qgetenv("TALLOWMERE_SHOTS"); !dir.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromUtf8(name)));
}

class AccountInfoDlgTest : public test::DataSetTest {
  protected:
    void SetUp() override {
        DataSetTest::SetUp();
        ClientUid::SetDataFolder(folder_);
    }
    void TearDown() override {
        ClientUid::SetDataFolder("");
        DataSetTest::TearDown();
    }
    IconPainter icons_;
    NoDialogs dialogs_;
};

TEST_F(AccountInfoDlgTest, ShowsTheAccountWithTheTypesInTableOrder) {
    CAccount& savings = Account("Savings");
    savings.Header().SetIconIndex(40);
    CAccountInfoDlg dialog(*data_, &savings, folder_, icons_, dialogs_);
    EXPECT_EQ("id_134", dialog.objectName());
    EXPECT_EQ("Account Info", dialog.windowTitle());
    auto* type = Control<QComboBox>(dialog, 1004);
    ASSERT_NE(nullptr, type);
    const QStringList types = {"Checking", "Savings",   "Cash",         "Credit",
                               "Asset",    "Liability", "Money Market", "Line of Credit"};
    QStringList listed;
    for (int i = 0; i < type->count(); ++i)
        listed << type->itemText(i);
    EXPECT_EQ(types, listed);
    EXPECT_EQ("Savings", type->currentText());
    EXPECT_EQ("Savings", Control<QLineEdit>(dialog, 1000)->text());
    EXPECT_EQ(25, Control<QLineEdit>(dialog, 1000)->maxLength());
    EXPECT_EQ(32, Control<QLineEdit>(dialog, 1654)->maxLength());
    EXPECT_EQ(20, Control<QLineEdit>(dialog, 1002)->maxLength());
    EXPECT_EQ("0", Control<QLabel>(dialog, 1211)->text());
    EXPECT_EQ("0.00", Control<QLabel>(dialog, 1215)->text());
    EXPECT_EQ("Include in Account View &Total", Control<QCheckBox>(dialog, 1016)->text());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // Filling the combo at opening is no choice of the user's.
    EXPECT_EQ(40, Control<AccountIconFrame>(dialog, 1017)->IconIndex());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1015), QApplication::focusWidget());
    SaveShot(dialog, "account_info.png");
}

TEST_F(AccountInfoDlgTest, ChoosingAnotherTypeByKeyboardSetsItsIcon) {
    CAccountInfoDlg dialog(*data_, &Account("Savings"), folder_, icons_, dialogs_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* type = Control<QComboBox>(dialog, 1004);
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down);
    EXPECT_EQ("Cash", type->currentText());
    EXPECT_EQ(AccountTypeDefaultIcon(kCash), Control<AccountIconFrame>(dialog, 1017)->IconIndex());
}

TEST_F(AccountInfoDlgTest, ARefusedOkStaysOpenOnTheName) {
    test::ScriptedServices services;
    CAccountInfoDlg dialog(*data_, nullptr, folder_, icons_, dialogs_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(Control<QLineEdit>(dialog, 1000), QApplication::focusWidget());
    QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
    ASSERT_EQ(1u, services.messages.size());
    EXPECT_EQ(167, services.messages[0].stringId);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1000), QApplication::focusWidget());
}

TEST_F(AccountInfoDlgTest, OnlineSetupLocksTheBankFields) {
    CAccountInfoDlg dialog(*data_, &Account("Savings"), folder_, icons_, dialogs_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(Control<QPushButton>(dialog, 3), Qt::LeftButton);
    EXPECT_EQ(1, dialogs_.setups);
    EXPECT_EQ("998877", Control<QLineEdit>(dialog, 1002)->text());
    EXPECT_EQ("Loopback Bank", Control<QLineEdit>(dialog, 1654)->text());
    for (const int id : {1002, 1654, 1004})
        EXPECT_FALSE(Control<QWidget>(dialog, id)->isEnabled()) << id;
    SaveShot(dialog, "account_info_online.png");
}

TEST_F(AccountInfoDlgTest, NewAccountIsAddedToTheDataSetOnOk) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        EXPECT_FALSE(Control<QPushButton>(dialog, 3)->isEnabled());  // no setup offered
        QTest::keyClicks(Control<QLineEdit>(dialog, 1000), "Holiday");
        Control<QLineEdit>(dialog, 1015)->setText("12.50");
        QTest::mouseClick(Control<QPushButton>(dialog, 1), Qt::LeftButton);
        return dialog.result();
    });
    const AccountInfoOutcome outcome =
        RunAccountInfoDialog(nullptr, *data_, nullptr, folder_, icons_);
    EXPECT_EQ(1, outcome.code);
    ASSERT_NE(nullptr, outcome.account);
    EXPECT_EQ(outcome.account, data_->FindAccountByName("Holiday"));
    EXPECT_EQ(1250, Reload()->FindAccountByName("Holiday")->Header().GetOpeningBalance());

    // Cancel adds nothing.
    const AccountInfoOutcome cancelled =
        RunAccountInfoDialog(nullptr, *data_, nullptr, folder_, icons_);
    EXPECT_EQ(2, cancelled.code);
    EXPECT_EQ(nullptr, cancelled.account);
    EXPECT_EQ(6u, data_->GetAccountCount());
}

TEST_F(AccountInfoDlgTest, EscapeGivesCancel) {
    CAccountInfoDlg dialog(*data_, &Account("Savings"), folder_, icons_, dialogs_);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(2, dialog.result());
}

}  // namespace
}  // namespace tallowmere::ui
