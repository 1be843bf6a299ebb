// Reloading the view's data: the due automatic scheduled items a reload
// posts, a reload that waits for an open dialog or for the busy lock held
// elsewhere, and the user switch that keeps everything on a failure.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <atomic>
#include <thread>

#include "model/palm_time.h"
#include "model/preferences.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "ui/register_list_ctrl.h"
#include "ui/view_fixture.h"

namespace tallowmere::ui {
namespace {

using test::ViewTest;

bool HasPayee(const CAccount& account, const std::string& payee) {
    for (const auto& t : account.Transactions()) {
        if (t->GetPayeeName() == payee)
            return true;
    }
    return false;
}

// Adds a scheduled deposit into Checking, due today, to the folder's files.
void ScheduleDueToday(const std::string& folder, std::uint8_t mode, const char* payee) {
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(0, CAccounts::LoadInto(data, folder, {}));
    const PalmTime today = TodayBound(1);
    auto item = std::make_unique<CScheduledItem>();
    item->EditTemplate().SetTypeId(DepositTypeId);
    item->EditTemplate().SetAmount(5000);
    item->EditTemplate().SetDate(today);
    item->SetPayee(payee);
    item->SetAccountId(data->FindAccountByName("Checking")->Header().GetId());
    item->SetNextDue(today);
    item->SetFrequency(kFrequencyMonthly);
    item->SetRepeatCount(kRepeatIndefinitely);
    item->SetEnterMode(mode);
    ASSERT_EQ(0, data->Scheduled().InsertSorted(std::move(item)));
}

TEST_F(ViewTest, AReloadPostsTheDueAutomaticItemsOnly) {
    CTallowmereView& view = MakeView();
    ScheduleDueToday(fixture_.folder, kEnterAutomatically, "Rent in");
    ScheduleDueToday(fixture_.folder, 0, "Asked first");
    const CAccounts* before = &view.Data();
    view.OnReloadRequest(1, 0);
    EXPECT_NE(before, &view.Data());
    const CAccount* checking = view.Data().FindAccountByName("Checking");
    ASSERT_NE(nullptr, checking);
    EXPECT_TRUE(HasPayee(*checking, "Rent in"));
    EXPECT_FALSE(HasPayee(*checking, "Asked first"));
    // Posted and saved: a fresh read finds it too.
    std::unique_ptr<CAccounts> fresh;
    ASSERT_EQ(0, CAccounts::LoadInto(fresh, fixture_.folder, {}));
    EXPECT_TRUE(HasPayee(*fresh->FindAccountByName("Checking"), "Rent in"));
    EXPECT_EQ(view.CurrentAccount()->GetPath(), fresh->FindAccountByName("Checking")->GetPath());
    EXPECT_EQ(view.GetRegisterItemCount(), view.RegisterList()->GetItemCount());
}

TEST_F(ViewTest, OtherNoticesDoNotReload) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    view.OnReloadRequest(0, 0);
    view.OnReloadRequest(2, 1);
    EXPECT_EQ(before, &view.Data());
}

TEST_F(ViewTest, AReloadWaitsForAnOpenDialog) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    bool sawPending = false;
    services_.dialogScripts.push_back([&](QDialog&) {
        view.ReloadData();
        view.ReloadData();
        QApplication::processEvents();
        sawPending = view.ReloadPending() && &view.Data() == before;
        return 1;
    });
    QDialog dialog;
    EXPECT_EQ(1, Services().RunDialog(dialog));
    EXPECT_TRUE(sawPending);
    QTRY_VERIFY(!view.ReloadPending());
    EXPECT_NE(before, &view.Data());
}

TEST_F(ViewTest, AReloadWaitsForTheBusyLockHeldElsewhere) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread other([&] {
        platform::NamedMutex mutex(handheld::kDesktopBusyMutexName);
        ASSERT_TRUE(mutex.Lock(std::chrono::seconds(5)));
        held = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        mutex.Unlock();
    });
    while (!held)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QTimer::singleShot(0, &view, [&] { view.ReloadData(); });
    // The lock's wait runs out once; the reload stays pending.
    QTRY_VERIFY_WITH_TIMEOUT(view.ReloadPending(), 5000);
    EXPECT_EQ(before, &view.Data());
    release = true;
    other.join();
    QTRY_VERIFY_WITH_TIMEOUT(!view.ReloadPending(), 10000);
    EXPECT_NE(before, &view.Data());
}

