#pragma once
// The byte streams through which every request, response and imported OFX
// file passes. Single-threaded; owned by whoever created them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tallowmere::exchange {

class Stream {
  public:
    virtual ~Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Total number of bytes; nullopt when pending data could not be written.
    virtual std::optional<std::size_t> GetSize() = 0;
    // Absolute position. Past the end: the position becomes the size, false.
    virtual bool Seek(std::size_t position) = 0;
    // Hands out the next contiguous run of readable bytes and consumes it; the
    // run stays valid until the next operation. False when nothing is left.
    virtual bool ReadBlock(const std::uint8_t*& data, std::size_t& length) = 0;
    virtual bool ReadByte(std::uint8_t& byte) = 0;
    virtual bool PeekByte(std::uint8_t& byte) = 0;
    virtual std::size_t Tell() = 0;
    // Appends or overwrites at the position, advancing.
    virtual bool Write(const void* data, std::size_t length) = 0;
    // Free room at the position for direct filling, then CommitWrite of what
    // was filled.
    virtual bool GetWriteBuffer(std::uint8_t*& data, std::size_t& length) = 0;
    virtual bool CommitWrite(std::size_t length) = 0;
    virtual int GetErrorCode() { return 0; }
    // Copies a zero-terminated text into a buffer of destinationSize bytes,
    // always terminating it; false when it had to be cut (or size is 0).
    virtual bool CopyText(const char* source, char* destination, std::size_t destinationSize);

    // Skips CR, LF, tab and blank, then stores bytes up to CR or LF (and, when
    // wholeLine is false, tab or blank), at most bufferSize - 1 of them. The
    // delimiter is consumed. True when at least one byte was stored.
    bool ReadToken(char* buffer, std::size_t bufferSize, bool wholeLine);
    // Reads until just past the first occurrence of pattern; false at the end
    // of the stream or for an empty pattern.
    bool SkipPast(std::string_view pattern);
    // Copies the rest of source to this stream; false when a write fails.
    bool CopyFrom(Stream& source);
    bool WriteText(std::string_view text);

  protected:
    Stream() = default;
};

}  // namespace tallowmere::exchange
