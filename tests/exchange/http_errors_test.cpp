// The one table from libcurl's results to the codes the online clients know.
#include "exchange/http_errors.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <openssl/x509_vfy.h>

#include <set>

namespace tallowmere::exchange {
namespace {

TEST(HttpErrors, TableOfTheReviewNotes) {
    EXPECT_EQ(HttpErrorFromCurl(CURLE_OK), 0);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_COULDNT_RESOLVE_HOST), 12007);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_COULDNT_RESOLVE_PROXY), 12007);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_OPERATION_TIMEDOUT), 12002);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_COULDNT_CONNECT), 12029);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_SSL_CONNECT_ERROR), 12157);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_SEND_ERROR), 12030);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_RECV_ERROR), 12031);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_GOT_NOTHING), 12152);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_WEIRD_SERVER_REPLY), 12152);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_TOO_MANY_REDIRECTS), 12156);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_ABORTED_BY_CALLBACK), 1223);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_OUT_OF_MEMORY), 8);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_WRITE_ERROR), 14);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_FILESIZE_EXCEEDED), kHttpErrorTooLarge);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_PARTIAL_FILE), 12031);
    EXPECT_EQ(HttpErrorFromCurl(CURLE_URL_MALFORMAT), 12005);
}

TEST(HttpErrors, CertificateRefusalsByVerifyResult) {
    const auto code = [](long verify) {
        CurlErrorContext context;
        context.sslVerifyResult = verify;
        return HttpErrorFromCurl(CURLE_PEER_FAILED_VERIFICATION, context);
    };
    EXPECT_EQ(code(X509_V_ERR_CERT_HAS_EXPIRED), 12037);
    EXPECT_EQ(code(X509_V_ERR_CERT_NOT_YET_VALID), 12037);
    EXPECT_EQ(code(X509_V_OK), 12038);               // libcurl's own name check
    EXPECT_EQ(code(X509_V_ERR_UNSPECIFIED), 12038);  // what it leaves after one
    EXPECT_EQ(code(X509_V_ERR_HOSTNAME_MISMATCH), 12038);
    EXPECT_EQ(code(X509_V_ERR_IP_ADDRESS_MISMATCH), 12038);
    EXPECT_EQ(code(X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT), 12045);
    EXPECT_EQ(code(X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY), 12045);
    EXPECT_EQ(code(X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN), 12045);
    EXPECT_EQ(code(X509_V_ERR_CERT_REVOKED), 12169);
}

TEST(HttpErrors, UnsupportedProtocolByContext) {
    CurlErrorContext context;
    EXPECT_EQ(HttpErrorFromCurl(CURLE_UNSUPPORTED_PROTOCOL, context), 12152);  // HTTP/0.9
    context.redirectRefused = true;
    EXPECT_EQ(HttpErrorFromCurl(CURLE_UNSUPPORTED_PROTOCOL, context), 12006);
    context.secureOrigin = true;
    EXPECT_EQ(HttpErrorFromCurl(CURLE_UNSUPPORTED_PROTOCOL, context), 12040);
}

TEST(HttpErrors, NoCodeReadsAsParseFailure) {
    // Every CURLcode of this libcurl, listed or not, gives a code outside
    // 1-4 ("could not be parsed") and 0 only for CURLE_OK.
    for (int rc = 0; rc <= CURL_LAST + 5; ++rc) {
        for (long verify : {0L, 10L, 18L, 23L}) {
            CurlErrorContext context;
            context.sslVerifyResult = verify;
            const int code = HttpErrorFromCurl(rc, context);
            EXPECT_FALSE(code >= 1 && code <= 4) << rc;
            EXPECT_EQ(code == 0, rc == CURLE_OK) << rc;
        }
    }
    EXPECT_EQ(HttpErrorFromCurl(-1), kInternetInternalError);
}

TEST(HttpErrors, TableIsOrderedWithoutDuplicates) {
    std::set<int> seen;
    int last = -1;
    for (const CurlErrorMapping& m : CurlErrorTable()) {
        EXPECT_GT(m.curlCode, last);
        last = m.curlCode;
        EXPECT_TRUE(seen.insert(m.curlCode).second);
    }
    EXPECT_GE(CurlErrorTable().size(), 40u);
}

}  // namespace
}  // namespace tallowmere::exchange
