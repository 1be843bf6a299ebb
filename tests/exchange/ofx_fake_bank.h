#pragma once
// A small fake OFX bank for the loopback fake server: it reads each request
// with plain string search (not our SGML reader), records what it read, and
// answers profile, account-information and statement requests.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "http_fake_server.h"

namespace tallowmere::test {

inline constexpr const char* kOfxHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";

inline constexpr const char* kPassword = "p<a&ss";
inline constexpr const char* kBankId = "021000021";
inline constexpr const char* kChecking = "12345";
inline constexpr const char* kCard = "4111000011112222";

// The text after <tag> up to `until` (the next tag by default); nullopt
// when the tag is absent.
inline std::optional<std::string> TagValue(std::string_view text, std::string_view tag,
                                           std::string_view until = "<") {
    const std::string open = "<" + std::string(tag) + ">";
    const std::size_t at = text.find(open);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t start = at + open.size();
    const std::size_t end = text.find(until, start);
    std::string value(text.substr(start, end == std::string_view::npos ? end : end - start));
    // Other programs put each element on its own line.
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
        value.pop_back();
    return value;
}

// The SGML entities a bank decodes in element texts.
inline std::string Unescape(std::string_view text) {
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&nbsp;", ' '}};
    std::string out;
    while (!text.empty()) {
        bool matched = false;
        for (const auto& [entity, c] : kEntities) {
            if (text.substr(0, entity.size()) == entity) {
                out += c;
                text.remove_prefix(entity.size());
                matched = true;
                break;
            }
        }
        if (!matched) {
            out += text.front();
            text.remove_prefix(1);
        }
    }
    return out;
}

inline bool Has(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

inline std::string HttpReply(std::string_view body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/x-ofx\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

struct BankTxn {
    std::string date;  // YYYYMMDD
    std::string amount;
    std::string type;
    std::string name;
    std::optional<std::string> fitId;  // nullopt: the bank leaves FITID out
};

// What the bank read from one request.
struct BankRequest {
    std::string kind;                        // profile, acctinfo, bank, card, unknown
    std::optional<std::string> rawUserPass;  // as sent
    std::optional<std::string> userPass;     // entities decoded
    std::optional<std::string> acctId;
    std::optional<std::string> dtStart;
};

class FakeBank {
  public:
    FakeBank() {
        accounts_[kChecking] = {
            {"20240105", "-42.50", "DEBIT", "Corner Grocer", "C1"},
            {"20240110", "-100.00", "CHECK", "Landlord", "C2"},
            {"20240115", "1500.00", "CREDIT", "Payroll", "C3"},
        };
        accounts_[kCard] = {
            {"20231230", "-9.99", "DEBIT", "Streaming", "K1"},
            {"20240102", "-25.00", "DEBIT", "Bookshop", "K2"},
            {"20240120", "40.00", "CREDIT", "Refund", "K3"},
        };
    }

    void SetTransactions(const std::string& account, std::vector<BankTxn> txns) {
        std::lock_guard<std::mutex> lock(mutex_);
        accounts_[account] = std::move(txns);
    }

    void SetPassword(std::string password) {
        std::lock_guard<std::mutex> lock(mutex_);
        password_ = std::move(password);
    }

    std::vector<BankRequest> Requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    void Attach(FakeHttpServer& server, const std::string& path) {
        server.Handle(path, [this](FakeConnection& c, const FakeRequest& r) {
            c.Send(HttpReply(Answer(r.body)));
        });
    }

    std::string Answer(const std::string& body) {
        std::lock_guard<std::mutex> lock(mutex_);
        BankRequest r;
        r.rawUserPass = TagValue(body, "USERPASS");
        if (r.rawUserPass)
            r.userPass = Unescape(*r.rawUserPass);
        r.acctId = TagValue(body, "ACCTID");
        r.dtStart = TagValue(body, "DTSTART");
        const bool card = Has(body, "<CCSTMTRQ>");
        r.kind = Has(body, "<PROFRQ>")       ? "profile"
                 : Has(body, "<ACCTINFORQ>") ? "acctinfo"
                 : Has(body, "<STMTRQ>")     ? "bank"
                 : card                      ? "card"
                                             : "unknown";
        requests_.push_back(r);

        std::string reply = std::string(kOfxHeader) + "<OFX>";
        if (r.kind != "profile" && r.userPass != password_)
            return reply + SignOn(15500, "Invalid user ID or password") + "</OFX>";
        reply += SignOn(0, "");
        if (r.kind == "profile")
            reply += Profile();
        else if (r.kind == "acctinfo")
            reply += AccountInfo();
        else if (r.kind == "bank" || r.kind == "card")
            reply += Statement(card, r.acctId.value_or(""), r.dtStart.value_or(""));
        return reply + "</OFX>";
    }

  private:
    static std::string Status(int code, const std::string& message) {
        return "<STATUS><CODE>" + std::to_string(code) + "<SEVERITY>" +
               (code == 0 ? "INFO" : "ERROR") +
               (message.empty() ? std::string() : "<MESSAGE>" + message) + "</STATUS>";
    }

    static std::string SignOn(int code, const std::string& message) {
        return "<SIGNONMSGSRSV1><SONRS>" + Status(code, message) +
               "<DTSERVER>20240131120000<LANGUAGE>ENG</SONRS></SIGNONMSGSRSV1>";
    }

    static std::string Profile() {
        return "<PROFMSGSRSV1><PROFTRNRS><TRNUID>1" + Status(0, "") +
               "<PROFRS><MSGSETLIST><SIGNONMSGSET><SIGNONMSGSETV1><MSGSETCORE><VER>1"
               "<URL>https://127.0.0.1/ofx<OFXSEC>NONE<TRANSPSEC>Y<SIGNONREALM>R<LANGUAGE>ENG"
               "<SYNCMODE>LITE<RESPFILEER>N</MSGSETCORE></SIGNONMSGSETV1></SIGNONMSGSET>"
               "</MSGSETLIST><SIGNONINFOLIST><SIGNONINFO><SIGNONREALM>R<MIN>1<MAX>32"
               "<CHARTYPE>ALPHAORNUMERIC<CASESEN>N<SPECIAL>Y<SPACES>N<PINCH>N<CHGPINFIRST>N"
               "<CLIENTUIDREQ>Y</SIGNONINFO></SIGNONINFOLIST><DTPROFUP>20240115093000"
               "<FINAME>Fake Bank<ADDR1>1 Main St<CITY>Town<STATE>CA<POSTALCODE>90000"
               "<COUNTRY>USA</PROFRS></PROFTRNRS></PROFMSGSRSV1>";
    }

    static std::string AccountInfo() {
        return "<SIGNUPMSGSRSV1><ACCTINFOTRNRS><TRNUID>1" + Status(0, "") +
               "<ACCTINFORS><DTACCTUP>20240101<ACCTINFO><DESC>Checking<BANKACCTINFO>"
               "<BANKACCTFROM><BANKID>" +
               kBankId + "<ACCTID>" + kChecking +
               "<ACCTTYPE>CHECKING</BANKACCTFROM><SUPTXDL>Y<XFERSRC>N<XFERDEST>N"
               "<SVCSTATUS>ACTIVE</BANKACCTINFO></ACCTINFO><ACCTINFO><DESC>Card<CCACCTINFO>"
               "<CCACCTFROM><ACCTID>" +
               kCard +
               "</CCACCTFROM><SUPTXDL>Y<XFERSRC>N<XFERDEST>N<SVCSTATUS>ACTIVE</CCACCTINFO>"
               "</ACCTINFO></ACCTINFORS></ACCTINFOTRNRS></SIGNUPMSGSRSV1>";
    }

    std::string Statement(bool card, const std::string& acctId, const std::string& dtStart) const {
        const std::string msgs = card ? "CREDITCARDMSGSRSV1" : "BANKMSGSRSV1";
        const std::string trnrs = card ? "CCSTMTTRNRS" : "STMTTRNRS";
        const std::string rs = card ? "CCSTMTRS" : "STMTRS";
        std::string out = "<" + msgs + "><" + trnrs + "><TRNUID>1";
        const auto account = accounts_.find(acctId);
        if (account == accounts_.end())
            return out + Status(2003, "Account not found") + "</" + trnrs + "></" + msgs + ">";
        out += Status(0, "") + "<" + rs + "><CURDEF>USD";
        out += card ? "<CCACCTFROM><ACCTID>" + acctId + "</CCACCTFROM>"
                    : "<BANKACCTFROM><BANKID>" + std::string(kBankId) + "<ACCTID>" + acctId +
                          "<ACCTTYPE>CHECKING</BANKACCTFROM>";
        const std::string startDay = dtStart.substr(0, 8);
        out += "<BANKTRANLIST><DTSTART>" + dtStart + "<DTEND>20240131";
        for (const BankTxn& t : account->second) {
            if (t.date < startDay)
                continue;
            out += "<STMTTRN><TRNTYPE>" + t.type + "<DTPOSTED>" + t.date + "<TRNAMT>" + t.amount;
            if (t.fitId)
                out += "<FITID>" + *t.fitId;
            out += "<NAME>" + t.name + "</STMTTRN>";
        }
        return out + "</BANKTRANLIST><LEDGERBAL><BALAMT>100.00<DTASOF>20240131</LEDGERBAL></" + rs +
               "></" + trnrs + "></" + msgs + ">";
    }

    mutable std::mutex mutex_;
    std::string password_ = kPassword;
    std::map<std::string, std::vector<BankTxn>> accounts_;
    std::vector<BankRequest> requests_;
};

}  // namespace tallowmere::test
