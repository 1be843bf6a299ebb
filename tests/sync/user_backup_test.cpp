#include "sync/user_backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/test_env.h"
#include "sync/folder_tree.h"

namespace tallowmere::handheld {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string rel = e.path().lexically_relative(folder).string();
        if (e.is_symlink())
            out[rel] = "<link>";
        else if (e.is_directory())
            out[rel] = "<dir>";
        else
            out[rel] = test::ReadFileBytes(e.path().string());
    }
    return out;
}

class UserBackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        user_ = test::MakeTempDir("user");
        root_ = test::MakeTempDir("docs") + "/Backup";
        test::WriteFileBytes(user_ + "/Checking.wqm", "checking");
        test::WriteFileBytes(user_ + "/PayeesList.lst", "payees");
        fs::create_directory(user_ + "/sub");
        test::WriteFileBytes(user_ + "/sub/inner.txt", "inner");
        outside_ = test::MakeTempDir("outside");
        test::WriteFileBytes(outside_ + "/keep", "outside");
        fs::create_symlink(outside_, user_ + "/link");
    }
    std::string user_, root_, outside_;
};

TEST_F(UserBackupTest, RestoreMakesTheFolderEqualToTheCopy) {
    const auto before = Tree(user_);
    CUserBackup backup;
    ASSERT_TRUE(backup.BackupUserFolder(root_, "SERIAL", user_));
    EXPECT_EQ(0u, Tree(backup.Folder()).count("link"));

    // What a merge does: change, delete, add, in the folder and below.
    test::WriteFileBytes(user_ + "/Checking.wqm", "merged");
    fs::remove(user_ + "/PayeesList.lst");
    test::WriteFileBytes(user_ + "/Savings.wqm", "new account");
    test::WriteFileBytes(user_ + "/sub/new.txt", "new");
    fs::create_directory(user_ + "/newdir");
    test::WriteFileBytes(user_ + "/newdir/x", "x");

    ASSERT_TRUE(backup.RestoreBackup());
    EXPECT_EQ(before, Tree(user_));
    EXPECT_EQ("outside", test::ReadFileBytes(outside_ + "/keep"));
    EXPECT_FALSE(backup.Exists());
    EXPECT_FALSE(fs::exists(root_));
}

TEST_F(UserBackupTest, EachRunHasItsOwnCopyAndDeleteLeavesOthers) {
    CUserBackup first, second;
    ASSERT_TRUE(first.BackupUserFolder(root_, "SERIAL", user_));
    ASSERT_TRUE(second.BackupUserFolder(root_, "SERIAL", user_));
    EXPECT_NE(first.Folder(), second.Folder());
    EXPECT_TRUE(first.DeleteBackup());
    EXPECT_TRUE(fs::exists(second.Folder()));
    EXPECT_TRUE(second.DeleteBackup());
    EXPECT_FALSE(fs::exists(root_));
}

TEST_F(UserBackupTest, AFailedCopyKeepsNothing) {
    CUserBackup backup;
    EXPECT_FALSE(backup.BackupUserFolder(root_, "SERIAL", user_ + "/missing"));
    EXPECT_FALSE(backup.Exists());
    EXPECT_TRUE(!fs::exists(root_) || fs::is_empty(root_));
}

TEST(DeleteFolderTree, DeletesReadOnlyEntriesButNeverFollowsLinks) {
    const std::string folder = test::MakeTempDir("tree");
    const std::string outside = test::MakeTempDir("outside");
    test::WriteFileBytes(outside + "/keep", "keep");
    fs::create_directories(folder + "/a/b");
    test::WriteFileBytes(folder + "/a/b/file", "f");
    chmod((folder + "/a/b/file").c_str(), 0400);
    chmod((folder + "/a/b").c_str(), 0500);
    fs::create_symlink(outside, folder + "/a/link");
    EXPECT_TRUE(DeleteFolderTree(folder));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ("keep", test::ReadFileBytes(outside + "/keep"));

    EXPECT_FALSE(DeleteFolderTree(folder));
    EXPECT_FALSE(DeleteFolderTree(""));
    test::WriteFileBytes(outside + "/file", "f");
    EXPECT_FALSE(DeleteFolderTree(outside + "/file"));
}

}  // namespace
}  // namespace tallowmere::handheld
