#include "exchange/ofx_http_transport.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <utility>

namespace tallowmere::exchange {
namespace {

// The reply body as a stream of its own, positions counted from the first
// body byte. It keeps the response, so the temporary file lives exactly as
// long as the parser may read it.
class ResponseBodyStream : public Stream {
  public:
    explicit ResponseBodyStream(std::unique_ptr<HttpResponse> response)
        : response_(std::move(response)),
          stream_(*response_->stream),
          offset_(response_->bodyOffset) {}

    std::optional<std::size_t> GetSize() override {
        const std::optional<std::size_t> size = stream_.GetSize();
        if (!size || *size < offset_)
            return std::nullopt;
        return *size - offset_;
    }
    bool Seek(std::size_t position) override { return stream_.Seek(offset_ + position); }
    bool ReadBlock(const std::uint8_t*& data, std::size_t& length) override {
        return stream_.ReadBlock(data, length);
    }
    bool ReadByte(std::uint8_t& byte) override { return stream_.ReadByte(byte); }
    bool PeekByte(std::uint8_t& byte) override { return stream_.PeekByte(byte); }
    std::size_t Tell() override { return stream_.Tell() - offset_; }
    // The reply is only read.
    bool Write(const void*, std::size_t) override { return false; }
    bool GetWriteBuffer(std::uint8_t*&, std::size_t&) override { return false; }
    bool CommitWrite(std::size_t) override { return false; }
    int GetErrorCode() override { return stream_.GetErrorCode(); }

  private:
    std::unique_ptr<HttpResponse> response_;
    Stream& stream_;
    std::size_t offset_;
};

bool CallProgress(void* userData, int, int) {
    const auto& progress = *static_cast<const std::function<bool()>*>(userData);
    return !progress || progress();
}

}  // namespace

COfxHttpTransport::COfxHttpTransport() : http_(&GetHttpClient()) {}

std::optional<OfxPostResult> COfxHttpTransport::Post(OfxPostRequest request) {
    HttpRequest http;
    // The constants are literals, so their data is zero-terminated.
    http.SetMethod(kOfxPostMethod.data());
    http.SetVersion(kOfxPostVersion.data(), static_cast<std::ptrdiff_t>(kOfxPostVersion.size()));
    // A refused URL is not an error here: Send answers with its code.
    http.SetUrl(request.url);
    http.SetContentType(kOfxContentType.data());
    http.SetBody(std::move(request.body));
    http.SetProgressCallback(&CallProgress, &request.progress);
    for (std::string_view line : kOfxPostHeaders)
        http.AddHeader(line.data());

    std::unique_ptr<HttpResponse> response = http_->Send(http);
    if (!response)
        return std::nullopt;

    OfxPostResult result;
    result.status = GetStatus(*response);
    if (result.status != 0 || GetBody(*response) == nullptr)
        return result;
    try {
        result.body = std::make_unique<ResponseBodyStream>(std::move(response));
    } catch (const std::bad_alloc&) {
        result.body.reset();
    }
    if (result.body)
        result.body->Seek(0);
    return result;
}

COfxHttpTransport& InstallOfxHttpTransport() {
    static COfxHttpTransport transport;
    SetOfxTransport(&transport);
    return transport;
}

}  // namespace tallowmere::exchange
