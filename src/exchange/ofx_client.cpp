#include "exchange/ofx_client.h"

#include <uuid/uuid.h>

#include <atomic>
#include <cstdio>
#include <new>
#include <utility>

#include "exchange/ofx_response.h"
#include "exchange/ofx_tags.h"
#include "exchange/sgml_document.h"
#include "exchange/stream_memory.h"
#include "model/palm_time.h"
#include "platform/clock.h"
#include "platform/text_1252.h"

namespace tallowmere::exchange {
namespace {

std::atomic<COfxTransport*> gTransport{nullptr};

constexpr std::string_view kHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:USASCII\r\n"
    "CHARSET:1252\r\nCOMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n";
constexpr std::string_view kDefaultAppId = "QWIN";
constexpr std::string_view kDefaultAppVersion = "1100";
constexpr std::string_view kOldestUpdate = "19900101";
constexpr std::size_t kStartTextMax = 63;
constexpr PalmTime kDefaultHistory = 60 * kSecondsPerDay;

// Bytes that stand for no Windows-1252 character, and control characters,
// would make the declared CHARSET a lie; they go out as "?".
bool Is1252Character(unsigned char c) {
    if (c < 0x20 || c == 0x7F)
        return false;
    return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}

// Appends a data text as the bank's SGML parser must read it back: a
// password holding "<" or "&" must not end or break its element.
void AppendData(std::string& out, std::string_view text, bool blankEdges = false) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == ' ' && blankEdges && (i == 0 || i + 1 == text.size())) {
            // The parser trims edge blanks; only ORG keeps them this way.
            out += "&nbsp;";
        } else {
            out += Is1252Character(c) ? static_cast<char>(c) : '?';
        }
    }
}

void AppendElement(std::string& out, std::string_view tag, std::string_view text) {
    out += '<';
    out += tag;
    out += '>';
    AppendData(out, text);
}

std::string FormatDateTime(int year, int month, int day, int hour, int minute, int second) {
    // Sized for six full ints, so no field can be cut.
    char buffer[6 * 12];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute,
                  second);
    return buffer;
}

std::string NewTransactionUid() {
    uuid_t id;
    uuid_generate_random(id);
    char text[37];
    uuid_unparse_upper(id, text);
    return text;
}

// The sign-on aggregate and everything before it.
std::string BeginRequest(const OfxServerLogin& login, bool useClientUid,
                         std::string_view clientUid) {
    const platform::LocalTime now = platform::CurrentClock().LocalNow();
    std::string out(kHeader);
    out += "<OFX><SIGNONMSGSRQV1><SONRQ><DTCLIENT>";
    out += FormatDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
    AppendElement(out, "USERID", login.userId);
    AppendElement(out, "USERPASS", login.password);
    out += "<LANGUAGE>ENG";
    if (!login.org.empty()) {
        out += "<FI><ORG>";
        AppendData(out, login.org, true);
        if (!login.fid.empty())
            AppendElement(out, "FID", login.fid);
        out += "</FI>";
    }
    AppendElement(out, "APPID", login.appId.empty() ? kDefaultAppId : login.appId);
    AppendElement(out, "APPVER", login.appVersion.empty() ? kDefaultAppVersion : login.appVersion);
    if (useClientUid && !clientUid.empty())
        AppendElement(out, "CLIENTUID", clientUid);
    out += "</SONRQ></SIGNONMSGSRQV1>";
    return out;
}

enum class CachedProfileRead { kRead, kUnreadable, kCancelled };

// The kept PROFRS element as a tree; progress goes to the request's handler.
CachedProfileRead ReadCachedProfile(std::string_view text, COfxClient::MEventHandler& handler,
                                    CSgmlDocument& document) {
    if (text.empty())
        return CachedProfileRead::kUnreadable;
    ReadOnlyMemoryStream stream(text.data(), text.size());
    CGetProfileParseEventHandler adapter(handler);
    if (document.Parse(stream, COfxSgmlTagTable(), &adapter))
        return CachedProfileRead::kRead;
    return document.GetErrorCode() == kSgmlErrorCancelled ? CachedProfileRead::kCancelled
                                                          : CachedProfileRead::kUnreadable;
}

