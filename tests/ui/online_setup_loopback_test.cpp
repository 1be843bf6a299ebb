// Online Setup against the fake directory and bank: Select Bank lists the
// directory, Select Account takes one of the bank's accounts, and Cancel in
// the progress window ends each exchange of the two, at each request.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "exchange/fi_accounts_list.h"
#include "exchange/online_banking_error.h"
#include "model/paths.h"
#include "online_loopback_fixture.h"
#include "ui/online_account_info_dlg.h"
#include "ui/online_password_dlg.h"
#include "ui/online_setup_dlg.h"
#include "ui/select_account_dlg.h"
#include "ui/select_bank_dlg.h"

namespace tallowmere::ui {
namespace {

using test::OnlineLoopbackTest;

QPushButton* ButtonOf(QWidget& w, int id) {
    return w.findChild<QPushButton*>(QStringLiteral("id_%1").arg(id));
}

template <typename W>
W* Control(QWidget& w, int id) {
    return w.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

class OnlineSetupTest : public OnlineLoopbackTest {
  protected:
    // An enabled setup with the first bank chosen and a customer id.
    std::unique_ptr<COnlineSetupDlg> SetupWithBank() {
        list_->AddOrUpdate(1, "First Loopback Bank");
        OnlineSetupForm values;
        values.enabled = true;
        values.fiId = 1;
        values.bankName = "First Loopback Bank";
        values.customerId = "jsmith";
        auto dialog = std::make_unique<COnlineSetupDlg>(*data_, *list_, values, "Checking");
        dialog->show();
        return dialog;
    }

    // The next dialog is the password prompt, answered with text.
    void AnswerPassword(const char* text) {
        services_.dialogScripts.push_back([text](QDialog& d) {
            EXPECT_EQ(d.objectName(), "id_1598");
            Control<QLineEdit>(d, 1042)->setText(QString::fromLatin1(text));
            return 1;
        });
    }
};

TEST_F(OnlineSetupTest, SelectBankListsTheDirectoryAndSelectAccountTakesTheBanksAccount) {
    OnlineSetupForm values;
    values.enabled = true;
    COnlineSetupDlg dialog(*data_, *list_, values, "Checking");
    dialog.show();
    EXPECT_FALSE(Control<QLineEdit>(dialog, kSetupCustomerId)->isVisible());

    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_154");
        auto& banks = static_cast<CSelectBankDlg&>(d).List();
        EXPECT_EQ(banks.GetItemCount(), 2);
        // Typing finds the bank.
        banks.setFocus();
        QTest::keyClicks(&banks, "se");
        EXPECT_EQ(banks.GetFirstSelectedItem(), 1);
        QTest::keyClicks(&banks, "x");  // nothing starts so: the selection stays
        EXPECT_EQ(banks.GetFirstSelectedItem(), 1);
        banks.SetSelection(0, true);
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    QTest::mouseClick(ButtonOf(dialog, kSetupSelectBank), Qt::LeftButton);
    EXPECT_EQ(dialog.Values().fiId, 1);
    EXPECT_EQ(ButtonOf(dialog, kSetupSelectBank)->text(), "First Loopback Ban...");
    EXPECT_EQ(list_->GetCount(), 2u);
    EXPECT_FALSE(ButtonOf(dialog, kSetupSelectAccount)->isVisible());

    Control<QLineEdit>(dialog, kSetupCustomerId)->setText("jsmith");
    EXPECT_TRUE(ButtonOf(dialog, kSetupSelectAccount)->isVisible());
    AnswerPassword(test::kPassword);
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_155");
        auto& accounts = static_cast<CSelectAccountDlg&>(d).List();
        EXPECT_EQ(accounts.GetItemCount(), 2);
        accounts.SetSelection(1, true);
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    QTest::mouseClick(ButtonOf(dialog, kSetupSelectAccount), Qt::LeftButton);
    EXPECT_TRUE(MessageIds().empty());
    EXPECT_EQ(dialog.Values().account, (BankAccountIds{3, test::kCard, ""}));
    EXPECT_EQ(ButtonOf(dialog, kSetupSelectAccount)->text(),
              QString::fromLatin1(test::kCard) + "...");
    // The bank asks for a client UID: one is made from the customer id.
    EXPECT_EQ(Control<QLineEdit>(dialog, kSetupClientUid)->text().toStdString(),
              DigitsFromText("jsmith"));
    // The password served that request only.
    EXPECT_EQ(dialog.Values().password, "");

    QTest::mouseClick(ButtonOf(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 1);
}

TEST_F(OnlineSetupTest, CancelEndsSelectBankWhileTheDirectoryIsSilent) {
    OnlineSetupForm values;
    values.enabled = true;
    COnlineSetupDlg dialog(*data_, *list_, values, "Checking");
    dialog.show();
    stall_ = test::IsBankList;
    QString status;
    PressCancelWhen(
        dialog, [this] { return Received(test::IsBankList); }, &status);
    QTest::mouseClick(ButtonOf(dialog, kSetupSelectBank), Qt::LeftButton);
    EXPECT_EQ(status, "Downloading bank data...");
    EXPECT_TRUE(services_.dialogs.empty()) << "no bank list after Cancel";
    EXPECT_TRUE(MessageIds().empty()) << "Cancel is no error";
    EXPECT_EQ(dialog.Values().fiId, 0);
    EXPECT_TRUE(dialog.findChildren<COnlineProgressDlg*>().isEmpty());
}

TEST_F(OnlineSetupTest, CancelAtEachRequestOfSelectAccount) {
    struct Case {
        const char* what;
        test::StallRule request;
        const char* status;
        // After the cancel: the entry by hand is offered (the account
        // list's request), or Select Account just ends.
        bool manualEntry;
    };
    const Case cases[] = {
        {"the bank's details from the directory", test::IsBankDetails, "Downloading bank data...",
         false},
        {"the bank's profile", test::IsProfileRequest, "Downloading bank data...", false},
        {"the account list", test::IsAccountListRequest, "Downloading account data...", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services_.messages.clear();
        services_.dialogs.clear();
        auto dialog = SetupWithBank();
        stall_ = c.request;
        AnswerPassword(test::kPassword);
        if (c.manualEntry) {
            services_.dialogScripts.push_back([](QDialog& d) {
                EXPECT_EQ(d.objectName(), "id_158");
                return 2;
            });
        }
        QString status;
        const test::StallRule request = c.request;
        PressCancelWhen(
            *dialog, [this, request] { return Received(request); }, &status);
        const std::size_t before = server_->Requests().size();
        QTest::mouseClick(ButtonOf(*dialog, kSetupSelectAccount), Qt::LeftButton);
        EXPECT_EQ(status.toStdString(), c.status);
        EXPECT_TRUE(MessageIds().empty()) << "Cancel is no error";
        const std::vector<QString> expected = c.manualEntry
                                                  ? std::vector<QString>{"id_1598", "id_158"}
                                                  : std::vector<QString>{"id_1598"};
        EXPECT_EQ(services_.dialogs, expected);
        EXPECT_TRUE(dialog->findChildren<COnlineProgressDlg*>().isEmpty());
        EXPECT_EQ(dialog->Values().account.accountNumber, "");
        // Nothing more was asked of the server after the cancelled request.
        const std::vector<test::FakeRequest> sent = server_->Requests();
        ASSERT_GT(sent.size(), before);
        EXPECT_TRUE(c.request(sent.back()));
        services_.dialogScripts.clear();
        stall_ = nullptr;
    }
}

TEST_F(OnlineSetupTest, AWrongPasswordIsSaidThenTheAccountIsTypedIn) {
    auto dialog = SetupWithBank();
    AnswerPassword("wrong");
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_158");
        Control<QLineEdit>(d, kOnlineAccountNumber)->setText("777");
        Control<QLineEdit>(d, kOnlineRoutingNumber)->setText("02100002");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);  // 8 digits: refused
        EXPECT_EQ(d.result(), 0);
        Control<QLineEdit>(d, kOnlineRoutingNumber)->setText("021000021");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    QTest::mouseClick(ButtonOf(*dialog, kSetupSelectAccount), Qt::LeftButton);
    EXPECT_EQ(MessageIds(), (std::vector<int>{exchange::kStrOnlineBadLogin, 156}));
    EXPECT_EQ(dialog->Values().account, (BankAccountIds{0, "777", "021000021"}));
}

TEST_F(OnlineSetupTest, ABankTheListNoLongerHasIsForgottenAndOkSaysWhatIsMissing) {
    OnlineSetupForm values;
    values.enabled = true;
    values.fiId = 99;
    values.bankName = "Gone";
    COnlineSetupDlg dialog(*data_, *list_, values, "Checking");
    dialog.show();
    EXPECT_EQ(dialog.Values().fiId, 0);
    EXPECT_EQ(ButtonOf(dialog, kSetupSelectBank)->text(), "Select Bank...");
    QTest::mouseClick(ButtonOf(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(MessageIds(), (std::vector<int>{169}));
    EXPECT_NE(dialog.result(), 1);
    // Switched off, nothing is needed.
    QTest::mouseClick(Control<QCheckBox>(dialog, kSetupEnable), Qt::LeftButton);
    EXPECT_FALSE(ButtonOf(dialog, kSetupSelectBank)->isEnabled());
    QTest::mouseClick(ButtonOf(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 1);
}

TEST_F(OnlineSetupTest, ThePasswordButtonStoresThePassword) {
    auto dialog = SetupWithBank();
    EXPECT_EQ(ButtonOf(*dialog, kSetupPassword)->text(), "-Will Prompt-...");
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_156");
        auto* edit = Control<QLineEdit>(d, 1042);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edit->maxLength(), 30);
        edit->setText("s3cret");
        return 1;
    });
    QTest::mouseClick(ButtonOf(*dialog, kSetupPassword), Qt::LeftButton);
    EXPECT_EQ(dialog->Values().password, "s3cret");
    EXPECT_EQ(ButtonOf(*dialog, kSetupPassword)->text(), "-Assigned-...");
    // A stored password is not asked for again: the bank's list comes next.
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_155");
        return 2;
    });
    bank_.SetPassword("s3cret");
    QTest::mouseClick(ButtonOf(*dialog, kSetupSelectAccount), Qt::LeftButton);
    EXPECT_EQ(services_.dialogs, (std::vector<QString>{"id_156", "id_155"}));
}

TEST_F(OnlineSetupTest, TheAccountDialogsRunnerHandsItsValuesThroughBothWays) {
    list_->AddOrUpdate(1, "First Loopback Bank");
    const OnlineSetupRunner run = MakeOnlineSetupRunner(*data_, *list_, "Caf\xE9");
    OnlineSetupValues values;
    values.enabled = true;
    values.fiId = 1;
    values.bankText = "First Loopback Bank";
    values.customerId = "j\xC3\xB6rg";  // UTF-8, as the account dialog holds it
    values.type = 1;
    values.accountNumber = "55555";
    values.routingNumber = "021000021";
    const OnlineSetupValues opened = values;
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_153");
        EXPECT_EQ(Control<QLineEdit>(d, kSetupCustomerId)->text(),
                  QString::fromUtf8("j\xC3\xB6rg"));
        return 2;
    });
    EXPECT_FALSE(run(nullptr, values));
    EXPECT_EQ(values.customerId, opened.customerId);
    services_.dialogScripts.push_back([](QDialog& d) {
        Control<QLineEdit>(d, kSetupCustomerId)->setText(QString::fromUtf8("j\xC3\xB6rg2"));
        Control<QLineEdit>(d, kSetupClientUid)->setText("42");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    EXPECT_TRUE(run(nullptr, values));
    EXPECT_EQ(values.customerId, "j\xC3\xB6rg2");
    EXPECT_EQ(values.clientUid, "42");
    EXPECT_EQ(values.accountNumber, "55555");
    EXPECT_EQ(values.type, 1);
    EXPECT_EQ(values.fiId, 1u);
}

}  // namespace
}  // namespace tallowmere::ui
