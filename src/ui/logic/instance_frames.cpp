#include "ui/logic/instance_frames.h"

#include <algorithm>

#include "model/byte_order.h"

namespace tallowmere::ui {

namespace {

constexpr std::size_t kNotifyLength = 8;

// How much of a payload of this type is worth keeping.
std::size_t KeepFor(std::uint32_t type) {
    switch (static_cast<FrameType>(type)) {
        case FrameType::kCommandLine:
            return kMaxCommandLine;
        case FrameType::kDatabaseNotify:
            return kNotifyLength;
        default:
            return 0;
    }
}

}  // namespace

std::string EncodeFrame(FrameType type, std::string_view payload) {
    std::string frame(8, '\0');
    auto* head = reinterpret_cast<std::uint8_t*>(frame.data());
    StoreLE32(head, static_cast<std::uint32_t>(type));
    StoreLE32(head + 4, static_cast<std::uint32_t>(payload.size()));
    frame.append(payload);
    return frame;
}

std::string EncodeDatabaseNotify(std::uint32_t wParam, std::uint32_t lParam) {
    std::uint8_t payload[kNotifyLength];
    StoreLE32(payload, wParam);
    StoreLE32(payload + 4, lParam);
    return EncodeFrame(FrameType::kDatabaseNotify,
                       std::string_view(reinterpret_cast<const char*>(payload), sizeof payload));
}

InstanceConnection::Result InstanceConnection::Feed(std::string_view bytes) {
    Result result;
    while (!closed_ && !bytes.empty()) {
        if (headerBytes_ < sizeof header_) {
            const std::size_t n = std::min(sizeof header_ - headerBytes_, bytes.size());
            std::copy_n(bytes.begin(), n, header_ + headerBytes_);
            headerBytes_ += n;
            bytes.remove_prefix(n);
            if (headerBytes_ < sizeof header_)
                break;
            type_ = LoadLE32(header_);
            length_ = LoadLE32(header_ + 4);
            remaining_ = length_;
            if (length_ > kMaxFrameLength) {
                closed_ = true;
                break;
            }
            keep_ = KeepFor(type_);
            kept_.clear();
            if (remaining_ == 0)
                Finish(result);
            continue;
        }
        const std::size_t n = std::min<std::size_t>(remaining_, bytes.size());
        if (kept_.size() < keep_)
            kept_.append(bytes.substr(0, std::min(n, keep_ - kept_.size())));
        remaining_ -= static_cast<std::uint32_t>(n);
        bytes.remove_prefix(n);
        if (remaining_ == 0)
            Finish(result);
    }
    result.close = closed_;
    return result;
}

void InstanceConnection::Finish(Result& result) {
    headerBytes_ = 0;
    switch (static_cast<FrameType>(type_)) {
        case FrameType::kIsMe:
            result.reply.push_back(kAnswerYes);
            break;
        case FrameType::kCommandLine: {
            InstanceRequest request;
            // The text is a C string: a NUL ends it, as the sender's own
            // terminator would.
            request.commandLine = kept_.substr(0, kept_.find('\0'));
            result.requests.push_back(std::move(request));
            result.reply.push_back(kAnswerYes);
            break;
        }
        case FrameType::kDatabaseNotify:
            // Only a payload of exactly two words means anything.
            if (length_ == kNotifyLength) {
                const auto* p = reinterpret_cast<const std::uint8_t*>(kept_.data());
                InstanceRequest request;
                request.kind = InstanceRequest::Kind::kDatabaseNotify;
                request.wParam = LoadLE32(p);
                request.lParam = LoadLE32(p + 4);
                result.requests.push_back(request);
            }
            break;
        default:
            break;  // other types are ignored
    }
    kept_.clear();
}

}  // namespace tallowmere::ui
