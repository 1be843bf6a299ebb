#pragma once
// The HTTP client on libcurl; its result codes are the WinINet numbers callers know.
// Certificates are always checked: peer and host name against the system's CA
// store, TLS 1.2 or later. No setting turns that off.
#include <chrono>
#include <cstddef>
#include <memory>
#include <random>
#include <string>

#include "exchange/http.h"

namespace tallowmere::exchange {

struct HttpSettings {
    // Time to set up the connection, TLS handshake included.
    std::chrono::milliseconds connectTimeout{60'000};
    // An exchange in which no byte moves either way for stallTime (counted
    // from its start, connecting included) fails with 12002; so does one
    // whose rate stays below stallBytesPerSecond for about that long
    // (libcurl's low-speed check). There is no total time-out: the user has
    // Cancel.
    std::chrono::seconds stallTime{120};
    long stallBytesPerSecond = 1;
    // The most the response stream may hold (headers and body); more fails
    // with 223.
    std::size_t maxResponseBytes = 32 * 1024 * 1024;
    long maxRedirects = 5;
    // Test-only: a PEM file of one more CA to trust besides the system store
    // (the loopback test server's throwaway CA). Empty in the program.
    std::string testExtraCaFile;
};

class Win32Http : public Http {
  public:
    Win32Http();
    explicit Win32Http(HttpSettings settings);
    ~Win32Http() override;

    // The exchange on libcurl: the request goes out as
    // HTTP/1.0 with its header block (Host and Content-Length left to
    // libcurl, no Expect, no Accept unless given); the final response's
    // header lines, normalised to CRLF, then its body go to a temporary
    // file. Proxies come from the environment (http_proxy, https_proxy,
    // all_proxy, no_proxy); redirects are followed up to the limit, never
    // from https to http.
    std::unique_ptr<HttpResponse> Send(HttpRequest& request) override;
    // "User-Agent: Linux Tallowmere Desktop 1.0.0.0".
    std::unique_ptr<Stream> GetAgentHeader() override;
    bool SupportsSecure() override { return true; }
    const char* MakeRandomText() override;

    const HttpSettings& Settings() const { return settings_; }
    void SetSettings(HttpSettings settings) { settings_ = std::move(settings); }

  private:
    int Exchange(HttpRequest& request, HttpResponse& response);

    HttpSettings settings_;
    std::mt19937 random_;
    char randomText_[32] = {};
};

// curl_global_init, once per process; thread-safe. Win32Http calls it; main()
// may call it early, before other threads start.
bool InitHttpLibrary();

}  // namespace tallowmere::exchange
