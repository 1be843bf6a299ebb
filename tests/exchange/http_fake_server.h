#pragma once
// A fake HTTP and HTTPS server for the client's tests: an in-process thread
// on plain sockets (OpenSSL's libssl for TLS), bound to 127.0.0.1 on a port
// the system picks. It records every request (request line, header lines in
// order, body) and answers through per-path handlers that can send raw bytes,
// dribble, stall or close early. It stops with the test, and by itself after
// a hard limit; every wait inside it is bounded.
//
// The certificates are made at test time with the openssl command: a
// throwaway CA, a leaf for 127.0.0.1 and localhost, and leaves the client must
// refuse (expired, wrong name, self-signed).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tallowmere::test {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The server ends by itself this long after it started, whatever the test
// does.
inline constexpr auto kFakeServerHardLimit = 60s;

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

struct FakeRequest {
    std::string requestLine;
    std::string method;
    std::string target;
    std::string version;
    std::vector<std::string> headerLines;  // in order, without line endings
    std::string body;
    bool bodyComplete = false;

    // The value of the first header of that name; nullopt when absent.
    std::optional<std::string> Header(std::string_view name) const {
        for (const std::string& line : headerLines) {
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos || !EqualsNoCase(line.substr(0, colon), name))
                continue;
            std::size_t start = colon + 1;
            while (start < line.size() && line[start] == ' ')
                ++start;
            return line.substr(start);
        }
        return std::nullopt;
    }
    std::vector<std::string> HeaderNames() const {
        std::vector<std::string> names;
        for (const std::string& line : headerLines)
            names.push_back(line.substr(0, line.find(':')));
        return names;
    }
};

// Files of the test certificates, made once per test program.
struct TestCertificates {
    std::string dir;
    std::string caFile;
    std::string goodCert, goodKey;        // 127.0.0.1 and localhost, signed by the CA
    std::string expiredCert, expiredKey;  // the same names, expired in 2020
    std::string wrongCert, wrongKey;      // wrong.example only, signed by the CA
    std::string selfCert, selfKey;        // 127.0.0.1, self-signed

    static const TestCertificates& Make(const std::string& dir) {
        static TestCertificates certs = Create(dir);
        return certs;
    }

  private:
    static TestCertificates Create(const std::string& dir) {
        std::filesystem::create_directories(dir);
        const std::string script = dir + "/make.sh";
        std::FILE* f = std::fopen(script.c_str(), "w");
        if (f == nullptr)
            throw std::runtime_error("cannot write " + script);
        std::fputs(kScript, f);
        std::fclose(f);
        const std::string command = "cd '" + dir + "' && sh make.sh > make.log 2>&1";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("openssl failed; see " + dir + "/make.log");
        TestCertificates c;
        c.dir = dir;
        c.caFile = dir + "/ca.pem";
        c.goodCert = dir + "/good.pem";
        c.goodKey = dir + "/good.key";
        c.expiredCert = dir + "/expired.pem";
        c.expiredKey = dir + "/expired.key";
        c.wrongCert = dir + "/wrong.pem";
        c.wrongKey = dir + "/wrong.key";
        c.selfCert = dir + "/self.pem";
        c.selfKey = dir + "/self.key";
        return c;
    }

    static constexpr const char* kScript = R"SH(set -e
K="-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
openssl req -x509 $K -keyout ca.key -out ca.pem -days 2 -subj "/CN=Tallowmere Test CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > good.ext
printf 'subjectAltName=DNS:wrong.example\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > wrong.ext
openssl req -new $K -keyout good.key -out good.csr -subj /CN=127.0.0.1
openssl x509 -req -in good.csr -CA ca.pem -CAkey ca.key -set_serial 2 -days 2 -extfile good.ext -out good.pem
openssl req -new $K -keyout wrong.key -out wrong.csr -subj /CN=wrong.example
openssl x509 -req -in wrong.csr -CA ca.pem -CAkey ca.key -set_serial 3 -days 2 -extfile wrong.ext -out wrong.pem
openssl req -x509 $K -keyout self.key -out self.pem -days 2 -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1,DNS:localhost
mkdir -p db
: > db/index.txt
echo 04 > db/serial
cat > ca.cnf <<EOC
[ca]
default_ca = test
[test]
database = db/index.txt
new_certs_dir = db
serial = db/serial
default_md = sha256
policy = any
unique_subject = no
copy_extensions = none
[any]
commonName = supplied
EOC
openssl req -new $K -keyout expired.key -out expired.csr -subj /CN=127.0.0.1
openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -startdate 20200101000000Z \
  -enddate 20200201000000Z -extfile good.ext -in expired.csr -out expired.pem
)SH";
};

class FakeHttpServer;

// One accepted connection, as a handler sees it.
class FakeConnection {
  public:
    FakeConnection(FakeHttpServer& server, int fd, SSL* ssl)
        : server_(server), fd_(fd), ssl_(ssl) {}

