// A statement download end to end: COfxClient over COfxHttpTransport and
// Win32Http, verified TLS, to the loopback fake server; and the exchange's
// failures reaching the client's last error.
#include "exchange/ofx_http_transport.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "exchange/http_errors.h"
#include "exchange/ofx_client.h"
#include "exchange/win32_http.h"
#include "http_fake_server.h"
#include "ofx_loopback_test.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using test::FakeHttpServer;
using test::FakeRequest;

constexpr const char* kOfxHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";

const std::string kStatementReply =
    std::string(kOfxHeader) +
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS>"
    "<DTSERVER>20240131120000<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>"
    "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS><STMTRS>"
    "<CURDEF>USD<BANKACCTFROM><BANKID>021000021<ACCTID>12345<ACCTTYPE>CHECKING</BANKACCTFROM>"
    "<BANKTRANLIST><DTSTART>20240101<DTEND>20240131"
    "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-42.50<FITID>T1<NAME>Corner Grocer"
    "<MEMO>weekly shop</STMTTRN>"
    "<STMTTRN><TRNTYPE>CHECK<DTPOSTED>20240110<TRNAMT>-100.00<FITID>T2<CHECKNUM>1001</STMTTRN>"
    "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20240115<DTUSER>20240114<TRNAMT>1500.00<FITID>T3"
    "<NAME>Payroll</STMTTRN>"
    "</BANKTRANLIST><LEDGERBAL><BALAMT>1357.50<DTASOF>20240131</LEDGERBAL>"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";

const std::string kWrongPasswordReply =
    std::string(kOfxHeader) +
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>15500<SEVERITY>ERROR"
    "<MESSAGE>Invalid user ID or password</STATUS><DTSERVER>20240131120000<LANGUAGE>ENG"
    "</SONRS></SIGNONMSGSRSV1></OFX>";

std::string HttpReply(std::string_view statusLine, std::string_view body) {
    return "HTTP/1.1 " + std::string(statusLine) +
           "\r\nContent-Type: application/x-ofx\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + std::string(body);
}

// Entries of $TMPDIR: the reply's temporary file goes with the reply.
int TempEntries() {
    const char* dir = getenv("TMPDIR");
    DIR* d = opendir(dir != nullptr ? dir : "/tmp");
    if (d == nullptr)
        return -1;
    int n = 0;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            ++n;
    }
    closedir(d);
    return n;
}

class StatementHandler : public COfxClient::MGetStatementEventHandler {
  public:
    std::vector<std::string> events;
    int progressCalls = 0;

    bool Progress(int) override {
        ++progressCalls;
        return true;
    }
    std::int32_t OnStatementAccount(std::string_view account) override {
        return Add("account " + std::string(account));
    }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view> memo,
                                        std::string_view fitId) override {
        return Add("trn " + std::string(date) + " " + std::string(amount) + " " +
                   std::string(type) + " " + std::string(checkNumber.value_or("-")) + " " +
                   std::string(name) + " / " + std::string(memo.value_or("-")) + " " +
                   std::string(fitId));
    }
    std::int32_t OnStatementEnd(std::string_view dtEnd) override {
        return Add("end " + std::string(dtEnd));
    }
    std::int32_t OnLedgerBalance(std::string_view amount) override {
        return Add("balance " + std::string(amount));
    }

  private:
    std::int32_t Add(std::string event) {
        events.push_back(std::move(event));
        return 0;
    }
};

class OfxDownloadTest : public test::OfxLoopbackTest {
  protected:
    void SetUp() override {
        OfxLoopbackTest::SetUp();
        baseTempEntries_ = TempEntries();
    }

    void TearDown() override { EXPECT_EQ(TempEntries(), baseTempEntries_); }

    // Asks for the checking account's January statement at url.
    bool Download(const std::string& url, COfxClient& client) {
        OfxServerLogin login;
        login.userId = "jsmith";
        login.password = "secret";
        login.url = url;
        login.org = "Test Bank";
        login.fid = "1234";
        return client.GetStatement(login, "021000021", "12345", "CHECKING", "20240101", handler_,
                                   false, "");
    }

    StatementHandler handler_;
    int baseTempEntries_ = 0;
};

