#include "exchange/online_banking_error.h"

#include <string>

#include "exchange/http_errors.h"
#include "exchange/ofx_client.h"
#include "model/error_sink.h"

namespace tallowmere::exchange {

void ShowOnlineBankingError(std::int32_t code, std::string_view text) {
    const bool hasText = !text.empty();
    switch (code) {
        case 0:
        case kOfxErrorCancelled:
        // The user's Cancel during the HTTP exchange: no error to show.
        case kHttpErrorCancelled:
            return;
        case kOfxErrorNoData:
            ReportError(kStrOnlineNoMemory);
            return;
        case kOfxErrorMissing:
        case kOfxErrorMalformed:
            if (hasText)
                ReportError(kStrOnlineUnparsedWithText, {std::string(text)});
            else
                ReportError(kStrOnlineUnparsed);
            return;
        case 2003:
            ReportError(kStrOnlineBadAccount);
            return;
        case kInternetTimeout:
            ReportError(kStrOnlineTimeout);
            return;
        case kInternetNameNotResolved:
        case 12008:
        case 12150:
            ReportError(kStrOnlineNoConnection);
            return;
        case 15500:
            ReportError(kStrOnlineBadLogin);
            return;
        default:
            if (hasText)
                ReportError(kStrOnlineErrorWithText, {std::int64_t{code}, std::string(text)});
            else
                ReportError(kStrOnlineUnexpected, {std::int64_t{code}});
            return;
    }
}

}  // namespace tallowmere::exchange
