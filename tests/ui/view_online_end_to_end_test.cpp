// Through the real view over its user's folder, against the fake directory
// and bank: a new account set up for online banking, a statement
// downloaded, summarized, reviewed, edited and matched, a scheduled item
// posted on the next load; what the files hold read back by the loader.
// And a sync's reload asked while the progress window is open waits for it.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "exchange/desktop_load_options.h"
#include "model/account_test_world.h"
#include "model/preferences.h"
#include "model/scheduled.h"
#include "model/transaction_type.h"
#include "online_loopback_fixture.h"
#include "ui/account_info_dlg.h"
#include "ui/dialog_hooks.h"
#include "ui/list_editor_ctrls.h"
#include "ui/list_editor_dlgs.h"
#include "ui/logic/account_info_logic.h"
#include "ui/logic/online_setup_logic.h"
#include "ui/logic/scheduled_item_logic.h"
#include "ui/logic/scheduled_list_logic.h"
#include "ui/logic/transaction_dialog_logic.h"
#include "ui/match_transaction_dlg.h"
#include "ui/online_download.h"
#include "ui/online_summary_dlg.h"
#include "ui/scheduled_list_ctrl.h"
#include "ui/scheduled_list_dlg.h"
#include "ui/select_account_dlg.h"
#include "ui/select_bank_dlg.h"
#include "view_fixture.h"

namespace tallowmere::ui {
namespace {

using test::Day;
using test::MakeTx;

QPushButton* ButtonOf(const QWidget& w, int id) {
    return w.findChild<QPushButton*>(QStringLiteral("id_%1").arg(id));
}

template <typename W>
W* Control(const QWidget& w, int id) {
    return w.findChild<W*>(QStringLiteral("id_%1").arg(id));
}

void SaveShot(QWidget& widget, const char* name) {
    const QImage image = widget.grab().toImage();
    EXPECT_FALSE(image.isNull());
    if (const QByteArray dir = qgetenv("TALLOWMERE_SHOTS"); !dir.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromUtf8(name)));
}

// The requests' date is pinned; the ticks run, for the animation.
class PinnedDateClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 2, 10, 12, 0, 0}; }
    std::uint32_t TickCount() const override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
};

constexpr char kNewAccount[] = "Loopback Checking";

class ViewOnlineEndToEndTest : public test::OnlineLoopbackTest {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", test::MakeTempDir("config").c_str(), 1);
        platform::SetRegistryStorePath("");
        OnlineLoopbackTest::SetUp();
        platform::SetClock(&clock_);
        test::InstallFixedDateFormat();
        QApplication::setFont(test::ListTestFont());
        fixture_ = test::BuildLedgerFixture();
        fixture_.data.reset();
        user_ = test::MakeFolderUser("Ann Example", "ann", fixture_.folder);
        SetPrefCurrentUser(user_->GetFolderName());
        CreateUserPrefsKey();
        app_.SetCurrentUser(user_.get());
        view_ = std::make_unique<CTallowmereView>(app_);
        view_->resize(1000, 700);
        view_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        QApplication::processEvents();
    }

    void TearDown() override {
        view_.reset();
        app_.SetCurrentUser(nullptr);
        SetDateFormatter({});
        platform::SetClock(nullptr);
        OnlineLoopbackTest::TearDown();
    }

    CFiList& Banks() const {
        auto* list = dynamic_cast<CFiList*>(view_->Data().GetInstitutionList());
        EXPECT_NE(list, nullptr);
        return *list;
    }

    // The account of the view's data set by name (after a reload, the new
    // set's).
    CAccount* Account(const char* name) const { return view_->Data().FindAccountByName(name); }

    // Reads the folder as the next start would.
    std::unique_ptr<CAccounts> LoadFolder() const {
        std::unique_ptr<CAccounts> again;
        EXPECT_EQ(
            CAccounts::LoadInto(again, fixture_.folder, DesktopLoadOptions(app_.GetHeaderCipher())),
            0);
        return again;
    }

    int CountPayee(const CAccount& account, const std::string& payee) const {
        int n = 0;
        for (const auto& t : account.Transactions())
            n += t->GetPayeeName() == payee ? 1 : 0;
        return n;
    }

    PinnedDateClock clock_;
    test::LedgerFixture fixture_;
    std::unique_ptr<CUserItem> user_;
    CTallowmereApp app_;
    std::unique_ptr<CTallowmereView> view_;
};