bool IsHttpsUrl(std::string_view url) {
    constexpr std::string_view kScheme = "https://";
    return url.size() > kScheme.size() &&
           platform::CompareNoCase1252(url.substr(0, kScheme.size()), kScheme) == 0;
}

}  // namespace

void SetOfxTransport(COfxTransport* transport) {
    gTransport.store(transport);
}

COfxTransport* CurrentOfxTransport() {
    return gTransport.load();
}

std::string COfxClient::ProfileUpdateDate(const OfxServerLogin& login,
                                          MGetProfileEventHandler& handler, bool force) {
    std::string date(kOldestUpdate);
    if (force || login.cachedProfile.empty())
        return date;
    CSgmlDocument document;
    const CachedProfileRead read = ReadCachedProfile(login.cachedProfile, handler, document);
    if (read == CachedProfileRead::kCancelled) {
        SetError(kOfxErrorCancelled);
        return {};
    }
    if (read == CachedProfileRead::kRead) {
        const CSgmlElement* element = document.FindFirstChild("DTPROFUP");
        if (element != nullptr && element->Text() != nullptr && !element->Text()->empty()) {
            date.clear();
            AppendData(date, *element->Text());
        }
    }
    return date;
}

bool COfxClient::GetProfile(const OfxServerLogin& login, MGetProfileEventHandler& handler,
                            bool force) {
    try {
        const std::string date = ProfileUpdateDate(login, handler, force);
        if (date.empty())
            return false;
        std::string text = BeginRequest(login, false, {});
        text += "<PROFMSGSRQV1><PROFTRNRQ><TRNUID>";
        text += NewTransactionUid();
        text += "<PROFRQ><CLIENTROUTING>NONE<DTPROFUP>";
        text += date;
        text += "</PROFRQ></PROFTRNRQ></PROFMSGSRQV1></OFX>";
        return Exchange(RequestKind::kProfile, login, text, handler,
                        [&](Stream& body) { return ParseProfile(body, handler); });
    } catch (const std::bad_alloc&) {
        SetError(kOfxErrorNoData);
        return false;
    }
}

bool COfxClient::GetAccountInfo(const OfxServerLogin& login, MGetAccountInfoEventHandler& handler,
                                bool useClientUid, std::string_view clientUid) {
    try {
        std::string text = BeginRequest(login, useClientUid, clientUid);
        text += "<SIGNUPMSGSRQV1><ACCTINFOTRNRQ><TRNUID>";
        text += NewTransactionUid();
        text += "<ACCTINFORQ><DTACCTUP>";
        text += kOldestUpdate;
        text += "</ACCTINFORQ></ACCTINFOTRNRQ></SIGNUPMSGSRQV1></OFX>";
        return Exchange(RequestKind::kAccountInfo, login, text, handler,
                        [&](Stream& body) { return ParseAccountInfo(body, handler); });
    } catch (const std::bad_alloc&) {
        SetError(kOfxErrorNoData);
        return false;
    }
}