TEST_F(OfxDownloadTest, StatementOverVerifiedTls) {
    FakeHttpServer server(test::TlsServerOptions());
    server.Reply("/ofx/stmt", HttpReply("200 OK", kStatementReply));
    COfxClient client(*transport_);
    ASSERT_TRUE(Download(server.Url("/ofx/stmt"), client))
        << client.GetLastError() << " " << client.GetLastErrorText();
    EXPECT_EQ(client.GetLastError(), 0);

    EXPECT_EQ(handler_.events, (std::vector<std::string>{
                                   "account 12345",
                                   "trn 20240105 -42.50 DEBIT - Corner Grocer / weekly shop T1",
                                   "trn 20240110 -100.00 CHECK 1001 CHECK 1001 / - T2",
                                   "trn 20240114 1500.00 CREDIT - Payroll / - T3",
                                   "end 20240131",
                                   "balance 1357.50",
                               }));
    // The exchange asked the handler whether to go on.
    EXPECT_GT(handler_.progressCalls, 0);

    const std::vector<FakeRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const FakeRequest& r = requests[0];
    EXPECT_EQ(r.requestLine, "POST /ofx/stmt HTTP/1.0");
    EXPECT_EQ(r.Header("Content-Type"), "application/x-ofx");
    EXPECT_EQ(r.Header("Accept"), "application/x-ofx, */*");
    EXPECT_EQ(r.Header("Accept-Language"), "en");
    EXPECT_EQ(r.Header("Connection"), "close");
    EXPECT_EQ(r.Header("User-Agent"),
              "Mozilla/5.0 (compatible; MSIE 5.01; Windows 2000; Tallowmere 4.0)");
    EXPECT_TRUE(r.bodyComplete);
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
    EXPECT_EQ(r.body.rfind(std::string(kOfxHeader) + "<OFX><SIGNONMSGSRQV1>", 0), 0u) << r.body;
    EXPECT_NE(r.body.find("<BANKACCTFROM><BANKID>021000021<ACCTID>12345<ACCTTYPE>CHECKING"),
              std::string::npos);
    EXPECT_EQ(r.body.substr(r.body.size() - 6), "</OFX>");
}

// A port with a socket bound but not listening: connecting is refused at once.
class ClosedPort {
  public:
    ClosedPort() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof addr;
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length) == 0)
            port_ = ntohs(addr.sin_port);
    }
    ~ClosedPort() {
        if (fd_ >= 0)
            close(fd_);
    }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    int Port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST_F(OfxDownloadTest, FailedExchangesBecomeTheClientError) {
    struct Case {
        const char* what;
        const char* statusLine;  // null: nothing listens on the port
        std::string body;
        std::int32_t error;
        const char* errorText;
    };
    const Case cases[] = {
        {"server error", "500 Internal Server Error", "busy", 500, ""},
        {"wrong password", "200 OK", kWrongPasswordReply, 15500, "Invalid user ID or password"},
        {"unreachable", nullptr, "", kInternetCannotConnect, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        handler_.events.clear();
        FakeHttpServer server(test::TlsServerOptions());
        ClosedPort closed;
        std::string url;
        if (c.statusLine != nullptr) {
            server.Reply("/ofx", HttpReply(c.statusLine, c.body));
            url = server.Url("/ofx");
        } else {
            ASSERT_NE(closed.Port(), 0);
            url = "https://127.0.0.1:" + std::to_string(closed.Port()) + "/ofx";
        }
        COfxClient client(*transport_);
        EXPECT_FALSE(Download(url, client));
        EXPECT_EQ(client.GetLastError(), c.error);
        EXPECT_EQ(client.GetLastErrorText(), c.errorText);
        EXPECT_TRUE(handler_.events.empty());
        EXPECT_EQ(server.Requests().size(), c.statusLine != nullptr ? 1u : 0u);
    }
}

TEST_F(OfxDownloadTest, InstallMakesTheHttpTransportTheDefault) {
    COfxHttpTransport& installed = InstallOfxHttpTransport();
    EXPECT_EQ(CurrentOfxTransport(), &installed);
    EXPECT_EQ(&InstallOfxHttpTransport(), &installed);
    SetOfxTransport(nullptr);
}

}  // namespace
}  // namespace tallowmere::exchange
