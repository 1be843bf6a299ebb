#pragma once
// The pieces shared by the OFX reply walks: the header skip and the adapters
// that let the SGML reader and writer ask the client's handler for progress.
#include "exchange/ofx_client.h"
#include "exchange/sgml_document.h"
#include "exchange/stream.h"

namespace tallowmere::exchange {

// Reads the OFX header lines (LF ends a line, CR is dropped, 16 characters
// of each line are kept) up to an empty line, or up to a line that is exactly
// "<OFX>", to whose start the stream is put back. False when the stream ends
// first. The ENCODING and CHARSET lines give the text encoding.
bool SkipOfxHeader(Stream& stream, SgmlTextEncoding& encoding);

// Each forwards the progress calls to slot 0 of the handler it wraps.
class CGetProfileParseEventHandler final : public CSgmlElement::MParseEventHandler {
  public:
    explicit CGetProfileParseEventHandler(COfxClient::MEventHandler& client) : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    COfxClient::MEventHandler& client_;
};

class CGetAccountInfoParseEventHandler final : public CSgmlElement::MParseEventHandler {
  public:
    explicit CGetAccountInfoParseEventHandler(COfxClient::MEventHandler& client)
        : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    COfxClient::MEventHandler& client_;
};

class CGetStatementParseEventHandler final : public CSgmlElement::MParseEventHandler {
  public:
    explicit CGetStatementParseEventHandler(COfxClient::MEventHandler& client) : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    COfxClient::MEventHandler& client_;
};

class CGetProfileGenerateEventHandler final : public CSgmlElement::MGenerateEventHandler {
  public:
    explicit CGetProfileGenerateEventHandler(COfxClient::MEventHandler& client) : client_(client) {}
    bool Progress(int value) override { return client_.Progress(value); }

  private:
    COfxClient::MEventHandler& client_;
};

}  // namespace tallowmere::exchange
