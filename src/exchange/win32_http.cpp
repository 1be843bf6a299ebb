#include "exchange/win32_http.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "exchange/stream_file.h"

namespace tallowmere::exchange {
namespace {

// The program's title and version, as the About box shows them.
constexpr char kAgentHeader[] = "User-Agent: Linux Tallowmere Desktop 1.0.0.0";
constexpr char kRandomAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// Trusted besides a test CA file, so that the system's roots stay trusted.
constexpr char kSystemCaPath[] = "/etc/ssl/certs";

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using List = std::unique_ptr<curl_slist, ListDeleter>;
using Url = std::unique_ptr<CURLU, UrlDeleter>;

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The state the callbacks share during one curl_easy_perform.
struct Transfer {
    HttpRequest* request = nullptr;
    const HttpSettings* settings = nullptr;
    CURL* curl = nullptr;
    std::unique_ptr<Win32LargeStream> stream;
    HttpHeaderBlock head;
    bool headWritten = false;
    std::size_t written = 0;
    // Bytes that moved (header and body bytes received, body bytes sent),
    // and when they last did: the stall clock.
    std::uint64_t received = 0;
    curl_off_t lastUploaded = 0;
    std::uint64_t lastReceived = 0;
    std::chrono::steady_clock::time_point lastMove = std::chrono::steady_clock::now();

    bool cancelled = false;
    bool noMemory = false;
    bool tooLarge = false;
    bool badHead = false;
    bool writeFailed = false;
    bool downgrade = false;
    bool stalled = false;

    bool WriteHead() {
        const std::string& text = head.Text();
        if (text.size() > settings->maxResponseBytes) {
            tooLarge = true;
            return false;
        }
        if (!stream->WriteText(text)) {
            writeFailed = true;
            return false;
        }
        written = text.size();
        headWritten = true;
        return true;
    }

    // A redirect from https to http is refused before libcurl follows it.
    bool RedirectAllowed() const {
        const std::optional<int> status = head.Status();
        if (!status || *status < 300 || *status > 399 || head.Location().empty())
            return true;
        char* scheme = nullptr;
        const bool onHttps = curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme) == CURLE_OK &&
                             scheme != nullptr && EqualsNoCase(scheme, "https");
        return !(onHttps && StartsWithNoCase(head.Location(), "http:"));
    }
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    const std::string_view line(data, n);
    t.received += n;
    if (t.headWritten) {
        if (line.substr(0, 5) != "HTTP/")
            return n;  // trailers after a chunked body
        // Body bytes of an earlier response went out: start the stream anew.
        t.stream = CreateTempFileStream();
        if (!t.stream) {
            t.noMemory = true;
            return 0;
        }
        t.headWritten = false;
        t.written = 0;
    }
    try {
        if (!t.head.AddLine(line)) {
            t.badHead = true;  // a header block past the limit
            return 0;
        }
    } catch (const std::bad_alloc&) {
        t.noMemory = true;
        return 0;
    }
    if (line == "\r\n" || line == "\n") {
        if (!t.RedirectAllowed()) {
            t.downgrade = true;
            return 0;
        }
    }
    return n;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    t.received += n;
    if (!t.headWritten) {
        if (!t.head.Complete()) {
            t.badHead = true;
            return 0;
        }
        if (!t.WriteHead())
            return 0;
    }
    if (n > t.settings->maxResponseBytes - t.written) {
        t.tooLarge = true;
        return 0;
    }
    if (!t.stream->Write(data, n)) {
        t.writeFailed = true;
        return 0;
    }
    t.written += n;
    return n;
}

// The cancel question and the stall clock, asked by libcurl between reads
// and writes and by the transfer loop at every wake-up. libcurl's own
// low-speed check averages over several seconds and fires late, so it is
// only the backstop. False stops the exchange.
bool KeepGoing(Transfer& t, curl_off_t uploaded) {
    if (!t.request->CallProgress()) {
        t.cancelled = true;
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (uploaded != t.lastUploaded || t.received != t.lastReceived) {
        t.lastUploaded = uploaded;
        t.lastReceived = t.received;
        t.lastMove = now;
    } else if (now - t.lastMove >= t.settings->stallTime) {
        t.stalled = true;
        return false;
    }
    return true;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    return KeepGoing(*static_cast<Transfer*>(user), uploaded) ? 0 : 1;
}

struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
using Multi = std::unique_ptr<CURLM, MultiDeleter>;

// Runs the transfer with the multi interface, waking at least every
// kProgressWakeMs: libcurl alone calls back only about once a second while
// nothing moves (resolving, connecting, a server that says nothing), and
// Cancel must end an exchange well within a second. The transfer's result;
// CURLE_ABORTED_BY_CALLBACK when the loop stopped it.
CURLcode Perform(CURL* c, Transfer& t) {
    constexpr int kProgressWakeMs = 50;
    Multi multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), c) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                done = true;
            }
        }
        if (done || running == 0)
            break;
        curl_off_t uploaded = 0;
        curl_easy_getinfo(c, CURLINFO_SIZE_UPLOAD_T, &uploaded);
        if (!KeepGoing(t, uploaded)) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_poll(multi.get(), nullptr, 0, kProgressWakeMs, nullptr) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
    }
    curl_multi_remove_handle(multi.get(), c);
    return result;
}

