#include "ui/logic/instance_lock.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_env.h"

namespace tallowmere::ui {
namespace {

using Result = InstanceLock::Result;

std::string PrivateFolder() {
    std::string folder = test::MakeTempDir("lock");
    chmod(folder.c_str(), 0700);
    return folder;
}

TEST(InstanceLock, OneHolderAtATime) {
    const std::string folder = PrivateFolder();
    auto first = std::make_unique<InstanceLock>(folder);
    InstanceLock second(folder);
    EXPECT_EQ(first->TryAcquire(), Result::kAcquired);
    EXPECT_EQ(first->TryAcquire(), Result::kAcquired);
    EXPECT_EQ(second.TryAcquire(), Result::kHeldElsewhere);
    EXPECT_FALSE(second.Held());
    first.reset();
    EXPECT_EQ(second.TryAcquire(), Result::kAcquired);
    EXPECT_TRUE(second.Held());
}

TEST(InstanceLock, AKilledHolderFreesIt) {
    const std::string folder = PrivateFolder();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock(folder);
        const char got = lock.TryAcquire() == Result::kAcquired ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = write(ready[1], &got, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char got = 0;
    ASSERT_EQ(read(ready[0], &got, 1), 1);
    close(ready[0]);
    EXPECT_EQ(got, 'y');

    InstanceLock lock(folder);
    EXPECT_EQ(lock.TryAcquire(), Result::kHeldElsewhere);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(lock.TryAcquire(), Result::kAcquired);
}

TEST(InstanceLock, OnlyInAPrivateFolder) {
    const std::string shared = test::MakeTempDir("lock");
    chmod(shared.c_str(), 0755);
    const std::string link = test::TestRoot() + "/lock-link";
    std::filesystem::create_directory_symlink(PrivateFolder(), link);
    struct Case {
        std::string folder;
        Result result;
    };
    const Case cases[] = {
        {PrivateFolder(), Result::kAcquired},
        {shared, Result::kUnavailable},
        {test::TestRoot() + "/missing", Result::kUnavailable},
        {link, Result::kUnavailable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        InstanceLock lock(c.folder);
        EXPECT_EQ(lock.TryAcquire(), c.result);
    }
}

}  // namespace
}  // namespace tallowmere::ui
