#include "ui/app_windows.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <filesystem>

#include "model/accounts.h"
#include "model/palm_time.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/program_version.h"
#include "model/registry.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "ui/logic/startup_controller.h"
#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

using Outcome = StartupResult::Outcome;

// A user "Ann" with her accounts, the program's own platform library, and
// the program's windows on the offscreen screen.
// The view's sync server on loopback and ports the system picks.
void Loopback(AppWindows& windows) {
    handheld::SyncServerOptions options;
    options.bindAddress = "127.0.0.1";
    options.discoveryPort = 0;
    options.syncPort = 0;
    windows.SetSyncServer(CTallowmereView::DefaultSyncServerFactory(), options);
}

class AppWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", test::MakeTempDir("config").c_str(), 1);
        const std::string data = test::MakeTempDir("data");
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        platform::SetRegistryStorePath("");
        Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
        // The preference keys are named after the library's platform.
        ASSERT_EQ(0, Platform::Initialize(1, kProductWord));
        CreatePrefsKeys();
        folder_ = data + "/Brackwater/Tallowmere/SER1";
        std::filesystem::create_directories(folder_);
        const std::string key = PhoneUserKeyPath("SER1");
        ASSERT_EQ(0, platform::RegStoreCreateKey(key));
        RegWriteString(RegRoot::kCurrentUser, key, kUserDisplayNameValue, "Ann");
        std::unique_ptr<CAccounts> accounts;
        ASSERT_EQ(0, CAccounts::LoadInto(accounts, folder_, {}));
        SetPrefCurrentUser("SER1");
        lockFolder_ = test::MakeTempDir("lock");
        chmod(lockFolder_.c_str(), 0700);
    }
    void TearDown() override {
        Platform::Release();
        Platform::SetLibraryFolder("");
    }
    void SetPassword(const char* password) {
        SetPrefPasswordCrib("SER1", CTallowmereApp::HashPassword(password));
    }
    // A prompt script: types the password and presses OK; checks that the
    // main window is not on screen meanwhile.
    std::function<int(QDialog&)> Answer(QString password, AppWindows& windows) {
        return [password, &windows](QDialog& dialog) {
            EXPECT_TRUE(windows.MainFrame() == nullptr || !windows.MainFrame()->isVisible());
            dialog.findChild<QLineEdit*>("id_1042")->setText(password);
            dialog.accept();
            return dialog.result();
        };
    }

    test::ScriptedServices services_;
    std::string folder_;
    std::string lockFolder_;
};

TEST_F(AppWindowsTest, StartsToTheMainWindowAndClosesTheStartUpScreenLater) {
    WriteDisplayUserGuide(0);
    SetPrefWinPos("0100 0050 0900 0700");
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    QElapsedTimer clock;
    clock.start();
    const StartupResult result = StartupController(app, windows, messages).Run();
    ASSERT_EQ(Outcome::kRunning, result.outcome);
    CMainFrame* frame = windows.MainFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(QString::fromStdString("Tallowmere " + ProgramVersionText() + " - Ann"),
              frame->windowTitle());
    EXPECT_TRUE(services_.messages.empty());

    // Half a second after the view was made, not before.
    QTRY_VERIFY_WITH_TIMEOUT(windows.StartupScreen() == nullptr, 5000);
    EXPECT_GE(clock.elapsed(), AppWindows::kStartupScreenMs);

    frame->close();
    EXPECT_EQ(frame->PlacementText(), GetPrefWinPos());
    EXPECT_EQ(0, app.ExitInstance(0));
}

