#include "exchange/fidb_client.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "exchange/ofx_client.h"
#include "exchange/ofx_tags.h"
#include "exchange/server_url.h"
#include "exchange/sgml_document.h"
#include "model/preferences.h"

namespace tallowmere::exchange {
namespace {

std::atomic<Http*> gHttp{nullptr};

constexpr std::string_view kDirectoryPath = "/server/ombrel.php?";
constexpr std::string_view kListQuery = "Action=banklist&Version=0";
constexpr std::string_view kDetailsQuery = "Action=bankdetail&Bankid=";
constexpr std::uint32_t kDetailsStamp = 1;

class CUpdateFiListParseEventHandler final : public CSgmlElement::MParseEventHandler {
  public:
    explicit CUpdateFiListParseEventHandler(CFidbClient::MEventHandler& client) : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    CFidbClient::MEventHandler& client_;
};

class CUpdateFiItemParseEventHandler final : public CSgmlElement::MParseEventHandler {
  public:
    explicit CUpdateFiItemParseEventHandler(CFidbClient::MEventHandler& client) : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    CFidbClient::MEventHandler& client_;
};

bool IsBlank(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Passes the first markup item, which ends at the first ">". An XML
// declaration is left for the reader instead, which passes it over the same
// way and also takes the text encoding it names.
void SkipFirstItem(Stream& body) {
    const std::size_t start = body.Tell();
    std::string lead;
    std::uint8_t c = 0;
    while (body.ReadByte(c)) {
        if (lead.size() < 5 && !(lead.empty() && IsBlank(c)))
            lead += static_cast<char>(c);
        if (c == '>') {
            if (lead == "<?xml")
                body.Seek(start);
            return;
        }
    }
}

// A decimal id as the C runtime's atoi reads it (blanks, a sign, digits; a
// text without digits is 0), except that a number beyond 32 bits is refused
// rather than left undefined.
std::optional<std::int32_t> ReadUid(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(static_cast<std::uint8_t>(text[i])))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    std::int32_t value = 0;
    const char* begin = text.data() + i;
    const char* end = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(begin, end, value);
    if (r.ec == std::errc::result_out_of_range)
        return std::nullopt;
    if (r.ec != std::errc())
        return 0;
    return value;
}

const std::string* ChildText(const CSgmlElement& element, std::string_view name) {
    const CSgmlElement* child = element.FindFirstChild(name);
    return child != nullptr ? child->Text() : nullptr;
}

// The HTTP exchange's progress, as the directory's handlers take it.
bool CallHandlerProgress(void* userData, int, int total) {
    return static_cast<CFidbClient::MEventHandler*>(userData)->Progress(total);
}

}  // namespace

void SetFidbHttpClient(Http* http) {
    gHttp.store(http);
}

Http& CurrentFidbHttpClient() {
    Http* http = gHttp.load();
    return http != nullptr ? *http : GetHttpClient();
}

CFidbClient::CFidbClient() : http_(nullptr), baseUrl_(GetPrefFiDirectoryUrl()) {}

CFidbClient::CFidbClient(Http& http, std::string baseUrl)
    : http_(&http), baseUrl_(std::move(baseUrl)) {}

void CFidbClient::SetError(std::int32_t code, std::string_view text) {
    lastError_ = code;
    try {
        lastErrorText_.assign(text);
    } catch (const std::bad_alloc&) {
        lastErrorText_.clear();
    }
}

template <typename Parse>
bool CFidbClient::Fetch(const std::string& query, MEventHandler& handler, Parse parse) {
    // A directory reply says where the password goes; it must come over TLS.
    if (!IsAcceptedServerUrl(baseUrl_)) {
        SetError(kInternetInvalidUrl);
        return false;
    }
    std::string url = baseUrl_;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    url += kDirectoryPath;
    url += query;

    HttpRequest request;
    request.SetMethod("GET");
    // A refused URL is answered by Send with its code.
    request.SetUrl(url);
    request.SetProgressCallback(&CallHandlerProgress, &handler);
    Http& http = http_ != nullptr ? *http_ : CurrentFidbHttpClient();
    std::unique_ptr<HttpResponse> response = http.Send(request);
    if (!response) {
        SetError(kOfxErrorNoData);
        return false;
    }
    const int status = GetStatus(*response);
    if (status != 0) {
        SetError(status, response->errorCode != 0 ? response->errorText : std::string());
        return false;
    }
    Stream* body = GetBody(*response);
    std::uint8_t first = 0;
    if (body == nullptr || !body->PeekByte(first)) {
        SetError(kOfxErrorNoData);
        return false;
    }
    return parse(*body);
}

bool CFidbClient::UpdateFiList(MUpdateFiListEventHandler& handler) {
    try {
        return Fetch(std::string(kListQuery), handler,
                     [&](Stream& body) { return ParseFiListReply(body, handler); });
    } catch (const std::bad_alloc&) {
        SetError(kOfxErrorNoData);
        return false;
    }
}

bool CFidbClient::UpdateFiItem(std::int32_t id, MUpdateFiItemEventHandler& handler) {
    try {
        return Fetch(std::string(kDetailsQuery) + std::to_string(id), handler,
                     [&](Stream& body) { return ParseFiItemReply(body, handler); });
    } catch (const std::bad_alloc&) {
        SetError(kOfxErrorNoData);
        return false;
    }
}

bool CFidbClient::ParseFiListReply(Stream& body, MUpdateFiListEventHandler& handler) {
    SkipFirstItem(body);
    CSgmlDocument document;
    CUpdateFiListParseEventHandler adapter(handler);
    const auto documentError = [&] {
        SetError(document.GetErrorCode(), document.GetErrorText());
        return false;
    };
    if (!document.Parse(body, CFidbSgmlTagTable(), &adapter))
        return documentError();
    CSgmlElement* banks = document.FindPath({"BANKS"});
    if (banks == nullptr)
        return documentError();
    for (CSgmlElement* bank = banks->FindFirstChild("BANK"); bank != nullptr;
         bank = bank->FindNextSibling("BANK")) {
        if (!handler.Progress(0)) {
            SetError(kOfxErrorCancelled);
            return false;
        }
        const std::string* uid = bank->GetText({"UID"});
        const std::string* name = uid != nullptr ? bank->GetText({"BANKNAME"}) : nullptr;
        if (name == nullptr)
            return documentError();
        const std::optional<std::int32_t> id = ReadUid(*uid);
        if (!id) {
            SetError(kOfxErrorMalformed, *uid);
            return false;
        }
        const std::int32_t answer = handler.OnInstitution(*id, *name);
        if (answer != 0) {
            SetError(answer);
            return false;
        }
    }
    handler.OnListVersion(kFiDirectoryListVersion);
    return true;
}

bool CFidbClient::ParseFiItemReply(Stream& body, MUpdateFiItemEventHandler& handler) {
    SkipFirstItem(body);
    CSgmlDocument document;
    CUpdateFiItemParseEventHandler adapter(handler);
    const auto documentError = [&] {
        SetError(document.GetErrorCode(), document.GetErrorText());
        return false;
    };
    if (!document.Parse(body, CFidbSgmlTagTable(), &adapter))
        return documentError();
    CSgmlElement* info = document.FindPath({"BANKINFO"});
    const std::string* uid = info != nullptr ? info->GetText({"UID"}) : nullptr;
    if (uid == nullptr)
        return documentError();
    const std::optional<std::int32_t> id = ReadUid(*uid);
    if (!id) {
        SetError(kOfxErrorMalformed, *uid);
        return false;
    }
    const std::int32_t answer = handler.OnInstitutionDetails(
        *id, kDetailsStamp, ChildText(*info, "URL"), ChildText(*info, "ORG"),
        ChildText(*info, "FID"), ChildText(*info, "APPID"), ChildText(*info, "APPVER"));
    if (answer != 0) {
        SetError(answer);
        return false;
    }
    return true;
}

}  // namespace tallowmere::exchange
