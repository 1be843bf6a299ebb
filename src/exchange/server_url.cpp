#include "exchange/server_url.h"

#include <atomic>

#include "exchange/http_parse.h"

namespace tallowmere::exchange {
namespace {

std::atomic<bool> gLoopbackHttpAllowed{false};

bool HasScheme(std::string_view url, std::string_view scheme) {
    if (url.size() < scheme.size())
        return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        char c = url[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != scheme[i])
            return false;
    }
    return true;
}

}  // namespace

bool IsAcceptedServerUrl(std::string_view url) {
    // The split alone would read a URL without a scheme as http; the scheme
    // must be written out.
    const bool https = HasScheme(url, "https://");
    if (!https && !HasScheme(url, "http://"))
        return false;
    const HttpUrlSplit split = SplitHttpUrl(url);
    if (split.error != 0 || split.url.host.empty())
        return false;
    if (split.url.secure)
        return https;
    return gLoopbackHttpAllowed.load() && split.url.host == "127.0.0.1";
}

void SetLoopbackHttpAllowed(bool allowed) {
    gLoopbackHttpAllowed.store(allowed);
}

}  // namespace tallowmere::exchange
