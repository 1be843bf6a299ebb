#include "ui/user_guide_ps.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <mutex>
#include <string>
#include <vector>

#include "model/preferences.h"
#include "model/users.h"
#include "support/test_env.h"
#include "sync/sync_server_support.h"
#include "ui/one_instance.h"
#include "ui/sync_events_adapter.h"
#include "ui/sync_events_receiver.h"

namespace tallowmere::ui {
namespace {

struct RecordingHost final : MUserGuideHost {
    bool SwitchUser(const std::string& folderName) override {
        calls.push_back("switch:" + folderName);
        return true;
    }
    void ShowMainWindow() override { calls.push_back("show"); }
    void Quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
};

// A button as "-" hidden, "o" shown disabled, "X" shown enabled; the four
// as back, next, finish, cancel.
std::string Buttons(const QWizard& wizard) {
    std::string shown;
    for (const auto which :
         {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton, QWizard::CancelButton}) {
        const QAbstractButton* b = wizard.button(which);
        shown += b == nullptr || !b->isVisible() ? '-' : b->isEnabled() ? 'X' : 'o';
    }
    return shown;
}

QString Text(const QWidget& page, int id) {
    const auto* label = page.findChild<QLabel*>(QStringLiteral("id_%1").arg(id));
    return label != nullptr ? label->text() : QStringLiteral("<missing %1>").arg(id);
}

class UserGuidePSTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::StartFreshDesktop(users_, data_));
        ASSERT_NE(nullptr, users_.AddPhoneUser("Caf\xE9 phone", "CAFE-1"));
        ASSERT_TRUE(adapter_.Attach(receiver_));
        receiver_.SetUserGuide(&wizard_);
    }
    void TearDown() override { test::StopDesktop(); }

    void Start() {
        wizard_.Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard_));
        Settle();
    }
    // Lets the queued calls run: the notices, then the buttons of the page.
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    void Click(QWizard::WizardButton which) {
        QAbstractButton* b = wizard_.button(which);
        ASSERT_TRUE(b != nullptr && b->isVisible() && b->isEnabled()) << which;
        QTest::mouseClick(b, Qt::LeftButton);
        Settle();
    }
    // A whole run as the sync thread reports it; its user is CAFE-1.
    void Sync(bool succeeded) {
        adapter_.OnSyncStarted();
        adapter_.OnSyncStatus("Starting Sync...");
        adapter_.OnSyncUser("CAFE-1", true);
        adapter_.OnSyncStatus("Finishing ...");
        adapter_.OnSyncFinished(succeeded);
        Settle();
    }

    CUserList users_;
    std::string data_;
    std::mutex usersMutex_;
    RecordingHost host_;
    SyncEventsAdapter adapter_;
    SyncEventsReceiver receiver_{adapter_};
    CUserGuidePS wizard_{host_, users_, &usersMutex_};
};

TEST_F(UserGuidePSTest, AGoodSyncOnPageTwoLeadsToFinish) {
    QSignalSpy accepted(&wizard_, &QDialog::accepted);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(wizard_.IsRunning());
    EXPECT_EQ("Tallowmere Setup Wizard", wizard_.windowTitle());
    EXPECT_EQ(0, wizard_.currentId());
    EXPECT_EQ("oX-X", Buttons(wizard_));  // Next only

    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    EXPECT_EQ(1, wizard_.currentId());
    EXPECT_EQ("Xo-X", Buttons(wizard_));  // Back only
    // Enter does not get past the waiting page.
    QTest::keyClick(&wizard_, Qt::Key_Return);
    Settle();
    EXPECT_EQ(1, wizard_.currentId());

    ASSERT_NO_FATAL_FAILURE(Sync(true));
    EXPECT_EQ("oX-X", Buttons(wizard_));  // Next only
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    EXPECT_EQ(2, wizard_.currentId());
    EXPECT_EQ("--X-", Buttons(wizard_));  // Finish alone
    EXPECT_EQ("Congratulations! You have created Caf\xC3\xA9 phone", Text(*wizard_.page(2), 1179));

    ASSERT_NO_FATAL_FAILURE(Click(QWizard::FinishButton));
    EXPECT_FALSE(wizard_.isVisible());
    EXPECT_FALSE(wizard_.IsRunning());
    EXPECT_EQ(1, accepted.count());
    EXPECT_EQ((std::vector<std::string>{"switch:CAFE-1", "show"}), host_.calls);
    EXPECT_EQ(0u, ReadDisplayUserGuide());
}