// The URL rebuilt from the split's fields by libcurl's URL parser, which
// checks them once more. Empty when it refuses them.
std::string RebuildUrl(const HttpRequest& request) {
    Url url(curl_url());
    if (!url)
        return {};
    std::string path = request.Path().empty() ? std::string("/") : request.Path();
    std::string query;
    if (const std::size_t mark = path.find('?'); mark != std::string::npos) {
        query = path.substr(mark + 1);
        path.resize(mark);
    }
    const std::string port = std::to_string(request.Port());
    if (curl_url_set(url.get(), CURLUPART_SCHEME, request.Secure() ? "https" : "http", 0) !=
            CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_HOST, request.Host().c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK ||
        (!query.empty() && curl_url_set(url.get(), CURLUPART_QUERY, query.c_str(), 0) != CURLUE_OK))
        return {};
    char* text = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK || text == nullptr)
        return {};
    std::string result(text);
    curl_free(text);
    return result;
}

bool ReadAll(Stream& stream, std::string& out) {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        out.append(reinterpret_cast<const char*>(data), length);
    return true;
}

}  // namespace

bool InitHttpLibrary() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

Win32Http::Win32Http() : Win32Http(HttpSettings{}) {}

Win32Http::Win32Http(HttpSettings settings)
    : settings_(std::move(settings)), random_(std::random_device{}()) {
    InitHttpLibrary();
}

Win32Http::~Win32Http() = default;

std::unique_ptr<Stream> Win32Http::GetAgentHeader() {
    std::unique_ptr<Win32SmallStream> stream = CreateMemoryStream();
    if (!stream || !stream->WriteText(kAgentHeader) || !stream->Seek(0))
        return nullptr;
    return stream;
}

const char* Win32Http::MakeRandomText() {
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kRandomAlphabet - 2);
    for (std::size_t i = 0; i < 31; ++i)
        randomText_[i] = kRandomAlphabet[pick(random_)];
    randomText_[31] = '\0';
    return randomText_;
}

std::unique_ptr<HttpResponse> Win32Http::Send(HttpRequest& request) {
    std::unique_ptr<HttpResponse> response(new (std::nothrow) HttpResponse);
    if (!response)
        return nullptr;
    try {
        response->errorCode = Exchange(request, *response);
    } catch (const std::bad_alloc&) {
        response->errorCode = kHttpErrorNotEnoughMemory;
    }
    if (response->errorCode != 0)
        response->stream.reset();  // the temporary file goes on every failure
    return response;
}

