// Win32Http on libcurl against the loopback fake server: the request text on
// the wire, each transport fault, cancel at each phase,
// time-outs, the size cap, redirects, proxies and certificate refusals.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "exchange/http.h"
#include "exchange/stream_memory.h"
#include "exchange/win32_http.h"
#include "http_fake_server.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

using namespace std::chrono_literals;
using test::FakeConnection;
using test::FakeHttpServer;
using test::FakeRequest;
using test::TestCertificates;

const char* const kProxyVariables[] = {"http_proxy", "https_proxy", "all_proxy", "no_proxy",
                                       "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"};

const TestCertificates& Certificates() {
    return TestCertificates::Make(test::TestRoot() + "/certs");
}

std::string ReadAll(Stream& stream) {
    std::string out;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        out.append(reinterpret_cast<const char*>(data), length);
    return out;
}

std::string StreamText(HttpResponse& response) {
    if (!response.stream || !response.stream->Seek(0))
        return "<none>";
    return ReadAll(*response.stream);
}

std::string BodyText(HttpResponse& response) {
    Stream* body = GetBody(response);
    return body ? ReadAll(*body) : std::string("<none>");
}

// Entries of $TMPDIR: the response's temporary file never outlives it and is
// gone at once on every failure.
int TempEntries() {
    const char* dir = getenv("TMPDIR");
    DIR* d = opendir(dir != nullptr ? dir : "/tmp");
    if (d == nullptr)
        return -1;
    int n = 0;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            ++n;
    }
    closedir(d);
    return n;
}

std::string Ok(std::string_view body, std::string_view extra = "") {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
           std::string(extra) + "\r\n" + std::string(body);
}

std::string Redirect(int code, std::string_view location) {
    return "HTTP/1.1 " + std::to_string(code) + " Moved\r\nLocation: " + std::string(location) +
           "\r\nContent-Length: 0\r\n\r\n";
}

// A progress callback that asks a function.
struct Asker {
    std::function<bool()> keepGoing;
    std::atomic<int> calls{0};
    static bool Callback(void* self, int done, int total) {
        auto* a = static_cast<Asker*>(self);
        EXPECT_EQ(done, 0);
        EXPECT_EQ(total, -1);
        ++a->calls;
        return !a->keepGoing || a->keepGoing();
    }
};

class HttpClientTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The tests choose their proxy themselves.
        for (const char* name : kProxyVariables)
            unsetenv(name);
        Certificates();
    }

    void SetUp() override {
        HttpSettings settings;
        settings.connectTimeout = 5s;
        settings.stallTime = 3s;
        settings.testExtraCaFile = Certificates().caFile;
        http_ = std::make_unique<Win32Http>(settings);
        baseTempEntries_ = TempEntries();
    }

    void TearDown() override { EXPECT_EQ(TempEntries(), baseTempEntries_); }

    std::unique_ptr<HttpResponse> Get(const std::string& url, Asker* asker = nullptr) {
        HttpRequest request;
        request.SetMethod("GET");
        EXPECT_TRUE(request.SetUrl(url)) << url;
        if (asker != nullptr)
            request.SetProgressCallback(&Asker::Callback, asker);
        auto response = http_->Send(request);
        EXPECT_NE(response, nullptr);
        return response;
    }

    std::unique_ptr<HttpResponse> Post(const std::string& url, const std::string& body,
                                       Asker* asker = nullptr) {
        HttpRequest request;
        request.SetMethod("POST");
        request.SetVersion("1.0");
        EXPECT_TRUE(request.SetUrl(url)) << url;
        request.SetContentType("application/x-ofx");
        auto stream = CreateMemoryStream();
        EXPECT_TRUE(stream->WriteText(body));
        request.SetBody(std::move(stream));
        if (asker != nullptr)
            request.SetProgressCallback(&Asker::Callback, asker);
        auto response = http_->Send(request);
        EXPECT_NE(response, nullptr);
        return response;
    }

    static FakeHttpServer::Options Tls(const std::string& cert, const std::string& key) {
        FakeHttpServer::Options options;
        options.certFile = cert;
        options.keyFile = key;
        return options;
    }

    static void ExpectFailed(HttpResponse& response, int code) {
        EXPECT_EQ(response.errorCode, code) << response.errorText;
        EXPECT_EQ(response.stream, nullptr);
        EXPECT_EQ(GetStatus(response), code);
        EXPECT_EQ(GetBody(response), nullptr);
    }

    std::unique_ptr<Win32Http> http_;
    int baseTempEntries_ = 0;
};