TEST_F(UserGuidePSTest, ASyncThatEndedOnPageOneShowsBackAndNextOnPageTwo) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Sync(true));
    EXPECT_EQ("oX-X", Buttons(wizard_));
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    EXPECT_EQ("XX-X", Buttons(wizard_));
    // Back and forth keeps it.
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::BackButton));
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    EXPECT_EQ("XX-X", Buttons(wizard_));
}

TEST_F(UserGuidePSTest, AFailedSyncNeverEnablesNext) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    ASSERT_NO_FATAL_FAILURE(Sync(false));
    EXPECT_EQ("Xo-X", Buttons(wizard_));
    // Not even from code.
    wizard_.next();
    Settle();
    EXPECT_EQ(1, wizard_.currentId());
    EXPECT_EQ("", Text(*wizard_.page(2), 1179));
}

TEST_F(UserGuidePSTest, CancelEscAndTheCloseBoxEndTheProgram) {
    struct Case {
        const char* name;
        std::function<void(QWizard&)> cancel;
    };
    const Case cases[] = {
        {"Cancel",
         [](QWizard& w) { QTest::mouseClick(w.button(QWizard::CancelButton), Qt::LeftButton); }},
        {"Esc", [](QWizard& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
        {"close box", [](QWizard& w) { w.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingHost host;
        CUserGuidePS wizard(host, users_, &usersMutex_);
        QSignalSpy rejected(&wizard, &QDialog::rejected);
        wizard.Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
        Settle();
        c.cancel(wizard);
        Settle();
        EXPECT_FALSE(wizard.isVisible());
        EXPECT_FALSE(wizard.IsRunning());
        EXPECT_EQ(1, rejected.count());
        EXPECT_EQ((std::vector<std::string>{"quit"}), host.calls);
        EXPECT_EQ(1u, ReadDisplayUserGuide());
    }
}

TEST_F(UserGuidePSTest, TheProgressWindowHoldsTheWizardWhileASyncRuns) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Click(QWizard::NextButton));
    adapter_.OnSyncStarted();
    Settle();
    CSyncProgressDlg* progress = receiver_.ProgressDialog();
    ASSERT_NE(nullptr, progress);
    EXPECT_EQ(&wizard_, progress->parentWidget());
    EXPECT_EQ(progress, QApplication::activeModalWidget());
    adapter_.OnSyncFinished(false);
    Settle();
    EXPECT_EQ(nullptr, QApplication::activeModalWidget());
    EXPECT_TRUE(wizard_.IsRunning());
}

TEST_F(UserGuidePSTest, PagesKeepTheirTextsFontsAndPictures) {
    struct Line {
        int id;
        const char* text;
        bool bold;
    };
    // As the pages have them, the double blanks and the step without its
    // number included.
    const std::vector<Line> pages[] = {
        {{1180, "Steps:", false},
         {1181, "1. Welcome", true},
         {1182, "2. Create User", true},
         {1183, "3. Finish!", true},
         {1184, "Welcome to the Tallowmere Setup Wizard!", true},
         {1185, "Before you begin, please ensure:", false},
         {1186, "1. Tallowmere is running on your  Android phone.", false},
         {1187, "2.  Android phone is connected to Wi-Fi.", false},
         {1188, "3. This computer running the wizard is also connected to ", false},
         {1189, "  the same local network connection (Wi-Fi or Wired)", false}},
        {{1190, "Steps:", false},
         {1191, "1. Welcome", true},
         {1192, "2. Create User", true},
         {1193, "3. Finish!", true},
         {1194, "Create a Tallowmere user account on the desktop:", true},
         {1195, "1. Press the menu button on the handheld and select Synchronize.", false},
         {1196,
          "Select the name of the desktop computer to sync with, or enter the IP address "
          "manually.",
          false},
         {1197, "3. Tap Start Sync.", false},
         {1198, "4. Tap on \"Start Sync\" button", false},
         {1199, "Note: The IP address of the desktop computer is displayed.", false}},
        {{1179, "", true},
         {1200, "Steps:", false},
         {1201, "1. Welcome", true},
         {1202, "2. Create User", true},
         {1203, "3. Finish!", true},
         {1204, "Tips on Getting Started:", false},
         {1205,
          "1. If you are an existing Tallowmere User, use \"Import\" to import your existing "
          "Tallowmere records",
          false},
         {1206,
          "2. For security purpose, always set a password. Setting a password encrypts the "
          "data",
          false},
         {1207,
          "3. Follow the same procedure to synchronize Tallowmere records between the desktop",
          false},
         {1208, "and the handheld. Sync settings are found in the File menu option", false}},
    };
    for (int id = 0; id < 3; ++id) {
        const QWizardPage* page = wizard_.page(id);
        ASSERT_NE(nullptr, page);
        for (const Line& line : pages[id]) {
            SCOPED_TRACE(line.id);
            const auto* label = page->findChild<QLabel*>(QStringLiteral("id_%1").arg(line.id));
            ASSERT_NE(nullptr, label);
            EXPECT_EQ(QString::fromUtf8(line.text), label->text());
            EXPECT_EQ(Qt::PlainText, label->textFormat());
            EXPECT_EQ(QStringLiteral("Arial"), label->font().family());
            EXPECT_EQ(15, label->font().pixelSize());
            EXPECT_EQ(line.bold, label->font().bold());
        }
    }
    const struct {
        int page;
        int picture;
        QSize size;
    } pictures[] = {
        {0, 218, {64, 64}}, {0, 219, {64, 64}}, {0, 220, {64, 64}}, {1, 221, {150, 240}}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.picture);
        const auto* label =
            wizard_.page(p.page)->findChild<QLabel*>(QStringLiteral("picture%1").arg(p.picture));
        ASSERT_NE(nullptr, label);
        EXPECT_EQ(p.size, label->pixmap().size());
    }
}

TEST_F(UserGuidePSTest, AHandOverRaisesTheWizardWhileItRunsThenTheMainWindow) {
    const std::string lock = test::MakeTempDir("lock");
    chmod(lock.c_str(), 0700);
    COneInstance first(lock);
    ASSERT_EQ(COneInstance::Role::kFirst, first.Claim());
    QWidget frame;
    int raised = 0;
    QObject::connect(&first, &COneInstance::raiseRequested, [&] { ++raised; });
    first.SetFrameReady([&] { return UserGuideOrFrame(&wizard_, &frame); });
    COneInstance second(lock);

    ASSERT_NO_FATAL_FAILURE(Start());
    wizard_.showMinimized();
    ASSERT_EQ(COneInstance::Role::kSecond, second.Claim());
    EXPECT_TRUE(second.ActivateOther(""));
    ASSERT_TRUE(QTest::qWaitFor([&] { return raised == 1; }));
    EXPECT_FALSE(wizard_.isMinimized());
    EXPECT_TRUE(frame.isHidden());

    // After Finish the main window is the one.
    wizard_.accept();
    frame.showMinimized();
    EXPECT_TRUE(second.ActivateOther(""));
    ASSERT_TRUE(QTest::qWaitFor([&] { return raised == 2; }));
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(wizard_.isHidden());
}

TEST_F(UserGuidePSTest, TheTestGrabWritesWizardPngOnce) {
    const std::string folder = test::MakeTempDir("grab");
    setenv("TALLOWMERE_TEST_GRAB", folder.c_str(), 1);
    RecordingHost host;
    CUserGuidePS wizard(host, users_, &usersMutex_);
    wizard.Start();
    const QString png = QString::fromStdString(folder + "/wizard.png");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(png); }));
    unsetenv("TALLOWMERE_TEST_GRAB");
    QImage shot(png);
    EXPECT_EQ(wizard.size(), shot.size());
}

}  // namespace
}  // namespace tallowmere::ui
