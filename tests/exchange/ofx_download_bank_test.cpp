// A small fake OFX bank (ofx_fake_bank.h) on the loopback fake server: it
// reads each request with plain string search (not our SGML reader), records
// what it read, and answers profile, account-information and statement
// requests over verified TLS, so that the client is checked against replies
// it did not write.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "exchange/ofx_client.h"
#include "exchange/ofx_http_transport.h"
#include "exchange/win32_http.h"
#include "http_fake_server.h"
#include "ofx_fake_bank.h"
#include "ofx_loopback_test.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::Certificates;
using test::FakeConnection;
using test::FakeHttpServer;
using test::FakeRequest;

using test::BankRequest;
using test::BankTxn;
using test::FakeBank;
using test::Has;
using test::kBankId;
using test::kCard;
using test::kChecking;
using test::kPassword;

// Every slot of every handler kind, recorded as one line each.
class Recorder : public COfxClient::MGetProfileEventHandler,
                 public COfxClient::MGetAccountInfoEventHandler,
                 public COfxClient::MGetStatementEventHandler {
  public:
    std::vector<std::string> events;

    bool Progress(int) override { return true; }
    std::int32_t OnProfile(std::string_view text) override {
        profileText = std::string(text);
        return Add("profile");
    }
    std::int32_t OnClientUidRequired(int value) override {
        return Add("clientuid " + std::to_string(value));
    }
    std::int32_t OnBankAccount(std::string_view bankId, std::string_view accountId,
                               std::string_view accountType) override {
        return Add("bank " + std::string(bankId) + " " + std::string(accountId) + " " +
                   std::string(accountType));
    }
    std::int32_t OnCreditCardAccount(std::string_view accountId) override {
        return Add("card " + std::string(accountId));
    }
    std::int32_t OnStatementAccount(std::string_view account) override {
        return Add("account " + std::string(account));
    }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type, std::optional<std::string_view>,
                                        std::string_view name, std::optional<std::string_view>,
                                        std::string_view fitId) override {
        return Add("trn " + std::string(date) + " " + std::string(amount) + " " +
                   std::string(type) + " " + std::string(name) + " " + std::string(fitId));
    }
    std::int32_t OnStatementEnd(std::string_view dtEnd) override {
        return Add("end " + std::string(dtEnd));
    }
    std::int32_t OnLedgerBalance(std::string_view amount) override {
        return Add("balance " + std::string(amount));
    }

    std::string profileText;

  private:
    std::int32_t Add(std::string event) {
        events.push_back(std::move(event));
        return 0;
    }
};

class OfxFakeBankTest : public test::OfxLoopbackTest {
  protected:
    void SetUp() override {
        OfxLoopbackTest::SetUp();
        server_ = std::make_unique<FakeHttpServer>(test::TlsServerOptions());
        bank_.Attach(*server_, "/ofx");
        url_ = server_->Url("/ofx");
    }

    OfxServerLogin Login(std::string_view password = kPassword) const {
        OfxServerLogin login;
        login.userId = "jsmith";
        login.password = password;
        login.url = url_;
        login.org = "Fake Bank";
        login.fid = "1234";
        return login;
    }

    bool Statement(COfxClient& client, bool card, std::string_view account, std::string_view start,
                   std::string_view password = kPassword) {
        return client.GetStatement(Login(password), card ? "" : kBankId, account,
                                   card ? "" : "CHECKING", start, recorder_, false, "");
    }

    std::unique_ptr<FakeHttpServer> server_;
    FakeBank bank_;
    Recorder recorder_;
    std::string url_;
};

TEST_F(OfxFakeBankTest, ProfileReachesTheProfileSlots) {
    COfxClient client(*transport_);
    ASSERT_TRUE(client.GetProfile(Login(), recorder_, true)) << client.GetLastError();
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{"profile", "clientuid 1"}));
    EXPECT_EQ(recorder_.profileText.rfind("<PROFRS>", 0), 0u) << recorder_.profileText;
    EXPECT_TRUE(Has(recorder_.profileText, "20240115093000")) << recorder_.profileText;
    EXPECT_TRUE(Has(recorder_.profileText, "Fake Bank")) << recorder_.profileText;
    const auto requests = bank_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, "profile");
}

TEST_F(OfxFakeBankTest, AccountInfoReportsTheBankAndTheCardAccount) {
    COfxClient client(*transport_);
    ASSERT_TRUE(client.GetAccountInfo(Login(), recorder_, false, "")) << client.GetLastError();
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{
                                    std::string("bank ") + kBankId + " " + kChecking + " CHECKING",
                                    std::string("card ") + kCard,
                                }));
    const auto requests = bank_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, "acctinfo");
    EXPECT_EQ(requests[0].userPass, kPassword);
    EXPECT_EQ(requests[0].rawUserPass, "p&lt;a&amp;ss");
}

