#include "exchange/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/win_error.h"

namespace tallowmere::exchange {
namespace {

// Gathered bytes are written in pieces of about this size.
constexpr std::size_t kFlushSize = 64 * 1024;
constexpr int kErrorInvalidHandle = 6;

}  // namespace

OutputFile::~OutputFile() {
    Close();
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : fd_(other.fd_), error_(other.error_), pending_(std::move(other.pending_)) {
    other.fd_ = -1;
    other.error_ = 0;
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        error_ = other.error_;
        pending_ = std::move(other.pending_);
        other.fd_ = -1;
        other.error_ = 0;
    }
    return *this;
}

int OutputFile::Open(const std::string& path, bool truncate) {
    Close();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0)
        return platform::WinErrorFromErrno(errno);
    fd_ = fd;
    error_ = 0;
    pending_.clear();
    return 0;
}

int OutputFile::Write(std::string_view text) {
    if (fd_ < 0)
        return kErrorInvalidHandle;
    if (error_ != 0)
        return error_;
    try {
        pending_.append(text);
    } catch (const std::bad_alloc&) {
        error_ = platform::kErrorNotEnoughMemory;
        return error_;
    }
    return pending_.size() >= kFlushSize ? Flush() : 0;
}

int OutputFile::Flush() {
    if (fd_ < 0)
        return kErrorInvalidHandle;
    if (error_ != 0)
        return error_;
    std::size_t done = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = platform::WinErrorFromErrno(errno);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    pending_.clear();
    return error_;
}

int OutputFile::Close() {
    if (fd_ < 0)
        return 0;
    int r = Flush();
    if (::close(fd_) != 0 && r == 0)
        r = platform::WinErrorFromErrno(errno);
    fd_ = -1;
    error_ = 0;
    pending_.clear();
    return r;
}

}  // namespace tallowmere::exchange
