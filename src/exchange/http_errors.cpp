#include "exchange/http_errors.h"

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <array>

namespace tallowmere::exchange {
namespace {

constexpr std::array<CurlErrorMapping, 44> kTable{{
    {CURLE_OK, 0},
    // Refined by the context: a refused redirect or a reply that is not HTTP.
    {CURLE_UNSUPPORTED_PROTOCOL, kInternetUnrecognizedScheme},
    {CURLE_FAILED_INIT, kInternetInternalError},
    {CURLE_URL_MALFORMAT, kInternetInvalidUrl},
    {CURLE_NOT_BUILT_IN, kInternetInternalError},
    {CURLE_COULDNT_RESOLVE_PROXY, kInternetNameNotResolved},
    {CURLE_COULDNT_RESOLVE_HOST, kInternetNameNotResolved},
    {CURLE_COULDNT_CONNECT, kInternetCannotConnect},
    {CURLE_WEIRD_SERVER_REPLY, kHttpInvalidServerResponse},
    {CURLE_HTTP2, kHttpInvalidServerResponse},
    // The connection ended before the length the server announced.
    {CURLE_PARTIAL_FILE, kInternetConnectionReset},
    {CURLE_WRITE_ERROR, kHttpErrorOutOfMemory},
    {CURLE_UPLOAD_FAILED, kInternetConnectionAborted},
    {CURLE_READ_ERROR, kInternetConnectionAborted},
    {CURLE_OUT_OF_MEMORY, kHttpErrorNotEnoughMemory},
    {CURLE_OPERATION_TIMEDOUT, kInternetTimeout},
    {CURLE_HTTP_POST_ERROR, kInternetConnectionAborted},
    {CURLE_SSL_CONNECT_ERROR, kInternetSecureChannelError},
    {CURLE_ABORTED_BY_CALLBACK, kHttpErrorCancelled},
    {CURLE_BAD_FUNCTION_ARGUMENT, kInternetInternalError},
    {CURLE_INTERFACE_FAILED, kInternetCannotConnect},
    {CURLE_TOO_MANY_REDIRECTS, kHttpRedirectFailed},
    {CURLE_UNKNOWN_OPTION, kInternetInternalError},
    {CURLE_SETOPT_OPTION_SYNTAX, kInternetInternalError},
    {CURLE_GOT_NOTHING, kHttpInvalidServerResponse},
    {CURLE_SSL_ENGINE_NOTFOUND, kInternetSecureChannelError},
    {CURLE_SSL_ENGINE_SETFAILED, kInternetSecureChannelError},
    {CURLE_SEND_ERROR, kInternetConnectionAborted},
    {CURLE_RECV_ERROR, kInternetConnectionReset},
    {CURLE_SSL_CERTPROBLEM, kInternetSecureChannelError},
    {CURLE_SSL_CIPHER, kInternetSecureChannelError},
    // Refined by the certificate's verify result.
    {CURLE_PEER_FAILED_VERIFICATION, kInternetInvalidCertificate},
    {CURLE_BAD_CONTENT_ENCODING, kHttpInvalidServerResponse},
    {CURLE_FILESIZE_EXCEEDED, kHttpErrorTooLarge},
    {CURLE_USE_SSL_FAILED, kInternetSecureChannelError},
    {CURLE_SEND_FAIL_REWIND, kInternetConnectionAborted},
    {CURLE_SSL_ENGINE_INITFAILED, kInternetSecureChannelError},
    // No CA could be loaded, so nothing is trusted.
    {CURLE_SSL_CACERT_BADFILE, kInternetInvalidCa},
    {CURLE_SSL_SHUTDOWN_FAILED, kInternetSecureChannelError},
    {CURLE_SSL_CRL_BADFILE, kInternetInvalidCa},
    {CURLE_SSL_ISSUER_ERROR, kInternetInvalidCa},
    {CURLE_SSL_PINNEDPUBKEYNOTMATCH, kInternetInvalidCa},
    {CURLE_SSL_INVALIDCERTSTATUS, kInternetInvalidCertificate},
    {CURLE_PROXY, kInternetCannotConnect},
}};

constexpr bool Ascending() {
    for (std::size_t i = 1; i < kTable.size(); ++i) {
        if (kTable[i - 1].curlCode >= kTable[i].curlCode)
            return false;
    }
    return true;
}
static_assert(Ascending(), "the table is searched by CURLcode");

constexpr bool NoParseCodes() {
    for (const CurlErrorMapping& m : kTable) {
        if (m.code >= 1 && m.code <= 4)
            return false;
    }
    return true;
}
static_assert(NoParseCodes(), "1-4 mean 'could not be parsed' to the online clients");

int CertificateCode(long verifyResult) {
    switch (verifyResult) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
        case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
            return kInternetCertDateInvalid;
        // libcurl checks the name itself once the chain has passed; it
        // leaves the result at 1 (!X509_V_OK) when the name does not match.
        case X509_V_OK:
        case X509_V_ERR_UNSPECIFIED:
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return kInternetCertNameInvalid;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_INVALID_CA:
            return kInternetInvalidCa;
        default:
            return kInternetInvalidCertificate;
    }
}

}  // namespace

std::span<const CurlErrorMapping> CurlErrorTable() {
    return kTable;
}

int HttpErrorFromCurl(int curlCode, const CurlErrorContext& context) {
    if (curlCode == CURLE_PEER_FAILED_VERIFICATION)
        return CertificateCode(context.sslVerifyResult);
    if (curlCode == CURLE_UNSUPPORTED_PROTOCOL) {
        if (!context.redirectRefused)
            return kHttpInvalidServerResponse;  // HTTP/0.9 or another version
        return context.secureOrigin ? kInternetHttpsToHttpOnRedirect : kInternetUnrecognizedScheme;
    }
    const auto it =
        std::lower_bound(kTable.begin(), kTable.end(), curlCode,
                         [](const CurlErrorMapping& m, int code) { return m.curlCode < code; });
    if (it != kTable.end() && it->curlCode == curlCode)
        return it->code;
    return kInternetInternalError;
}

}  // namespace tallowmere::exchange