int Win32Http::Exchange(HttpRequest& request, HttpResponse& response) {
    if (!request.HasUrl())
        return kInternetInvalidUrl;
    if (request.UrlError() != 0)
        return request.UrlError();
    const std::string_view method = request.Method() != nullptr ? request.Method() : "GET";
    const bool post = method == "POST";
    if (!post && method != "GET")
        return kHttpErrorInvalidParameter;
    if (!post && request.Body() != nullptr)
        return kHttpErrorInvalidParameter;
    if ((request.ContentType() != nullptr && HasLineBreak(request.ContentType())) ||
        (request.Version() != nullptr && HasLineBreak(*request.Version())))
        return kHttpErrorInvalidParameter;
    for (std::size_t i = 0; i < kHttpHeaderSlots; ++i) {
        if (HasLineBreak(request.Header(i)))
            return kHttpErrorInvalidParameter;  // no header injection
    }
    if (!InitHttpLibrary())
        return kInternetInternalError;

    // Before connecting.
    if (!request.CallProgress())
        return kHttpErrorCancelled;

    // The header block after the request line goes to libcurl; Host and
    // Content-Length it writes itself (the same values, no duplicates).
    std::unique_ptr<Stream> text = request.BuildRequestText(false);
    if (!text)
        return kHttpErrorNotEnoughMemory;
    std::string all;
    ReadAll(*text, all);
    text.reset();
    const std::size_t lineEnd = all.find("\r\n");
    const std::size_t blank = all.find("\r\n\r\n");
    if (lineEnd == std::string::npos || blank == std::string::npos || blank < lineEnd)
        return kHttpErrorNotEnoughMemory;
    const std::string body = all.substr(blank + 4);
    std::string_view block(all.data() + lineEnd + 2, blank >= lineEnd + 2 ? blank - lineEnd : 0);

    List headers;
    bool hasAccept = false;
    const auto append = [&headers](const std::string& line) {
        curl_slist* next = curl_slist_append(headers.get(), line.c_str());
        if (next == nullptr)
            return false;
        headers.release();
        headers.reset(next);
        return true;
    };
    while (!block.empty()) {
        const std::size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block.remove_prefix(end == std::string_view::npos ? block.size() : end + 2);
        if (line.empty() || StartsWithNoCase(line, "Host:") ||
            StartsWithNoCase(line, "Content-Length:"))
            continue;
        if (StartsWithNoCase(line, "Accept:"))
            hasAccept = true;
        if (!append(std::string(line)))
            return kHttpErrorNotEnoughMemory;
    }
    // WinINet sent no Accept without accept types, and no Expect.
    if ((!hasAccept && !append("Accept:")) || !append("Expect:"))
        return kHttpErrorNotEnoughMemory;

    const std::string url = RebuildUrl(request);
    if (url.empty())
        return kInternetInvalidUrl;

    Transfer t;
    t.request = &request;
    t.settings = &settings_;
    t.stream = CreateTempFileStream();
    if (!t.stream)
        return kHttpErrorNotEnoughMemory;
    Easy easy(curl_easy_init());
    if (!easy)
        return kHttpErrorNotEnoughMemory;
    CURL* c = easy.get();
    t.curl = c;
    char errorText[CURL_ERROR_SIZE] = {};

    bool ok = true;
    const auto set = [&ok](CURLcode rc) { ok = ok && rc == CURLE_OK; };
    set(curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText));
    set(curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(c, CURLOPT_URL, url.c_str()));
    set(curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(curl_easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0)));
    set(curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get()));
    if (post) {
        set(curl_easy_setopt(c, CURLOPT_POST, 1L));
        set(curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data()));
        set(curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())));
    } else {
        set(curl_easy_setopt(c, CURLOPT_HTTPGET, 1L));
    }
    // Redirects: never from https to http (here and in OnHeader).
    set(curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L));
    set(curl_easy_setopt(c, CURLOPT_MAXREDIRS, settings_.maxRedirects));
    set(curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR,
                         request.Secure() ? "https" : "http,https"));
    // Certificates: always checked, against the system store.
    set(curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L));
    set(curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L));
    set(curl_easy_setopt(c, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2)));
    if (!settings_.testExtraCaFile.empty()) {
        set(curl_easy_setopt(c, CURLOPT_CAINFO, settings_.testExtraCaFile.c_str()));
        struct stat st {};
        if (stat(kSystemCaPath, &st) == 0 && S_ISDIR(st.st_mode))
            set(curl_easy_setopt(c, CURLOPT_CAPATH, kSystemCaPath));
    }
    // Time-outs and the size cap.
    set(curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(settings_.connectTimeout.count())));
    set(curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, settings_.stallBytesPerSecond));
    set(curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(settings_.stallTime.count())));
    set(curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(settings_.maxResponseBytes)));
    // The response.
    set(curl_easy_setopt(c, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    set(curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader));
    set(curl_easy_setopt(c, CURLOPT_HEADERDATA, &t));
    set(curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody));
    set(curl_easy_setopt(c, CURLOPT_WRITEDATA, &t));
    set(curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L));
    set(curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress));
    set(curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t));
    if (!ok)
        return kInternetInternalError;

    t.lastMove = std::chrono::steady_clock::now();
    const CURLcode rc = Perform(c, t);

    if (t.cancelled)
        return kHttpErrorCancelled;
    if (t.noMemory)
        return kHttpErrorNotEnoughMemory;
    if (t.tooLarge)
        return kHttpErrorTooLarge;
    if (t.badHead)
        return kHttpInvalidServerResponse;
    if (t.writeFailed)
        return kHttpErrorOutOfMemory;
    if (t.downgrade)
        return kInternetHttpsToHttpOnRedirect;
    if (t.stalled)
        return kInternetTimeout;
    if (rc != CURLE_OK) {
        CurlErrorContext context;
        long verify = 0;
        if (curl_easy_getinfo(c, CURLINFO_SSL_VERIFYRESULT, &verify) == CURLE_OK)
            context.sslVerifyResult = verify;
        const std::optional<int> status = t.head.Status();
        context.redirectRefused =
            status && *status >= 300 && *status <= 399 && !t.head.Location().empty();
        context.secureOrigin = request.Secure();
        response.errorText = errorText[0] != '\0' ? errorText : curl_easy_strerror(rc);
        return HttpErrorFromCurl(rc, context);
    }
    // An unparseable status line is a failure, never success.
    if (!t.head.Complete())
        return kHttpInvalidServerResponse;
    if (!t.headWritten && !t.WriteHead())
        return t.tooLarge ? kHttpErrorTooLarge : kHttpErrorOutOfMemory;
    if (!t.stream->Seek(0))
        return kHttpErrorOutOfMemory;  // the tail could not be written
    // The last cancel check, after the last read.
    if (!request.CallProgress())
        return kHttpErrorCancelled;
    response.stream = std::move(t.stream);
    return 0;
}

Http& GetHttpClient() {
    static Win32Http client;
    return client;
}

}  // namespace tallowmere::exchange
