// A statement downloaded from the fake bank under the progress window, then
// the summary, the review and the match dialogs as a user goes through
// them; and Cancel at each request of the download.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <chrono>

#include "exchange/online_banking_error.h"
#include "model/account_test_world.h"
#include "model/transaction_type.h"
#include "online_loopback_fixture.h"
#include "ui/match_transaction_dlg.h"
#include "ui/online_download.h"
#include "ui/online_summary_dlg.h"
#include "ui/review_transaction_dlg.h"
#include "ui/transaction_box.h"

namespace tallowmere::ui {
namespace {

using test::Day;
using test::MakeTx;

QPushButton* ButtonOf(QWidget& w, int id) {
    return w.findChild<QPushButton*>(QStringLiteral("id_%1").arg(id));
}

QString LabelText(QWidget& w, int id) {
    return w.findChild<QLabel*>(QStringLiteral("id_%1").arg(id))->text();
}

// The date of the requests is pinned; the ticks run, for the animation.
class PinnedDateClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 2, 10, 12, 0, 0}; }
    std::uint32_t TickCount() const override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
};

class Register final : public MReviewRegister {
  public:
    void RefreshRegister() override { ++refreshes; }
    int refreshes = 0;
};

class DownloadReviewTest : public test::OnlineLoopbackTest {
  protected:
    void SetUp() override {
        OnlineLoopbackTest::SetUp();
        platform::SetClock(&clock_);
        bank_item_ = list_->AddOrUpdate(1, "First Loopback Bank");
        checking_ = data_->FindAccountByName("Checking");
        ASSERT_NE(checking_, nullptr);
        AccountHeader& h = checking_->Header();
        h.SetType(tallowmere::kChecking);
        h.SetAccountNumber(test::kChecking);
        h.SetRoutingNumber(test::kBankId);
        h.SetCustomerId("jsmith");
        h.SetOnlineEnabled(true);
        h.SetFiId(1);
        r1_ = Enter(MakeTx(Day(2024, 1, 4), -4250, kStatusOpen, "Grocer"));
        r2_ = Enter(MakeTx(Day(2024, 1, 16), 150000, kStatusOpen, "Salary"));
        r3_ = Enter(MakeTx(Day(2024, 1, 17), 150000, kStatusOpen, "Salary, January"));
        ASSERT_EQ(checking_->Save(), 0);
        owner_.show();
    }

    void TearDown() override {
        platform::SetClock(nullptr);
        OnlineLoopbackTest::TearDown();
    }

    CTransaction* Enter(std::unique_ptr<CTransaction> t) {
        CTransaction* raw = t.get();
        EXPECT_EQ(checking_->AddTransaction(std::move(t)), 0);
        return raw;
    }

    int Download() {
        collection_.clear();
        return RunDownloadStatement(&owner_, *bank_item_, *checking_, test::kPassword,
                                    &collection_);
    }

    PinnedDateClock clock_;
    QWidget owner_;
    CFiItem* bank_item_ = nullptr;
    CAccount* checking_ = nullptr;
    CTransaction* r1_ = nullptr;
    CTransaction* r2_ = nullptr;
    CTransaction* r3_ = nullptr;
    std::vector<CTransaction*> collection_;
};