TEST_F(ViewOnlineEndToEndTest, NewAccountOnlineSetupDownloadReviewAndAScheduledItemPosted) {
    CTallowmereView& view = *view_;

    // --- a new account, set up for online banking ---
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_134");
        Control<QLineEdit>(d, kAccountName)->setText(QString::fromLatin1(kNewAccount));
        QTest::mouseClick(ButtonOf(d, kAccountOnlineSetup), Qt::LeftButton);
        SaveShot(d, "e2e_account_info.png");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_153");
        auto* enable = Control<QCheckBox>(d, kSetupEnable);
        if (!enable->isChecked())
            QTest::mouseClick(enable, Qt::LeftButton, {}, QPoint(4, enable->height() / 2));
        EXPECT_TRUE(enable->isChecked());
        QTest::mouseClick(ButtonOf(d, kSetupSelectBank), Qt::LeftButton);
        Control<QLineEdit>(d, kSetupCustomerId)->setText("jsmith");
        QTest::mouseClick(ButtonOf(d, kSetupSelectAccount), Qt::LeftButton);
        SaveShot(d, "e2e_online_setup.png");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_154");
        auto& banks = static_cast<CSelectBankDlg&>(d).List();
        EXPECT_EQ(banks.GetItemCount(), 2);
        banks.SetSelection(0, true);
        SaveShot(d, "e2e_select_bank.png");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_1598");
        EXPECT_EQ(Control<QLabel>(d, 1148)->text().trimmed(),
                  "Please enter the password for this account.");
        Control<QLineEdit>(d, kSetupPassword)->setText(QString::fromLatin1(test::kPassword));
        return 1;
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_155");
        auto& accounts = static_cast<CSelectAccountDlg&>(d).List();
        EXPECT_EQ(accounts.GetItemCount(), 2);
        accounts.SetSelection(0, true);
        SaveShot(d, "e2e_select_account.png");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    const AccountInfoOutcome created =
        RunAccountInfoDialog(&view, view.Data(), nullptr, fixture_.folder, view.Icons(),
                             AccountOnlineSetup(view.Data(), nullptr));
    EXPECT_TRUE(services_.dialogScripts.empty());
    EXPECT_TRUE(MessageIds().empty());
    ASSERT_EQ(created.code, 1);
    ASSERT_NE(created.account, nullptr);
    CAccount& account = *created.account;
    EXPECT_EQ(Account(kNewAccount), &account);
    EXPECT_TRUE(account.Header().GetOnlineEnabled());
    EXPECT_EQ(account.Header().GetFiId(), 1);
    EXPECT_EQ(account.Header().GetAccountNumber(), test::kChecking);
    EXPECT_EQ(account.Header().GetRoutingNumber(), test::kBankId);
    EXPECT_EQ(account.Header().GetCustomerId(), "jsmith");

    // The register holds what the user entered before the statement came.
    const auto enter = [&account](std::unique_ptr<CTransaction> t) {
        CTransaction* raw = t.get();
        EXPECT_EQ(account.AddTransaction(std::move(t)), 0);
        return raw;
    };
    enter(MakeTx(Day(2024, 1, 4), -4250, kStatusOpen, "Grocer"));
    CTransaction* salary = enter(MakeTx(Day(2024, 1, 16), 150000, kStatusOpen, "Salary"));
    CTransaction* salaryJanuary =
        enter(MakeTx(Day(2024, 1, 17), 150000, kStatusOpen, "Salary, January"));
    ASSERT_EQ(account.Save(), 0);

    // --- the statement, under the progress window ---
    CFiItem* bank = Banks().FindByFiId(1);
    ASSERT_NE(bank, nullptr);
    std::vector<CTransaction*> collection;
    ASSERT_EQ(RunDownloadStatement(&view, *bank, account, test::kPassword, &collection), 0);
    EXPECT_TRUE(MessageIds().empty());
    EXPECT_EQ(collection.size(), 3u);
    EXPECT_EQ(COnlineProgressDlg::OpenCount(), 0);

    // --- the summary, the review with an edit and a change of match ---
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_159");
        SaveShot(d, "e2e_online_summary.png");
        QTest::mouseClick(ButtonOf(d, 1111), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_160");
        EXPECT_EQ(Control<QLabel>(d, 1126)->text(), "1 of 3");
        // Edit opens the transaction dialog on the grocer's download.
        QTest::mouseClick(ButtonOf(d, 1004), Qt::LeftButton);
        EXPECT_EQ(Control<QLabel>(d, 1126)->text(), "1 of 3");
        SaveShot(d, "e2e_review.png");
        QTest::mouseClick(ButtonOf(d, 1124), Qt::LeftButton);
        QTest::mouseClick(ButtonOf(d, 1124), Qt::LeftButton);
        QTest::mouseClick(ButtonOf(d, 1117), Qt::LeftButton);  // the payroll's entry
        QTest::mouseClick(ButtonOf(d, 1112), Qt::LeftButton);  // Accept All
        return d.result();
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_133");
        Control<QLineEdit>(d, kTransMemo)->setText("Checked in review");
        QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_1596");
        auto& match = static_cast<CMatchTransactionDlg&>(d);
        EXPECT_EQ(match.Candidates(), (std::vector<CTransaction*>{salary, salaryJanuary}));
        match.List().SetSelection(1, true);
        SaveShot(d, "e2e_match.png");
        QTest::mouseClick(ButtonOf(d, 1130), Qt::LeftButton);
        return d.result();
    });
    CReviewTransactionEditor editor(view.Data());
    CViewReviewRegister reviewRegister(view);
    RunOnlineSummary(&view, view.Data(), account, &reviewRegister, &editor);
    EXPECT_TRUE(services_.dialogScripts.empty());
    EXPECT_TRUE(MessageIds().empty());
    EXPECT_EQ(account.CountTransactions(5), 0);

    // --- a scheduled item: first entered by hand, then automatically ---
    const auto editScheduled = [&](bool isNew, int enterMode) {
        services_.dialogScripts.push_back([isNew](QDialog& d) {
            EXPECT_EQ(d.objectName(), "id_1590");
            if (!isNew) {
                auto& list = static_cast<CScheduledListDlg&>(d).List();
                for (int row = 0; row < list.GetItemCount(); ++row) {
                    if (static_cast<const CScheduledItem*>(list.GetItemObject(row))->GetPayee() ==
                        "Loopback Rent")
                        list.SetSelection(row, true);
                }
            }
            QTest::mouseClick(ButtonOf(d, isNew ? kScheduledNew : kScheduledEdit), Qt::LeftButton);
            SaveShot(d, "e2e_scheduled_list.png");
            QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
            return d.result();
        });
        services_.dialogScripts.push_back([this, isNew, enterMode](QDialog& d) {
            EXPECT_EQ(d.objectName(), "id_1589");
            if (isNew) {
                // The category button opens the category list; Done puts
                // the chosen row in the field.
                QString chosen;
                services_.dialogScripts.push_front([&chosen](QDialog& list) {
                    EXPECT_EQ(list.objectName(), "id_1593");
                    auto& editor = static_cast<CListEditorDlg&>(list);
                    editor.List().SetSelection(0, true);
                    QTest::mouseClick(ButtonOf(list, 1), Qt::LeftButton);
                    chosen = editor.ChosenName();
                    return list.result();
                });
                QTest::mouseClick(Control<QAbstractButton>(d, kScheduledCategoryList),
                                  Qt::LeftButton);
                EXPECT_FALSE(chosen.isEmpty());
                EXPECT_EQ(Control<QComboBox>(d, kScheduledCategory)->currentText(), chosen);
                Control<QComboBox>(d, kScheduledPayee)->setEditText("Loopback Rent");
                Control<QLineEdit>(d, kScheduledAmount)->setText("75.00");
                auto* accountCombo = Control<QComboBox>(d, kScheduledAccount);
                accountCombo->setCurrentIndex(
                    accountCombo->findText(QString::fromLatin1(kNewAccount)));
            }
            Control<QComboBox>(d, kScheduledEnter)->setCurrentIndex(enterMode);
            SaveShot(d, "e2e_scheduled_item.png");
            QTest::mouseClick(ButtonOf(d, 1), Qt::LeftButton);
            return d.result();
        });
        RunScheduledListDialog(&view, view.Data(), Account(kNewAccount),
                               ScheduledListEditors(view.Data()));
        EXPECT_TRUE(services_.dialogScripts.empty());
        EXPECT_TRUE(MessageIds().empty());
        view.ReloadData();
        QApplication::processEvents();
        EXPECT_FALSE(view.ReloadPending());
    };
    // Due today, entered by hand (index 0): the load leaves it.
    editScheduled(true, 0);
    ASSERT_NE(Account(kNewAccount), nullptr);
    EXPECT_EQ(CountPayee(*Account(kNewAccount), "Loopback Rent"), 0);
    // Index 1: the load posts it.
    editScheduled(false, 1);
    ASSERT_NE(Account(kNewAccount), nullptr);
    EXPECT_EQ(CountPayee(*Account(kNewAccount), "Loopback Rent"), 1);

    // --- what the files hold ---
    const std::unique_ptr<CAccounts> again = LoadFolder();
    ASSERT_NE(again, nullptr);
    const CAccount* saved = again->FindAccountByName(kNewAccount);
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(saved->Header().GetOnlineEnabled());
    EXPECT_EQ(saved->Header().GetAccountNumber(), test::kChecking);
    std::map<std::string, std::string> byPayee;
    std::string grocerMemo;
    const CTransaction* rent = nullptr;
    for (const auto& t : saved->Transactions()) {
        byPayee[t->GetPayeeName()] = t->GetOnlineId();
        if (t->GetPayeeName() == "Grocer")
            grocerMemo = t->GetMemo();
        if (t->GetPayeeName() == "Loopback Rent")
            rent = t.get();
    }
    EXPECT_EQ(byPayee, (std::map<std::string, std::string>{{"Grocer", "C1"},
                                                           {"Landlord", "C2"},
                                                           {"Salary", ""},
                                                           {"Salary, January", "C3"},
                                                           {"Loopback Rent", ""}}));
    EXPECT_EQ(grocerMemo, "Checked in review");
    ASSERT_NE(rent, nullptr);
    EXPECT_EQ(rent->GetSignedAmount(), -7500);
    EXPECT_TRUE(IsSameDay(rent->GetDate(), Day(2024, 2, 10)));
    ASSERT_EQ(again->Scheduled().GetCount(false), view.Data().Scheduled().GetCount(false));
}

