#include "ui/logic/instance_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallowmere::ui {
namespace {

std::string Header(std::uint32_t type, std::uint32_t length) {
    std::string bytes;
    for (std::uint32_t v : {type, length}) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return bytes;
}

InstanceRequest Raise(std::string text) {
    InstanceRequest request;
    request.commandLine = std::move(text);
    return request;
}

InstanceRequest Notify(std::uint32_t wParam, std::uint32_t lParam) {
    InstanceRequest request;
    request.kind = InstanceRequest::Kind::kDatabaseNotify;
    request.wParam = wParam;
    request.lParam = lParam;
    return request;
}

TEST(InstanceFrames, EachTypeGetsItsAnswerAndRequest) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string reply;
        std::vector<InstanceRequest> requests;
        bool close;
    };
    const std::string big(2000, 'x');
    const Case cases[] = {
        {"is me", EncodeFrame(FrameType::kIsMe, ""), "\x01", {}, false},
        {"is me with bytes", EncodeFrame(FrameType::kIsMe, "abc"), "\x01", {}, false},
        {"command line",
         EncodeFrame(FrameType::kCommandLine, "/home/a/b.vmn"),
         "\x01",
         {Raise("/home/a/b.vmn")},
         false},
        {"empty command line",
         EncodeFrame(FrameType::kCommandLine, ""),
         "\x01",
         {Raise("")},
         false},
        {"2000 bytes keep 1023",
         EncodeFrame(FrameType::kCommandLine, big),
         "\x01",
         {Raise(std::string(1023, 'x'))},
         false},
        {"a NUL ends the text",
         EncodeFrame(FrameType::kCommandLine, std::string("ab\0cd", 5)),
         "\x01",
         {Raise("ab")},
         false},
        {"database notify",
         EncodeDatabaseNotify(1, 0xA0B0C0D0),
         "",
         {Notify(1, 0xA0B0C0D0)},
         false},
        {"notify of the wrong size", Header(2, 4) + "\x01\0\0\0", "", {}, false},
        {"notify too long", Header(2, 9) + std::string(9, '\x01'), "", {}, false},
        {"other type", Header(7, 3) + "abc", "", {}, false},
        {"type zero", Header(0, 0), "", {}, false},
        {"two frames",
         EncodeFrame(FrameType::kIsMe, "") + EncodeFrame(FrameType::kCommandLine, "a"),
         "\x01\x01",
         {Raise("a")},
         false},
        {"frame after an ignored one",
         Header(9, 2) + "zz" + EncodeFrame(FrameType::kCommandLine, "q"),
         "\x01",
         {Raise("q")},
         false},
        {"longest frame",
         Header(100, kMaxFrameLength) + std::string(kMaxFrameLength, 'y'),
         "\x01",
         {Raise(std::string(1023, 'y'))},
         false},
        {"one byte too long", Header(100, kMaxFrameLength + 1), "", {}, true},
        {"hostile length", Header(100, 0xFFFFFFFF) + "abc", "", {}, true},
        {"hostile length of an ignored type", Header(5, 0x80000000), "", {}, true},
        {"answered, then hostile",
         EncodeFrame(FrameType::kIsMe, "") + Header(1, 0xFFFFFFFF),
         "\x01",
         {},
         true},
        {"header cut short", Header(100, 3).substr(0, 5), "", {}, false},
        {"payload cut short", Header(100, 10) + "abc", "", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstanceConnection whole;
        const InstanceConnection::Result result = whole.Feed(c.bytes);
        EXPECT_EQ(result.reply, c.reply);
        EXPECT_EQ(result.requests, c.requests);
        EXPECT_EQ(result.close, c.close);

        // The same bytes one at a time give the same outcome.
        InstanceConnection trickle;
        std::string reply;
        std::vector<InstanceRequest> requests;
        bool closed = false;
        for (char byte : c.bytes) {
            InstanceConnection::Result part = trickle.Feed(std::string_view(&byte, 1));
            reply += part.reply;
            requests.insert(requests.end(), part.requests.begin(), part.requests.end());
            closed = closed || part.close;
        }
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(requests, c.requests);
        EXPECT_EQ(closed, c.close);
    }
}

TEST(InstanceFrames, AClosedConnectionTakesNothingMore) {
    InstanceConnection connection;
    EXPECT_TRUE(connection.Feed(Header(100, 0xFFFFFFFF)).close);
    const InstanceConnection::Result later =
        connection.Feed(EncodeFrame(FrameType::kCommandLine, "a"));
    EXPECT_TRUE(later.close);
    EXPECT_TRUE(later.reply.empty());
    EXPECT_TRUE(later.requests.empty());
}

TEST(InstanceFrames, HeaderIsTypeThenLengthLittleEndian) {
    EXPECT_EQ(EncodeFrame(FrameType::kCommandLine, "ab"),
              std::string("\x64\0\0\0\x02\0\0\0ab", 10));
    EXPECT_EQ(EncodeDatabaseNotify(0x04030201, 5),
              std::string("\x02\0\0\0\x08\0\0\0\x01\x02\x03\x04\x05\0\0\0", 16));
}

}  // namespace
}  // namespace tallowmere::ui
