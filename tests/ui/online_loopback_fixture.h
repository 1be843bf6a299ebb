#pragma once
// The online dialogs against the core's fake institution directory and
// fake bank, both on one loopback server over TLS with a certificate the
// client checks. A test can make any request of the exchange go unanswered
// (the server waits until the client hangs up) and press Cancel in the
// progress window while it waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "exchange/desktop_load_options.h"
#include "exchange/fi_list.h"
#include "exchange/fidb_client.h"
#include "exchange/ofx_client.h"
#include "exchange/ofx_fake_bank.h"
#include "exchange/ofx_fake_directory.h"
#include "exchange/ofx_loopback_test.h"
#include "model/accounts.h"
#include "model/client_uid_list.h"
#include "model/error_sink.h"
#include "model/preferences.h"
#include "platform/clock.h"
#include "scripted_services.h"
#include "ui/online_progress_dlg.h"
#include "ui/ui_error_sink.h"

namespace tallowmere::test {

// Which request goes unanswered.
using StallRule = std::function<bool(const FakeRequest&)>;

inline bool IsBankList(const FakeRequest& r) {
    return r.target.find("Action=banklist") != std::string::npos;
}
inline bool IsBankDetails(const FakeRequest& r) {
    return r.target.find("Action=bankdetail") != std::string::npos;
}
inline bool IsProfileRequest(const FakeRequest& r) {
    return r.target == "/ofx" && Has(r.body, "<PROFRQ>");
}
inline bool IsAccountListRequest(const FakeRequest& r) {
    return r.target == "/ofx" && Has(r.body, "<ACCTINFORQ>");
}
inline bool IsStatementRequest(const FakeRequest& r) {
    return r.target == "/ofx" && (Has(r.body, "<STMTRQ>") || Has(r.body, "<CCSTMTRQ>"));
}

inline int StandalonePlatform() {
    return 4;
}

class OnlineLoopbackTest : public OfxLoopbackTest {
  protected:
    void SetUp() override {
        OfxLoopbackTest::SetUp();
        server_ = std::make_unique<FakeHttpServer>(TlsServerOptions());
        server_->Handle("/server/ombrel.php", [this](FakeConnection& c, const FakeRequest& r) {
            if (stall_ && stall_(r))
                c.WaitForPeerClose();
            else
                c.Send(directory_.Answer(r));
        });
        server_->Handle("/ofx", [this](FakeConnection& c, const FakeRequest& r) {
            if (stall_ && stall_(r))
                c.WaitForPeerClose();
            else
                c.Send(HttpReply(bank_.Answer(r.body)));
        });
        directory_.SetBanks({{"1", "First Loopback Bank"}, {"2", "Second Savings Union"}});
        directory_.SetDetails("1", {"1", server_->Url("/ofx")});
        exchange::SetFidbHttpClient(http_.get());
        exchange::SetOfxTransport(transport_.get());
        SetPlatformNumberSource(&StandalonePlatform);
        CreatePrefsKeys();
        SetPrefFiDirectoryUrl(server_->Url(""));
        SetErrorSink(&sink_);
        folder_ = MakeTempDir("online");
        AccountsLoadFailure failure;
        ASSERT_EQ(
            CAccounts::LoadInto(data_, folder_, DesktopLoadOptions(HeaderCipher::None()), &failure),
            0)
            << failure.path;
        list_ = dynamic_cast<CFiList*>(data_->GetInstitutionList());
        ASSERT_NE(list_, nullptr);
    }

    void TearDown() override {
        SetErrorSink(nullptr);
        exchange::SetFidbHttpClient(nullptr);
        exchange::SetOfxTransport(nullptr);
        SetPlatformNumberSource(nullptr);
        EXPECT_EQ(ui::COnlineProgressDlg::OpenCount(), 0) << "a progress window was left open";
    }

    // Presses Cancel in the progress window over owner once ready() holds
    // and the window shows; the status it showed then goes to *status.
    void PressCancelWhen(QWidget& owner, std::function<bool()> ready, QString* status) {
        auto* timer = new QTimer(&owner);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [&owner, ready, status, timer] {
            auto* progress = owner.findChild<ui::COnlineProgressDlg*>();
            if (progress == nullptr || !progress->isVisible() || !ready())
                return;
            if (status != nullptr)
                *status = progress->findChild<QLabel*>(QStringLiteral("id_1108"))->text();
            // The owner stays usable: only the progress window is modal.
            EXPECT_TRUE(owner.isEnabled());
            EXPECT_EQ(progress->windowModality(), Qt::WindowModal);
            QTest::mouseClick(progress->findChild<QPushButton*>(QStringLiteral("id_2")),
                              Qt::LeftButton);
            timer->stop();
        });
        timer->start();
    }

    // Whether the server has received a request the rule names.
    bool Received(const StallRule& rule) const {
        for (const FakeRequest& r : server_->Requests()) {
            if (rule(r))
                return true;
        }
        return false;
    }

    std::vector<int> MessageIds() const {
        std::vector<int> ids;
        for (const ui::MessageRequest& m : services_.messages)
            ids.push_back(m.stringId);
        return ids;
    }

    ScriptedServices services_;
    ui::UiErrorSink sink_;
    std::unique_ptr<FakeHttpServer> server_;
    FakeDirectory directory_;
    FakeBank bank_;
    StallRule stall_;
    std::string folder_;
    std::unique_ptr<CAccounts> data_;
    CFiList* list_ = nullptr;
};

}  // namespace tallowmere::test
