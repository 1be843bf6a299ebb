#pragma once
// The protocol between a second start and the running copy of the program:
// frames of {type u32 LE, length u32 LE, bytes} over a local socket that only
// the same user can reach. The running copy reads them a piece at a time,
// keeps only what each type needs and never runs any of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::ui {

enum class FrameType : std::uint32_t {
    kIsMe = 1,            // answered with kAnswerYes; raises nothing
    kDatabaseNotify = 2,  // wParam, lParam as u32 LE; not answered
    kCommandLine = 100,   // answered with kAnswerYes; raises the window
};

inline constexpr char kAnswerYes = 1;
// The most of a handed-over command line the running copy keeps.
inline constexpr std::size_t kMaxCommandLine = 1023;
// No sender writes more; a longer frame ends its connection.
inline constexpr std::uint32_t kMaxFrameLength = 64 * 1024;

std::string EncodeFrame(FrameType type, std::string_view payload);
std::string EncodeDatabaseNotify(std::uint32_t wParam, std::uint32_t lParam);

// What one frame asks of the running copy beyond its answer.
struct InstanceRequest {
    enum class Kind { kRaise, kDatabaseNotify };
    Kind kind = Kind::kRaise;
    std::string commandLine;  // kRaise: at most kMaxCommandLine bytes, may be empty
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;
    bool operator==(const InstanceRequest&) const = default;
};

// Reads the frames of one connection, its bytes arriving in pieces of any
// size. Memory stays bounded whatever the peer claims in a length.
class InstanceConnection {
  public:
    struct Result {
        std::string reply;                      // bytes to send back
        std::vector<InstanceRequest> requests;  // in the order of their frames
        bool close = false;                     // the peer broke the protocol: drop it
    };

    Result Feed(std::string_view bytes);
    bool Closed() const { return closed_; }

  private:
    void Finish(Result& result);

    std::uint8_t header_[8] = {};
    std::size_t headerBytes_ = 0;
    std::uint32_t type_ = 0;
    std::uint32_t length_ = 0;
    std::uint32_t remaining_ = 0;  // payload bytes still to come
    std::string kept_;             // the part of the payload the type needs
    std::size_t keep_ = 0;
    bool closed_ = false;
};

}  // namespace tallowmere::ui
