#include "exchange/stream_file.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace tallowmere::exchange {

LargeStream::~LargeStream() = default;

bool LargeStream::AllocateBuffer() {
    buffer_.reset(new (std::nothrow) std::uint8_t[blockSize_]);
    return buffer_ != nullptr;
}

bool LargeStream::Flush() {
    if (dirty_) {
        if (!FlushBuffer())
            return false;
        dirty_ = false;
    } else if (left_ > 0) {
        // Unread bytes are dropped, so the file pointer goes back to where
        // reading stopped.
        if (!SeekFile(position_))
            return false;
    }
    fill_ = 0;
    cursor_ = 0;
    left_ = 0;
    return true;
}

bool LargeStream::Refill() {
    if (!buffer_ || !Flush() || !FillBuffer())
        return false;
    cursor_ = 0;
    left_ = fill_;
    return left_ > 0;
}

std::optional<std::size_t> LargeStream::GetSize() {
    if (dirty_ && !Flush())
        return std::nullopt;
    return GetFileSize();
}

bool LargeStream::Seek(std::size_t position) {
    if (!Flush())
        return false;
    const std::optional<std::size_t> size = GetFileSize();
    if (!size)
        return false;
    const bool inside = position <= *size;
    const std::size_t target = inside ? position : *size;
    if (!SeekFile(target))
        return false;
    position_ = target;
    return inside;
}

bool LargeStream::ReadBlock(const std::uint8_t*& data, std::size_t& length) {
    if (left_ == 0 && !Refill())
        return false;
    data = buffer_.get() + cursor_;
    length = left_;
    position_ += left_;
    cursor_ += left_;
    left_ = 0;
    return true;
}

bool LargeStream::ReadByte(std::uint8_t& byte) {
    if (left_ == 0 && !Refill())
        return false;
    byte = buffer_[cursor_++];
    --left_;
    ++position_;
    return true;
}

bool LargeStream::PeekByte(std::uint8_t& byte) {
    if (left_ == 0 && !Refill())
        return false;
    byte = buffer_[cursor_];
    return true;
}

bool LargeStream::GetWriteBuffer(std::uint8_t*& data, std::size_t& length) {
    if (!buffer_)
        return false;
    // Leaving read mode drops the read block and puts the file pointer back.
    if (!dirty_ && !Flush())
        return false;
    if (fill_ == blockSize_ && !Flush())
        return false;
    data = buffer_.get() + fill_;
    length = blockSize_ - fill_;
    return true;
}

bool LargeStream::CommitWrite(std::size_t length) {
    const std::size_t n = std::min(length, blockSize_ - fill_);
    fill_ += n;
    position_ += n;
    dirty_ = true;
    return true;
}

bool LargeStream::Write(const void* data, std::size_t length) {
    const auto* in = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        std::uint8_t* room = nullptr;
        std::size_t roomLength = 0;
        if (!GetWriteBuffer(room, roomLength))
            return false;
        const std::size_t n = std::min(roomLength, length);
        std::memcpy(room, in, n);
        CommitWrite(n);
        in += n;
        length -= n;
    }
    return true;
}

Win32LargeStream::Win32LargeStream() : LargeStream(kBlockSize) {}

Win32LargeStream::Win32LargeStream(std::string path)
    : LargeStream(kBlockSize), fileName_(std::move(path)), deleteOnClose_(false) {}

Win32LargeStream::~Win32LargeStream() {
    if (fd_ < 0)
        return;
    if (!deleteOnClose_)
        Flush();
    close(fd_);
    if (linked_)
        unlink(fileName_.c_str());
}

bool Win32LargeStream::Open() {
    if (!buffer_ && !AllocateBuffer())
        return false;
    if (fd_ >= 0)
        return true;
    if (!deleteOnClose_) {
        fd_ = open(fileName_.c_str(), O_RDWR | O_CLOEXEC);
    } else {
        const char* dir = getenv("TMPDIR");
        std::string name = std::string(dir && *dir ? dir : "/tmp") + "/tmpXXXXXX";
        fd_ = mkostemp(name.data(), O_CLOEXEC);  // mode 0600
        if (fd_ >= 0)
            fileName_ = std::move(name);
    }
    if (fd_ < 0) {
        buffer_.reset();  // nothing may be buffered for a file that is not there
        return false;
    }
    if (!deleteOnClose_)
        return true;
    // Nothing reopens the file by name, so it goes at once: a crash then
    // leaves no bank data behind.
    linked_ = unlink(fileName_.c_str()) != 0;
    return true;
}

bool Win32LargeStream::FillBuffer() {
    fill_ = 0;
    if (fd_ < 0 || !buffer_)
        return false;
    for (;;) {
        const ssize_t n = read(fd_, buffer_.get(), blockSize_);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        fill_ = static_cast<std::size_t>(n);
        return true;
    }
}

bool Win32LargeStream::FlushBuffer() {
    if (fill_ == 0)
        return true;
    if (fd_ < 0)
        return false;
    std::size_t done = 0;
    while (done < fill_) {
        const ssize_t n = write(fd_, buffer_.get() + done, fill_ - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool Win32LargeStream::SeekFile(std::size_t position) {
    if (fd_ < 0 || position > static_cast<std::size_t>(std::numeric_limits<off_t>::max()))
        return false;
    return lseek(fd_, static_cast<off_t>(position), SEEK_SET) >= 0;
}

std::optional<std::size_t> Win32LargeStream::GetFileSize() {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0)
        return std::nullopt;
    return static_cast<std::size_t>(st.st_size);
}

std::unique_ptr<Win32LargeStream> CreateTempFileStream() {
    std::unique_ptr<Win32LargeStream> stream(new (std::nothrow) Win32LargeStream());
    if (!stream || !stream->Open())
        return nullptr;
    return stream;
}

}  // namespace tallowmere::exchange
