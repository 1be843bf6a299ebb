#include "platform/named_mutex.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tallowmere::platform {
namespace {

using namespace std::chrono_literals;

TEST(NamedMutex, SameThreadMayTakeItAgain) {
    NamedMutex a("TestReentrant");
    NamedMutex b("TestReentrant");  // another handle on the same lock
    ASSERT_TRUE(a.Lock(0ms));
    EXPECT_TRUE(b.Lock(0ms));
    b.Unlock();
    bool otherGot = true;
    std::thread([&] { otherGot = NamedMutex("TestReentrant").Lock(20ms); }).join();
    EXPECT_FALSE(otherGot) << "still held once";
    a.Unlock();
    std::thread([&] {
        NamedMutex m("TestReentrant");
        otherGot = m.Lock(20ms);
        if (otherGot)
            m.Unlock();
    }).join();
    EXPECT_TRUE(otherGot);
}

TEST(NamedMutex, OtherThreadsWaitOrTimeOut) {
    NamedMutex m("TestThreads");
    ASSERT_TRUE(m.Lock(0ms));
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        NamedMutex mine("TestThreads");
        got = mine.Lock(5000ms);
        if (got)
            mine.Unlock();
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(got);
    m.Unlock();
    waiter.join();
    EXPECT_TRUE(got) << "a release wakes the waiter";

    // An unlock by a thread that holds nothing changes nothing.
    ASSERT_TRUE(m.Lock(0ms));
    std::thread([&] { NamedMutex("TestThreads").Unlock(); }).join();
    bool stolen = true;
    std::thread([&] { stolen = NamedMutex("TestThreads").Lock(10ms); }).join();
    EXPECT_FALSE(stolen);
    m.Unlock();
}

TEST(NamedMutex, ExcludesOtherProcesses) {
    NamedMutex m("TestProcesses");
    ASSERT_TRUE(m.Lock(0ms));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // 1: timed out while the parent held it; then 2 once it is free.
        NamedMutex mine("TestProcesses");
        int code = mine.Lock(50ms) ? 10 : 1;
        char c = 'x';
        if (write(ready[1], &c, 1) != 1)
            _exit(20);
        if (code == 1 && mine.Lock(5000ms))
            code = 2;
        _exit(code);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    m.Unlock();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(ready[0]);
    close(ready[1]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

TEST(NamedMutex, HostileNamesStayInTheLockFolder) {
    NamedMutex m("../../etc/passwd");
    ASSERT_TRUE(m.Lock(0ms));
    m.Unlock();
    EXPECT_EQ(LockFolder().find(".."), std::string::npos);
}

}  // namespace
}  // namespace tallowmere::platform
