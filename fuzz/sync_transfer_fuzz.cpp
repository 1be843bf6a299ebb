// What a handheld sends at the start of a sync: discovery requests and the
// size text and bytes of a file transfer. The transfer runs over a socket
// pair holding the whole input, so a run never waits.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/socket.h"
#include "sync/file_transfer.h"
#include "sync/sync_parse.h"
#include "sync/sync_words.h"

namespace {

namespace hh = tallowmere::handheld;

// One private folder per process for the received files.
const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") +
                              "/sync_transfer_fuzz_XXXXXX";
        return mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    return folder;
}

void CheckParsers(std::string_view text) {
    const int port = hh::ParseDiscoveryPort(text);
    if (port < 0 || port > 65535)
        std::abort();
    const int reply = hh::DiscoveryReplyPort(text);
    if (reply != 0 && reply != hh::ParseDiscoveryPort(hh::WordText(text)))
        std::abort();
    std::uint64_t size = 0;
    if (hh::ParseTransferSize(text, 1000, size) && size > 1000)
        std::abort();
}

void CheckReceive(std::string_view input) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    tallowmere::platform::Socket desktop(fds[0]), handheld(fds[1]);
    if (!tallowmere::platform::SendAll(handheld.Fd(), input.data(), input.size(),
                                       std::chrono::seconds(1)))
        return;
    shutdown(handheld.Fd(), SHUT_WR);
    hh::CSyncLink link(desktop.Fd(), std::chrono::seconds(1),
                       hh::CSyncLink::Clock::now() + std::chrono::seconds(10));
    hh::TransferLimits limits;
    limits.maxBytes = 1 << 16;
    const std::string path = ScratchFolder() + "/received";
    unlink(path.c_str());
    const bool ok = hh::ReceiveFile(link, path, limits);
    std::uint64_t size = 0;
    const std::string_view sizeText = input.substr(0, hh::kMaxSizeTextBytes);
    if (ok) {
        // The file is exactly the bytes after the size text, as many as it
        // announced.
        if (!hh::ParseTransferSize(sizeText, limits.maxBytes, size))
            std::abort();
        std::string body;
        char block[4096];
        const int fd = open(path.c_str(), O_RDONLY);
        for (long n; fd >= 0 && (n = read(fd, block, sizeof block)) > 0;)
            body.append(block, static_cast<std::size_t>(n));
        if (fd >= 0)
            close(fd);
        if (body != input.substr(sizeText.size(), size))
            std::abort();
    } else if (access(path.c_str(), F_OK) == 0) {
        std::abort();  // a failed transfer leaves no file
    }
    unlink(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 60000)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckParsers(input);
    CheckReceive(input);
    return 0;
}
