#include "exchange/http_parse.h"

#include <cstdint>

#include "exchange/http_errors.h"

namespace tallowmere::exchange {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool ValidHostName(std::string_view host) {
    if (host.empty() || host.size() > kHttpMaxHostLength)
        return false;
    for (char c : host) {
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != '-' && c != '.' && c != '_')
            return false;
    }
    return true;
}

// "[" hex digits, ":" and "." "]": the brackets are part of the text.
bool ValidIpv6Literal(std::string_view host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']' ||
        host.size() > kHttpMaxHostLength)
        return false;
    bool colon = false;
    for (char c : host.substr(1, host.size() - 2)) {
        if (c == ':')
            colon = true;
        else if (!IsHexDigit(c) && c != '.')
            return false;
    }
    return colon;
}

bool ValidPath(std::string_view path) {
    if (path.size() > kHttpMaxPathLength)
        return false;
    if (!path.empty() && path.front() != '/')
        return false;
    for (char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '#')
            return false;
    }
    return true;
}

HttpUrlSplit Invalid(int error) {
    HttpUrlSplit split;
    split.error = error;
    return split;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// One line up to LF, without its line ending; false at the end of the stream
// before any byte, or when the line is longer than the limit.
enum class LineResult { kLine, kEnd, kTooLong };

LineResult ReadLine(Stream& stream, std::string& line) {
    line.clear();
    std::uint8_t c = 0;
    bool any = false;
    while (stream.ReadByte(c)) {
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return LineResult::kLine;
        }
        if (line.size() >= kHttpMaxLineLength)
            return LineResult::kTooLong;
        line.push_back(static_cast<char>(c));
    }
    // A last line without LF cannot be followed by the blank line.
    return any ? LineResult::kTooLong : LineResult::kEnd;
}

}  // namespace

HttpUrlSplit SplitHttpUrl(std::string_view text) {
    HttpUrlSplit split;
    HttpUrl& url = split.url;

    // Scheme.
    std::size_t letters = 0;
    while (letters < text.size() && IsAsciiLetter(text[letters]))
        ++letters;
    std::size_t hostStart = 0;
    if (letters < text.size() && text[letters] == ':') {
        const std::string_view scheme = text.substr(0, letters);
        const bool https = EqualsNoCase(scheme, "https");
        if (https || EqualsNoCase(scheme, "http")) {
            url.secure = https;
            hostStart = letters + 1;
            while (hostStart < text.size() && text[hostStart] == '/')
                ++hostStart;
        } else if (text.substr(letters + 1, 2) == "//") {
            return Invalid(kInternetUnrecognizedScheme);
        }
        // Else "host:port": no scheme.
    }
    url.port = url.secure ? 443 : 80;

    // Host.
    std::size_t hostEnd = hostStart;
    if (hostStart < text.size() && text[hostStart] == '[') {
        const std::size_t close = text.find(']', hostStart);
        if (close == std::string_view::npos)
            return Invalid(kInternetInvalidUrl);
        hostEnd = close + 1;
        url.host = std::string(text.substr(hostStart, hostEnd - hostStart));
        if (!ValidIpv6Literal(url.host))
            return Invalid(kInternetInvalidUrl);
    } else {
        while (hostEnd < text.size() && text[hostEnd] != ':' && text[hostEnd] != '/')
            ++hostEnd;
        url.host = std::string(text.substr(hostStart, hostEnd - hostStart));
        if (!ValidHostName(url.host))
            return Invalid(kInternetInvalidUrl);
    }

    // Port.
    std::size_t pathStart = hostEnd;
    if (pathStart < text.size() && text[pathStart] == ':') {
        ++pathStart;
        std::size_t digits = 0;
        long port = 0;
        while (pathStart < text.size() && IsDigit(text[pathStart]) && digits < 6) {
            port = port * 10 + (text[pathStart] - '0');
            ++pathStart;
            ++digits;
        }
        if (digits == 0 || digits > 5 || port < 1 || port > 65535)
            return Invalid(kInternetInvalidUrl);
        url.port = static_cast<int>(port);
    }

    // Path.
    const std::string_view path = text.substr(pathStart);
    if (!ValidPath(path))
        return Invalid(kInternetInvalidUrl);
    url.path = std::string(path);
    return split;
}

std::optional<int> ParseHttpStatusLine(std::string_view line) {
    if (line.substr(0, 5) != "HTTP/")
        return std::nullopt;
    std::size_t i = 5;
    // Version: digits, optionally "." digits.
    const std::size_t major = i;
    while (i < line.size() && IsDigit(line[i]))
        ++i;
    if (i == major)
        return std::nullopt;
    if (i < line.size() && line[i] == '.') {
        const std::size_t minor = ++i;
        while (i < line.size() && IsDigit(line[i]))
            ++i;
        if (i == minor)
            return std::nullopt;
    }
    const std::size_t blanks = i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i == blanks || line.size() - i < 3)
        return std::nullopt;
    if (!IsDigit(line[i]) || !IsDigit(line[i + 1]) || !IsDigit(line[i + 2]))
        return std::nullopt;
    const int code = (line[i] - '0') * 100 + (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
    i += 3;
    if (i < line.size() && line[i] != ' ' && line[i] != '\t')
        return std::nullopt;  // "2000" or "200x"
    if (code < 100 || code > 599)
        return std::nullopt;
    return code;
}

std::optional<HttpResponseHead> ParseHttpResponseHead(Stream& stream) {
    if (!stream.Seek(0))
        return std::nullopt;
    std::string line;
    std::size_t total = 0;
    for (;;) {
        if (ReadLine(stream, line) != LineResult::kLine)
            return std::nullopt;
        total += line.size() + 2;
        const std::optional<int> status = ParseHttpStatusLine(line);
        if (!status)
            return std::nullopt;
        // Header lines up to the blank line.
        for (;;) {
            if (ReadLine(stream, line) != LineResult::kLine)
                return std::nullopt;
            total += line.size() + 2;
            if (total > kHttpMaxHeaderBytes)
                return std::nullopt;
            if (line.empty())
                break;
        }
        if (*status >= 200) {
            HttpResponseHead head;
            head.status = *status;
            head.bodyOffset = stream.Tell();
            return head;
        }
    }
}

void HttpHeaderBlock::Clear() {
    text_.clear();
    status_.reset();
    location_.clear();
    complete_ = false;
    inBlock_ = false;
}

bool HttpHeaderBlock::AddLine(std::string_view line) {
    const std::string_view content = TrimLineEnd(line);
    const bool statusLine = content.substr(0, 5) == "HTTP/";
    if (statusLine) {
        Clear();
        inBlock_ = true;
        status_ = ParseHttpStatusLine(content);
    } else if (complete_ || !inBlock_) {
        // Trailers after the body, or a line before any status line: neither
        // belongs to the header block.
        return true;
    }
    if (text_.size() + content.size() + 2 > limit_)
        return false;
    text_.append(content);
    text_.append("\r\n");
    if (content.empty()) {
        inBlock_ = false;
        complete_ = status_.has_value() && *status_ >= 200;
    } else if (!statusLine && StartsWithNoCase(content, "location:")) {
        std::string_view value = content.substr(9);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        location_ = std::string(value);
    }
    return true;
}

}  // namespace tallowmere::exchange
