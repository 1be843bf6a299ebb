// The HTTP client's parsing apart from the network: the URL split, the
// request text, the status and header parsing of raw response streams, and
// the collection of libcurl's header lines.
#include "exchange/http_parse.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "exchange/http.h"
#include "exchange/stream_compound.h"
#include "exchange/stream_file.h"
#include "exchange/stream_memory.h"

namespace tallowmere::exchange {
namespace {

struct UrlCase {
    const char* url;
    int error;
    bool secure;
    const char* host;
    int port;
    const char* path;
};

// Hostile and ordinary URLs.
const UrlCase kUrlCases[] = {
    {"https://h:8443/ofx", 0, true, "h", 8443, "/ofx"},
    {"h/p", 0, false, "h", 80, "/p"},
    {"h", 0, false, "h", 80, ""},
    {"HTTPS://h", 0, true, "h", 443, ""},
    {"hTtP://bank.example/ofx?a=1&b=2", 0, false, "bank.example", 80, "/ofx?a=1&b=2"},
    {"http:///h/x", 0, false, "h", 80, "/x"},  // every "/" after the colon
    {"https://127.0.0.1:1/", 0, true, "127.0.0.1", 1, "/"},
    {"http://h:65535", 0, false, "h", 65535, ""},
    {"localhost:8080/ofx", 0, false, "localhost", 8080, "/ofx"},
    {"https://[::1]:8443/x", 0, true, "[::1]", 8443, "/x"},
    {"http://under_score.example/", 0, false, "under_score.example", 80, "/"},
    {"h:", kInternetInvalidUrl, false, "", 0, ""},
    {"h:0", kInternetInvalidUrl, false, "", 0, ""},
    {"h:99999", kInternetInvalidUrl, false, "", 0, ""},
    {"h:65536", kInternetInvalidUrl, false, "", 0, ""},
    {"h:0000080", kInternetInvalidUrl, false, "", 0, ""},
    {"h:80x", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h:99999999999999999999/", kInternetInvalidUrl, false, "", 0, ""},
    {"ftp://h", kInternetUnrecognizedScheme, false, "", 0, ""},
    {"file:///etc/passwd", kInternetUnrecognizedScheme, false, "", 0, ""},
    {"javascript://x", kInternetUnrecognizedScheme, false, "", 0, ""},
    {"http://h\r\nX: y/", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h/\r\nX: y", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h/a b", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h/a#frag", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h/\x80", kInternetInvalidUrl, false, "", 0, ""},
    {"http://u@h/", kInternetInvalidUrl, false, "", 0, ""},
    {"http://u:p@h/", kInternetInvalidUrl, false, "", 0, ""},
    {"http://", kInternetInvalidUrl, false, "", 0, ""},
    {"", kInternetInvalidUrl, false, "", 0, ""},
    {"http:///", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h?x=1", kInternetInvalidUrl, false, "", 0, ""},
    {"http://[::1/x", kInternetInvalidUrl, false, "", 0, ""},
    {"http://[zz]/x", kInternetInvalidUrl, false, "", 0, ""},
    {"http://h\\x/", kInternetInvalidUrl, false, "", 0, ""},
};

TEST(HttpUrlSplit, Table) {
    for (const UrlCase& c : kUrlCases) {
        SCOPED_TRACE(c.url);
        const HttpUrlSplit split = SplitHttpUrl(c.url);
        EXPECT_EQ(split.error, c.error);
        if (c.error != 0)
            continue;
        EXPECT_EQ(split.url.secure, c.secure);
        EXPECT_EQ(split.url.host, c.host);
        EXPECT_EQ(split.url.port, c.port);
        EXPECT_EQ(split.url.path, c.path);
    }
}

TEST(HttpUrlSplit, HostAndPathLengthsAreBounded) {
    const std::string host253(253, 'a');
    EXPECT_EQ(SplitHttpUrl("http://" + host253 + "/").error, 0);
    EXPECT_EQ(SplitHttpUrl("http://" + host253 + "a/").error, kInternetInvalidUrl);
    const std::string path(kHttpMaxPathLength - 1, 'p');
    EXPECT_EQ(SplitHttpUrl("http://h/" + path).error, 0);
    EXPECT_EQ(SplitHttpUrl("http://h/" + path + "p").error, kInternetInvalidUrl);
    // Far beyond the original's 400-byte request buffer.
    const std::string longish(4000, 'x');
    EXPECT_EQ(SplitHttpUrl("http://h/" + longish).error, 0);
}

std::string ReadAll(Stream& stream) {
    std::string out;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        out.append(reinterpret_cast<const char*>(data), length);
    return out;
}

TEST(HttpRequest, SetUrlFillsTheFields) {
    HttpRequest request;
    EXPECT_FALSE(request.HasUrl());
    ASSERT_TRUE(request.SetUrl("https://h:8443/ofx"));
    EXPECT_TRUE(request.Secure());
    EXPECT_EQ(request.Host(), "h");
    EXPECT_EQ(request.Port(), 8443);
    EXPECT_EQ(request.Path(), "/ofx");
    EXPECT_FALSE(request.PortGiven());
    EXPECT_EQ(request.UrlError(), 0);
    EXPECT_FALSE(request.SetUrl("ftp://h"));
    EXPECT_EQ(request.UrlError(), kInternetUnrecognizedScheme);
    EXPECT_EQ(request.Host(), "");
}

TEST(HttpRequest, FifthHeaderIsDropped) {
    HttpRequest request;
    const char* lines[] = {"A: 1", "B: 2", "C: 3", "D: 4", "E: 5"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(request.AddHeader(lines[i]));
    EXPECT_FALSE(request.AddHeader(lines[4]));
    EXPECT_EQ(request.Header(0), "A: 1");
    EXPECT_EQ(request.Header(3), "D: 4");
    EXPECT_EQ(request.Header(4), "");
}

TEST(HttpRequest, BuildRequestTextWithoutBody) {
    HttpRequest request;
    request.SetMethod("GET");
    ASSERT_TRUE(request.SetUrl("h"));
    std::unique_ptr<Stream> text = request.BuildRequestText(false);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(ReadAll(*text),
              "GET / HTTP/1.1\r\nHost: h\r\nContent-Type: text\r\nContent-Length: 0\r\n\r\n");
}

TEST(HttpRequest, BuildRequestTextWithBodyAndAbsoluteUri) {
    HttpRequest request;
    request.SetMethod("POST");
    request.SetVersion("1.0xyz", 3);
    ASSERT_TRUE(request.SetUrl("https://bank.example/ofx"));
    request.SetContentType("application/x-ofx");
    request.AddHeader("Accept: application/x-ofx, */*");
    request.AddHeader("Connection: close");
    auto body = CreateMemoryStream();
    ASSERT_TRUE(body->WriteText("OFXHEADER:100\r\n\r\n<OFX>"));
    request.SetBody(std::move(body));
    std::unique_ptr<Stream> text = request.BuildRequestText(true);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(ReadAll(*text),
              "POST https://bank.example/ofx HTTP/1.0\r\n"
              "Host: bank.example\r\n"
              "Content-Type: application/x-ofx\r\n"
              "Content-Length: 22\r\n"
              "Accept: application/x-ofx, */*\r\n"
              "Connection: close\r\n"
              "Cache-Control: no-store, no-cache\r\n"
              "Pragma: no-cache\r\n"
              "\r\n"
              "OFXHEADER:100\r\n\r\n<OFX>");
    // The body went to the compound stream.
    EXPECT_EQ(request.Body(), nullptr);
}

TEST(HttpRequest, LongUrlNeedsNoFixedBuffer) {
    HttpRequest request;
    const std::string host(200, 'h');
    // Built by appends: g++ 12 at -O3 warns falsely on "literal" + string.
    std::string path = "/";
    path.append(6000, 'p');
    std::string url = "http://";
    url += host;
    url += path;
    ASSERT_TRUE(request.SetUrl(url));
    std::unique_ptr<Stream> text = request.BuildRequestText(true);
    ASSERT_NE(text, nullptr);
    const std::string all = ReadAll(*text);
    EXPECT_EQ(all.substr(0, 11 + host.size()), "GET http://" + host);
    EXPECT_NE(all.find(path + " HTTP/1.1\r\nHost: " + host + "\r\n"), std::string::npos);
}

TEST(HttpStatusLine, Parses) {
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.1 200 OK"), 200);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.0 404 Not Found"), 404);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/2 204"), 204);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.1  302\tFound"), 302);
    EXPECT_EQ(ParseHttpStatusLine("HTTP/1.1 100 Continue"), 100);
    for (const char* bad :
         {"", "HTTP/1.1", "HTTP/1.1 ", "HTTP/1.1 abc OK", "HTTP/1.1 20 OK", "HTTP/1.1 2000 OK",
          "HTTP/1.1 200x", "HTTP/1.1 099 Low", "HTTP/1.1 600 High", "http/1.1 200 OK",
          "HTTP/ 200 OK", "HTTP/1. 200", "HTTP/1.1200 OK", "ICY 200 OK", "200 OK"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseHttpStatusLine(bad).has_value());
    }
}

HttpResponse RawResponse(const std::string& bytes) {
    HttpResponse response;
    auto stream = CreateMemoryStream();
    EXPECT_TRUE(stream->WriteText(bytes));
    response.stream = std::move(stream);
    return response;
}

std::string BodyOf(HttpResponse& response) {
    Stream* body = GetBody(response);
    return body ? ReadAll(*body) : std::string("<null>");
}

TEST(HttpGetStatus, RawStreams) {
    {
        HttpResponse r = RawResponse("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello");
        EXPECT_EQ(GetStatus(r), 0);
        EXPECT_EQ(BodyOf(r), "hello");
        EXPECT_EQ(r.bodyOffset, 38u);
        EXPECT_EQ(BodyOf(r), "hello");  // every call seeks to the remembered place
    }
    {
        HttpResponse r = RawResponse("HTTP/1.1 404 Not Found\r\n\r\nmissing");
        EXPECT_EQ(GetStatus(r), 404);
        EXPECT_EQ(BodyOf(r), "missing");
    }
    {
        HttpResponse r = RawResponse(
            "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nX: y\r\n\r\n<OFX>\r\n\r\nmore");
        EXPECT_EQ(GetStatus(r), 0);
        EXPECT_EQ(BodyOf(r), "<OFX>\r\n\r\nmore");
    }
    {
        // An interim response with header lines of its own, then two more.
        HttpResponse r = RawResponse(
            "HTTP/1.1 100 Continue\r\nX-A: 1\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: x\r\n\r\n"
            "HTTP/1.1 201 Created\r\n\r\nbody");
        EXPECT_EQ(GetStatus(r), 0);
        EXPECT_EQ(BodyOf(r), "body");
    }
    {
        HttpResponse r = RawResponse("HTTP/1.1 299 Odd\r\n\r\n");
        EXPECT_EQ(GetStatus(r), 0);
        EXPECT_EQ(BodyOf(r), "");
    }
    {
        HttpResponse r = RawResponse("HTTP/1.1 300 Multiple\r\n\r\n");
        EXPECT_EQ(GetStatus(r), 300);
    }
}

TEST(HttpGetStatus, BareLfHeaderBlockOnceNormalised) {
    const std::vector<std::string> lines = {"HTTP/1.1 200 OK\n", "Content-Type: text/plain\n",
                                            "\n"};
    HttpHeaderBlock block;
    for (const auto& line : lines)
        ASSERT_TRUE(block.AddLine(line));
    ASSERT_TRUE(block.Complete());
    EXPECT_EQ(block.Text(), "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
    HttpResponse r = RawResponse(block.Text() + "a\nb");
    EXPECT_EQ(GetStatus(r), 0);
    EXPECT_EQ(BodyOf(r), "a\nb");
    // The raw parser takes bare LF lines too.
    HttpResponse raw = RawResponse("HTTP/1.1 200 OK\nX: y\n\nbody");
    EXPECT_EQ(GetStatus(raw), 0);
    EXPECT_EQ(BodyOf(raw), "body");
}

TEST(HttpGetStatus, UnparseableIsNeverSuccess) {
    for (const char* bad :
         {"", "\r\n\r\n", "garbage\r\n\r\nbody", "HTTP/1.1\r\n\r\n", "HTTP/1.1 OK 200\r\n\r\n",
          "HTTP/1.1 abc\r\n\r\n", "HTTP/1.1 200 OK\r\nNo-End: yes\r\n", "HTTP/1.1 200 OK",
          "HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 100 Continue\r\n\r\nx\r\n\r\n",
          "<OFX><SIGNONMSGSRSV1>"}) {
        SCOPED_TRACE(bad);
        HttpResponse r = RawResponse(bad);
        EXPECT_EQ(GetStatus(r), kHttpInvalidServerResponse);
        EXPECT_EQ(GetBody(r), nullptr);
    }
}

TEST(HttpGetStatus, ErrorCodeAndMissingStream) {
    HttpResponse failed;
    failed.errorCode = kHttpErrorCancelled;
    EXPECT_EQ(GetStatus(failed), kHttpErrorCancelled);
    EXPECT_EQ(GetBody(failed), nullptr);
    HttpResponse empty;
    EXPECT_EQ(GetStatus(empty), kHttpStatusNoStream);
    EXPECT_EQ(GetBody(empty), nullptr);
}

TEST(HttpGetStatus, LongHeaderLinesNeedNoFixedBuffer) {
    const std::string value(10000, 'v');
    HttpResponse r = RawResponse("HTTP/1.1 200 OK\r\nX-Long: " + value + "\r\n\r\nbody");
    EXPECT_EQ(GetStatus(r), 0);
    EXPECT_EQ(BodyOf(r), "body");
    // Past the line limit and the block limit the head is refused.
    HttpResponse huge =
        RawResponse("HTTP/1.1 200 OK\r\nX: " + std::string(kHttpMaxLineLength, 'v') + "\r\n\r\n");
    EXPECT_EQ(GetStatus(huge), kHttpInvalidServerResponse);
    std::string many = "HTTP/1.1 200 OK\r\n";
    while (many.size() <= kHttpMaxHeaderBytes)
        many += "X-Many: " + std::string(1000, 'm') + "\r\n";
    HttpResponse block = RawResponse(many + "\r\n");
    EXPECT_EQ(GetStatus(block), kHttpInvalidServerResponse);
}

TEST(HttpGetStatus, AcrossStreamBoundaries) {
    // A header block that crosses a compound stream's seam and a temporary
    // file's 4096-byte blocks.
    std::string head = "HTTP/1.1 200 OK\r\n";
    while (head.size() < 5000)
        head += "X-Pad: " + std::string(90, 'p') + "\r\n";
    head += "\r\n";
    const std::string all = head + "the body";
    for (std::size_t split : {std::size_t{1}, std::size_t{16}, std::size_t{17}, std::size_t{4095},
                              head.size() - 2, head.size()}) {
        SCOPED_TRACE(split);
        auto first = CreateMemoryStream();
        ASSERT_TRUE(first->WriteText(all.substr(0, split)));
        auto second = CreateTempFileStream();
        ASSERT_NE(second, nullptr);
        ASSERT_TRUE(second->WriteText(all.substr(split)));
        HttpResponse r;
        r.stream = std::make_unique<CompoundStream>(std::move(first), std::move(second));
        EXPECT_EQ(GetStatus(r), 0);
        EXPECT_EQ(BodyOf(r), "the body");
    }
    auto file = CreateTempFileStream();
    ASSERT_TRUE(file->WriteText(all));
    HttpResponse r;
    r.stream = std::move(file);
    EXPECT_EQ(GetStatus(r), 0);
    EXPECT_EQ(BodyOf(r), "the body");
}

TEST(HttpHeaderBlock, KeepsOnlyTheFinalResponse) {
    HttpHeaderBlock block;
    for (const char* line : {"HTTP/1.1 100 Continue\r\n", "\r\n", "HTTP/1.1 302 Found\r\n",
                             "Location: /next\r\n", "\r\n"}) {
        ASSERT_TRUE(block.AddLine(line));
    }
    EXPECT_TRUE(block.Complete());
    EXPECT_EQ(block.Status(), 302);
    EXPECT_EQ(block.Location(), "/next");
    for (const char* line : {"HTTP/1.0 200 OK\r\n", "Content-Length: 2\n", "\r\n"})
        ASSERT_TRUE(block.AddLine(line));
    EXPECT_EQ(block.Text(), "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\n");
    EXPECT_EQ(block.Status(), 200);
    EXPECT_EQ(block.Location(), "");
    // Trailers after the body are not part of the block.
    ASSERT_TRUE(block.AddLine("X-Trailer: 1\r\n"));
    EXPECT_EQ(block.Text(), "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\n");
}

TEST(HttpHeaderBlock, InterimOnlyOrUnparseableIsNotComplete) {
    HttpHeaderBlock interim;
    ASSERT_TRUE(interim.AddLine("HTTP/1.1 100 Continue\r\n"));
    ASSERT_TRUE(interim.AddLine("\r\n"));
    EXPECT_FALSE(interim.Complete());
    HttpHeaderBlock bad;
    ASSERT_TRUE(bad.AddLine("HTTP/1.1 2xx OK\r\n"));
    ASSERT_TRUE(bad.AddLine("\r\n"));
    EXPECT_FALSE(bad.Complete());
    EXPECT_FALSE(bad.Status().has_value());
}

TEST(HttpHeaderBlock, Limit) {
    HttpHeaderBlock block(64);
    ASSERT_TRUE(block.AddLine("HTTP/1.1 200 OK\r\n"));
    EXPECT_FALSE(block.AddLine("X-Long: " + std::string(60, 'x') + "\r\n"));
}

}  // namespace
}  // namespace tallowmere::exchange
