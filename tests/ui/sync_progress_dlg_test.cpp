#include "ui/sync_progress_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "ui/sync_events_adapter.h"
#include "ui/sync_events_receiver.h"

namespace tallowmere::ui {
namespace {

using Log = std::vector<std::string>;

QString Label(const QWidget& window, int id) {
    const auto* label = window.findChild<QLabel*>(QStringLiteral("id_%1").arg(id));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

// The adapter and its receiver, and what the window showed after each
// notice: a second queued connection runs right after the receiver's.
class SyncNoticesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(adapter_.Attach(receiver_));
        receiver_.SetViewHooks({{}, {}, [this] { seen_.push_back("reload"); }});
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncStatus, &spy_,
            [this](quint64, const QString&) { seen_.push_back(Shown()); }, Qt::QueuedConnection);
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncTitle, &spy_, [this] { seen_.push_back(Shown()); },
            Qt::QueuedConnection);
        QObject::connect(
            &adapter_, &SyncEventsAdapter::syncFinished, &spy_,
            [this] { seen_.push_back(Shown()); }, Qt::QueuedConnection);
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

    // Runs the calls on a thread of their own, as the sync server does, and
    // waits for them without handling a single event: none may wait for
    // this thread.
    void OnSyncThread(const std::function<void()>& calls) {
        std::future<void> done = std::async(std::launch::async, calls);
        ASSERT_EQ(std::future_status::ready, done.wait_for(std::chrono::seconds(10)));
    }

    SyncEventsAdapter adapter_;
    SyncEventsReceiver receiver_{adapter_};
    QObject spy_;
    Log seen_;
};

TEST_F(SyncNoticesTest, AWholeRunShowsItsTextsInOrderAndEndsWithEight) {
    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] {
        adapter_.OnSyncStarted();
        adapter_.OnSyncStatus("Starting Sync...");
    }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return seen_.size() == 1; }));
    CSyncProgressDlg* dialog = receiver_.ProgressDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Qt::ApplicationModal, dialog->windowModality());
    EXPECT_EQ(dialog, QApplication::activeModalWidget());

    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] {
        adapter_.OnSyncStatus("Receiving data from handheld...");
        // The device's name comes as Windows-1252.
        adapter_.OnSyncTitle("Synchronizing with Andr\xE9", 2);
        adapter_.OnSyncStatus("Comparing handheld data with desktop data...");
        adapter_.OnReloadData();
        adapter_.OnSyncStatus("Finishing ...");
        adapter_.OnSyncFinished(true);
    }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return seen_.size() == 7; }));
    EXPECT_EQ((Log{
                  "Tallowmere Desktop |  | Starting Sync...",
                  "Tallowmere Desktop |  | Receiving data from handheld...",
                  "Synchronizing with Andr\xC3\xA9 | Mode : Handheld overwrites Desktop | "
                  "Receiving data from handheld...",
                  "Synchronizing with Andr\xC3\xA9 | Mode : Handheld overwrites Desktop | "
                  "Comparing handheld data with desktop data...",
                  "reload",
                  "Synchronizing with Andr\xC3\xA9 | Mode : Handheld overwrites Desktop | "
                  "Finishing ...",
                  "<ended 8>",
              }),
              seen_);
    EXPECT_EQ(nullptr, QApplication::activeModalWidget());
}

TEST_F(SyncNoticesTest, ARunThatEndedBeforeTheWindowCouldOpenOpensNothing) {
    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] {
        adapter_.OnSyncStarted();
        adapter_.OnSyncStatus("Starting Sync...");
        adapter_.OnSyncStatus("Finishing ...");
        adapter_.OnSyncFinished(false);
    }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return seen_.size() == 3; }));
    EXPECT_EQ((Log{"<none>", "<none>", "<none>"}), seen_);
    EXPECT_FALSE(adapter_.IsRunning(1));

    // The next run opens its window as usual.
    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] { adapter_.OnSyncStarted(); }));
    EXPECT_TRUE(adapter_.IsRunning(2));
    ASSERT_TRUE(QTest::qWaitFor([this] { return receiver_.Progress().ShownRun() == 2; }));
    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] { adapter_.OnSyncFinished(true); }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return seen_.size() == 4; }));
    EXPECT_EQ("<ended 8>", seen_.back());
}

TEST_F(SyncNoticesTest, LateAndRepeatedNoticesNeverCloseAnotherRunsWindow) {
    ASSERT_NO_FATAL_FAILURE(OnSyncThread([this] {
        adapter_.OnSyncStarted();
        adapter_.OnSyncFinished(false);
        adapter_.OnSyncStarted();
    }));
    QTest::qWait(0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return receiver_.Progress().ShownRun() == 2; }));
    // Run 1's notices again, out of their turn.
    receiver_.HandleStarted(1);
    receiver_.HandleFinished(1, true);
    receiver_.HandleStatus(1, QStringLiteral("stale"));
    EXPECT_EQ(2u, receiver_.Progress().ShownRun());
    ASSERT_NE(nullptr, receiver_.ProgressDialog());
    EXPECT_TRUE(receiver_.ProgressDialog()->isVisible());
    EXPECT_EQ("", Label(*receiver_.ProgressDialog(), 1178));
    // Its own end, twice.
    receiver_.HandleFinished(2, true);
    receiver_.HandleFinished(2, true);
    EXPECT_FALSE(receiver_.ProgressDialog()->isVisible());
    EXPECT_EQ(8, receiver_.ProgressDialog()->result());
}

TEST(SyncProgressDlgTest, NeitherEscNorTheCloseBoxEndsIt) {
    CSyncProgressDlg dialog;
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    // The running bar.
    const auto* bar = dialog.findChild<QProgressBar*>("id_1177");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(0, bar->maximum());
    dialog.done(8);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(8, dialog.result());
}

TEST(SyncEventsAdapterTest, OneReceiverOnly) {
    SyncEventsAdapter adapter;
    SyncEventsReceiver first(adapter);
    SyncEventsReceiver second(adapter);
    EXPECT_TRUE(adapter.Attach(first));
    EXPECT_FALSE(adapter.Attach(second));
}

}  // namespace
}  // namespace tallowmere::ui