TEST_F(ViewTest, SwitchingUsersLoadsTheOtherFolder) {
    CTallowmereView& view = MakeView();
    const std::string other = test::MakeTempDir("bob");
    auto bob = test::MakeFolderUser("Bob", "bob", other);
    ASSERT_TRUE(view.SwitchUser(*bob));
    EXPECT_EQ(bob.get(), view.CurrentUser());
    EXPECT_EQ(bob.get(), app_.GetCurrentUser());
    EXPECT_EQ("bob", GetPrefCurrentUser());
    // A new folder gets the default accounts.
    EXPECT_EQ(5U, view.Data().GetAccountCount());
    EXPECT_EQ(view.Data().GetAccountAt(0), view.CurrentAccount());
}

TEST_F(ViewTest, AFailedSwitchKeepsUserDataAndCurrentUser) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    const std::string bad = test::MakeTempDir("broken");
    test::WriteFileBytes(bad + "/Broken.wqm", std::string(40, 'x'));
    auto bob = test::MakeFolderUser("Bob", "bob", bad);
    EXPECT_FALSE(view.SwitchUser(*bob));
    EXPECT_EQ(before, &view.Data());
    EXPECT_EQ(user_.get(), view.CurrentUser());
    EXPECT_EQ(user_.get(), app_.GetCurrentUser());
    EXPECT_EQ("ann", GetPrefCurrentUser());
    EXPECT_FALSE(app_.HasCipherKey());
}

// Types the password into the prompt and presses OK, or cancels it.
std::function<int(QDialog&)> Prompt(const char* password) {
    return [password](QDialog& dialog) {
        if (password == nullptr) {
            dialog.reject();
            return 2;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("id_1042"))->setText(password);
        dialog.accept();
        return dialog.result();
    };
}

TEST_F(ViewTest, AProtectedUserIsSwitchedToOnlyWithItsPassword) {
    CTallowmereView& view = MakeView();
    const CAccounts* before = &view.Data();
    const std::string folder = test::MakeTempDir("bob");
    {
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(0, CAccounts::LoadInto(data, folder, {}));
    }
    auto bob = test::MakeFolderUser("Bob", "bob", folder);
    SetPrefPasswordCrib("bob", CTallowmereApp::HashPassword("pw"));

    services_.dialogScripts.push_back(Prompt(nullptr));
    EXPECT_FALSE(view.SwitchUser(*bob));
    EXPECT_EQ(before, &view.Data());
    EXPECT_EQ(user_.get(), app_.GetCurrentUser());
    EXPECT_EQ("ann", GetPrefCurrentUser());
    EXPECT_FALSE(app_.HasCipherKey());

    services_.dialogScripts.push_back(Prompt("pw"));
    ASSERT_TRUE(view.SwitchUser(*bob));
    EXPECT_EQ(bob.get(), app_.GetCurrentUser());
    EXPECT_EQ("bob", GetPrefCurrentUser());
    EXPECT_TRUE(app_.HasCipherKey());
    EXPECT_EQ(std::vector<QString>({"id_174", "id_174"}), services_.dialogs);
}

TEST_F(ViewTest, AProtectedUserWhoseDataCannotBeReadLeavesTheOldKey) {
    CTallowmereView& view = MakeView();
    const std::string folder = test::MakeTempDir("bob");
    {
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(0, CAccounts::LoadInto(data, folder, {}));
    }
    test::WriteFileBytes(folder + "/Broken.wqm", std::string(40, 'x'));
    auto bob = test::MakeFolderUser("Bob", "bob", folder);
    SetPrefPasswordCrib("bob", CTallowmereApp::HashPassword("pw"));
    services_.dialogScripts.push_back(Prompt("pw"));
    EXPECT_FALSE(view.SwitchUser(*bob));
    EXPECT_FALSE(app_.HasCipherKey()) << "the old user's key (none) stays";
    EXPECT_EQ(user_.get(), app_.GetCurrentUser());
    EXPECT_EQ("ann", GetPrefCurrentUser());
}

}  // namespace
}  // namespace tallowmere::ui
