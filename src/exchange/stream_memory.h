#pragma once
// Streams over memory: a growable buffer and a read-only view of a caller's
// bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "exchange/stream.h"

namespace tallowmere::exchange {

// Memory grows in whole blocks of this size.
inline constexpr std::size_t kMemoryBlockSize = 4096;

class SmallStream : public Stream {
  public:
    std::optional<std::size_t> GetSize() override { return size_; }
    bool Seek(std::size_t position) override;
    bool ReadBlock(const std::uint8_t*& data, std::size_t& length) override;
    bool ReadByte(std::uint8_t& byte) override;
    bool PeekByte(std::uint8_t& byte) override;
    std::size_t Tell() override { return position_; }
    bool Write(const void* data, std::size_t length) override;
    bool GetWriteBuffer(std::uint8_t*& data, std::size_t& length) override;
    bool CommitWrite(std::size_t length) override;

    std::size_t Capacity() const { return capacity_; }
    // The valid bytes, for callers that want them whole.
    const std::uint8_t* Data() const { return data_; }

  protected:
    SmallStream() = default;
    // Makes room for at least n bytes; false when memory is exhausted or the
    // stream cannot grow.
    virtual bool Grow(std::size_t n) = 0;
    // Where writes go, once Grow has made room.
    virtual std::uint8_t* WritableData() = 0;

    bool writable_ = true;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;
};

// A view over bytes the caller keeps alive and never frees through the
// stream. Every write fails: the bytes are the caller's.
class ReadOnlyMemoryStream : public SmallStream {
  public:
    ReadOnlyMemoryStream(const void* data, std::size_t length);

  protected:
    bool Grow(std::size_t) override { return false; }
    std::uint8_t* WritableData() override { return nullptr; }
};

// The growable memory stream (a plain buffer in place of global memory).
class Win32SmallStream : public SmallStream {
  public:
    Win32SmallStream() = default;

  protected:
    bool Grow(std::size_t n) override;
    std::uint8_t* WritableData() override { return buffer_.data(); }

  private:
    std::vector<std::uint8_t> buffer_;
};

// A new, empty memory stream; null when memory is exhausted.
std::unique_ptr<Win32SmallStream> CreateMemoryStream();

}  // namespace tallowmere::exchange
