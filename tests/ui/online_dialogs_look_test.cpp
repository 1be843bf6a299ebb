// Every online dialog as the user sees it, with real data: no button is
// narrower than its text and every control lies inside its dialog. With
// TALLOWMERE_SCREENSHOT_DIR set, each is also saved there as a PNG.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>

#include "exchange/fi_accounts_list.h"
#include "exchange/fi_list.h"
#include "scripted_services.h"
#include "ui/match_transaction_dlg.h"
#include "ui/online_account_info_dlg.h"
#include "ui/online_password_dlg.h"
#include "ui/online_progress_dlg.h"
#include "ui/online_setup_dlg.h"
#include "ui/online_summary_dlg.h"
#include "ui/review_transaction_dlg.h"
#include "ui/select_account_dlg.h"
#include "ui/select_bank_dlg.h"
#include "ui/transaction_box.h"
#include "ui_logic/download_review_fixture.h"

namespace tallowmere::ui {
namespace {

class OnlineDialogsLook : public test::DownloadReviewTest {
  protected:
    void SetUp() override {
        DownloadReviewTest::SetUp();
        SetDateFormatter([](PalmTime t, unsigned) {
            const DateFields f = DateFields::FromPalmTime(t);
            char text[32];
            std::snprintf(text, sizeof text, "%02d/%02d/%04d", f.month, f.day, f.year);
            return std::string(text);
        });
        for (int i = 0; i < 12; ++i)
            banks_.AddOrUpdate(i + 1, i == 0 ? "First Loopback Bank of the Northern Counties"
                                             : "Bank number " + std::to_string(i + 1));
        accounts_.OnBankAccount("021000021", "12345", "CHECKING");
        accounts_.OnBankAccount("021000021", "98765", "SAVINGS");
        accounts_.OnCreditCardAccount("4111000011112222");
        checking_->Header().SetOnlineEnabled(true);
        Account("Visa").Header().SetOnlineEnabled(true);
    }
    void TearDown() override {
        SetDateFormatter({});
        DownloadReviewTest::TearDown();
    }

    // Shows the dialog, checks its controls and saves its picture.
    void Look(QWidget& dialog, const char* name) {
        SCOPED_TRACE(name);
        dialog.show();
        dialog.adjustSize();
        QCoreApplication::processEvents();
        const QRect inside = dialog.rect();
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (!w->isVisible() || w->isWindow())
                continue;
            const QRect at(w->mapTo(&dialog, QPoint(0, 0)), w->size());
            EXPECT_TRUE(inside.contains(at)) << w->objectName().toStdString();
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_GE(button->width(), button->sizeHint().width())
                    << button->text().toStdString();
            }
            if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            }
        }
        if (const char* dir = std::getenv("TALLOWMERE_SCREENSHOT_DIR")) {
            QDir().mkpath(dir);
            dialog.grab().save(QDir(dir).filePath(QString::fromLatin1(name) + ".png"));
        }
    }

    test::ScriptedServices services_;
    CFiList banks_;
    CFiAccountsList accounts_;
};

TEST_F(OnlineDialogsLook, SetupAndItsPrompts) {
    OnlineSetupForm values;
    values.enabled = true;
    values.fiId = 1;
    values.bankName = "First Loopback Bank of the Northern Counties";
    values.customerId = "jsmith";
    values.account = {0, "12345", "021000021"};
    COnlineSetupDlg setup(*data_, banks_, values, "Checking");
    Look(setup, "153-online-setup");
    OnlineSetupForm off;
    COnlineSetupDlg setupOff(*data_, banks_, off, "Checking");
    Look(setupOff, "153-online-setup-off");

    COnlinePasswordDlg store("", nullptr);
    Look(store, "156-online-password");
    CGetOnlinePasswordDlg ask("Checking", nullptr);
    Look(ask, "1598-get-online-password");
    CSelectBankDlg bank(banks_, static_cast<CFiItem*>(banks_.GetAt(0)), nullptr);
    Look(bank, "154-select-bank");
    CSelectAccountDlg account(*data_, accounts_, 0, nullptr);
    Look(account, "155-select-account");
    COnlineAccountInfoDlg manual(*data_, {3, "4111000011112222", ""}, nullptr);
    Look(manual, "158-edit-account");
}

TEST_F(OnlineDialogsLook, ProgressSummariesReviewAndMatch) {
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    COnlineProgressDlg progress(&owner, kStrDownloadingTransactions);
    Look(progress, "157-online-progress");

    COnlineSummarySimpleDlg simple(12, 3, nullptr);
    Look(simple, "1597-online-summary-simple");
    COnlineSummaryDlg summary(CountDownloads(*checking_), nullptr);
    Look(summary, "159-online-summary");
    COnlineSummaryAllDlg all(*data_, nullptr, nullptr, nullptr);
    Look(all, "183-online-summary-all");
    CReviewTransactionDlg review(*data_, *checking_, nullptr, nullptr, nullptr, nullptr);
    Look(review, "160-review-transaction");
    CReviewTransactionDlg reviewNew(*data_, *checking_, d3_, nullptr, nullptr, nullptr);
    Look(reviewNew, "160-review-transaction-new");
    CMatchTransactionDlg match(*data_, *checking_, *d4_, nullptr);
    Look(match, "1596-match-transaction");
}

TEST_F(OnlineDialogsLook, MatchWithoutASelectionSaysSoAndNoMatchShowsTheNewQuestion) {
    CMatchTransactionDlg match(*data_, *checking_, *d4_, nullptr);
    match.show();
    match.List().SetSelection(-1, true);
    QTest::mouseClick(match.findChild<QPushButton*>(QStringLiteral("id_1130")), Qt::LeftButton);
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0].stringId, 164);
    EXPECT_NE(match.result(), 1);
    EXPECT_EQ(d4_->GetMatchId(), r3_->GetId());

    CReviewTransactionDlg review(*data_, *checking_, d1_, nullptr, nullptr, nullptr);
    review.show();
    services_.dialogScripts.push_back([](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("id_1131")), Qt::LeftButton);
        return d.result();
    });
    QTest::mouseClick(review.findChild<QPushButton*>(QStringLiteral("id_1117")), Qt::LeftButton);
    EXPECT_EQ(review.findChild<QLabel*>(QStringLiteral("id_1128"))->text(),
              "Do you want to accept the new transaction?");
    EXPECT_EQ(review.findChild<CTransactionBox*>(QStringLiteral("id_1134"))->Transaction(),
              nullptr);
    EXPECT_TRUE(r1_->GetMatchId().IsNull());
}

}  // namespace
}  // namespace tallowmere::ui
