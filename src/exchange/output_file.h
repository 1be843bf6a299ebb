#pragma once
// The file an exporter writes: a descriptor that closes itself, with the
// writes gathered in memory so an export costs few system calls.
#include <string>
#include <string_view>

namespace tallowmere::exchange {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // With truncate the file is created or emptied; without it, it is opened
    // or created and written at its end. Closes a file already open first.
    // 0 or the Windows error of the failed open.
    int Open(const std::string& path, bool truncate);
    bool IsOpen() const { return fd_ >= 0; }
    // 0 or the Windows error of the write (the first one stays: later
    // writes fail with it too). Without an open file: 6 (invalid handle).
    int Write(std::string_view text);
    // Writes what is gathered; 0 or the Windows error.
    int Flush();
    // Flushes and closes; 0 or the first Windows error of the file's writes.
    int Close();

  private:
    int fd_ = -1;
    int error_ = 0;
    std::string pending_;
};

}  // namespace tallowmere::exchange
