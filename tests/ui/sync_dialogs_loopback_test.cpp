// The sync dialogs against the real sync server and a simulated handheld
// over loopback: the notices cross from the sync thread through the adapter
// to the progress window and the setup wizard.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <string>
#include <thread>
#include <vector>

#include "sync/fake_handheld.h"
#include "sync/handheld_test_db.h"
#include "sync/sync_server_fixture.h"
#include "ui/sync_events_adapter.h"
#include "ui/sync_events_receiver.h"
#include "ui/user_guide_ps.h"

namespace tallowmere::ui {
namespace {

using Log = std::vector<std::string>;

struct RecordingHost final : MUserGuideHost {
    bool SwitchUser(const std::string& folderName) override {
        calls.push_back("switch:" + folderName);
        return true;
    }
    void ShowMainWindow() override { calls.push_back("show"); }
    void Quit() override { calls.push_back("quit"); }
    std::vector<std::string> calls;
};

QString Label(const QWidget& window, int id) {
    const auto* label = window.findChild<QLabel*>(QStringLiteral("id_%1").arg(id));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

class SyncDialogsLoopbackTest : public test::SyncServerTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::SyncServerTest::SetUp());
        ASSERT_TRUE(adapter_.Attach(receiver_));
        receiver_.SetViewHooks({{}, {}, [this] { seen_.push_back("reload"); }});
        // Queued after the receiver's own: each sees what a notice left.
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncStatus, &spy_, [this] { seen_.push_back(Shown()); },
            Qt::QueuedConnection);
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncTitle, &spy_, [this] { seen_.push_back(Shown()); },
            Qt::QueuedConnection);
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncFinished, &spy_,
            [this](quint64 run) {
                seen_.push_back(Shown());
                finished_ = run;
            },
            Qt::QueuedConnection);
        handheld::SyncServerOptions o = Options();
        o.events = &adapter_;
        ASSERT_NO_FATAL_FAILURE(Start(o));
    }
    void TearDown() override {
        // The server goes before the adapter it calls.
        server_.reset();
        test::SyncServerTest::TearDown();
    }

    std::string Shown() const {
        const CSyncProgressDlg* dialog = receiver_.ProgressDialog();
        if (dialog == nullptr)
            return "<none>";
        if (!dialog->isVisible())
            return "<ended " + std::to_string(dialog->result()) + ">";
        return (dialog->windowTitle() + " | " + Label(*dialog, 1212) + " | " + Label(*dialog, 1178))
            .toStdString();
    }

    // One whole run. The handheld connects and is held until the progress
    // window has opened for the run, which is then certain to be running.
    test::HandheldResult SyncHeld(const test::HandheldScript& script) {
        const quint64 run = ++runs_;
        platform::Socket peer = test::ConnectFrom("127.0.0.1", server_->SyncPort());
        EXPECT_TRUE(peer.Valid());
        EXPECT_TRUE(QTest::qWaitFor([&] { return receiver_.Progress().ShownRun() == run; }, 10000));
        test::HandheldResult result;
        std::thread phone([&] { result = test::FakeHandheld().RunOn(std::move(peer), script); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished_ == run; }, 30000));
        phone.join();
        return result;
    }

    SyncEventsAdapter adapter_;
    SyncEventsReceiver receiver_{adapter_};
    QObject spy_;
    Log seen_;
    quint64 finished_ = 0;
};

TEST_F(SyncDialogsLoopbackTest, AWholeSyncShowsItsTextsInOrderAndCloses) {
    const test::HandheldResult r = SyncHeld(Known());
    EXPECT_EQ(test::kSuccessWords, r.words);
    const std::string during = "Synchronizing with Known phone | Mode : Synchronize | ";
    EXPECT_EQ((Log{
                  "Tallowmere Desktop |  | Starting Sync...",
                  "Tallowmere Desktop |  | Receiving data from handheld...",
                  during + "Receiving data from handheld...",
                  during + "Comparing handheld data with desktop data...",
                  during + "Writing updated data to desktop",
                  during + "Sending updated data to handheld",
                  "reload",
                  during + "Finishing ...",
                  "<ended 8>",
              }),
              seen_);
}

class FirstRunLoopbackTest : public SyncDialogsLoopbackTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SyncDialogsLoopbackTest::SetUp());
        receiver_.SetUserGuide(&wizard_);
        wizard_.Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard_));
        wizard_.next();
        ASSERT_TRUE(QTest::qWaitFor([this] {
            return wizard_.currentId() == 1 && !wizard_.button(QWizard::NextButton)->isEnabled();
        }));
        phone_.database = test::HandheldDatabase("New phone", "NEW-SERIAL", "");
    }

    RecordingHost host_;
    CUserGuidePS wizard_{host_, users_, &usersMutex_};
    test::HandheldScript phone_;
};

TEST_F(FirstRunLoopbackTest, ANewDevicesSyncLeadsTheWizardOnToItsUser) {
    // The window holds the wizard while the run goes on.
    QWidget* parent = nullptr;
    QObject::connect(
        &adapter_, &SyncEventsAdapter::syncTitle, &spy_,
        [&] { parent = receiver_.ProgressDialog()->parentWidget(); }, Qt::QueuedConnection);
    EXPECT_EQ(test::kSuccessWords, SyncHeld(phone_).words);
    EXPECT_EQ(&wizard_, parent);
    EXPECT_EQ("<ended 8>", seen_.back());

    ASSERT_TRUE(
        QTest::qWaitFor([this] { return wizard_.button(QWizard::NextButton)->isEnabled(); }));
    EXPECT_FALSE(wizard_.button(QWizard::BackButton)->isEnabled());
    wizard_.next();
    ASSERT_TRUE(QTest::qWaitFor([this] { return wizard_.currentId() == 2; }));
    EXPECT_EQ("Congratulations! You have created New phone", Label(*wizard_.page(2), 1179));
    wizard_.accept();
    EXPECT_EQ((std::vector<std::string>{"switch:NEW-SERIAL", "show"}), host_.calls);
}

TEST_F(FirstRunLoopbackTest, AFailedFirstSyncLeavesTheWizardWaiting) {
    merge_.result = 5;
    EXPECT_EQ(test::Failed("00000005"), SyncHeld(phone_).words);
    EXPECT_EQ("<ended 8>", seen_.back());
    // The user that run made is gone, and Next stays off.
    EXPECT_EQ(nullptr, users_.FindByFolderExact("NEW-SERIAL"));
    QTest::qWait(0);
    EXPECT_EQ(1, wizard_.currentId());
    EXPECT_FALSE(wizard_.button(QWizard::NextButton)->isEnabled());
    EXPECT_TRUE(wizard_.button(QWizard::BackButton)->isEnabled());
    EXPECT_EQ("", Label(*wizard_.page(2), 1179));
}

}  // namespace
}  // namespace tallowmere::ui
