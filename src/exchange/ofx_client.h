#pragma once
// The OFX 1.02 client: builds the profile, account-information and statement
// requests, hands them to a transport, and walks the replies, reporting what
// they hold to the caller's event handler.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/stream.h"

namespace tallowmere::exchange {

class COfxTransport;

// What every request carries from the institution record. Texts are
// Windows-1252; empty APPID and APPVER mean "QWIN" and "1100".
struct OfxServerLogin {
    std::string_view userId;
    std::string_view password;
    std::string_view url;
    std::string_view org;
    std::string_view fid;
    std::string_view appId;
    std::string_view appVersion;
    // The PROFRS element kept from the last profile reply; may be empty.
    std::string_view cachedProfile;
};

class COfxClient {
  public:
    // Each slot but Progress answers 0 to go on; any other value stops the
    // walk and becomes the client's error.
    class MEventHandler {
      public:
        virtual ~MEventHandler() = default;
        // -1 from the HTTP exchange, 0 from the SGML reader; false cancels.
        virtual bool Progress(int value) = 0;
    };

    class MGetProfileEventHandler : public MEventHandler {
      public:
        // The PROFRS element written back as text.
        virtual std::int32_t OnProfile(std::string_view profileText) = 0;
        // The profile asks for a client UID (always 1).
        virtual std::int32_t OnClientUidRequired(int value) = 0;
    };

    class MGetAccountInfoEventHandler : public MEventHandler {
      public:
        virtual std::int32_t OnBankAccount(std::string_view bankId, std::string_view accountId,
                                           std::string_view accountType) = 0;
        virtual std::int32_t OnCreditCardAccount(std::string_view accountId) = 0;
    };

    class MGetStatementEventHandler : public MEventHandler {
      public:
        virtual std::int32_t OnStatementAccount(std::string_view accountId) = 0;
        // type is at most 11 characters, name at most 32.
        virtual std::int32_t OnStatementTransaction(std::string_view date, std::string_view amount,
                                                    std::string_view type,
                                                    std::optional<std::string_view> checkNumber,
                                                    std::string_view name,
                                                    std::optional<std::string_view> memo,
                                                    std::string_view fitId) = 0;
        virtual std::int32_t OnStatementEnd(std::string_view dtEnd) = 0;
        virtual std::int32_t OnLedgerBalance(std::string_view balanceAmount) = 0;
    };

    // No request changes the password; only the progress slot exists.
    class MChangePasswordEventHandler : public MEventHandler {};

    // Uses the installed transport (SetOfxTransport), or the given one.
    COfxClient() = default;
    explicit COfxClient(COfxTransport& transport) : transport_(&transport) {}

    bool GetProfile(const OfxServerLogin& login, MGetProfileEventHandler& handler, bool force);
    bool GetAccountInfo(const OfxServerLogin& login, MGetAccountInfoEventHandler& handler,
                        bool useClientUid, std::string_view clientUid);
    // A credit-card statement when bankId and accountType are both empty; an
    // empty startDate asks for the last 60 days.
    bool GetStatement(const OfxServerLogin& login, std::string_view bankId,
                      std::string_view accountId, std::string_view accountType,
                      std::string_view startDate, MGetStatementEventHandler& handler,
                      bool useClientUid, std::string_view clientUid);

    // The reply walks, on a stream positioned at the start of the reply (its
    // OFX header included). ParseStatement also reads OFX statement files.
    bool ParseProfile(Stream& stream, MGetProfileEventHandler& handler);
    bool ParseAccountInfo(Stream& stream, MGetAccountInfoEventHandler& handler);
    // The first statement of the reply is read, and checked whole before the
    // handler hears of it: every STMTTRN with a readable date and amount, a
    // type and a FITID, DTEND beside them, a BALAMT that is empty (no
    // balance) or readable. A fault reports nothing; the error (3 missing, 4
    // unreadable) names it. furtherAccounts, when given, gets the ACCTIDs
    // of the reply's other statements.
    bool ParseStatement(Stream& stream, MGetStatementEventHandler& handler,
                        std::vector<std::string>* furtherAccounts = nullptr);

    std::int32_t GetLastError() const { return lastError_; }
    const std::string& GetLastErrorText() const { return lastErrorText_; }
    void SetError(std::int32_t code, std::string_view text = {});

  private:
    enum class RequestKind { kProfile, kAccountInfo, kBankStatement, kCreditCardStatement };
    using ReplyParser = std::function<bool(Stream&)>;

    bool Exchange(RequestKind kind, const OfxServerLogin& login, const std::string& requestText,
                  MEventHandler& handler, const ReplyParser& parse);
    std::string ProfileUpdateDate(const OfxServerLogin& login, MGetProfileEventHandler& handler,
                                  bool force);

    std::int32_t lastError_ = 0;
    std::string lastErrorText_;
    COfxTransport* transport_ = nullptr;
};

// Error codes of the client beyond the OFX and HTTP ones.
inline constexpr std::int32_t kOfxErrorNoData = 1;     // nothing to send or no reply body
inline constexpr std::int32_t kOfxErrorCancelled = 2;  // the handler cancelled a parse
inline constexpr std::int32_t kOfxErrorMissing = 3;    // an element the walk needs is absent
inline constexpr std::int32_t kOfxErrorMalformed = 4;  // the reply cannot be read

// The fixed parts of every OFX post.
inline constexpr std::string_view kOfxPostMethod = "POST";
inline constexpr std::string_view kOfxPostVersion = "1.0";
inline constexpr std::string_view kOfxContentType = "application/x-ofx";
inline constexpr std::array<std::string_view, 4> kOfxPostHeaders = {
    "Accept: application/x-ofx, */*",
    "Accept-Language: en",
    "Connection: close",
    "User-Agent: Mozilla/5.0 (compatible; MSIE 5.01; Windows 2000; Tallowmere 4.0)",
};

// One request as the transport is to send it: method kOfxPostMethod, HTTP
// version kOfxPostVersion, content type kOfxContentType and the header lines
// kOfxPostHeaders in that order.
struct OfxPostRequest {
    std::string url;
    std::unique_ptr<Stream> body;
    // Polled during the exchange; false cancels (the transport then answers
    // 1223, as the HTTP client does).
    std::function<bool()> progress;
};

struct OfxPostResult {
    // 0, or the system, network or HTTP status code of a failed exchange.
    std::int32_t status = 0;
    // The reply body; null when there was none.
    std::unique_ptr<Stream> body;
};

// The sending step, kept apart from the request building so that the HTTP
// client can be connected here. Empty result (no response) is error 1.
class COfxTransport {
  public:
    virtual ~COfxTransport() = default;
    virtual std::optional<OfxPostResult> Post(OfxPostRequest request) = 0;
};

// The transport every COfxClient built without one uses; the caller keeps
// ownership. Null (the start) makes every request fail with error 1.
void SetOfxTransport(COfxTransport* transport);
COfxTransport* CurrentOfxTransport();

}  // namespace tallowmere::exchange
