#include "sync/file_transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/socket.h"
#include "sync/sync_parse.h"
#include "sync/sync_words.h"

namespace tallowmere::handheld {
namespace {

// The link's deadline, shortened to the transfer's own, and the transfer's
// rate floor, while in scope.
class TransferScope {
  public:
    TransferScope(CSyncLink& link, const TransferLimits& limits)
        : link_(link), saved_(link.Deadline()) {
        link.SetDeadline(std::min(saved_, CSyncLink::Clock::now() + limits.deadline));
        link.SetRateFloor(limits.minBytesPerSecond, limits.rateGrace);
    }
    ~TransferScope() {
        link_.SetDeadline(saved_);
        link_.ClearRateFloor();
    }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

  private:
    CSyncLink& link_;
    CSyncLink::Clock::time_point saved_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReceiveBody(CSyncLink& link, int fd, const TransferLimits& limits) {
    const std::string sizeText = link.ReceiveText(kMaxSizeTextBytes);
    std::uint64_t left = 0;
    if (!ParseTransferSize(sizeText, limits.maxBytes, left))
        return false;
    if (!link.SendText(kWordOk))
        return false;
    std::array<char, kTransferBlockBytes> block;
    while (left > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
        const long n = link.Receive(block.data(), want);
        if (n <= 0 || !WriteAll(fd, block.data(), static_cast<std::size_t>(n)))
            return false;
        left -= static_cast<std::uint64_t>(n);
    }
    return true;
}

}  // namespace

bool ReceiveFile(CSyncLink& link, const std::string& path, const TransferLimits& limits) {
    TransferScope scope(link, limits);
    platform::Socket file(
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.Valid())
        return false;
    bool ok = ReceiveBody(link, file.Fd(), limits);
    ok = ok && fsync(file.Fd()) == 0;
    file.Close();
    ok = ok && link.SendText(kWordOk);
    if (!ok)
        unlink(path.c_str());
    return ok;
}

bool SendFile(CSyncLink& link, const std::string& path, const TransferLimits& limits) {
    TransferScope scope(link, limits);
    platform::Socket file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!file.Valid() || fstat(file.Fd(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (!link.SendText(std::to_string(size)) || !link.ReceiveAck(kSendFileAckBytes))
        return false;
    std::array<char, kTransferBlockBytes> block;
    std::uint64_t sent = 0;
    while (sent < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - sent, block.size()));
        const ssize_t n = pread(file.Fd(), block.data(), want, static_cast<off_t>(sent));
        if (n < 0 && errno == EINTR)
            continue;
        // A file that shrinks under us would leave the peer waiting for
        // bytes that never come.
        if (n <= 0 || !link.SendBytes(block.data(), static_cast<std::size_t>(n)))
            return false;
        sent += static_cast<std::uint64_t>(n);
    }
    return link.ReceiveAck(kSendFileAckBytes);
}

}  // namespace tallowmere::handheld