    // Writes all bytes; false when the peer went away.
    bool Send(std::string_view bytes);
    // One byte at a time with a gap between, until all are sent, the peer
    // closes or the server stops. Counts the bytes in the server's Sent().
    bool Dribble(std::string_view bytes, std::chrono::milliseconds gap);
    // Sends nothing and waits until the peer closes (or the limit, or the
    // server stops); what the peer sends meanwhile is read and dropped.
    void WaitForPeerClose(std::chrono::milliseconds limit = 20s);

    // Neither reads nor sends until the peer hangs up, the limit passes or
    // the server stops: an upload to it fills the socket buffers and stalls.
    void Idle(std::chrono::milliseconds limit = 20s);

    // Reads up to n bytes; 0 when the peer closed, -1 on a time-out or error.
    int Read(char* buffer, int n, std::chrono::milliseconds limit);

  private:
    bool Stopping() const;

    FakeHttpServer& server_;
    int fd_;
    SSL* ssl_;
};

class FakeHttpServer {
  public:
    using Handler = std::function<void(FakeConnection&, const FakeRequest&)>;

    struct Options {
        // With both, the server speaks TLS.
        std::string certFile;
        std::string keyFile;
        // The highest TLS version the server offers (0: any).
        int maxTlsVersion = 0;
        // Accepts connections and never says or reads anything.
        bool silent = false;
    };

