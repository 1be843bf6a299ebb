#pragma once
// The result codes of an HTTP exchange: the Windows and WinINet numbers that
// the online clients and their messages know, and the one table that maps
// libcurl's results onto them.
#include <cstdint>
#include <span>

namespace tallowmere::exchange {

// System codes.
inline constexpr int kHttpErrorNotEnoughMemory = 8;    // ERROR_NOT_ENOUGH_MEMORY
inline constexpr int kHttpErrorOutOfMemory = 14;       // ERROR_OUTOFMEMORY (a write failed)
inline constexpr int kHttpErrorInvalidParameter = 87;  // a request the client will not send
inline constexpr int kHttpErrorTooLarge = 223;         // ERROR_FILE_TOO_LARGE: over the cap
inline constexpr int kHttpErrorCancelled = 1223;       // ERROR_CANCELLED

// WinINet codes.
inline constexpr int kInternetTimeout = 12002;
inline constexpr int kInternetInternalError = 12004;
inline constexpr int kInternetInvalidUrl = 12005;
inline constexpr int kInternetUnrecognizedScheme = 12006;
inline constexpr int kInternetNameNotResolved = 12007;
inline constexpr int kInternetCannotConnect = 12029;
inline constexpr int kInternetConnectionAborted = 12030;
inline constexpr int kInternetConnectionReset = 12031;
inline constexpr int kInternetCertDateInvalid = 12037;
inline constexpr int kInternetCertNameInvalid = 12038;
inline constexpr int kInternetHttpsToHttpOnRedirect = 12040;
inline constexpr int kInternetInvalidCa = 12045;
inline constexpr int kHttpInvalidServerResponse = 12152;
inline constexpr int kHttpRedirectFailed = 12156;
inline constexpr int kInternetSecureChannelError = 12157;
inline constexpr int kInternetInvalidCertificate = 12169;

// GetStatus of a response that has no stream.
inline constexpr int kHttpStatusNoStream = 0xFFFF;

// One row of the table: a CURLcode and the code reported for it.
struct CurlErrorMapping {
    int curlCode;
    int code;
};

// Every CURLcode the client can meet, in CURLcode order. A code that is not
// listed reports kInternetInternalError; nothing maps to 1-4, which the
// online clients read as "could not be parsed".
std::span<const CurlErrorMapping> CurlErrorTable();

// What the table alone cannot tell.
struct CurlErrorContext {
    // CURLINFO_SSL_VERIFYRESULT (an OpenSSL X509_V_* value) for a refused
    // certificate: expired or not yet valid 12037; OK or a name mismatch
    // 12038 (libcurl checks the name itself after the chain passed); any
    // untrusted-issuer result 12045; anything else 12169. (libcurl reports
    // a name mismatch with the result 1.)
    long sslVerifyResult = 0;
    // A redirect was refused (CURLE_UNSUPPORTED_PROTOCOL after a 3xx with a
    // Location): 12040 when the exchange began on https, else 12006. Without
    // one, that CURLcode means the reply was not HTTP: 12152.
    bool redirectRefused = false;
    bool secureOrigin = false;
};

// The code to report for a libcurl result (0 for CURLE_OK).
int HttpErrorFromCurl(int curlCode, const CurlErrorContext& context = {});

}  // namespace tallowmere::exchange
