#pragma once
// The HTTP client: a request record, the response record whose
// stream holds the raw response headers and then the body, and the abstract
// client reached through GetHttpClient. Win32Http (win32_http.h) implements it
// on libcurl.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "exchange/http_errors.h"
#include "exchange/http_parse.h"
#include "exchange/stream.h"
#include "exchange/stream_memory.h"
#include "model/palm_time.h"

namespace tallowmere::exchange {

// Called with (user data, 0, -1) throughout an exchange, at least every
// 100 ms while it resolves, connects, sends and waits; false cancels it.
using HttpProgressCallback = bool (*)(void* userData, int done, int total);

inline constexpr std::size_t kHttpHeaderSlots = 4;

class HttpRequest {
  public:
    HttpRequest() = default;
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // The verb ("GET" or "POST"); not copied, the caller keeps it alive.
    void SetMethod(const char* verb) { method_ = verb; }
    // The request line's version; length -1 means up to the terminator. Null
    // means "1.1". The wire always carries HTTP/1.0.
    void SetVersion(const char* text, std::ptrdiff_t length = -1);
    // Splits the URL (SplitHttpUrl). False when it is refused; UrlError then
    // says why and Send answers with that code.
    bool SetUrl(std::string_view url);
    // Puts the line (without line ending) into the first free of the four
    // slots; the text is not copied, the caller keeps it alive. A fifth line
    // is dropped: false.
    bool AddHeader(const char* line);
    // Not copied; null means "text".
    void SetContentType(const char* type) { contentType_ = type; }
    // Deletes the previous body.
    void SetBody(std::unique_ptr<Stream> body) { body_ = std::move(body); }
    void SetProgressCallback(HttpProgressCallback callback, void* userData) {
        callback_ = callback;
        userData_ = userData;
    }

    // The request as text in a new memory stream positioned at 0: the request
    // line, Host, Content-Type and Content-Length, the header slots, with the
    // absolute-URI flag the scheme and host before the path and the two
    // no-cache lines, and the blank line. With a body, a CompoundStream of
    // (text, body) is returned and the request no longer owns the body. Null
    // when memory is exhausted.
    std::unique_ptr<Stream> BuildRequestText(bool absoluteUri);

    // The progress callback's answer; true without one.
    bool CallProgress() const { return callback_ == nullptr || callback_(userData_, 0, -1); }

    const char* Method() const { return method_; }
    const std::string* Version() const { return hasVersion_ ? &version_ : nullptr; }
    bool Secure() const { return url_.secure; }
    const std::string& Host() const { return url_.host; }
    bool PortGiven() const { return portGiven_; }
    int Port() const { return url_.port; }
    const std::string& Path() const { return url_.path; }
    int UrlError() const { return urlError_; }
    bool HasUrl() const { return hasUrl_; }
    // The header slot's line, empty when the slot is free.
    std::string_view Header(std::size_t slot) const;
    const char* ContentType() const { return contentType_; }
    Stream* Body() const { return body_.get(); }

  private:
    const char* method_ = nullptr;
    std::string version_;
    bool hasVersion_ = false;
    HttpUrl url_;
    bool portGiven_ = false;
    int urlError_ = kInternetInvalidUrl;  // no URL yet
    bool hasUrl_ = false;
    std::array<std::unique_ptr<ReadOnlyMemoryStream>, kHttpHeaderSlots> headers_;
    const char* contentType_ = nullptr;
    std::unique_ptr<Stream> body_;
    HttpProgressCallback callback_ = nullptr;
    void* userData_ = nullptr;
};

struct HttpResponse {
    // 0 success, 1223 cancelled, 8 or 14 out of memory, else a WinINet code
    // (http_errors.h).
    int errorCode = 0;
    // The first body byte; 0 until GetBody found it.
    std::size_t bodyOffset = 0;
    // The raw headers, then the body, in a temporary file that goes with the
    // response; null when the exchange failed.
    std::unique_ptr<Stream> stream;
    // libcurl's description of a failure, for the "Error N \"text\"." message.
    std::string errorText;
};

// The error code when it is not 0; 65535 without a stream; 12152 when the
// status line or header block cannot be parsed (never success); else the
// final status, 0 for 200-299.
int GetStatus(HttpResponse& response);

// The stream at the first body byte; null without a stream or when the head
// cannot be parsed.
Stream* GetBody(HttpResponse& response);

class Http {
  public:
    // Seconds from 1904-01-01 to 1970-01-01.
    static constexpr std::uint32_t kEpochOffset = 2082844800;

    virtual ~Http();
    Http(const Http&) = delete;
    Http& operator=(const Http&) = delete;

    // One synchronous exchange. Null only when the response record itself
    // could not be allocated.
    virtual std::unique_ptr<HttpResponse> Send(HttpRequest& request) = 0;
    // "User-Agent: ..." in a new memory stream at 0; the base gives null.
    virtual std::unique_ptr<Stream> GetAgentHeader() { return nullptr; }
    virtual bool SupportsSecure() { return false; }
    virtual void Reset() {}
    // 31 random letters and digits, kept in the object until the next call.
    virtual const char* MakeRandomText() = 0;
    virtual bool IsCancelled(int code) { return code == kHttpErrorCancelled; }
    virtual bool IsFailure(int code) { return code != 0 && code != kHttpErrorCancelled; }
    // The current local date value.
    virtual PalmTime Now();
    virtual std::uint32_t GetEpochOffset() { return kEpochOffset; }
    // Seconds west of UTC (standard time).
    virtual long GetTimeZoneBias();
    // "YYYY-MM-DDTHH:MM:SS" and "Z" (the date converted to UTC) or the local
    // offset "+HHMM"/"-HHMM"; kept in the object until the next call.
    virtual const char* FormatIsoDateTime(PalmTime date, bool utc);
    // The fields at fixed positions of the ISO form; a "Z" at index 19 means
    // UTC, converted to local time. 0 for a text shorter than 19 characters,
    // non-digits in the fields, or an impossible date.
    virtual PalmTime ParseIsoDateTime(const char* text);

  protected:
    Http() = default;

  private:
    char isoText_[96] = {};
};

// The program's one client, a Win32Http made on first use (function-local
// static, so libcurl is initialised when first needed, not during static
// initialisation).
Http& GetHttpClient();

}  // namespace tallowmere::exchange
