#pragma once
// Two owned streams read one after the other: a request text and its body.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "exchange/stream.h"

namespace tallowmere::exchange {

class CompoundStream : public Stream {
  public:
    // Takes both sizes now and seeks to 0. When a size cannot be had, every
    // read fails and GetSize gives nullopt.
    CompoundStream(std::unique_ptr<Stream> first, std::unique_ptr<Stream> second);

    std::optional<std::size_t> GetSize() override;
    bool Seek(std::size_t position) override;
    bool ReadBlock(const std::uint8_t*& data, std::size_t& length) override;
    bool ReadByte(std::uint8_t& byte) override;
    bool PeekByte(std::uint8_t& byte) override;
    std::size_t Tell() override { return position_; }
    // Read-only.
    bool Write(const void*, std::size_t) override { return false; }
    bool GetWriteBuffer(std::uint8_t*&, std::size_t&) override { return false; }
    bool CommitWrite(std::size_t) override { return false; }

  private:
    Stream* Current() const;

    std::unique_ptr<Stream> first_;
    std::unique_ptr<Stream> second_;
    std::size_t firstSize_ = 0;
    std::size_t secondSize_ = 0;
    std::size_t position_ = 0;
    bool ok_ = false;
};

}  // namespace tallowmere::exchange