TEST_F(AppWindowsTest, TheStartUpTimerOffersDueItemsOnceAndTheUserMenuListsTheUsers) {
    {
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(0, CAccounts::LoadInto(data, folder_, {}));
        const PalmTime today = TodayBound(1);
        auto item = std::make_unique<CScheduledItem>();
        item->EditTemplate().SetTypeId(DepositTypeId);
        item->EditTemplate().SetAmount(5000);
        item->EditTemplate().SetDate(today);
        item->SetPayee("Pay day");
        item->SetAccountId(data->GetAccountAt(0)->Header().GetId());
        item->SetNextDue(today);
        item->SetFrequency(kFrequencyMonthly);
        item->SetRepeatCount(kRepeatIndefinitely);
        item->SetEnterMode(0);
        ASSERT_EQ(0, data->Scheduled().InsertSorted(std::move(item)));
    }
    WriteDisplayUserGuide(0);
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    services_.answers = {ui::Answer::kNo};
    ASSERT_EQ(Outcome::kRunning, StartupController(app, windows, messages).Run().outcome);
    EXPECT_TRUE(services_.messages.empty()) << "not before the timer";
    QTRY_VERIFY_WITH_TIMEOUT(windows.StartupScreen() == nullptr, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(services_.messages.size(), std::size_t{1}, 5000);
    EXPECT_EQ(153, services_.messages[0].stringId);
    QTest::qWait(50);
    EXPECT_EQ(1u, services_.messages.size());

    auto* users = windows.MainFrame()->findChild<QMenu*>(QStringLiteral("menu_3205"));
    ASSERT_NE(nullptr, users);
    emit users->aboutToShow();
    QStringList items;
    for (const QAction* action : users->actions()) {
        if (!action->isSeparator())
            items << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
    }
    EXPECT_EQ((QStringList{"Ann *", "<Standalone>", "Set Password..."}), items);
    windows.MainFrame()->close();
    EXPECT_EQ(0, app.ExitInstance(0));
}

TEST_F(AppWindowsTest, APasswordIsAskedBeforeTheWindowShows) {
    WriteDisplayUserGuide(0);
    SetPassword("ab");
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    services_.dialogScripts.push_back(Answer("ab", windows));
    const StartupResult result = StartupController(app, windows, messages).Run();
    EXPECT_EQ(Outcome::kRunning, result.outcome);
    EXPECT_EQ(std::vector<QString>{"id_174"}, services_.dialogs);
    EXPECT_TRUE(app.HasCipherKey());
    ASSERT_NE(nullptr, windows.MainFrame());
    EXPECT_TRUE(windows.MainFrame()->isVisible());
    EXPECT_EQ(nullptr, windows.SetupWizard());
    windows.MainFrame()->close();
}

// A first run shows the wizard with the main window hidden; its Finish asks
// for the protected user's password before the window shows.
TEST_F(AppWindowsTest, AFirstRunShowsTheWizardAndAsksAtFinish) {
    WriteDisplayUserGuide(1);
    SetPassword("ab");
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    const StartupResult result = StartupController(app, windows, messages).Run();
    EXPECT_EQ(Outcome::kRunning, result.outcome);
    EXPECT_TRUE(result.firstRun);
    EXPECT_TRUE(services_.dialogs.empty());
    ASSERT_NE(nullptr, windows.SetupWizard());
    EXPECT_TRUE(windows.SetupWizard()->isVisible());
    ASSERT_NE(nullptr, windows.MainFrame());
    EXPECT_FALSE(windows.MainFrame()->isVisible());

    services_.dialogScripts.push_back(Answer("ab", windows));
    windows.SetupWizard()->accept();
    EXPECT_EQ(std::vector<QString>{"id_174"}, services_.dialogs);
    EXPECT_TRUE(app.HasCipherKey());
    EXPECT_TRUE(windows.MainFrame()->isVisible());
    EXPECT_EQ(0U, ReadDisplayUserGuide());
    windows.MainFrame()->close();
}

TEST_F(AppWindowsTest, AHandOverRaisesTheWizardWhileItRuns) {
    WriteDisplayUserGuide(1);
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    ASSERT_EQ(Outcome::kRunning, StartupController(app, windows, messages).Run().outcome);
    ASSERT_NE(nullptr, windows.SetupWizard());
    windows.SetupWizard()->showMinimized();
    COneInstance second(lockFolder_);
    ASSERT_EQ(COneInstance::Role::kSecond, second.Claim());
    EXPECT_TRUE(second.ActivateOther(""));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !windows.SetupWizard()->isMinimized(); }));
    EXPECT_FALSE(windows.MainFrame()->isVisible());
}

TEST_F(AppWindowsTest, CancelAtTheWizardsPromptEndsWithoutAWindow) {
    WriteDisplayUserGuide(1);
    SetPassword("ab");
    SetPrefWinPos("0100 0050 0900 0700");
    CTallowmereApp app;
    AppWindows windows(app, lockFolder_);
    Loopback(windows);
    ServiceMessages messages;
    const StartupResult result = StartupController(app, windows, messages).Run();
    ASSERT_EQ(Outcome::kRunning, result.outcome);
    services_.dialogScripts.push_back([](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    });
    ASSERT_NE(nullptr, windows.SetupWizard());
    windows.SetupWizard()->accept();
    EXPECT_FALSE(app.HasCipherKey());
    EXPECT_TRUE(windows.MainFrame() == nullptr || !windows.MainFrame()->isVisible());
    EXPECT_EQ("0100 0050 0900 0700", GetPrefWinPos()) << "a window never shown keeps the place";
}

}  // namespace
}  // namespace tallowmere::ui
