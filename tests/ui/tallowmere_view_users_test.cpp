// The view's users: the users menu and a switch chosen there, Set Password,
// and the offer of due scheduled transactions.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <memory>

#include "exchange/desktop_load_options.h"
#include "model/palm_time.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "model/users.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/view_fixture.h"

namespace tallowmere::test {
namespace {

using ui::Answer;
using ui::CTallowmereView;

// The view fixture with the platform's users: the standalone user and two
// phone users.
class ViewUsersTest : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        setenv("XDG_DATA_HOME", MakeTempDir("data").c_str(), 1);
        unsetenv("TALLOWMERE_DOUBLE_MODE");
        Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
        ASSERT_EQ(0, Platform::Initialize(1, kProductWord));
        // The preferences live under the platform's key now.
        CreatePrefsKeys();
        SetPrefCurrentUser(user_->GetFolderName());
        app_.GetUsers().Enumerate(kProductWord, std::nullopt);
        ASSERT_NE(nullptr, app_.GetUsers().AddPhoneUser("Bob's phone", "BOB1"));
        ASSERT_NE(nullptr, app_.GetUsers().AddPhoneUser("Caf\xE9 tablet", "CAFE"));
    }
    void TearDown() override {
        ViewTest::TearDown();
        Platform::Release();
        Platform::SetLibraryFolder("");
    }

    // The menu as the User menu holds it: the "Users" item, a separator
    // and Set Password.
    static void MakeUserMenu(QMenu& menu, QAction& placeholder, QAction& setPassword) {
        placeholder.setProperty("commandId", 34000);
        setPassword.setProperty("commandId", 32782);
        menu.addAction(&placeholder);
        menu.addSeparator();
        menu.addAction(&setPassword);
    }

    static QStringList Items(const QMenu& menu) {
        QStringList items;
        for (const QAction* action : menu.actions()) {
            QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
            if (action->isChecked())
                text += QStringLiteral(" *");
            items << text;
        }
        return items;
    }
};

TEST_F(ViewUsersTest, TheUsersMenuListsTheUsersAndSwitchesByFolder) {
    CTallowmereView& view = MakeView();
    QMenu menu;
    QAction placeholder(QStringLiteral("Users"));
    QAction setPassword(QStringLiteral("Set Password..."));
    MakeUserMenu(menu, placeholder, setPassword);

    // Ann (the fixture's user) is not among them: the first is checked.
    view.FillUsersMenu(menu);
    EXPECT_EQ((QStringList{"<Standalone> *", "Bob's phone", QString::fromUtf8("Caf\u00e9 tablet"),
                           "-", "Set Password..."}),
              Items(menu));

    if (const QByteArray dir = qgetenv("TALLOWMERE_SHOTS"); !dir.isEmpty()) {
        menu.adjustSize();
        menu.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/users_menu.png"));
    }

    // An entry names its user by folder, whatever the list does meanwhile.
    QAction* cafe = menu.findChild<QAction*>(QStringLiteral("user_34002"));
    ASSERT_NE(nullptr, cafe);
    cafe->trigger();
    ASSERT_NE(nullptr, view.CurrentUser());
    EXPECT_EQ("CAFE", view.CurrentUser()->GetFolderName());
    EXPECT_EQ("CAFE", GetPrefCurrentUser());
    EXPECT_EQ(app_.GetUsers().GetAt(2), app_.GetCurrentUser());

    // Opened again: the same items once, the new current user checked.
    view.FillUsersMenu(menu);
    EXPECT_EQ((QStringList{"<Standalone>", "Bob's phone", QString::fromUtf8("Caf\u00e9 tablet *"),
                           "-", "Set Password..."}),
              Items(menu));

    // The current user again changes nothing.
    const CAccounts* before = &view.Data();
    menu.findChild<QAction*>(QStringLiteral("user_34002"))->trigger();
    EXPECT_EQ(before, &view.Data());
    EXPECT_TRUE(services_.messages.empty());
}

TEST_F(ViewUsersTest, AtMostThirtyOneUsersAreListed) {
    for (int i = 0; i < 32; ++i)
        ASSERT_NE(nullptr, app_.GetUsers().AddPhoneUser("P" + std::to_string(i),
                                                        "SER" + std::to_string(100 + i)));
    CTallowmereView& view = MakeView();
    QMenu menu;
    view.FillUsersMenu(menu);
    ASSERT_EQ(31, menu.actions().size());
    EXPECT_EQ(QStringLiteral("user_34030"), menu.actions().back()->objectName());
}

TEST_F(ViewUsersTest, SetPasswordChangesTheKeyOfEveryAccountFile) {
    CTallowmereView& view = MakeView();
    services_.dialogScripts.push_back([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1042"))->setText(QStringLiteral("pw"));
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1043"))->setText(QStringLiteral("pw"));
        dialog.accept();
        return dialog.result();
    });
    view.RunCommand(32782);
    ASSERT_EQ(1u, services_.dialogs.size());
    EXPECT_TRUE(app_.UserHasPassword(*user_));
    EXPECT_TRUE(app_.HasCipherKey());
    // Every file reads with the new key.
    std::unique_ptr<CAccounts> fresh;
    EXPECT_EQ(
        0, CAccounts::LoadInto(fresh, fixture_.folder, DesktopLoadOptions(app_.GetHeaderCipher())));
    EXPECT_EQ(view.Data().GetAccountCount(), fresh->GetAccountCount());
}

// Adds a scheduled deposit into Checking, due today and entered on request.
void ScheduleDueToday(const std::string& folder) {
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(0, CAccounts::LoadInto(data, folder, {}));
    const PalmTime today = TodayBound(1);
    auto item = std::make_unique<CScheduledItem>();
    item->EditTemplate().SetTypeId(DepositTypeId);
    item->EditTemplate().SetAmount(5000);
    item->EditTemplate().SetDate(today);
    item->SetPayee("Pay day");
    item->SetAccountId(data->FindAccountByName("Checking")->Header().GetId());
    item->SetNextDue(today);
    item->SetFrequency(kFrequencyMonthly);
    item->SetRepeatCount(kRepeatIndefinitely);
    item->SetEnterMode(0);
    ASSERT_EQ(0, data->Scheduled().InsertSorted(std::move(item)));
}

TEST_F(ViewUsersTest, DueScheduledItemsAreOfferedAndYesOpensUpcoming) {
    CTallowmereView& view = MakeView();
    // Nothing due: nothing asked.
    view.OfferDueScheduled();
    EXPECT_TRUE(services_.messages.empty());

    ScheduleDueToday(fixture_.folder);
    view.OnReloadRequest(1, 0);
    services_.answers = {Answer::kNo, Answer::kYes};
    view.OfferDueScheduled();
    ASSERT_EQ(1u, services_.messages.size());
    EXPECT_EQ(153, services_.messages[0].stringId);
    EXPECT_EQ(ui::Icon::kQuestion, services_.messages[0].icon);
    EXPECT_TRUE(services_.dialogs.empty());
    view.OfferDueScheduled();
    EXPECT_EQ(std::vector<QString>{"id_1591"}, services_.dialogs);
}

}  // namespace
}  // namespace tallowmere::test