// ---- The request text on the wire ----

TEST_F(HttpClientTest, GetRequestTextIsExact) {
    FakeHttpServer server;
    server.Reply("/server/ombrel.php", Ok("<xml/>"));
    auto response = Get(server.Url("/server/ombrel.php?Action=banklist&Version=0"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(BodyText(*response), "<xml/>");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const FakeRequest& r = requests[0];
    EXPECT_EQ(r.requestLine, "GET /server/ombrel.php?Action=banklist&Version=0 HTTP/1.0");
    // The request header block less what libcurl writes itself; no Accept,
    // User-Agent or Expect of libcurl's own.
    EXPECT_EQ(r.headerLines, (std::vector<std::string>{
                                 "Host: 127.0.0.1:" + std::to_string(server.Port()),
                                 "Content-Type: text",
                             }));
    EXPECT_EQ(r.body, "");
}

TEST_F(HttpClientTest, PostRequestTextAndBodyAreExact) {
    FakeHttpServer server;
    std::string reply = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>";
    server.Reply("/ofx", Ok(reply, "Content-Type: application/x-ofx\r\n"));

    std::string body = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX><SIGNONMSGSRQV1>";
    for (int i = 0; i < 256; ++i)
        body += static_cast<char>(i);  // every byte value, NUL and CR/LF included
    body += std::string(100000, 'x');  // past libcurl's first send

    HttpRequest request;
    request.SetMethod("POST");
    request.SetVersion("1.0");
    ASSERT_TRUE(request.SetUrl(server.Url("/ofx")));
    request.SetContentType("application/x-ofx");
    const char* lines[] = {
        "Accept: application/x-ofx, */*", "Accept-Language: en", "Connection: close",
        "User-Agent: Mozilla/5.0 (compatible; MSIE 5.01; Windows 2000; Tallowmere 4.0)"};
    for (const char* line : lines)
        ASSERT_TRUE(request.AddHeader(line));
    auto stream = CreateMemoryStream();
    ASSERT_TRUE(stream->Write(body.data(), body.size()));
    request.SetBody(std::move(stream));
    Asker asker;
    request.SetProgressCallback(&Asker::Callback, &asker);
    auto response = http_->Send(request);
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(BodyText(*response), reply);
    EXPECT_GE(asker.calls, 2);
    EXPECT_EQ(StreamText(*response).substr(0, 17), "HTTP/1.1 200 OK\r\n");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const FakeRequest& r = requests[0];
    EXPECT_EQ(r.requestLine, "POST /ofx HTTP/1.0");
    // The header order (Host, Content-Type, the four lines); libcurl puts
    // its Content-Length after the lines it was given.
    EXPECT_EQ(r.headerLines, (std::vector<std::string>{
                                 "Host: 127.0.0.1:" + std::to_string(server.Port()),
                                 "Content-Type: application/x-ofx",
                                 lines[0],
                                 lines[1],
                                 lines[2],
                                 lines[3],
                                 "Content-Length: " + std::to_string(body.size()),
                             }));
    EXPECT_TRUE(r.bodyComplete);
    EXPECT_EQ(r.body, body);
}

TEST_F(HttpClientTest, RequestsTheClientWillNotSend) {
    HttpRequest injected;
    injected.SetMethod("GET");
    ASSERT_TRUE(injected.SetUrl("http://127.0.0.1:9/"));
    injected.AddHeader("X-A: 1\r\nX-Injected: 2");
    auto a = http_->Send(injected);
    ExpectFailed(*a, kHttpErrorInvalidParameter);

    HttpRequest method;
    method.SetMethod("DELETE");
    ASSERT_TRUE(method.SetUrl("http://127.0.0.1:9/"));
    ExpectFailed(*http_->Send(method), kHttpErrorInvalidParameter);

    HttpRequest noUrl;
    ExpectFailed(*http_->Send(noUrl), kInternetInvalidUrl);

    HttpRequest scheme;
    EXPECT_FALSE(scheme.SetUrl("ftp://127.0.0.1/x"));
    ExpectFailed(*http_->Send(scheme), kInternetUnrecognizedScheme);

    HttpRequest bad;
    EXPECT_FALSE(bad.SetUrl("http://u@127.0.0.1/x"));
    ExpectFailed(*http_->Send(bad), kInternetInvalidUrl);
}

// ---- Status and header parsing of real exchanges ----

TEST_F(HttpClientTest, NotFoundGivesTheStatus) {
    FakeHttpServer server;
    auto response = Get(server.Url("/missing"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 404);
    EXPECT_EQ(BodyText(*response), "not found");
}

TEST_F(HttpClientTest, InterimContinueIsDropped) {
    FakeHttpServer server;
    server.Reply("/ofx", "HTTP/1.1 100 Continue\r\n\r\n" + Ok("<OFX>final"));
    auto response = Post(server.Url("/ofx"), "<OFX>");
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(StreamText(*response), Ok("<OFX>final"));
    EXPECT_EQ(BodyText(*response), "<OFX>final");
}

TEST_F(HttpClientTest, BareLfHeadersAreNormalised) {
    FakeHttpServer server;
    server.Reply("/lf",
                 "HTTP/1.1 200 OK\nContent-Type: text/plain\nContent-Length: 7\n\nab\ncd\n\n");
    auto response = Get(server.Url("/lf"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(StreamText(*response),
              "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 7\r\n\r\nab\ncd\n\n");
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(BodyText(*response), "ab\ncd\n\n");
}

TEST_F(HttpClientTest, ChunkedBodyIsDecoded) {
    FakeHttpServer server;
    server.Reply("/chunked",
                 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "5\r\n<OFX>\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Trailer: t\r\n\r\n");
    auto response = Get(server.Url("/chunked"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(BodyText(*response), "<OFX>abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(StreamText(*response).find("X-Trailer"), std::string::npos);
}

TEST_F(HttpClientTest, UnparseableStatusIsAnError) {
    FakeHttpServer server;
    server.Reply("/abc", "HTTP/1.1 abc OK\r\nContent-Length: 2\r\n\r\nok");
    server.Reply("/long", "HTTP/1.1 2000 OK\r\nContent-Length: 2\r\n\r\nok");
    server.Reply("/high", "HTTP/1.1 700 Odd\r\nContent-Length: 2\r\n\r\nok");
    server.Reply("/garbage", "<OFX><SIGNONMSGSRSV1>\r\n\r\n");
    server.Reply("/empty", "");
    for (const char* path : {"/abc", "/long", "/high", "/garbage", "/empty"}) {
        SCOPED_TRACE(path);
        auto response = Get(server.Url(path));
        ExpectFailed(*response, kHttpInvalidServerResponse);
    }
}

// ---- Bodies cut short or too large ----

TEST_F(HttpClientTest, CloseMidBodyOfAnnouncedLengthFails) {
    FakeHttpServer server;
    server.Reply("/cut", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(400, 'a'));
    auto response = Get(server.Url("/cut"));
    ExpectFailed(*response, kInternetConnectionReset);
}

TEST_F(HttpClientTest, CloseMidChunkFails) {
    FakeHttpServer server;
    server.Reply("/cut", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100\r\nabc");
    auto response = Get(server.Url("/cut"));
    EXPECT_NE(response->errorCode, 0);
    EXPECT_TRUE(http_->IsFailure(response->errorCode));
    EXPECT_EQ(response->stream, nullptr);
}

TEST_F(HttpClientTest, CloseDelimitedBodyEndsWhereTheServerStopped) {
    // Without a length the close is the end: the body is complete but short,
    // and the OFX parser upstream must refuse it.
    FakeHttpServer server;
    server.Reply("/short",
                 "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\n<OFX><SIGNONMSGSRSV1><SONRS>");
    auto response = Get(server.Url("/short"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_EQ(BodyText(*response), "<OFX><SIGNONMSGSRSV1><SONRS>");
}

TEST_F(HttpClientTest, ResponseOverTheCapFails) {
    HttpSettings settings = http_->Settings();
    settings.maxResponseBytes = 64 * 1024;
    http_->SetSettings(settings);
    FakeHttpServer server;
    server.Reply("/fits", Ok(std::string(60000, 'f')));
    server.Reply("/announced", Ok(std::string(200000, 'a')));
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 50; ++i)
        chunked += "1000\r\n" + std::string(4096, 'c') + "\r\n";
    chunked += "0\r\n\r\n";
    server.Reply("/chunked", chunked);
    server.Reply("/unannounced", "HTTP/1.0 200 OK\r\n\r\n" + std::string(200000, 'u'));

    auto fits = Get(server.Url("/fits"));
    ASSERT_EQ(fits->errorCode, 0) << fits->errorText;
    EXPECT_EQ(BodyText(*fits).size(), 60000u);
    fits.reset();
    for (const char* path : {"/announced", "/chunked", "/unannounced"}) {
        SCOPED_TRACE(path);
        auto response = Get(server.Url(path));
        ExpectFailed(*response, kHttpErrorTooLarge);
    }
}

TEST_F(HttpClientTest, TenMegabyteBodyGoesToTheTemporaryFile) {
    FakeHttpServer server;
    std::string big(10 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>('a' + i % 26);
    server.Reply("/big", Ok(big));
    auto response = Get(server.Url("/big"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    EXPECT_TRUE(BodyText(*response) == big);
    // The file has no name left in TMPDIR while the response holds it.
    EXPECT_EQ(TempEntries(), baseTempEntries_);
}

// ---- Redirects ----

TEST_F(HttpClientTest, HttpToHttpRedirectIsFollowed) {
    FakeHttpServer server;
    server.Reply("/old",
                 "HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 12\r\n\r\nmoved body!!");
    server.Reply("/new", Ok("<OFX>new"));
    auto response = Post(server.Url("/old"), "<OFX>request");
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(GetStatus(*response), 0);
    // Only the final response is kept.
    EXPECT_EQ(StreamText(*response), Ok("<OFX>new"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine, "POST /old HTTP/1.0");
    EXPECT_EQ(requests[1].requestLine, "GET /new HTTP/1.0");  // as WinINet did after a 302
}

TEST_F(HttpClientTest, HttpsToHttpRedirectIsRefused) {
    FakeHttpServer plain;
    plain.Reply("/ofx", Ok("<OFX>plain"));
    FakeHttpServer secure(Tls(Certificates().goodCert, Certificates().goodKey));
    secure.Reply("/ofx", Redirect(302, plain.Url("/ofx")));
    secure.Reply("/upper",
                 Redirect(301, "HTTP://127.0.0.1:" + std::to_string(plain.Port()) + "/ofx"));
    for (const char* path : {"/ofx", "/upper"}) {
        SCOPED_TRACE(path);
        auto response = Post(secure.Url(path), "<OFX>secret");
        ExpectFailed(*response, kInternetHttpsToHttpOnRedirect);
    }
    EXPECT_EQ(plain.HeadsRead(), 0);  // the request never went out in the clear
}

TEST_F(HttpClientTest, HttpToHttpsToHttpIsRefused) {
    FakeHttpServer plain;
    FakeHttpServer secure(Tls(Certificates().goodCert, Certificates().goodKey));
    plain.Reply("/start", Redirect(302, secure.Url("/hop")));
    secure.Reply("/hop", Redirect(302, plain.Url("/end")));
    plain.Reply("/end", Ok("end"));
    auto response = Get(plain.Url("/start"));
    ExpectFailed(*response, kInternetHttpsToHttpOnRedirect);
    EXPECT_EQ(plain.HeadsRead(), 1);
}

TEST_F(HttpClientTest, HttpsRedirectsAreFollowed) {
    FakeHttpServer secure(Tls(Certificates().goodCert, Certificates().goodKey));
    secure.Reply("/a", Redirect(307, "/b"));
    secure.Reply("/b", Ok("<OFX>b"));
    auto response = Post(secure.Url("/a"), "<OFX>again");
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(BodyText(*response), "<OFX>b");
    const auto requests = secure.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].requestLine, "POST /b HTTP/1.0");  // 307 keeps the method and body
    EXPECT_EQ(requests[1].body, "<OFX>again");

    FakeHttpServer plain;
    plain.Reply("/up", Redirect(302, secure.Url("/b")));
    auto upgraded = Get(plain.Url("/up"));
    ASSERT_EQ(upgraded->errorCode, 0) << upgraded->errorText;
    EXPECT_EQ(BodyText(*upgraded), "<OFX>b");
}

TEST_F(HttpClientTest, RedirectLoopAndOtherSchemesFail) {
    FakeHttpServer server;
    server.Reply("/loop", Redirect(302, "/loop"));
    server.Reply("/ftp", Redirect(302, "ftp://127.0.0.1/x"));
    server.Reply("/file", Redirect(302, "file:///etc/passwd"));
    auto loop = Get(server.Url("/loop"));
    ExpectFailed(*loop, kHttpRedirectFailed);
    EXPECT_EQ(server.HeadsRead(), 6);  // the first request and five redirects
    for (const char* path : {"/ftp", "/file"}) {
        SCOPED_TRACE(path);
        auto response = Get(server.Url(path));
        ExpectFailed(*response, kInternetUnrecognizedScheme);
    }
}

// ---- Time-outs ----

TEST_F(HttpClientTest, StallAfterTheHeadersTimesOut) {
    HttpSettings settings = http_->Settings();
    settings.stallTime = 1s;
    http_->SetSettings(settings);
    FakeHttpServer server;
    server.Handle("/stall", [](FakeConnection& c, const FakeRequest&) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n<OFX>");
        c.WaitForPeerClose();
    });
    const auto start = test::SteadyClock::now();
    auto response = Get(server.Url("/stall"));
    ExpectFailed(*response, kInternetTimeout);
    EXPECT_LT(test::SteadyClock::now() - start, 5s);
}

TEST_F(HttpClientTest, ServerThatNeverAnswersTimesOut) {
    HttpSettings settings = http_->Settings();
    settings.stallTime = 1s;
    http_->SetSettings(settings);
    FakeHttpServer server;
    server.Handle("/mute", [](FakeConnection& c, const FakeRequest&) { c.WaitForPeerClose(); });
    const auto start = test::SteadyClock::now();
    auto response = Post(server.Url("/mute"), "<OFX>");
    ExpectFailed(*response, kInternetTimeout);
    EXPECT_LT(test::SteadyClock::now() - start, 5s);
}

TEST_F(HttpClientTest, HandshakeThatNeverCompletesTimesOut) {
    HttpSettings settings = http_->Settings();
    settings.connectTimeout = 1s;
    http_->SetSettings(settings);
    FakeHttpServer::Options options;
    options.silent = true;
    FakeHttpServer server(options);
    const auto start = test::SteadyClock::now();
    auto response = Get("https://127.0.0.1:" + std::to_string(server.Port()) + "/ofx");
    ExpectFailed(*response, kInternetTimeout);
    EXPECT_LT(test::SteadyClock::now() - start, 6s);
}

TEST_F(HttpClientTest, RefusedConnection) {
    int port = 0;
    {
        FakeHttpServer server;  // a port that was just free, now closed
        port = server.Port();
    }
    auto response = Get("http://127.0.0.1:" + std::to_string(port) + "/");
    ExpectFailed(*response, kInternetCannotConnect);
}

// ---- Cancel at each phase ----

TEST_F(HttpClientTest, CancelBeforeConnecting) {
    FakeHttpServer server;
    Asker asker;
    asker.keepGoing = [] { return false; };
    auto response = Post(server.Url("/ofx"), "<OFX>", &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
    EXPECT_EQ(asker.calls, 1);
    EXPECT_EQ(server.Accepted(), 0);  // no connection was made
}

TEST_F(HttpClientTest, CancelDuringTheTlsHandshake) {
    FakeHttpServer::Options options;
    options.silent = true;
    FakeHttpServer server(options);
    Asker asker;
    asker.keepGoing = [&] { return server.Accepted() == 0; };
    const auto start = test::SteadyClock::now();
    auto response = Get("https://127.0.0.1:" + std::to_string(server.Port()) + "/ofx", &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
    EXPECT_LT(test::SteadyClock::now() - start, 3s);
}

TEST_F(HttpClientTest, CancelDuringTheUpload) {
    FakeHttpServer server;
    // The server reads the header lines and then nothing: the body fills the
    // socket buffers and the upload stalls half-way.
    server.Handle(
        "/ofx", [](FakeConnection& c, const FakeRequest&) { c.Idle(); },
        /*readBody=*/false);
    Asker asker;
    asker.keepGoing = [&] { return server.HeadsRead() == 0; };
    const std::string body(32 * 1024 * 1024, 'b');
    const auto start = test::SteadyClock::now();
    auto response = Post(server.Url("/ofx"), body, &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
    EXPECT_LT(test::SteadyClock::now() - start, 4s);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_LT(requests[0].body.size(), body.size());
}

TEST_F(HttpClientTest, CancelWhileWaitingForTheResponse) {
    FakeHttpServer server;
    server.Handle("/ofx", [](FakeConnection& c, const FakeRequest&) { c.WaitForPeerClose(); });
    Asker asker;
    asker.keepGoing = [&] { return server.Requests().empty(); };
    const auto start = test::SteadyClock::now();
    auto response = Post(server.Url("/ofx"), "<OFX>", &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
    EXPECT_LT(test::SteadyClock::now() - start, 3s);
    EXPECT_TRUE(server.Requests()[0].bodyComplete);
}

TEST_F(HttpClientTest, CancelDuringADribbledDownload) {
    FakeHttpServer server;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n";
    server.Handle("/slow", [&](FakeConnection& c, const FakeRequest&) {
        c.Send(head);
        c.Dribble(std::string(200, 'd'), 50ms);  // a byte every 50 ms
    });
    Asker asker;
    asker.keepGoing = [&] { return server.Sent() < static_cast<long>(head.size()) + 3; };
    const auto start = test::SteadyClock::now();
    auto response = Get(server.Url("/slow"), &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
    EXPECT_LT(test::SteadyClock::now() - start, 4s);
    EXPECT_GT(asker.calls, 3);
}

TEST_F(HttpClientTest, ServerThatSaysNothingIsAskedOftenEnoughForCancel) {
    // The client connects and sends, and the server never answers. The
    // question must come many times a second: cancelled after 20 questions,
    // the exchange ends as cancelled long before the stall time-out, which
    // it would reach first if the client asked only once a second.
    HttpSettings settings = http_->Settings();
    settings.stallTime = 3s;
    http_->SetSettings(settings);
    for (const bool secure : {false, true}) {
        SCOPED_TRACE(secure ? "https" : "http");
        FakeHttpServer server(secure ? Tls(Certificates().goodCert, Certificates().goodKey)
                                     : FakeHttpServer::Options{});
        server.Handle("/ofx", [](FakeConnection& c, const FakeRequest&) { c.WaitForPeerClose(); });
        Asker asker;
        std::atomic<int> afterRequest{0};
        asker.keepGoing = [&] {
            if (!server.Requests().empty())
                ++afterRequest;
            return afterRequest < 20;
        };
        auto response = Post(server.Url("/ofx"), "<OFX>", &asker);
        ExpectFailed(*response, kHttpErrorCancelled);
        EXPECT_EQ(afterRequest, 20);
    }
}

TEST_F(HttpClientTest, SilentConnectionIsAskedOftenEnoughForCancel) {
    // A server that accepts and never says a word: the TLS handshake waits.
    HttpSettings settings = http_->Settings();
    settings.stallTime = 3s;
    settings.connectTimeout = 3s;
    http_->SetSettings(settings);
    FakeHttpServer::Options options;
    options.silent = true;
    FakeHttpServer server(options);
    Asker asker;
    std::atomic<int> afterAccept{0};
    asker.keepGoing = [&] {
        if (server.Accepted() > 0)
            ++afterAccept;
        return afterAccept < 20;
    };
    auto response = Get("https://127.0.0.1:" + std::to_string(server.Port()) + "/ofx", &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
}

TEST_F(HttpClientTest, CancelAfterTheLastByteStillCounts) {
    // The reply ends only when the server closes, and the server closes only
    // after the flag is up, so the last check always sees it.
    FakeHttpServer server;
    std::atomic<bool> allSent{false};
    server.Handle("/ofx", [&](FakeConnection& c, const FakeRequest&) {
        c.Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<OFX>");
        allSent = true;
    });
    Asker asker;
    asker.keepGoing = [&] { return !allSent; };
    auto response = Get(server.Url("/ofx"), &asker);
    ExpectFailed(*response, kHttpErrorCancelled);
}

TEST_F(HttpClientTest, DribbledDownloadCompletes) {
    FakeHttpServer server;
    server.Handle("/slow", [](FakeConnection& c, const FakeRequest&) {
        c.Dribble("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", 5ms);
    });
    Asker asker;
    auto response = Get(server.Url("/slow"), &asker);
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(BodyText(*response), "hello");
    EXPECT_GT(asker.calls, 5);
}

// ---- Proxies from the environment ----

class ProxyScope {
  public:
    ProxyScope(const char* name, const std::string& value) : name_(name) {
        setenv(name, value.c_str(), 1);
    }
    ~ProxyScope() { unsetenv(name_); }

  private:
    const char* name_;
};

TEST_F(HttpClientTest, HttpProxyFromTheEnvironment) {
    FakeHttpServer proxy;
    // The host is never resolved here: only the proxy is contacted.
    proxy.Reply("http://tallowmere-proxy-test.invalid/ofx", Ok("<OFX>via proxy"));
    ProxyScope scope("http_proxy", "http://127.0.0.1:" + std::to_string(proxy.Port()));
    auto response = Post("http://tallowmere-proxy-test.invalid/ofx", "<OFX>");
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(BodyText(*response), "<OFX>via proxy");
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "POST http://tallowmere-proxy-test.invalid/ofx HTTP/1.0");
    EXPECT_EQ(requests[0].body, "<OFX>");
}

TEST_F(HttpClientTest, NoProxyIsHonoured) {
    FakeHttpServer proxy;
    FakeHttpServer server;
    server.Reply("/ofx", Ok("direct"));
    ProxyScope scope("http_proxy", "http://127.0.0.1:" + std::to_string(proxy.Port()));
    ProxyScope bypass("no_proxy", "127.0.0.1");
    auto response = Get(server.Url("/ofx"));
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(BodyText(*response), "direct");
    EXPECT_EQ(proxy.Accepted(), 0);
}

// ---- Certificates: always verified ----

TEST_F(HttpClientTest, TrustedTestCaPasses) {
    FakeHttpServer server(Tls(Certificates().goodCert, Certificates().goodKey));
    server.Reply("/ofx", Ok("<OFX>secure"));
    auto response = Post(server.Url("/ofx"), "<OFX>");
    ASSERT_EQ(response->errorCode, 0) << response->errorText;
    EXPECT_EQ(BodyText(*response), "<OFX>secure");
    // localhost is in the leaf too.
    auto byName = Get("https://localhost:" + std::to_string(server.Port()) + "/ofx");
    ASSERT_EQ(byName->errorCode, 0) << byName->errorText;
}

TEST_F(HttpClientTest, ExpiredCertificateIsRefused) {
    FakeHttpServer server(Tls(Certificates().expiredCert, Certificates().expiredKey));
    server.Reply("/ofx", Ok("<OFX>"));
    auto response = Post(server.Url("/ofx"), "<OFX>secret");
    ExpectFailed(*response, kInternetCertDateInvalid);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, WrongNameIsRefused) {
    FakeHttpServer server(Tls(Certificates().wrongCert, Certificates().wrongKey));
    server.Reply("/ofx", Ok("<OFX>"));
    auto response = Post(server.Url("/ofx"), "<OFX>secret");
    ExpectFailed(*response, kInternetCertNameInvalid);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, UntrustedCertificateIsRefused) {
    FakeHttpServer server(Tls(Certificates().selfCert, Certificates().selfKey));
    server.Reply("/ofx", Ok("<OFX>"));
    auto response = Post(server.Url("/ofx"), "<OFX>secret");
    ExpectFailed(*response, kInternetInvalidCa);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, TestCaIsNotTrustedWithoutTheTestSetting) {
    HttpSettings settings = http_->Settings();
    settings.testExtraCaFile.clear();  // the system store only
    http_->SetSettings(settings);
    FakeHttpServer server(Tls(Certificates().goodCert, Certificates().goodKey));
    server.Reply("/ofx", Ok("<OFX>"));
    auto response = Post(server.Url("/ofx"), "<OFX>secret");
    ExpectFailed(*response, kInternetInvalidCa);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(HttpClientTest, TlsOlderThan12IsRefused) {
    FakeHttpServer::Options options = Tls(Certificates().goodCert, Certificates().goodKey);
    options.maxTlsVersion = TLS1_1_VERSION;
    FakeHttpServer server(options);
    server.Reply("/ofx", Ok("<OFX>"));
    auto response = Post(server.Url("/ofx"), "<OFX>secret");
    ExpectFailed(*response, kInternetSecureChannelError);
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace tallowmere::exchange