TEST_F(OfxFakeBankTest, StatementsHonourTheStartDate) {
    struct Case {
        const char* what;
        bool card;
        const char* account;
        const char* start;
        std::vector<std::string> transactions;
    };
    const Case cases[] = {
        {"bank, whole month",
         false,
         kChecking,
         "20240101",
         {"trn 20240105 -42.50 DEBIT Corner Grocer C1", "trn 20240110 -100.00 DEBIT Landlord C2",
          "trn 20240115 1500.00 CREDIT Payroll C3"}},
        {"bank, from the day of a transaction",
         false,
         kChecking,
         "20240110",
         {"trn 20240110 -100.00 DEBIT Landlord C2", "trn 20240115 1500.00 CREDIT Payroll C3"}},
        {"bank, after the last", false, kChecking, "20240116000000", {}},
        {"card, with a time",
         true,
         kCard,
         "20240101120000",
         {"trn 20240102 -25.00 DEBIT Bookshop K2", "trn 20240120 40.00 CREDIT Refund K3"}},
        {"card, from last year",
         true,
         kCard,
         "20231201",
         {"trn 20231230 -9.99 DEBIT Streaming K1", "trn 20240102 -25.00 DEBIT Bookshop K2",
          "trn 20240120 40.00 CREDIT Refund K3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.events.clear();
        const std::size_t before = bank_.Requests().size();
        COfxClient client(*transport_);
        ASSERT_TRUE(Statement(client, c.card, c.account, c.start))
            << client.GetLastError() << " " << client.GetLastErrorText();
        std::vector<std::string> expected{std::string("account ") + c.account};
        expected.insert(expected.end(), c.transactions.begin(), c.transactions.end());
        expected.push_back("end 20240131");
        expected.push_back("balance 100.00");
        EXPECT_EQ(recorder_.events, expected);

        const auto requests = bank_.Requests();
        ASSERT_EQ(requests.size(), before + 1);
        const BankRequest& r = requests.back();
        EXPECT_EQ(r.kind, c.card ? "card" : "bank");
        EXPECT_EQ(r.acctId, c.account);
        EXPECT_EQ(r.dtStart, c.start);
        EXPECT_EQ(r.userPass, kPassword);
    }
}

// The request texts the server received, as sent: the password's "<" and
// "&" go out as entities, so the bank's tag search still finds the sign-on.
TEST_F(OfxFakeBankTest, RequestTextsCarryThePasswordAndTheStart) {
    COfxClient client(*transport_);
    ASSERT_TRUE(client.GetAccountInfo(Login(), recorder_, false, ""));
    ASSERT_TRUE(Statement(client, false, kChecking, "20240110"));
    ASSERT_TRUE(Statement(client, true, kCard, "20231215"));
    const std::vector<FakeRequest> sent = server_->Requests();
    ASSERT_EQ(sent.size(), 3u);
    for (const FakeRequest& r : sent) {
        EXPECT_EQ(r.requestLine, "POST /ofx HTTP/1.0");
        EXPECT_TRUE(r.bodyComplete);
        EXPECT_TRUE(Has(r.body, "<USERID>jsmith<USERPASS>p&lt;a&amp;ss<LANGUAGE>")) << r.body;
    }
    EXPECT_TRUE(Has(sent[1].body, "<INCTRAN><DTSTART>20240110<INCLUDE>Y</INCTRAN>"));
    EXPECT_TRUE(Has(sent[2].body, "<CCACCTFROM><ACCTID>" + std::string(kCard) +
                                      "</CCACCTFROM><INCTRAN><DTSTART>20231215<INCLUDE>Y"));
}

TEST_F(OfxFakeBankTest, BankErrorsBecomeTheClientError) {
    struct Case {
        const char* what;
        const char* password;
        bool card;
        const char* account;
        std::int32_t error;
        const char* text;
    };
    const Case cases[] = {
        {"wrong password, bank", "secret", false, kChecking, 15500, "Invalid user ID or password"},
        {"wrong password, card", "p<a&s", true, kCard, 15500, "Invalid user ID or password"},
        {"unknown bank account", kPassword, false, "999", 2003, "Account not found"},
        {"unknown card account", kPassword, true, "4000", 2003, "Account not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.events.clear();
        COfxClient client(*transport_);
        EXPECT_FALSE(Statement(client, c.card, c.account, "20240101", c.password));
        EXPECT_EQ(client.GetLastError(), c.error);
        EXPECT_EQ(client.GetLastErrorText(), c.text);
        EXPECT_TRUE(recorder_.events.empty());
    }
    // The wrong password also stops the account list.
    recorder_.events.clear();
    COfxClient client(*transport_);
    EXPECT_FALSE(client.GetAccountInfo(Login("secret"), recorder_, false, ""));
    EXPECT_EQ(client.GetLastError(), 15500);
    EXPECT_TRUE(recorder_.events.empty());
}

TEST_F(OfxFakeBankTest, RepeatedFitIdsArePassedOnAndAMissingOneFails) {
    bank_.SetTransactions(kChecking, {
                                         {"20240105", "-1.00", "DEBIT", "A", "SAME"},
                                         {"20240106", "-2.00", "DEBIT", "B", "SAME"},
                                         {"20240107", "-3.00", "DEBIT", "C", std::nullopt},
                                         {"20240108", "-4.00", "DEBIT", "D", "LAST"},
                                     });
    COfxClient client(*transport_);
    EXPECT_FALSE(Statement(client, false, kChecking, "20240101"));
    EXPECT_EQ(client.GetLastError(), kOfxErrorMissing);
    EXPECT_EQ(client.GetLastErrorText(), "STMTTRN 3: FITID");
    // The statement is checked whole first: nothing of it is told.
    EXPECT_TRUE(recorder_.events.empty());

    // Without the faulty one, both repeats reach the handler (sorting them
    // out is the account's business).
    bank_.SetTransactions(kCard, {
                                     {"20240105", "-1.00", "DEBIT", "A", "SAME"},
                                     {"20240106", "-2.00", "DEBIT", "B", "SAME"},
                                 });
    recorder_.events.clear();
    COfxClient card(*transport_);
    ASSERT_TRUE(Statement(card, true, kCard, "20240101")) << card.GetLastError();
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{
                                    std::string("account ") + kCard,
                                    "trn 20240105 -1.00 DEBIT A SAME",
                                    "trn 20240106 -2.00 DEBIT B SAME",
                                    "end 20240131",
                                    "balance 100.00",
                                }));
}

TEST_F(OfxFakeBankTest, ThousandTransactionStatement) {
    std::vector<BankTxn> txns;
    for (int i = 0; i < 1000; ++i) {
        char date[16];
        std::snprintf(date, sizeof date, "202401%02d", 1 + i % 28);
        txns.push_back({date, "-" + std::to_string(i) + ".25", "DEBIT",
                        "Payee " + std::to_string(i), "F" + std::to_string(i)});
    }
    bank_.SetTransactions(kChecking, txns);
    COfxClient client(*transport_);
    ASSERT_TRUE(Statement(client, false, kChecking, "20240101")) << client.GetLastError();
    ASSERT_EQ(recorder_.events.size(), 1003u);
    EXPECT_EQ(recorder_.events.front(), std::string("account ") + kChecking);
    for (int i = 0; i < 1000; ++i) {
        const BankTxn& t = txns[static_cast<std::size_t>(i)];
        ASSERT_EQ(recorder_.events[static_cast<std::size_t>(i) + 1],
                  "trn " + t.date + " " + t.amount + " DEBIT " + t.name + " " + *t.fitId);
    }
    EXPECT_EQ(recorder_.events[1001], "end 20240131");
    EXPECT_EQ(recorder_.events[1002], "balance 100.00");
}

// Another OFX program's request: libofx's ofxconnect writes it (Debian's
// build cannot post), curl posts it over verified TLS. That request has line
// breaks and an unescaped password, so the password here is plain.
TEST_F(OfxFakeBankTest, AnswersARequestThatIsNotOurs) {
    if (std::system("command -v ofxconnect > /dev/null 2>&1 && command -v curl > /dev/null 2>&1") !=
        0)
        GTEST_SKIP() << "ofxconnect or curl is not installed";
    bank_.SetPassword("plain123");
    const std::string dir = test::TestRoot();
    const std::string request = dir + "/ofxconnect-request.ofx";
    const std::string reply = dir + "/ofxconnect-reply.ofx";
    std::remove(reply.c_str());
    // It wants an output file name but writes the request to standard
    // output, after a line naming that file.
    const std::string command =
        "timeout 10 ofxconnect -a --fid=1234 --org=FakeBank --user=jsmith --pass=plain123 "
        "/dev/null 2> /dev/null | sed -n '/^OFXHEADER/,$p' > '" +
        request + "' && timeout 20 curl -sS --noproxy '*' --max-time 10 --cacert '" +
        Certificates().caFile +
        "' -H 'Content-Type: application/x-ofx' -H 'Expect:' --data-binary '@" + request +
        "' -o '" + reply + "' '" + url_ + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    const auto requests = bank_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, "acctinfo");
    EXPECT_EQ(requests[0].userPass, "plain123");
    std::string text;
    if (std::FILE* f = std::fopen(reply.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
    }
    EXPECT_TRUE(Has(text, "<SONRS><STATUS><CODE>0<")) << text;
    EXPECT_TRUE(Has(text, std::string("<CCACCTFROM><ACCTID>") + kCard)) << text;
}

}  // namespace
}  // namespace tallowmere::exchange
