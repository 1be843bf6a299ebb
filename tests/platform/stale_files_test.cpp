#include "platform/stale_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/atomic_file.h"
#include "support/test_env.h"

namespace tallowmere::platform {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// Only plain files under a temporary name whose lock is free go; what a
// link points to, and every other kind of entry, stays.
TEST(RemoveUnlockedFiles, TakesOnlyUnlockedPlainFilesOfTheGivenNames) {
    const std::string dir = test::MakeTempDir("stale");
    const std::string outside = test::MakeTempDir("outside") + "/victim";
    test::WriteFileBytes(outside, "outside");
    test::WriteFileBytes(dir + "/.Checking.wqm.tmp-dead01", "left by a dead writer");
    test::WriteFileBytes(dir + "/.Savings.wqm.tmp-live01", "being written");
    test::WriteFileBytes(dir + "/Checking.wqm", "data");
    ASSERT_EQ(symlink(outside.c_str(), (dir + "/.link.wqm.tmp-link01").c_str()), 0);
    ASSERT_EQ(mkfifo((dir + "/.fifo.wqm.tmp-fifo01").c_str(), 0600), 0);
    fs::create_directory(dir + "/.folder.tmp-fold01");
    test::WriteFileBytes(dir + "/.folder.tmp-fold01/.inner.tmp-abcdef", "inner");

    // Another open file description holds the live one's lock, as a writer
    // in another thread or process does.
    const int held = open((dir + "/.Savings.wqm.tmp-live01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    EXPECT_EQ(RemoveUnlockedFiles(dir, IsAtomicTempName), 1);
    close(held);
    EXPECT_EQ(Names(dir), (std::set<std::string>{".Savings.wqm.tmp-live01", ".fifo.wqm.tmp-fifo01",
                                                 ".folder.tmp-fold01", ".link.wqm.tmp-link01",
                                                 "Checking.wqm"}));
    EXPECT_EQ(test::ReadFileBytes(outside), "outside");
    EXPECT_EQ(test::ReadFileBytes(dir + "/.folder.tmp-fold01/.inner.tmp-abcdef"), "inner");

    // Once the lock is let go the file is taken too.
    EXPECT_EQ(RemoveUnlockedFiles(dir, IsAtomicTempName), 1);
    EXPECT_FALSE(fs::exists(dir + "/.Savings.wqm.tmp-live01"));
    EXPECT_EQ(RemoveUnlockedFiles(dir + "/missing", IsAtomicTempName), 0);
}

}  // namespace
}  // namespace tallowmere::platform
