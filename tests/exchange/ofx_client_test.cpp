#include "exchange/ofx_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/stream_memory.h"
#include "platform/clock.h"
#include "platform/text_1252.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

constexpr const char* kHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";

class FixedClock : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 2, 10, 12, 34, 56}; }
    std::uint32_t TickCount() const override { return 0; }
};

std::string StreamText(Stream& stream) {
    std::string text;
    stream.Seek(0);
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        text.append(reinterpret_cast<const char*>(data), length);
    return text;
}

// Keeps what would have gone over the wire and answers with a canned reply.
class RecordingTransport : public COfxTransport {
  public:
    struct Sent {
        std::string url;
        std::string body;
        bool progressGoesOn = false;
    };
    std::vector<Sent> sent;
    std::string reply;
    std::int32_t status = 0;
    bool respond = true;
    bool withBody = true;

    std::optional<OfxPostResult> Post(OfxPostRequest request) override {
        sent.push_back({request.url, StreamText(*request.body),
                        request.progress ? request.progress() : false});
        if (!respond)
            return std::nullopt;
        OfxPostResult result;
        result.status = status;
        if (withBody) {
            auto body = CreateMemoryStream();
            body->WriteText(reply);
            body->Seek(0);
            result.body = std::move(body);
        }
        return result;
    }
};

class Handler : public COfxClient::MGetProfileEventHandler,
                public COfxClient::MGetAccountInfoEventHandler,
                public COfxClient::MGetStatementEventHandler {
  public:
    std::vector<int> progress;
    std::vector<std::string> events;
    bool cancel = false;

    bool Progress(int value) override {
        progress.push_back(value);
        return !cancel;
    }
    std::int32_t OnProfile(std::string_view) override { return Add("profile"); }
    std::int32_t OnClientUidRequired(int) override { return Add("clientuid"); }
    std::int32_t OnBankAccount(std::string_view, std::string_view account,
                               std::string_view) override {
        return Add("bank " + std::string(account));
    }
    std::int32_t OnCreditCardAccount(std::string_view account) override {
        return Add("card " + std::string(account));
    }
    std::int32_t OnStatementAccount(std::string_view account) override {
        return Add("account " + std::string(account));
    }
    std::int32_t OnStatementTransaction(std::string_view, std::string_view amount, std::string_view,
                                        std::optional<std::string_view>, std::string_view,
                                        std::optional<std::string_view>,
                                        std::string_view fitId) override {
        return Add("trn " + std::string(amount) + " " + std::string(fitId));
    }
    std::int32_t OnStatementEnd(std::string_view) override { return Add("end"); }
    std::int32_t OnLedgerBalance(std::string_view amount) override {
        return Add("balance " + std::string(amount));
    }

  private:
    std::int32_t Add(std::string event) {
        events.push_back(std::move(event));
        return 0;
    }
};

// The GUID of TRNUID changes with every request: checked for its shape, then
// replaced, so the rest compares exactly.
std::string WithoutTrnUid(std::string text) {
    const std::string tag = "<TRNUID>";
    const std::size_t at = text.find(tag);
    if (at == std::string::npos)
        return text;
    const std::string uid = text.substr(at + tag.size(), 36);
    bool shaped = uid.size() == 36;
    for (std::size_t i = 0; shaped && i < uid.size(); ++i) {
        const auto c = static_cast<unsigned char>(uid[i]);
        if (i == 8 || i == 13 || i == 18 || i == 23)
            shaped = c == '-';
        else
            shaped = platform::IsAsciiDigit(c) || (c >= 'A' && c <= 'F');
    }
    EXPECT_TRUE(shaped) << uid;
    text.replace(at + tag.size(), 36, "{UID}");
    return text;
}

std::string SignOnRequest(const std::string& fi, const std::string& user = "jsmith",
                          const std::string& password = "secret",
                          const std::string& clientUid = "") {
    return std::string(kHeader) + "<OFX><SIGNONMSGSRQV1><SONRQ><DTCLIENT>20240210123456<USERID>" +
           user + "<USERPASS>" + password + "<LANGUAGE>ENG" + fi + "<APPID>QWIN<APPVER>1100" +
           (clientUid.empty() ? "" : "<CLIENTUID>" + clientUid) + "</SONRQ></SIGNONMSGSRQV1>";
}

