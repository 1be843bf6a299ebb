// The main view against the real sync server and a simulated handheld over
// loopback: a sync that ends while a dialog is open reloads once the dialog
// has closed, and a sync that cannot have the view's busy lock gives up
// without touching a file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "exchange/desktop_load_options.h"
#include "model/preferences.h"
#include "sync/fake_handheld.h"
#include "sync/handheld_test_db.h"
#include "sync/sync_server_fixture.h"
#include "ui/about_dlg.h"
#include "ui/logic/tallowmere_app.h"
#include "ui/register_list_ctrl.h"
#include "ui/scripted_services.h"
#include "ui/sync_events_receiver.h"
#include "ui/tallowmere_view.h"

namespace tallowmere::ui {
namespace {

constexpr char kMergedPayee[] = "From the phone";

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = test::ReadFileBytes(entry.path().string());
    return files;
}

bool HasPayee(const CAccounts& data, const std::string& payee) {
    for (std::size_t i = 0; i < data.GetAccountCount(); ++i) {
        for (const auto& t : data.GetAccountAt(i)->Transactions()) {
            if (t->GetPayeeName() == payee)
                return true;
        }
    }
    return false;
}

class ViewSyncTest : public test::SyncServerTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::SyncServerTest::SetUp());
        // The known user's folder as the desktop writes it.
        std::filesystem::remove(knownFolder_ + "/Existing.wqm");
        std::filesystem::remove(knownFolder_ + "/CategoriesList.lst");
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(
            0, CAccounts::LoadInto(data, knownFolder_, DesktopLoadOptions(HeaderCipher::None())));
        SetPrefCurrentUser(test::kKnownSerial);
        CreateUserPrefsKey();
        app_.SetCurrentUser(users_.FindByFolderExact(test::kKnownSerial));
        view_ = std::make_unique<CTallowmereView>(app_);
        view_->resize(900, 600);
        view_->show();

        // A merge that adds one transaction to the first account.
        ASSERT_TRUE(view_->StartSync([this](handheld::SyncServerOptions given) {
            handheld::SyncServerOptions o = Options();
            o.events = given.events;
            o.busyLockTimeout = std::chrono::seconds(1);
            o.mergeRunner = [](const std::string& folder, const std::string& database,
                               handheld::MergeRunOptions) {
                std::unique_ptr<CAccounts> merged;
                if (CAccounts::LoadInto(merged, folder, DesktopLoadOptions(HeaderCipher::None())) !=
                    0)
                    return 5;
                auto t = std::make_unique<CTransaction>();
                t->SetPayeeName(kMergedPayee);
                t->SetAmount(1234);
                CAccount* account = merged->GetAccountAt(0);
                account->Transactions().push_back(std::move(t));
                account->RecalcBalances();
                test::WriteFileBytes(database, "merged database");
                return account->Save();
            };
            return std::make_unique<handheld::CHandheldSyncServer>(std::move(o));
        }));
        receiver_ = view_->SyncReceiver();
        ASSERT_NE(nullptr, receiver_);
    }
    void TearDown() override {
        view_.reset();
        app_.SetCurrentUser(nullptr);
        test::SyncServerTest::TearDown();
    }

    // One whole run; the handheld waits until the progress window is up.
    test::HandheldResult SyncHeld() {
        const quint64 run = ++runs_;
        platform::Socket peer = test::ConnectFrom("127.0.0.1", view_->SyncServer()->SyncPort());
        EXPECT_TRUE(peer.Valid());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return receiver_->Progress().ShownRun() == run; }, 10000));
        test::HandheldResult result;
        std::atomic<bool> done{false};
        std::thread phone([&] {
            result = test::FakeHandheld().RunOn(std::move(peer), test::KnownScript());
            done = true;
        });
        // The phone has heard its last word; the window closes with the run.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const CSyncProgressDlg* d = receiver_->ProgressDialog();
                return done && (d == nullptr || !d->isVisible());
            },
            30000));
        phone.join();
        return result;
    }

    test::ScriptedServices services_;
    CTallowmereApp app_;
    std::unique_ptr<CTallowmereView> view_;
    SyncEventsReceiver* receiver_ = nullptr;
};

TEST_F(ViewSyncTest, AReloadWaitsUntilTheAboutBoxCloses) {
    const CAccounts* before = &view_->Data();
    bool pendingInside = false;
    bool oldDataInside = false;
    test::HandheldResult result;
    services_.dialogScripts.push_back([&](QDialog&) {
        result = SyncHeld();
        QApplication::processEvents();
        pendingInside = view_->ReloadPending();
        oldDataInside = &view_->Data() == before && !HasPayee(view_->Data(), kMergedPayee);
        return 1;
    });
    RunAboutDialog(view_.get());
    EXPECT_EQ(test::kSuccessWords, result.words);
    EXPECT_TRUE(pendingInside);
    EXPECT_TRUE(oldDataInside);
    QTRY_VERIFY_WITH_TIMEOUT(!view_->ReloadPending(), 10000);
    EXPECT_NE(before, &view_->Data());
    EXPECT_TRUE(HasPayee(view_->Data(), kMergedPayee));
}

TEST_F(ViewSyncTest, ASyncThatCannotHaveTheBusyLockChangesNothing) {
    const auto files = Snapshot(knownFolder_);
    const CAccounts* before = &view_->Data();
    test::HandheldResult result;
    {
        CBusyLock lock(*view_);
        ASSERT_TRUE(lock.Held());
        result = SyncHeld();
    }
    EXPECT_EQ(test::Failed("00000005"), result.words);
    QApplication::processEvents();
    EXPECT_FALSE(view_->ReloadPending());
    EXPECT_EQ(before, &view_->Data());
    EXPECT_EQ(files, Snapshot(knownFolder_));
    EXPECT_FALSE(HasPayee(view_->Data(), kMergedPayee));
}

TEST_F(ViewSyncTest, ASyncMergesWhileAReportsDetailsAreOpenAndTheReloadWaitsForThem) {
    // The details only show: they hold no busy lock, so the run may merge.
    SetPrefLastBudgetBy(1);
    SetPrefShowEmptyItems(true);
    ASSERT_TRUE(view_->SelectPage(2));
    ASSERT_GT(view_->RegisterList()->GetItemCount(), 0);
    view_->RegisterList()->SetSelection(0, true);
    const CAccounts* before = &view_->Data();
    bool pendingInside = false;
    bool oldDataInside = false;
    test::HandheldResult result;
    services_.dialogScripts.push_back([&](QDialog& dialog) {
        EXPECT_EQ("id_144", dialog.objectName());
        result = SyncHeld();
        QApplication::processEvents();
        pendingInside = view_->ReloadPending();
        oldDataInside = &view_->Data() == before && !HasPayee(view_->Data(), kMergedPayee);
        return 1;
    });
    view_->OnReportDetails();
    EXPECT_EQ(test::kSuccessWords, result.words);
    EXPECT_TRUE(pendingInside);
    EXPECT_TRUE(oldDataInside);
    QTRY_VERIFY_WITH_TIMEOUT(!view_->ReloadPending(), 10000);
    EXPECT_NE(before, &view_->Data());
    EXPECT_TRUE(HasPayee(view_->Data(), kMergedPayee));
}

}  // namespace
}  // namespace tallowmere::ui
