#pragma once
// The OFX client's sending step on the HTTP client: each request goes out as
// a POST with the OFX client's fixed version, content type and header lines,
// and the exchange's result code comes back unchanged.
#include <optional>

#include "exchange/http.h"
#include "exchange/ofx_client.h"

namespace tallowmere::exchange {

class COfxHttpTransport : public COfxTransport {
  public:
    // The program's one HTTP client (GetHttpClient).
    COfxHttpTransport();
    // The given client, which must outlive the transport.
    explicit COfxHttpTransport(Http& http) : http_(&http) {}

    // Empty only when the HTTP client gave no response record. A status other
    // than 0 is GetStatus of the response and comes without a body; on
    // success the body is the reply body, read from the response's own
    // temporary file, which goes when the body is deleted.
    std::optional<OfxPostResult> Post(OfxPostRequest request) override;

  private:
    Http* http_;
};

// Makes a process-wide COfxHttpTransport on the program's HTTP client the
// transport of every COfxClient built without one, and returns it.
COfxHttpTransport& InstallOfxHttpTransport();

}  // namespace tallowmere::exchange