    FakeHttpServer() : FakeHttpServer(Options{}) {}
    explicit FakeHttpServer(Options options) : options_(std::move(options)) {
        signal(SIGPIPE, SIG_IGN);
        if (!options_.certFile.empty()) {
            ctx_ = SSL_CTX_new(TLS_server_method());
            if (ctx_ == nullptr ||
                SSL_CTX_use_certificate_chain_file(ctx_, options_.certFile.c_str()) != 1 ||
                SSL_CTX_use_PrivateKey_file(ctx_, options_.keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
                throw std::runtime_error("cannot load the test certificate");
            if (options_.maxTlsVersion != 0) {
                SSL_CTX_set_security_level(ctx_, 0);
                SSL_CTX_set_min_proto_version(ctx_, TLS1_VERSION);
                SSL_CTX_set_max_proto_version(ctx_, options_.maxTlsVersion);
                SSL_CTX_set_cipher_list(ctx_, "DEFAULT:@SECLEVEL=0");
            }
        }
        listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;  // the system picks
        socklen_t length = sizeof addr;
        if (listen_ < 0 || bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(listen_, 16) != 0 ||
            getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        port_ = ntohs(addr.sin_port);
        started_ = SteadyClock::now();
        thread_ = std::thread([this] { Run(); });
    }

    ~FakeHttpServer() {
        Stop();
        if (ctx_ != nullptr)
            SSL_CTX_free(ctx_);
    }

    void Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (listen_ >= 0) {
            close(listen_);
            listen_ = -1;
        }
    }

    // The handler for a request target: the exact target (an absolute URI
    // for a proxy request), else its path without the query. Without
    // readBody the handler runs right after the header lines and the body is
    // left unread.
    void Handle(const std::string& target, Handler handler, bool readBody = true) {
        std::lock_guard<std::mutex> lock(mutex_);
        routes_[target] = Route{std::move(handler), readBody};
    }

    // A handler that sends fixed bytes and closes.
    void Reply(const std::string& target, std::string bytes) {
        Handle(target, [bytes](FakeConnection& c, const FakeRequest&) { c.Send(bytes); });
    }

    int Port() const { return port_; }
    std::string Url(std::string_view path) const {
        return std::string(options_.certFile.empty() ? "http" : "https") +
               "://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }

    std::vector<FakeRequest> Requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    int Accepted() const { return accepted_; }
    int HeadsRead() const { return headsRead_; }
    long Sent() const { return sent_; }
    bool Finished() const { return finished_; }

  private:
    friend class FakeConnection;

    struct Route {
        Handler handler;
        bool readBody = true;
    };

    bool Expired() const { return SteadyClock::now() - started_ > kFakeServerHardLimit; }

    void Run() {
        while (!stop_ && !Expired()) {
            pollfd p{listen_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            ++accepted_;
            Serve(fd);
            close(fd);
        }
    }

    void Serve(int fd) {
        // Blocking operations are bounded too.
        timeval tv{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (options_.silent) {
            FakeConnection(*this, fd, nullptr).WaitForPeerClose();
            return;
        }
        SSL* ssl = nullptr;
        if (ctx_ != nullptr) {
            ssl = SSL_new(ctx_);
            SSL_set_fd(ssl, fd);
            if (SSL_accept(ssl) != 1) {  // the client refused the certificate
                SSL_free(ssl);
                ERR_clear_error();
                return;
            }
        }
        FakeConnection connection(*this, fd, ssl);
        ServeRequest(connection);
        if (ssl != nullptr) {
            SSL_shutdown(ssl);
            SSL_free(ssl);
            ERR_clear_error();
        }
    }

    void ServeRequest(FakeConnection& connection) {
        std::string data;
        char buffer[16384];
        std::size_t headEnd = std::string::npos;
        while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
            if (data.size() > 1 << 20)
                return;
            const int n = connection.Read(buffer, sizeof buffer, 5s);
            if (n <= 0)
                return;
            data.append(buffer, static_cast<std::size_t>(n));
        }
        FakeRequest request;
        std::string_view head(data.data(), headEnd);
        std::size_t lineEnd = head.find("\r\n");
        request.requestLine = std::string(head.substr(0, lineEnd));
        head.remove_prefix(lineEnd == std::string_view::npos ? head.size() : lineEnd + 2);
        while (!head.empty()) {
            lineEnd = head.find("\r\n");
            request.headerLines.emplace_back(head.substr(0, lineEnd));
            head.remove_prefix(lineEnd == std::string_view::npos ? head.size() : lineEnd + 2);
        }
        const std::size_t sp1 = request.requestLine.find(' ');
        const std::size_t sp2 = request.requestLine.rfind(' ');
        if (sp1 != std::string::npos && sp2 > sp1) {
            request.method = request.requestLine.substr(0, sp1);
            request.target = request.requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
            request.version = request.requestLine.substr(sp2 + 1);
        }
        request.body = data.substr(headEnd + 4);
        ++headsRead_;

        Route route;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = routes_.find(request.target);
            if (it == routes_.end())
                it = routes_.find(request.target.substr(0, request.target.find('?')));
            if (it != routes_.end())
                route = it->second;
        }
        std::size_t expected = 0;
        if (const auto length = request.Header("Content-Length"))
            expected = std::strtoul(length->c_str(), nullptr, 10);
        if (route.readBody) {
            while (request.body.size() < expected) {
                const int n = connection.Read(buffer, sizeof buffer, 5s);
                if (n <= 0)
                    break;
                request.body.append(buffer, static_cast<std::size_t>(n));
            }
        }
        request.bodyComplete = request.body.size() == expected;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        if (route.handler)
            route.handler(connection, request);
        else
            connection.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
        finished_ = true;
    }

    Options options_;
    SSL_CTX* ctx_ = nullptr;
    int listen_ = -1;
    int port_ = 0;
    SteadyClock::time_point started_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::atomic<int> headsRead_{0};
    std::atomic<long> sent_{0};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::vector<FakeRequest> requests_;
};

inline bool FakeConnection::Stopping() const {
    return server_.stop_ || server_.Expired();
}

inline int FakeConnection::Read(char* buffer, int n, std::chrono::milliseconds limit) {
    const auto until = SteadyClock::now() + limit;
    while (!Stopping() && SteadyClock::now() < until) {
        if (ssl_ == nullptr || SSL_pending(ssl_) == 0) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
        }
        if (ssl_ != nullptr) {
            const int r = SSL_read(ssl_, buffer, n);
            if (r > 0)
                return r;
            const int e = SSL_get_error(ssl_, r);
            if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)
                continue;
            ERR_clear_error();
            return 0;
        }
        const ssize_t r = recv(fd_, buffer, static_cast<std::size_t>(n), 0);
        if (r >= 0)
            return static_cast<int>(r);
        if (errno != EAGAIN && errno != EINTR)
            return 0;
    }
    return -1;
}

inline bool FakeConnection::Send(std::string_view bytes) {
    while (!bytes.empty() && !Stopping()) {
        int n = 0;
        if (ssl_ != nullptr) {
            n = SSL_write(ssl_, bytes.data(),
                          static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)));
            if (n <= 0) {
                ERR_clear_error();
                return false;
            }
        } else {
            const ssize_t r = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (r < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (r <= 0)
                return false;
            n = static_cast<int>(r);
        }
        server_.sent_ += n;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return bytes.empty();
}

inline bool FakeConnection::Dribble(std::string_view bytes, std::chrono::milliseconds gap) {
    for (char c : bytes) {
        if (!Send(std::string_view(&c, 1)))
            return false;
        // Wait out the gap, but notice a peer that went away.
        const auto until = SteadyClock::now() + gap;
        while (SteadyClock::now() < until) {
            if (Stopping())
                return false;
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 10) > 0) {
                char sink[256];
                if (Read(sink, sizeof sink, 10ms) == 0)
                    return false;
            }
        }
    }
    return true;
}

inline void FakeConnection::WaitForPeerClose(std::chrono::milliseconds limit) {
    const auto until = SteadyClock::now() + limit;
    char sink[16384];
    while (!Stopping() && SteadyClock::now() < until) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - SteadyClock::now());
        if (Read(sink, sizeof sink, std::min<std::chrono::milliseconds>(left, 100ms)) == 0)
            return;
    }
}

inline void FakeConnection::Idle(std::chrono::milliseconds limit) {
    const auto until = SteadyClock::now() + limit;
    while (!Stopping() && SteadyClock::now() < until) {
        pollfd p{fd_, POLLRDHUP, 0};
        if (poll(&p, 1, 20) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0)
            return;
    }
}

}  // namespace tallowmere::test