TEST_F(DownloadReviewTest, DownloadSummaryReviewMatchAndAcceptAsAUserDoes) {
    ASSERT_EQ(Download(), 0);
    EXPECT_TRUE(MessageIds().empty());
    ASSERT_EQ(collection_.size(), 3u);
    EXPECT_EQ(bank_item_->GetProgressWindow(), nullptr);

    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_159");
        EXPECT_EQ(LabelText(d, 1113), "3");
        EXPECT_EQ(LabelText(d, 1114), "2");
        EXPECT_EQ(LabelText(d, 1115), "1");
        QTest::mouseClick(ButtonOf(d, 1111), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([this](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_160");
        // The first by date: the grocer, matched to its entry.
        EXPECT_EQ(LabelText(d, 1128), "Do you want to accept the matched transaction?");
        EXPECT_EQ(ButtonOf(d, 1116)->text(), "Accept Match");
        EXPECT_EQ(LabelText(d, 1126), "1 of 3");
        QTest::mouseClick(ButtonOf(d, 1125), Qt::LeftButton);  // "<--" at the first
        EXPECT_EQ(services_.beeps, 1);
        QTest::mouseClick(ButtonOf(d, 1124), Qt::LeftButton);
        QTest::mouseClick(ButtonOf(d, 1124), Qt::LeftButton);
        EXPECT_EQ(LabelText(d, 1126), "3 of 3");
        QTest::mouseClick(ButtonOf(d, 1124), Qt::LeftButton);  // "-->" at the last
        EXPECT_EQ(services_.beeps, 2);
        auto* userBox = d.findChild<CTransactionBox*>(QStringLiteral("id_1134"));
        EXPECT_EQ(userBox->Transaction(), r2_);
        // The payroll belongs to the second entry: change the match.
        QTest::mouseClick(ButtonOf(d, 1117), Qt::LeftButton);
        EXPECT_EQ(userBox->Transaction(), r3_);
        // The landlord's check has no entry: accept it as new, then the rest.
        QTest::mouseClick(ButtonOf(d, 1125), Qt::LeftButton);
        EXPECT_EQ(LabelText(d, 1128), "Do you want to accept the new transaction?");
        EXPECT_EQ(ButtonOf(d, 1116)->text(), "Accept New");
        EXPECT_EQ(userBox->Transaction(), nullptr);
        QTest::mouseClick(ButtonOf(d, 1116), Qt::LeftButton);
        EXPECT_EQ(LabelText(d, 1126), "2 of 2");
        QTest::mouseClick(ButtonOf(d, 1116), Qt::LeftButton);
        QTest::mouseClick(ButtonOf(d, 1116), Qt::LeftButton);
        return d.result();
    });
    services_.dialogScripts.push_back([this](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_1596");
        auto& match = static_cast<CMatchTransactionDlg&>(d);
        // R1 is the grocer's download's: not offered.
        const std::vector<CTransaction*>& offered = match.Candidates();
        EXPECT_EQ(offered, (std::vector<CTransaction*>{r2_, r3_}));
        match.List().SetSelection(1, true);
        QTest::mouseClick(ButtonOf(d, 1130), Qt::LeftButton);
        return d.result();
    });
    Register view;
    EXPECT_EQ(RunOnlineSummary(&owner_, *data_, *checking_, &view, nullptr), kSummaryReview);
    EXPECT_TRUE(services_.dialogScripts.empty());
    EXPECT_EQ(view.refreshes, 3);
    EXPECT_EQ(checking_->CountTransactions(5), 0);

    // What the files hold: three entries with the bank's ids, and the check.
    std::unique_ptr<CAccounts> again;
    ASSERT_EQ(CAccounts::LoadInto(again, folder_, DesktopLoadOptions(HeaderCipher::None())), 0);
    const CAccount& saved = *again->FindAccountByName("Checking");
    std::map<std::string, std::string> byPayee;
    for (const auto& t : saved.Transactions())
        byPayee[t->GetPayeeName()] = t->GetOnlineId();
    EXPECT_EQ(
        byPayee,
        (std::map<std::string, std::string>{
            {"Grocer", "C1"}, {"Landlord", "C2"}, {"Salary", ""}, {"Salary, January", "C3"}}));
}

TEST_F(DownloadReviewTest, CancelAtEachRequestOfTheDownload) {
    struct Case {
        const char* what;
        test::StallRule request;
    };
    const Case cases[] = {
        {"the bank's details", test::IsBankDetails},
        {"the bank's profile", test::IsProfileRequest},
        {"the statement", test::IsStatementRequest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stall_ = c.request;
        QString status;
        const test::StallRule request = c.request;
        PressCancelWhen(
            owner_, [this, request] { return Received(request); }, &status);
        EXPECT_EQ(Download(), -1);
        EXPECT_EQ(status, "Downloading transaction data...");
        EXPECT_TRUE(MessageIds().empty()) << "Cancel is no error";
        EXPECT_TRUE(collection_.empty());
        EXPECT_EQ(checking_->CountTransactions(5), 0);
        EXPECT_TRUE(owner_.findChildren<COnlineProgressDlg*>().isEmpty());
        EXPECT_EQ(bank_item_->GetProgressWindow(), nullptr);
    }
    // Once the bank answers again, the download goes through.
    stall_ = nullptr;
    EXPECT_EQ(Download(), 0);
    EXPECT_EQ(collection_.size(), 3u);
}

TEST_F(DownloadReviewTest, SummaryOverAllAccountsSaysCloseOnceReviewed) {
    ASSERT_EQ(Download(), 0);
    data_->FindAccountByName("Savings")->Header().SetOnlineEnabled(true);
    services_.dialogScripts.push_back([this](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_183");
        auto& all = static_cast<COnlineSummaryAllDlg&>(d);
        EXPECT_EQ(ButtonOf(d, 1147)->text(), "Review Later");
        const int checkingRow = all.Summary().AccountAt(0) == checking_ ? 0 : 1;
        all.List().SetSelection(1 - checkingRow, true);
        QTest::mouseClick(ButtonOf(d, 1111), Qt::LeftButton);
        EXPECT_EQ(MessageIds(), (std::vector<int>{247}));
        all.List().SetSelection(checkingRow, true);
        QTest::mouseClick(ButtonOf(d, 1111), Qt::LeftButton);
        EXPECT_EQ(ButtonOf(d, 1147)->text(), "Close");
        return 1;
    });
    services_.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "id_160");
        QTest::mouseClick(ButtonOf(d, 1112), Qt::LeftButton);  // Accept All
        return d.result();
    });
    EXPECT_EQ(RunOnlineSummaryAll(&owner_, *data_, nullptr, nullptr), 1);
    EXPECT_TRUE(services_.dialogScripts.empty());
}

TEST_F(DownloadReviewTest, EditReadsTheTransactionAgainAndWritesNothingItself) {
    ASSERT_EQ(Download(), 0);
    class Editor final : public MTransactionEditor {
      public:
        bool EditTransaction(QWidget*, CAccount&, CTransaction& t) override {
            t.SetPayeeName("Edited Grocer");
            edited = &t;
            return true;
        }
        CTransaction* edited = nullptr;
    } editor;
    Register view;
    CReviewTransactionDlg dialog(*data_, *checking_, nullptr, &view, &editor);
    dialog.show();
    auto* bankBox = dialog.findChild<CTransactionBox*>(QStringLiteral("id_1133"));
    const std::string before = test::ReadFileBytes(checking_->GetPath());
    QTest::mouseClick(ButtonOf(dialog, 1004), Qt::LeftButton);
    ASSERT_NE(editor.edited, nullptr);
    EXPECT_EQ(bankBox->Transaction(), editor.edited);
    EXPECT_EQ(view.refreshes, 1);
    EXPECT_EQ(test::ReadFileBytes(checking_->GetPath()), before);
}

}  // namespace
}  // namespace tallowmere::ui
