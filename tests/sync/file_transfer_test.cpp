#include "sync/file_transfer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/socket.h"
#include "support/test_env.h"

namespace tallowmere::handheld {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The desktop end and the handheld end of one connection.
struct Pair {
    platform::Socket desktop, handheld;
    Pair() {
        int fds[2];
        EXPECT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds));
        desktop = platform::Socket(fds[0]);
        handheld = platform::Socket(fds[1]);
    }
    CSyncLink Link() { return CSyncLink(desktop.Fd(), 2s, CSyncLink::Clock::now() + 30s); }
};

std::string Read(int fd, std::size_t n) {
    std::string out;
    char block[4096];
    while (out.size() < n) {
        const long got =
            platform::ReceiveSome(fd, block, std::min(sizeof block, n - out.size()), 5s);
        if (got <= 0)
            break;
        out.append(block, static_cast<std::size_t>(got));
    }
    return out;
}

void Send(int fd, const std::string& bytes) {
    ASSERT_TRUE(platform::SendAll(fd, bytes.data(), bytes.size(), 5s));
}

TEST(ReceiveFile, TakesFilesOfEveryBlockBoundaryInAnyPieces) {
    const struct {
        std::size_t size;
        std::size_t piece;
    } cases[] = {{0, 1}, {4095, 4095}, {4096, 4096}, {4097, 100}, {1 << 20, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        Pair p;
        std::string bytes(c.size, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7);
        const std::string path = test::MakeTempDir("rx") + "/file";
        std::thread handheld([&] {
            Send(p.handheld.Fd(), std::to_string(c.size));
            EXPECT_EQ("OK", Read(p.handheld.Fd(), 2));
            for (std::size_t at = 0; at < bytes.size(); at += c.piece)
                Send(p.handheld.Fd(), bytes.substr(at, c.piece));
            EXPECT_EQ("OK", Read(p.handheld.Fd(), 2));
        });
        CSyncLink link = p.Link();
        EXPECT_TRUE(ReceiveFile(link, path, TransferLimits{}));
        handheld.join();
        EXPECT_EQ(bytes, test::ReadFileBytes(path));
    }
}

TEST(ReceiveFile, FailsWithoutKeepingAPartialFile) {
    const struct {
        const char* name;
        std::string sent;
        bool close;
    } cases[] = {
        {"above the cap", "1025", false},
        {"negative", "-1", false},
        {"no number", "abc", false},
        {"overflow", "99999999999999999999", false},
        {"closed before the size", "", true},
        {"closed in the middle", "100", true},
        {"silent in the middle", "100", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        const std::string path = test::MakeTempDir("rx") + "/file";
        if (!c.sent.empty())
            Send(p.handheld.Fd(), c.sent);
        if (c.close)
            shutdown(p.handheld.Fd(), SHUT_WR);
        CSyncLink link(p.desktop.Fd(), 200ms, CSyncLink::Clock::now() + 30s);
        TransferLimits limits;
        limits.maxBytes = 1024;
        EXPECT_FALSE(ReceiveFile(link, path, limits));
        EXPECT_FALSE(fs::exists(path));
    }
}

TEST(ReceiveFile, NeverWritesThroughAnExistingName) {
    Pair p;
    const std::string folder = test::MakeTempDir("rx");
    test::WriteFileBytes(folder + "/target", "keep");
    fs::create_symlink(folder + "/target", folder + "/file");
    Send(p.handheld.Fd(), "1");
    CSyncLink link = p.Link();
    EXPECT_FALSE(ReceiveFile(link, folder + "/file", TransferLimits{}));
    EXPECT_EQ("keep", test::ReadFileBytes(folder + "/target"));
}

TEST(SendFile, SendsTheSizeTheBytesAndNeedsBothAcks) {
    const std::string path = test::MakeTempDir("tx") + "/file";
    const std::string bytes(9000, 'z');
    test::WriteFileBytes(path, bytes);
    {
        Pair p;
        std::thread handheld([&] {
            EXPECT_EQ("9000", Read(p.handheld.Fd(), 4));
            Send(p.handheld.Fd(), "OK");
            EXPECT_EQ(bytes, Read(p.handheld.Fd(), bytes.size()));
            Send(p.handheld.Fd(), "OK");
        });
        CSyncLink link = p.Link();
        EXPECT_TRUE(SendFile(link, path, TransferLimits{}));
        handheld.join();
    }
    {
        // Without the final acknowledgement the send-back did not complete.
        Pair p;
        std::thread handheld([&] {
            Read(p.handheld.Fd(), 4);
            Send(p.handheld.Fd(), "OK");
            Read(p.handheld.Fd(), bytes.size());
            shutdown(p.handheld.Fd(), SHUT_WR);
        });
        CSyncLink link = p.Link();
        EXPECT_FALSE(SendFile(link, path, TransferLimits{}));
        handheld.join();
    }
    Pair p;
    CSyncLink link = p.Link();
    EXPECT_FALSE(SendFile(link, path + ".missing", TransferLimits{}));
}

// A peer that keeps every wait short of the idle time-out but moves too
// little: the transfer ends once its first grace has passed, long before
// the peer would stop by itself.
TEST(TransferRateFloor, ATrickleEndsOnceItsAverageFallsUnderTheFloor) {
    const std::string file = test::MakeTempDir("tx") + "/file";
    test::WriteFileBytes(file, std::string(9000, 'z'));
    const struct {
        const char* name;
        // Both directions: the desktop receiving, the desktop sending back.
        bool receive;
    } cases[] = {{"receiving one byte at a time", true}, {"a send-back never acknowledged", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        std::atomic<bool> ended{false};
        std::atomic<int> beats{0};
        constexpr int kBeats = 400;
        std::thread handheld([&] {
            if (c.receive) {
                Send(p.handheld.Fd(), "100000");
                Read(p.handheld.Fd(), 2);
            } else {
                Read(p.handheld.Fd(), 4);
                Send(p.handheld.Fd(), "OK");
            }
            // Ten seconds at most, a byte (or nothing) every 25 ms.
            for (; beats < kBeats && !ended; ++beats) {
                if (c.receive)
                    platform::SendAll(p.handheld.Fd(), "x", 1, 1s);
                std::this_thread::sleep_for(25ms);
            }
        });
        CSyncLink link(p.desktop.Fd(), 30s, CSyncLink::Clock::now() + 60s);
        TransferLimits limits;
        limits.rateGrace = 300ms;
        const std::string path = test::MakeTempDir("rx") + "/file";
        EXPECT_FALSE(c.receive ? ReceiveFile(link, path, limits) : SendFile(link, file, limits));
        ended = true;
        handheld.join();
        EXPECT_LT(beats, kBeats);
        EXPECT_FALSE(fs::exists(path));
    }
}

}  // namespace
}  // namespace tallowmere::handheld
