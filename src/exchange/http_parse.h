#pragma once
// The parsing of the HTTP client, apart from the network: the URL split, the
// response's status line and header block, and the collection of the header
// lines that libcurl hands over.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/stream.h"

namespace tallowmere::exchange {

// Longest host name (DNS) and path the client sends.
inline constexpr std::size_t kHttpMaxHostLength = 253;
inline constexpr std::size_t kHttpMaxPathLength = 8192;
// Longest status or header line, and largest header block, that are read.
inline constexpr std::size_t kHttpMaxLineLength = 16 * 1024;
inline constexpr std::size_t kHttpMaxHeaderBytes = 256 * 1024;

struct HttpUrl {
    bool secure = false;
    std::string host;  // a bracketed IPv6 literal keeps its brackets
    int port = 80;
    std::string path;  // from the first "/" (query included); may be empty
};

struct HttpUrlSplit {
    int error = 0;  // 0, kInternetInvalidUrl or kInternetUnrecognizedScheme
    HttpUrl url;
};

// The URL split, made strict:
// - Letters followed by ":" are the scheme when they spell http or https
//   (any case); every "/" after the colon is skipped. Letters followed by
//   "://" that spell anything else are an unrecognised scheme. Otherwise
//   there is no scheme ("host:8080/p" is a host and a port) and the URL is
//   http.
// - The host runs to ":" or "/" or the end (a "[...]" IPv6 literal to its
//   "]"); it must be 1-253 letters, digits, "-", "." or "_".
// - After ":", 1-5 digits give a port of 1-65535; the path must then begin
//   with "/" or be empty.
// - The path is at most 8 KiB of printable ASCII without blanks or "#".
HttpUrlSplit SplitHttpUrl(std::string_view text);

// "HTTP/" version, blanks, a three-digit code 100-599, then a blank and a
// reason or nothing. The line has no line ending. Empty when unparseable.
std::optional<int> ParseHttpStatusLine(std::string_view line);

struct HttpResponseHead {
    int status = 0;              // the final (non-1xx) status code
    std::size_t bodyOffset = 0;  // the first byte after the final blank line
};

// Reads a raw response from the stream's start: interim 1xx responses, each
// with its header block, are skipped; the final status line and its header
// lines follow, up to the blank line. Lines end in LF with an optional CR.
// Empty when a status line is unparseable, a line or the block is too long,
// or the stream ends before the blank line. Leaves the stream anywhere.
std::optional<HttpResponseHead> ParseHttpResponseHead(Stream& stream);

// Gathers the header lines of a libcurl exchange. A line that starts a new
// status line ("HTTP/", after a 100 or a followed redirect) drops what was
// gathered, so only the final response is kept, as WinINet's raw headers
// are. Every line ending becomes CRLF, so a server's bare LF still gives a
// "\r\n\r\n" before the body.
class HttpHeaderBlock {
  public:
    explicit HttpHeaderBlock(std::size_t limit = kHttpMaxHeaderBytes) : limit_(limit) {}

    // False when the block would grow past the limit.
    bool AddLine(std::string_view line);
    void Clear();

    // The normalised lines, the blank line included once Complete.
    const std::string& Text() const { return text_; }
    // True once the blank line after a final (non-1xx) status line was seen.
    bool Complete() const { return complete_; }
    // The current status line's code, when it parses.
    std::optional<int> Status() const { return status_; }
    // The Location header of the current block, when it has one.
    const std::string& Location() const { return location_; }

  private:
    std::size_t limit_;
    std::string text_;
    std::optional<int> status_;
    std::string location_;
    bool complete_ = false;
    bool inBlock_ = false;
};

}  // namespace tallowmere::exchange
