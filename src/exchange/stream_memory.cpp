#include "exchange/stream_memory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tallowmere::exchange {

bool SmallStream::Seek(std::size_t position) {
    if (position > size_) {
        position_ = size_;
        return false;
    }
    position_ = position;
    return true;
}

bool SmallStream::ReadBlock(const std::uint8_t*& data, std::size_t& length) {
    data = data_ + position_;
    length = size_ - position_;
    position_ = size_;
    return length != 0;
}

bool SmallStream::ReadByte(std::uint8_t& byte) {
    if (position_ >= size_)
        return false;
    byte = data_[position_++];
    return true;
}

bool SmallStream::PeekByte(std::uint8_t& byte) {
    if (position_ >= size_)
        return false;
    byte = data_[position_];
    return true;
}

bool SmallStream::Write(const void* data, std::size_t length) {
    if (!writable_)
        return false;
    if (length == 0)
        return true;
    if (length > std::numeric_limits<std::size_t>::max() - position_)
        return false;
    const std::size_t end = position_ + length;
    if (end >= capacity_ && !Grow(end))
        return false;
    std::memcpy(WritableData() + position_, data, length);
    position_ = end;
    size_ = std::max(size_, position_);
    return true;
}

bool SmallStream::GetWriteBuffer(std::uint8_t*& data, std::size_t& length) {
    if (!writable_)
        return false;
    // A failed growth must not look like success with no room: a caller that
    // loops on the room would never end.
    if (position_ == capacity_ && !Grow(capacity_ + kMemoryBlockSize))
        return false;
    data = WritableData() + position_;
    length = capacity_ - position_;
    return true;
}

bool SmallStream::CommitWrite(std::size_t length) {
    if (!writable_ || length > capacity_ - position_)
        return false;
    position_ += length;
    size_ = std::max(size_, position_);
    return true;
}

ReadOnlyMemoryStream::ReadOnlyMemoryStream(const void* data, std::size_t length) {
    writable_ = false;
    data_ = static_cast<const std::uint8_t*>(data);
    size_ = length;
    capacity_ = length;
}

bool Win32SmallStream::Grow(std::size_t n) {
    const std::size_t wanted = std::max(n, capacity_);
    if (wanted > std::numeric_limits<std::size_t>::max() - (kMemoryBlockSize - 1))
        return false;
    const std::size_t capacity =
        (wanted + kMemoryBlockSize - 1) / kMemoryBlockSize * kMemoryBlockSize;
    if (capacity != buffer_.size()) {
        try {
            buffer_.resize(capacity);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
    }
    data_ = buffer_.data();
    capacity_ = capacity;
    return true;
}

std::unique_ptr<Win32SmallStream> CreateMemoryStream() {
    return std::unique_ptr<Win32SmallStream>(new (std::nothrow) Win32SmallStream());
}

}  // namespace tallowmere::exchange
