// The HTTP client's parsers over arbitrary bytes. The first byte picks the
// target (its value modulo 5) and a few options (the high bits):
//   0  the URL split and the request text built from it;
//   1  GetStatus and GetBody over a raw response, through a memory stream, a
//      compound stream split at a chosen place and a temporary file (4096-byte
//      blocks), which must all agree;
//   2  the header-line collector, whose complete blocks the raw parser must
//      read back with the same status;
//   3  ReadToken and SkipPast against plain string searches;
//   4  ParseIsoDateTime.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/http.h"
#include "exchange/http_parse.h"
#include "exchange/stream_compound.h"
#include "exchange/stream_file.h"
#include "exchange/stream_memory.h"
#include "exchange/win32_http.h"

namespace {

namespace ex = tallowmere::exchange;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::string ReadAll(ex::Stream& stream) {
    std::string out;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        out.append(reinterpret_cast<const char*>(data), length);
    return out;
}

void FuzzUrl(std::string_view text, std::uint8_t options) {
    const ex::HttpUrlSplit split = ex::SplitHttpUrl(text);
    if (split.error != 0) {
        Check(split.error == ex::kInternetInvalidUrl ||
              split.error == ex::kInternetUnrecognizedScheme);
        return;
    }
    const ex::HttpUrl& url = split.url;
    Check(!url.host.empty() && url.host.size() <= ex::kHttpMaxHostLength);
    Check(url.port >= 1 && url.port <= 65535);
    Check(url.path.empty() || url.path[0] == '/');
    Check(url.path.size() <= ex::kHttpMaxPathLength);
    for (char c : url.host + url.path)
        Check(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F);

    // Written out again, the URL splits the same way.
    const std::string again = std::string(url.secure ? "https://" : "http://") + url.host + ":" +
                              std::to_string(url.port) + url.path;
    const ex::HttpUrlSplit back = ex::SplitHttpUrl(again);
    Check(back.error == 0 && back.url.secure == url.secure && back.url.host == url.host &&
          back.url.port == url.port && back.url.path == url.path);

    // The request text has exactly its own lines: nothing from the URL can
    // add a header.
    ex::HttpRequest request;
    request.SetMethod((options & 0x20) ? "POST" : "GET");
    Check(request.SetUrl(text));
    const bool absolute = (options & 0x40) != 0;
    std::unique_ptr<ex::Stream> built = request.BuildRequestText(absolute);
    Check(built != nullptr);
    const std::string all = ReadAll(*built);
    std::size_t lines = 0;
    for (std::size_t at = all.find("\r\n"); at != std::string::npos; at = all.find("\r\n", at + 2))
        ++lines;
    Check(lines == (absolute ? 7u : 5u));
    Check(all.size() >= 4 && all.compare(all.size() - 4, 4, "\r\n\r\n") == 0);
    Check(all.find('\n') == all.find("\r\n") + 1);
}

struct Outcome {
    int status = 0;
    std::string body = "<none>";
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

Outcome Evaluate(std::unique_ptr<ex::Stream> stream) {
    ex::HttpResponse response;
    response.stream = std::move(stream);
    Outcome o;
    o.status = ex::GetStatus(response);
    Check(o.status == 0 || o.status == ex::kHttpInvalidServerResponse ||
          (o.status >= 300 && o.status <= 599));
    ex::Stream* body = ex::GetBody(response);
    Check((body == nullptr) == (o.status == ex::kHttpInvalidServerResponse));
    if (body != nullptr) {
        o.body = ReadAll(*body);
        Check(ex::GetBody(response) == body);  // the remembered place
        Check(ReadAll(*body) == o.body);
    }
    return o;
}

void FuzzResponse(const std::uint8_t* data, std::size_t size, std::uint8_t options) {
    const Outcome plain = Evaluate(std::make_unique<ex::ReadOnlyMemoryStream>(data, size));
    if (plain.status != ex::kHttpInvalidServerResponse) {
        const std::string_view all(reinterpret_cast<const char*>(data), size);
        Check(all.substr(all.size() - plain.body.size()) == plain.body);
    }
    const std::size_t split =
        size == 0 ? 0 : (static_cast<std::size_t>(options) * 131) % (size + 1);
    Check(Evaluate(std::make_unique<ex::CompoundStream>(
              std::make_unique<ex::ReadOnlyMemoryStream>(data, split),
              std::make_unique<ex::ReadOnlyMemoryStream>(data + split, size - split))) == plain);
    if (options & 0x80) {
        std::unique_ptr<ex::Win32LargeStream> file = ex::CreateTempFileStream();
        if (file && file->Write(data, size))
            Check(Evaluate(std::move(file)) == plain);
    }
}

void FuzzHeaderBlock(std::string_view text) {
    ex::HttpHeaderBlock block(4096);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t n = end == std::string_view::npos ? text.size() : end + 1;
        if (!block.AddLine(text.substr(0, n)))
            return;
        text.remove_prefix(n);
    }
    const std::string& head = block.Text();
    Check(head.size() <= 4096);
    if (!block.Complete())
        return;
    Check(block.Status().has_value() && *block.Status() >= 200);
    const std::string raw = head + "body";
    ex::ReadOnlyMemoryStream stream(raw.data(), raw.size());
    const std::optional<ex::HttpResponseHead> parsed = ex::ParseHttpResponseHead(stream);
    Check(parsed && parsed->status == *block.Status() && parsed->bodyOffset == head.size());
}

void FuzzTokens(const std::uint8_t* data, std::size_t size, std::uint8_t options) {
    const std::size_t patternLength = options >> 5;  // 0-7
    if (size < patternLength)
        return;
    const std::string pattern(reinterpret_cast<const char*>(data), patternLength);
    const std::string rest(reinterpret_cast<const char*>(data) + patternLength,
                           size - patternLength);
    {
        ex::ReadOnlyMemoryStream stream(rest.data(), rest.size());
        const bool found = stream.SkipPast(pattern);
        const std::size_t at = pattern.empty() ? std::string::npos : rest.find(pattern);
        Check(found == (at != std::string::npos));
        if (found)
            Check(stream.Tell() == at + pattern.size());
    }
    {
        // An exactly sized heap buffer, so an overrun is caught.
        const std::size_t bufferSize = options & 0x1F;
        ex::ReadOnlyMemoryStream stream(rest.data(), rest.size());
        std::unique_ptr<char[]> buffer(bufferSize ? new char[bufferSize] : nullptr);
        for (int i = 0; i < 4; ++i) {
            const bool got = stream.ReadToken(buffer.get(), bufferSize, i % 2 == 1);
            if (bufferSize == 0) {
                Check(!got);
                continue;
            }
            // Always terminated inside the buffer; nothing stored is "false".
            Check(std::memchr(buffer.get(), 0, bufferSize) != nullptr);
            Check(got || buffer[0] == '\0');
        }
    }
}

void FuzzIsoDate(std::string_view text) {
    static ex::Win32Http http;
    const std::string copy(text);  // zero-terminated, possibly early
    const tallowmere::PalmTime t = http.ParseIsoDateTime(copy.c_str());
    if (t == 0)
        return;
    const std::string formatted = http.FormatIsoDateTime(t, false);
    Check(http.ParseIsoDateTime(formatted.c_str()) == t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const std::uint8_t* rest = data + 1;
    const std::size_t length = size - 1;
    const std::string_view text(reinterpret_cast<const char*>(rest), length);
    switch (control % 5) {
        case 0:
            FuzzUrl(text, control);
            break;
        case 1:
            FuzzResponse(rest, length, control);
            break;
        case 2:
            FuzzHeaderBlock(text);
            break;
        case 3:
            FuzzTokens(rest, length, control);
            break;
        default:
            FuzzIsoDate(text);
            break;
    }
    return 0;
}
