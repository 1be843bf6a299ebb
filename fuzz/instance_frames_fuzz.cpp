// The running copy reads frames from any local peer of its user: whatever the
// bytes and however they are split, memory stays bounded, a command line
// never exceeds 1023 bytes or holds a NUL, and the only answer is 1.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/logic/instance_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tallowmere::ui::InstanceConnection;
    using tallowmere::ui::InstanceRequest;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first byte picks how the rest arrives: whole, or in pieces of 1..255.
    std::size_t piece = bytes.empty() ? 1 : static_cast<unsigned char>(bytes.front());
    if (!bytes.empty())
        bytes.remove_prefix(1);
    if (piece == 0)
        piece = bytes.size() + 1;

    InstanceConnection connection;
    bool closed = false;
    while (!bytes.empty()) {
        const std::string_view part = bytes.substr(0, piece);
        bytes.remove_prefix(part.size());
        const InstanceConnection::Result result = connection.Feed(part);
        if (closed && (!result.reply.empty() || !result.requests.empty()))
            std::abort();
        closed = closed || result.close;
        for (char c : result.reply) {
            if (c != tallowmere::ui::kAnswerYes)
                std::abort();
        }
        for (const InstanceRequest& request : result.requests) {
            if (request.commandLine.size() > tallowmere::ui::kMaxCommandLine ||
                request.commandLine.find('\0') != std::string::npos) {
                std::abort();
            }
        }
    }
    return 0;
}
