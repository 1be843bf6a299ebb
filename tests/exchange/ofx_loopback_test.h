#pragma once
// The client side of the OFX download tests: Win32Http and its OFX transport
// trusting only what the test certificate authority signed, with no proxy
// taken from the environment, and the TLS options of the fake servers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>

#include "exchange/ofx_http_transport.h"
#include "exchange/win32_http.h"
#include "http_fake_server.h"
#include "support/test_env.h"

namespace tallowmere::test {

inline const TestCertificates& Certificates() {
    return TestCertificates::Make(TestRoot() + "/certs");
}

// A fake server with the certificate the client trusts.
inline FakeHttpServer::Options TlsServerOptions() {
    FakeHttpServer::Options options;
    options.certFile = Certificates().goodCert;
    options.keyFile = Certificates().goodKey;
    return options;
}

class OfxLoopbackTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // A proxy would take the requests away from loopback.
        for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                                 "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
            unsetenv(name);
        Certificates();
    }

    void SetUp() override {
        exchange::HttpSettings settings;
        settings.connectTimeout = std::chrono::seconds(5);
        settings.stallTime = std::chrono::seconds(5);
        settings.testExtraCaFile = Certificates().caFile;
        http_ = std::make_unique<exchange::Win32Http>(settings);
        transport_ = std::make_unique<exchange::COfxHttpTransport>(*http_);
    }

    std::unique_ptr<exchange::Win32Http> http_;
    std::unique_ptr<exchange::COfxHttpTransport> transport_;
};

}  // namespace tallowmere::test
