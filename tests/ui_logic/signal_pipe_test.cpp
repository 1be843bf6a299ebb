#include "ui/logic/signal_pipe.h"

#include <poll.h>
#include <signal.h>

#include <gtest/gtest.h>

namespace tallowmere::ui {
namespace {

int g_earlierHandlerRan = 0;
extern "C" void EarlierHandler(int) {
    ++g_earlierHandlerRan;
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

TEST(SignalPipe, SignalsArriveAsBytesInOrder) {
    auto pipe = SignalPipe::Install({SIGTERM, SIGINT});
    ASSERT_NE(pipe, nullptr);
    EXPECT_FALSE(Readable(pipe->ReadFd()));
    raise(SIGTERM);
    raise(SIGINT);
    raise(SIGTERM);
    EXPECT_TRUE(Readable(pipe->ReadFd()));
    EXPECT_EQ(pipe->Drain(), (std::vector<int>{SIGTERM, SIGINT, SIGTERM}));
    EXPECT_FALSE(Readable(pipe->ReadFd()));
    EXPECT_TRUE(pipe->Drain().empty());
}

TEST(SignalPipe, OnePerProcessAndTheEarlierHandlersComeBack) {
    struct sigaction earlier {};
    earlier.sa_handler = EarlierHandler;
    sigemptyset(&earlier.sa_mask);
    struct sigaction saved {};
    ASSERT_EQ(sigaction(SIGTERM, &earlier, &saved), 0);
    {
        auto pipe = SignalPipe::Install({SIGTERM});
        ASSERT_NE(pipe, nullptr);
        EXPECT_EQ(SignalPipe::Install({SIGINT}), nullptr);
        raise(SIGTERM);
        EXPECT_EQ(g_earlierHandlerRan, 0);
        EXPECT_EQ(pipe->Drain(), std::vector<int>{SIGTERM});
    }
    raise(SIGTERM);
    EXPECT_EQ(g_earlierHandlerRan, 1);
    sigaction(SIGTERM, &saved, nullptr);
    // Free again once the first is gone.
    EXPECT_NE(SignalPipe::Install({SIGINT}), nullptr);
}

}  // namespace
}  // namespace tallowmere::ui