bool COfxClient::GetStatement(const OfxServerLogin& login, std::string_view bankId,
                              std::string_view accountId, std::string_view accountType,
                              std::string_view startDate, MGetStatementEventHandler& handler,
                              bool useClientUid, std::string_view clientUid) {
    const bool card = bankId.empty() && accountType.empty();
    // A routed account without an OFX account type has no request form.
    if (!card && accountType.empty()) {
        SetError(kOfxErrorNoData);
        return false;
    }
    try {
        std::string start;
        if (startDate.empty()) {
            const PalmTime now = PalmTimeNow();
            const DateFields from =
                DateFields::FromPalmTime(now > kDefaultHistory ? now - kDefaultHistory : 0);
            start = FormatDateTime(from.year, from.month, from.day, from.hour, from.minute,
                                   from.second);
        } else {
            AppendData(start, startDate.substr(0, kStartTextMax));
        }

        std::string text = BeginRequest(login, useClientUid, clientUid);
        text += card ? "<CREDITCARDMSGSRQV1><CCSTMTTRNRQ><TRNUID>"
                     : "<BANKMSGSRQV1><STMTTRNRQ><TRNUID>";
        text += NewTransactionUid();
        if (card) {
            text += "<CCSTMTRQ><CCACCTFROM>";
            AppendElement(text, "ACCTID", accountId);
            text += "</CCACCTFROM>";
        } else {
            text += "<STMTRQ><BANKACCTFROM>";
            AppendElement(text, "BANKID", bankId);
            AppendElement(text, "ACCTID", accountId);
            AppendElement(text, "ACCTTYPE", accountType);
            text += "</BANKACCTFROM>";
        }
        text += "<INCTRAN><DTSTART>";
        text += start;
        text += "<INCLUDE>Y</INCTRAN>";
        text += card ? "</CCSTMTRQ></CCSTMTTRNRQ></CREDITCARDMSGSRQV1></OFX>"
                     : "</STMTRQ></STMTTRNRQ></BANKMSGSRQV1></OFX>";
        return Exchange(card ? RequestKind::kCreditCardStatement : RequestKind::kBankStatement,
                        login, text, handler,
                        [&](Stream& body) { return ParseStatement(body, handler); });
    } catch (const std::bad_alloc&) {
        SetError(kOfxErrorNoData);
        return false;
    }
}

bool COfxClient::Exchange(RequestKind kind, const OfxServerLogin& login,
                          const std::string& requestText, MEventHandler& handler,
                          const ReplyParser& parse) {
    std::unique_ptr<Win32SmallStream> body = CreateMemoryStream();
    if (!body || !body->WriteText(requestText) || !body->Seek(0)) {
        SetError(kOfxErrorNoData);
        return false;
    }

    OfxPostRequest request;
    request.url.assign(login.url);
    if (!login.cachedProfile.empty()) {
        CSgmlDocument profile;
        const CachedProfileRead read = ReadCachedProfile(login.cachedProfile, handler, profile);
        if (read == CachedProfileRead::kCancelled) {
            SetError(kOfxErrorCancelled);
            return false;
        }
        std::string_view set = "PROFMSGSET";
        std::string_view version = "PROFMSGSETV1";
        switch (kind) {
            case RequestKind::kProfile:
                break;
            case RequestKind::kAccountInfo:
                set = "SIGNUPMSGSET";
                version = "SIGNUPMSGSETV1";
                break;
            case RequestKind::kBankStatement:
                set = "BANKMSGSET";
                version = "BANKMSGSETV1";
                break;
            case RequestKind::kCreditCardStatement:
                set = "CREDITCARDMSGSET";
                version = "CREDITCARDMSGSETV1";
                break;
        }
        const CSgmlElement* url =
            read == CachedProfileRead::kRead
                ? profile.FindPath({"MSGSETLIST", set, version, "MSGSETCORE", "URL"})
                : nullptr;
        // The password goes wherever the profile points, so only over TLS.
        if (url != nullptr && url->Text() != nullptr && IsHttpsUrl(*url->Text()))
            request.url = *url->Text();
    }
    request.body = std::move(body);
    request.progress = [&handler] { return handler.Progress(-1); };

    COfxTransport* transport = transport_ != nullptr ? transport_ : CurrentOfxTransport();
    if (transport == nullptr) {
        SetError(kOfxErrorNoData);
        return false;
    }
    std::optional<OfxPostResult> response = transport->Post(std::move(request));
    if (!response) {
        SetError(kOfxErrorNoData);
        return false;
    }
    if (response->status != 0) {
        SetError(response->status);
        return false;
    }
    if (!response->body) {
        SetError(kOfxErrorNoData);
        return false;
    }
    return parse(*response->body);
}

}  // namespace tallowmere::exchange