const std::string kStatementReply =
    std::string(kHeader) +
    "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0<SEVERITY>INFO</STATUS></SONRS>"
    "</SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0</STATUS><STMTRS>"
    "<BANKACCTFROM><BANKID>1<ACCTID>12345<ACCTTYPE>CHECKING</BANKACCTFROM><BANKTRANLIST>"
    "<DTSTART>20240101<DTEND>20240131<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240105<TRNAMT>-1"
    "<FITID>F1</STMTTRN></BANKTRANLIST><LEDGERBAL><BALAMT>10<DTASOF>20240131</LEDGERBAL>"
    "</STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";

const std::string kCachedProfile =
    "<PROFRS><MSGSETLIST><PROFMSGSET><PROFMSGSETV1><MSGSETCORE><VER>1"
    "<URL>https://bank.test/profile</MSGSETCORE></PROFMSGSETV1></PROFMSGSET>"
    "<SIGNUPMSGSET><SIGNUPMSGSETV1><MSGSETCORE><VER>1<URL>https://bank.test/signup"
    "</MSGSETCORE></SIGNUPMSGSETV1></SIGNUPMSGSET>"
    "<BANKMSGSET><BANKMSGSETV1><MSGSETCORE><VER>1<URL>https://bank.test/bank</MSGSETCORE>"
    "</BANKMSGSETV1></BANKMSGSET>"
    "<CREDITCARDMSGSET><CREDITCARDMSGSETV1><MSGSETCORE><VER>1<URL>http://bank.test/card"
    "</MSGSETCORE></CREDITCARDMSGSETV1></CREDITCARDMSGSET></MSGSETLIST>"
    "<DTPROFUP>20231201093000<FINAME>Bank</PROFRS>";

class OfxClientTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::SetClock(&clock_); }
    void TearDown() override { platform::SetClock(nullptr); }

    OfxServerLogin Login() const {
        OfxServerLogin login;
        login.userId = "jsmith";
        login.password = "secret";
        login.url = "https://directory.test/ofx";
        return login;
    }

    FixedClock clock_;
    RecordingTransport transport_;
    Handler handler_;
};