TEST_F(ViewOnlineEndToEndTest, ASyncReloadAskedDuringTheDownloadRunsOnceAfterItsWindowCloses) {
    CAccount* checking = Account("Checking");
    ASSERT_NE(checking, nullptr);
    Banks().AddOrUpdate(1, "First Loopback Bank");
    AccountHeader& h = checking->Header();
    h.SetAccountNumber(test::kChecking);
    h.SetRoutingNumber(test::kBankId);
    h.SetCustomerId("jsmith");
    h.SetOnlineEnabled(true);
    h.SetFiId(1);
    ASSERT_EQ(checking->Save(), 0);

    // The bank holds the statement back until the sync's notices are in.
    std::atomic<bool> release{false};
    server_->Handle("/ofx", [this, &release](test::FakeConnection& c, const test::FakeRequest& r) {
        for (int i = 0; i < 1000 && test::IsStatementRequest(r) && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        c.Send(test::HttpReply(bank_.Answer(r.body)));
    });
    const int waiting = checking->CountTransactions(5);
    const CAccounts* before = &view_->Data();
    bool pendingWhileOpen = false;
    bool sameDataWhileOpen = false;
    auto* timer = new QTimer(view_.get());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [&, timer] {
        auto* progress = view_->findChild<COnlineProgressDlg*>();
        if (progress == nullptr || !progress->isVisible() || !Received(test::IsStatementRequest))
            return;
        timer->stop();
        view_->ReloadData();
        view_->ReloadData();
        QApplication::processEvents();
        pendingWhileOpen = view_->ReloadPending();
        sameDataWhileOpen = &view_->Data() == before;
        release = true;
    });
    timer->start();
    std::vector<CTransaction*> collection;
    EXPECT_EQ(RunDownloadStatement(view_.get(), *Banks().FindByFiId(1), *checking, test::kPassword,
                                   &collection),
              0);
    EXPECT_TRUE(release);
    EXPECT_TRUE(pendingWhileOpen);
    EXPECT_TRUE(sameDataWhileOpen) << "the set under the exchange was swapped";
    // The statement went into the account the download was started on.
    EXPECT_EQ(collection.size(), 3u);
    EXPECT_EQ(checking->CountTransactions(5), waiting + 3);
    EXPECT_EQ(COnlineProgressDlg::OpenCount(), 0);
    EXPECT_TRUE(view_->ReloadPending());
    // The command saves the account before it goes back to the event loop.
    ASSERT_EQ(checking->Save(), 0);
    QApplication::processEvents();
    EXPECT_FALSE(view_->ReloadPending());
    EXPECT_NE(&view_->Data(), before);
    EXPECT_EQ(view_->BusyDepth(), 0);
    ASSERT_NE(Account("Checking"), nullptr);
    EXPECT_EQ(Account("Checking")->CountTransactions(5), waiting + 3);
}

