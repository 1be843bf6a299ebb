#pragma once
// A stream that buffers a file in fixed blocks, and its temporary-file form
// that holds HTTP responses.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "exchange/stream.h"

namespace tallowmere::exchange {

// The block buffer serves either reading or writing at one time; callers write,
// then seek, then read. Tell counts every byte read, written or sought.
class LargeStream : public Stream {
  public:
    ~LargeStream() override;

    std::optional<std::size_t> GetSize() override;
    // Fails, leaving the position unchanged, when pending bytes cannot be
    // written: the tail of a response must never be lost silently.
    bool Seek(std::size_t position) override;
    bool ReadBlock(const std::uint8_t*& data, std::size_t& length) override;
    bool ReadByte(std::uint8_t& byte) override;
    bool PeekByte(std::uint8_t& byte) override;
    std::size_t Tell() override { return position_; }
    bool Write(const void* data, std::size_t length) override;
    bool GetWriteBuffer(std::uint8_t*& data, std::size_t& length) override;
    bool CommitWrite(std::size_t length) override;

    // Writes pending bytes; false when the file write fails.
    bool Flush();

  protected:
    explicit LargeStream(std::size_t blockSize) : blockSize_(blockSize) {}

    // Reads up to one block at the file pointer into the buffer, setting the
    // fill count; false on a read error or when nothing was read.
    virtual bool FillBuffer() = 0;
    // Writes the fill count's bytes of the buffer; nothing to write succeeds.
    virtual bool FlushBuffer() = 0;
    virtual bool SeekFile(std::size_t position) = 0;
    virtual std::optional<std::size_t> GetFileSize() = 0;

    // Allocates the block buffer; false when memory is exhausted.
    bool AllocateBuffer();

    const std::size_t blockSize_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t fill_ = 0;

  private:
    bool Refill();

    std::size_t cursor_ = 0;  // next unread byte in the buffer
    std::size_t left_ = 0;    // unread bytes in the buffer
    std::size_t position_ = 0;
    bool dirty_ = false;
};

// A file on disk, by default a new temporary file that is removed with the
// stream.
class Win32LargeStream : public LargeStream {
  public:
    static constexpr std::size_t kBlockSize = 4096;

    // A new temporary file, made by Open.
    Win32LargeStream();
    // An existing file, opened for reading and writing and kept afterwards.
    explicit Win32LargeStream(std::string path);
    ~Win32LargeStream() override;

    // Allocates the buffer and opens (or creates) the file; true when open.
    bool Open();
    // For diagnostics: the temporary file's name no longer exists once opened.
    const std::string& FileName() const { return fileName_; }

  protected:
    bool FillBuffer() override;
    bool FlushBuffer() override;
    bool SeekFile(std::size_t position) override;
    std::optional<std::size_t> GetFileSize() override;

  private:
    std::string fileName_;
    int fd_ = -1;
    bool deleteOnClose_ = true;
    bool linked_ = false;  // the temporary file still has its name
};

// A new temporary-file stream under $TMPDIR (else /tmp), mode 0600; null when
// it cannot be made.
std::unique_ptr<Win32LargeStream> CreateTempFileStream();

}  // namespace tallowmere::exchange