TEST_F(OfxClientTest, StatementRequests) {
    struct Case {
        const char* label;
        std::string org, fid, bankId, accountType, start, password;
        bool useClientUid;
        std::string clientUid;
        std::string expected;
    };
    const std::string bankTail =
        "<BANKMSGSRQV1><STMTTRNRQ><TRNUID>{UID}<STMTRQ><BANKACCTFROM><BANKID>021000021"
        "<ACCTID>12345<ACCTTYPE>CHECKING</BANKACCTFROM><INCTRAN><DTSTART>20240101<INCLUDE>Y"
        "</INCTRAN></STMTRQ></STMTTRNRQ></BANKMSGSRQV1></OFX>";
    const Case cases[] = {
        {"no ORG writes no FI", "", "1001", "021000021", "CHECKING", "20240101", "secret", false,
         "", SignOnRequest("") + bankTail},
        {"ORG without FID", "Big Bank", "", "021000021", "CHECKING", "20240101", "secret", false,
         "", SignOnRequest("<FI><ORG>Big Bank</FI>") + bankTail},
        {"ORG and FID", "Big Bank", "1001", "021000021", "CHECKING", "20240101", "secret", false,
         "", SignOnRequest("<FI><ORG>Big Bank<FID>1001</FI>") + bankTail},
        {"ORG edge blanks and markup", " A&B ", "", "021000021", "CHECKING", "20240101", "secret",
         false, "", SignOnRequest("<FI><ORG>&nbsp;A&amp;B&nbsp;</FI>") + bankTail},
        {"a password with markup stays one data text", "", "", "021000021", "CHECKING", "20240101",
         " p<w&d> ", false, "", SignOnRequest("", "jsmith", " p&lt;w&amp;d&gt; ") + bankTail},
        {"a client UID goes into the sign-on", "", "", "021000021", "CHECKING", "20240101",
         "secret", true, "C1D2-E3", SignOnRequest("", "jsmith", "secret", "C1D2-E3") + bankTail},
        {"the client UID flag alone adds nothing", "", "", "021000021", "CHECKING", "20240101",
         "secret", true, "", SignOnRequest("") + bankTail},
        {"a client UID without its flag stays out", "", "", "021000021", "CHECKING", "20240101",
         "secret", false, "C1", SignOnRequest("") + bankTail},
        {"an empty bank id with a type is a bank statement", "", "", "", "SAVINGS", "20240101",
         "secret", false, "",
         SignOnRequest("") +
             "<BANKMSGSRQV1><STMTTRNRQ><TRNUID>{UID}<STMTRQ><BANKACCTFROM><BANKID><ACCTID>12345"
             "<ACCTTYPE>SAVINGS</BANKACCTFROM><INCTRAN><DTSTART>20240101<INCLUDE>Y</INCTRAN>"
             "</STMTRQ></STMTTRNRQ></BANKMSGSRQV1></OFX>"},
        {"neither bank id nor type is a card statement", "", "", "", "", "20240101", "secret",
         false, "",
         SignOnRequest("") +
             "<CREDITCARDMSGSRQV1><CCSTMTTRNRQ><TRNUID>{UID}<CCSTMTRQ><CCACCTFROM>"
             "<ACCTID>12345</CCACCTFROM><INCTRAN><DTSTART>20240101<INCLUDE>Y</INCTRAN>"
             "</CCSTMTRQ></CCSTMTTRNRQ></CREDITCARDMSGSRQV1></OFX>"},
        {"no start date asks for 60 days", "", "", "", "", "", "secret", false, "",
         SignOnRequest("") +
             "<CREDITCARDMSGSRQV1><CCSTMTTRNRQ><TRNUID>{UID}<CCSTMTRQ><CCACCTFROM>"
             "<ACCTID>12345</CCACCTFROM><INCTRAN><DTSTART>20231212123456<INCLUDE>Y</INCTRAN>"
             "</CCSTMTRQ></CCSTMTTRNRQ></CREDITCARDMSGSRQV1></OFX>"},
        {"the start text is cut to 63 characters", "", "", "", "", std::string(70, '7'), "secret",
         false, "",
         SignOnRequest("") +
             "<CREDITCARDMSGSRQV1><CCSTMTTRNRQ><TRNUID>{UID}<CCSTMTRQ><CCACCTFROM>"
             "<ACCTID>12345</CCACCTFROM><INCTRAN><DTSTART>" +
             std::string(63, '7') +
             "<INCLUDE>Y</INCTRAN></CCSTMTRQ></CCSTMTTRNRQ></CREDITCARDMSGSRQV1></OFX>"},
        {"bytes without a 1252 character go out as ?", "Caf\xE9\x81", "", "", "", "20240101",
         "a\x01\x9D", false, "",
         SignOnRequest("<FI><ORG>Caf\xE9?</FI>", "jsmith", "a??") +
             "<CREDITCARDMSGSRQV1><CCSTMTTRNRQ><TRNUID>{UID}<CCSTMTRQ><CCACCTFROM>"
             "<ACCTID>12345</CCACCTFROM><INCTRAN><DTSTART>20240101<INCLUDE>Y</INCTRAN>"
             "</CCSTMTRQ></CCSTMTTRNRQ></CREDITCARDMSGSRQV1></OFX>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        transport_.sent.clear();
        transport_.reply = kStatementReply;
        OfxServerLogin login = Login();
        login.org = c.org;
        login.fid = c.fid;
        login.password = c.password;
        COfxClient client(transport_);
        EXPECT_TRUE(client.GetStatement(login, c.bankId, "12345", c.accountType, c.start, handler_,
                                        c.useClientUid, c.clientUid));
        ASSERT_EQ(transport_.sent.size(), 1u);
        EXPECT_EQ(WithoutTrnUid(transport_.sent[0].body), c.expected);
        EXPECT_EQ(transport_.sent[0].url, "https://directory.test/ofx");
    }
}

TEST_F(OfxClientTest, ProfileAndAccountInfoRequests) {
    transport_.reply = std::string(kHeader) +
                       "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</STATUS></SONRS>"
                       "</SIGNONMSGSRSV1><PROFMSGSRSV1><PROFTRNRS><TRNUID>1<STATUS><CODE>1"
                       "</STATUS></PROFTRNRS></PROFMSGSRSV1></OFX>";
    const std::string profileTail =
        "<PROFMSGSRQV1><PROFTRNRQ><TRNUID>{UID}<PROFRQ><CLIENTROUTING>NONE<DTPROFUP>";
    const std::string profileEnd = "</PROFRQ></PROFTRNRQ></PROFMSGSRQV1></OFX>";
    struct Case {
        const char* label;
        std::string cached;
        bool force;
        std::string date;
    } cases[] = {
        {"nothing kept", "", false, "19900101"},
        {"the kept profile's date", kCachedProfile, false, "20231201093000"},
        {"forced", kCachedProfile, true, "19900101"},
        {"an unreadable kept profile", "<PROFRS><BOGUS>", false, "19900101"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        transport_.sent.clear();
        OfxServerLogin login = Login();
        login.userId = login.password = "anonymous00000000000000000000000";
        login.cachedProfile = c.cached;
        COfxClient client(transport_);
        EXPECT_TRUE(client.GetProfile(login, handler_, c.force));
        ASSERT_EQ(transport_.sent.size(), 1u);
        EXPECT_EQ(WithoutTrnUid(transport_.sent[0].body),
                  SignOnRequest("", "anonymous00000000000000000000000",
                                "anonymous00000000000000000000000") +
                      profileTail + c.date + profileEnd);
    }

    transport_.sent.clear();
    transport_.reply = kStatementReply;  // no account list in it: the walk fails
    COfxClient client(transport_);
    OfxServerLogin login = Login();
    login.appId = "Money";
    login.appVersion = "1700";
    EXPECT_FALSE(client.GetAccountInfo(login, handler_, true, "UID-1"));
    ASSERT_EQ(transport_.sent.size(), 1u);
    std::string expected = SignOnRequest("", "jsmith", "secret", "UID-1");
    expected.replace(expected.find("<APPID>QWIN<APPVER>1100"), 23, "<APPID>Money<APPVER>1700");
    EXPECT_EQ(WithoutTrnUid(transport_.sent[0].body),
              expected +
                  "<SIGNUPMSGSRQV1><ACCTINFOTRNRQ><TRNUID>{UID}<ACCTINFORQ><DTACCTUP>19900101"
                  "</ACCTINFORQ></ACCTINFOTRNRQ></SIGNUPMSGSRQV1></OFX>");
}

TEST_F(OfxClientTest, KeptProfileChoosesTheUrl) {
    transport_.reply = kStatementReply;
    OfxServerLogin login = Login();
    login.cachedProfile = kCachedProfile;
    COfxClient client(transport_);
    EXPECT_TRUE(client.GetStatement(login, "1", "2", "CHECKING", "20240101", handler_, false, ""));
    // Replies other than statements fail their walks; only the URLs matter.
    client.GetProfile(login, handler_, true);
    client.GetAccountInfo(login, handler_, false, "");
    // The card message set points at plain HTTP: the password stays on TLS.
    client.GetStatement(login, "", "2", "", "20240101", handler_, false, "");
    ASSERT_EQ(transport_.sent.size(), 4u);
    EXPECT_EQ(transport_.sent[0].url, "https://bank.test/bank");
    EXPECT_EQ(transport_.sent[1].url, "https://bank.test/profile");
    EXPECT_EQ(transport_.sent[2].url, "https://bank.test/signup");
    EXPECT_EQ(transport_.sent[3].url, "https://directory.test/ofx");
}

TEST_F(OfxClientTest, ExchangeOutcomes) {
    // A reply goes through the walk to the handler; progress is asked with -1.
    {
        transport_.reply = kStatementReply;
        COfxClient client(transport_);
        EXPECT_TRUE(
            client.GetStatement(Login(), "1", "2", "CHECKING", "20240101", handler_, false, ""));
        EXPECT_EQ(handler_.events,
                  (std::vector<std::string>{"account 12345", "trn -1 F1", "end", "balance 10"}));
        ASSERT_FALSE(handler_.progress.empty());
        EXPECT_EQ(handler_.progress.front(), -1);
        EXPECT_TRUE(transport_.sent.back().progressGoesOn);
    }
    struct Case {
        const char* label;
        bool respond;
        std::int32_t status;
        bool withBody;
        std::int32_t error;
    } cases[] = {
        {"no response", false, 0, true, 1},
        {"an exchange error", true, 12002, true, 12002},
        {"an HTTP status", true, 404, true, 404},
        {"no body", true, 0, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        transport_.respond = c.respond;
        transport_.status = c.status;
        transport_.withBody = c.withBody;
        COfxClient client(transport_);
        EXPECT_FALSE(
            client.GetStatement(Login(), "1", "2", "CHECKING", "20240101", handler_, false, ""));
        EXPECT_EQ(client.GetLastError(), c.error);
    }
}

TEST_F(OfxClientTest, RequestsThatAreNeverSent) {
    transport_.reply = kStatementReply;
    {
        // A routed account needs an account type.
        COfxClient client(transport_);
        EXPECT_FALSE(client.GetStatement(Login(), "021000021", "2", "", "", handler_, false, ""));
        EXPECT_EQ(client.GetLastError(), 1);
    }
    {
        // Cancel while the kept profile is read is a cancel, not a silent
        // fall-back to the directory's URL.
        handler_.cancel = true;
        OfxServerLogin login = Login();
        login.cachedProfile = kCachedProfile;
        COfxClient client(transport_);
        EXPECT_FALSE(client.GetStatement(login, "1", "2", "CHECKING", "", handler_, false, ""));
        EXPECT_EQ(client.GetLastError(), 2);
        EXPECT_FALSE(client.GetProfile(login, handler_, false));
        EXPECT_EQ(client.GetLastError(), 2);
        handler_.cancel = false;
    }
    {
        // Without a transport nothing can be sent.
        COfxClient client;
        EXPECT_FALSE(client.GetProfile(Login(), handler_, true));
        EXPECT_EQ(client.GetLastError(), 1);
    }
    EXPECT_TRUE(transport_.sent.empty());
}

TEST_F(OfxClientTest, InstalledTransportServesClientsBuiltWithoutOne) {
    transport_.reply = kStatementReply;
    SetOfxTransport(&transport_);
    COfxClient client;
    EXPECT_TRUE(client.GetStatement(Login(), "1", "2", "CHECKING", "", handler_, false, ""));
    SetOfxTransport(nullptr);
    EXPECT_EQ(transport_.sent.size(), 1u);
}

// onsgmls with libofx's OFX DTD: the requests are OFX that an outside SGML
// parser accepts. CLIENTUID is newer than that DTD knows, and the DTD has no
// nbsp entity, so those two are adapted first.
TEST_F(OfxClientTest, OutsideSgmlParserAcceptsTheRequests) {
    const char* dtd = "/usr/share/libofx7/libofx/dtd/ofx160.dtd";
    const char* dcl = "/usr/share/libofx7/libofx/dtd/opensp.dcl";
    if (std::system("test -x /usr/bin/onsgmls && test -r /usr/share/libofx7/libofx/dtd/"
                    "ofx160.dtd && test -r /usr/share/libofx7/libofx/dtd/opensp.dcl") != 0)
        GTEST_SKIP() << "onsgmls or the OFX DTD is not installed";
    transport_.reply = kStatementReply;
    OfxServerLogin login = Login();
    login.org = " B&B <Bank> ";
    login.fid = "1001";
    // Unescaped, this password would close the sign-on early.
    login.password = "p<&>w</SONRQ>";
    COfxClient client(transport_);
    client.GetProfile(login, handler_, true);
    client.GetAccountInfo(login, handler_, true, "UID-1");
    client.GetStatement(login, "021000021", "12345", "CHECKING", "", handler_, true, "UID-1");
    client.GetStatement(login, "", "4444", "", "20240101", handler_, false, "");
    ASSERT_EQ(transport_.sent.size(), 4u);

    const std::string dir = test::MakeTempDir("sgml");
    for (std::size_t i = 0; i < transport_.sent.size(); ++i) {
        SCOPED_TRACE(i);
        std::string text = transport_.sent[i].body;
        text.erase(0, text.find("\r\n\r\n") + 4);
        if (const std::size_t at = text.find("<CLIENTUID>"); at != std::string::npos)
            text.erase(at, text.find('<', at + 1) - at);
        for (std::size_t at; (at = text.find("&nbsp;")) != std::string::npos;)
            text.replace(at, 6, "&#32;");
        const std::string file = dir + "/request" + std::to_string(i) + ".sgml";
        test::WriteFileBytes(file, text);
        // The DTD file is a whole document type declaration, read before the
        // request as libofx does.
        const std::string command = "onsgmls -s '" + std::string(dcl) + "' '" + dtd + "' '" + file +
                                    "' > '" + file + ".log' 2>&1";
        const int rc = std::system(command.c_str());
        EXPECT_EQ(rc, 0) << test::ReadFileBytes(file + ".log") << "\n" << text;
    }
}

}  // namespace
}  // namespace tallowmere::exchange