TEST_F(ViewOnlineEndToEndTest, AProfileTheBankRefusesIsShownAndItsProgressWindowCloses) {
    CAccount* checking = Account("Checking");
    ASSERT_NE(checking, nullptr);
    Banks().AddOrUpdate(1, "First Loopback Bank");
    AccountHeader& h = checking->Header();
    h.SetAccountNumber(test::kChecking);
    h.SetRoutingNumber(test::kBankId);
    h.SetCustomerId("jsmith");
    h.SetOnlineEnabled(true);
    h.SetFiId(1);
    server_->Handle("/ofx", [](test::FakeConnection& c, const test::FakeRequest& r) {
        if (test::IsProfileRequest(r))
            c.Send(
                "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                "Connection: close\r\n\r\n");
        else
            c.WaitForPeerClose();
    });
    std::vector<CTransaction*> collection;
    EXPECT_NE(RunDownloadStatement(view_.get(), *Banks().FindByFiId(1), *checking, test::kPassword,
                                   &collection),
              0);
    EXPECT_EQ(MessageIds().size(), 1u) << "the failure is said once";
    EXPECT_FALSE(Received(test::IsStatementRequest));
    EXPECT_TRUE(collection.empty());
    EXPECT_EQ(COnlineProgressDlg::OpenCount(), 0);
    EXPECT_TRUE(view_->findChildren<COnlineProgressDlg*>().isEmpty());
    EXPECT_EQ(Banks().FindByFiId(1)->GetProgressWindow(), nullptr);
    EXPECT_TRUE(view_->isEnabled());
    EXPECT_EQ(view_->BusyDepth(), 0);
}

}  // namespace
}  // namespace tallowmere::ui
