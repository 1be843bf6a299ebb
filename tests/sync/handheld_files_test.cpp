// The sync run's own load and write-back of the desktop files.
#include "sync/handheld_files.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/account_root.h"
#include "model/accounts.h"
#include "model/blowfish.h"
#include "model/write_back_journal.h"
#include "platform/atomic_file.h"
#include "support/test_env.h"
#include "sync/handheld_merge.h"
#include "sync/handheld_test_db.h"
#include "sync/merge_test_data.h"

namespace tallowmere::handheld {
namespace {

using FolderImage = std::map<std::string, std::string>;

FolderImage ReadFolder(const std::string& folder) {
    FolderImage image;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        image[entry.path().filename().string()] = test::ReadFileBytes(entry.path().string());
    return image;
}

std::vector<std::string> AccountFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : ReadFolder(folder)) {
        std::string ext = std::filesystem::path(name).extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return c | 0x20; });
        if (ext == ".wqm")
            names.push_back(name);
    }
    return names;
}

// The n-th file write from now fails (disk full), once.
class FailNthWrite {
  public:
    explicit FailNthWrite(int n) {
        remaining_ = n;
        platform::SetWriteFault([this](std::size_t written, int& err) {
            if (written == 0 && --remaining_ == 0) {
                err = ENOSPC;
                return false;
            }
            return true;
        });
    }
    ~FailNthWrite() { platform::SetWriteFault(nullptr); }

  private:
    std::atomic<int> remaining_;
};

TEST(UniqueAccountFileNames, CollisionsGetTheirOwnFile) {
    EXPECT_EQ(UniqueAccountFileNames({"A/B", "A:B", "a|b", "Cash", "", "", "Account"}),
              (std::vector<std::string>{"A-B.wqm", "A-B~2.wqm", "a-b~3.wqm", "Cash.wqm",
                                        "Account.wqm", "Account~2.wqm", "Account~3.wqm"}));
}

TEST(HandheldFilesLoad, WritesNothingAndPassesHeaderBytesThrough) {
    const std::string folder = test::MakeTempDir("fresh") + "/user";
    HandheldFiles files(folder, "unused.wqdb");
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(files.LoadDataSet(data), 0);
    ASSERT_TRUE(data);
    // The defaults are there, in memory only.
    EXPECT_EQ(data->GetAccountCount(), kDefaultAccounts.size());
    EXPECT_GT(data->Currencies().GetCount(true), 0u);
    EXPECT_TRUE(data->GetCipher().IsPassThrough());
    EXPECT_TRUE(ReadFolder(folder).empty());
    // List changes during the run do not reach the disk.
    EXPECT_EQ(data->Categories().AddAndSave(std::make_unique<CCategoryItem>("New")), 0);
    EXPECT_TRUE(ReadFolder(folder).empty());

    ASSERT_EQ(files.WriteDataSet(*data), 0);
    EXPECT_EQ(AccountFiles(folder).size(), kDefaultAccounts.size());
    std::unique_ptr<CAccounts> reloaded;
    ASSERT_EQ(CAccounts::LoadInto(reloaded, folder, {}), 0);
    EXPECT_EQ(reloaded->GetAccountCount(), kDefaultAccounts.size());
    EXPECT_FALSE(reloaded->Categories().FindOrCreateByPath("New", false).IsNull());
}

class HandheldFilesWrite : public ::testing::Test {
  protected:
    HandheldFilesWrite() : files_(f_.folder, f_.dbPath) {}

    std::unique_ptr<CAccounts> Load() {
        std::unique_ptr<CAccounts> data;
        EXPECT_EQ(files_.LoadDataSet(data), 0);
        return data;
    }

    test::MergeFixture f_;
    HandheldFiles files_;
};

TEST_F(HandheldFilesWrite, FailureAtAnyFileLeavesTheFolderAsItWas) {
    // An account to delete (its placeholder), one to rename, one to add.
    ASSERT_EQ(f_.data->DeleteAccount(*f_.data->FindAccountByName("Visa")), 0);
    const FolderImage before = ReadFolder(f_.folder);
    const int fileCount = 4 + 1 + 7;  // accounts left, the new one, lists
    for (int n = 1; n <= fileCount; ++n) {
        SCOPED_TRACE("write " + std::to_string(n) + " fails");
        std::unique_ptr<CAccounts> data = Load();
        data->FindAccountByName("Savings")->Header().SetName("Rainy Day");
        auto added = std::make_unique<CAccount>();
        added->Header().SetName("From Handheld");
        data->InsertAccount(std::move(added));
        FailNthWrite fail(n);
        EXPECT_NE(files_.WriteDataSet(*data), 0);
        EXPECT_EQ(ReadFolder(f_.folder), before);
    }
    // And without the failure everything lands.
    std::unique_ptr<CAccounts> data = Load();
    data->FindAccountByName("Savings")->Header().SetName("Rainy Day");
    ASSERT_EQ(files_.WriteDataSet(*data), 0);
    EXPECT_EQ(AccountFiles(f_.folder),
              (std::vector<std::string>{"American Express.wqm", "Checking.wqm", "Mastercard.wqm",
                                        "Rainy Day.wqm"}));
}

TEST_F(HandheldFilesWrite, CollidingNamesKeepEveryAccount) {
    std::unique_ptr<CAccounts> data = Load();
    for (const char* name : {"Car/Loan", "Car:Loan", "CHECKING", ""}) {
        auto account = std::make_unique<CAccount>();
        account->Header().SetName(name);
        data->InsertAccount(std::move(account));
    }
    const std::size_t count = data->GetAccountCount();
    ASSERT_EQ(files_.WriteDataSet(*data), 0);
    EXPECT_EQ(AccountFiles(f_.folder).size(), count);
    std::unique_ptr<CAccounts> reloaded = f_.Reload();
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->GetAccountCount(), count);
}

TEST_F(HandheldFilesWrite, UpperCaseExtensionAndPlaceholdersAreReplaced) {
    // A file of the right kind under "WQM", and a deleted account.
    const std::string savings = f_.data->FindAccountByName("Savings")->GetPath();
    std::filesystem::rename(savings, f_.folder + "/Savings.WQM");
    ASSERT_EQ(f_.data->DeleteAccount(*f_.data->FindAccountByName("Visa")), 0);
    // What a run that died before its renames left behind.
    test::WriteFileBytes(f_.folder + "/.sync~Checking.wqm.tmp", "partial");
    std::unique_ptr<CAccounts> data = Load();
    ASSERT_EQ(data->GetAccountCount(), 5u);  // the placeholder too
    ASSERT_EQ(files_.WriteDataSet(*data), 0);
    EXPECT_FALSE(std::filesystem::exists(f_.folder + "/.sync~Checking.wqm.tmp"));
    EXPECT_EQ(AccountFiles(f_.folder),
              (std::vector<std::string>{"American Express.wqm", "Checking.wqm", "Mastercard.wqm",
                                        "Savings.wqm"}));
}

TEST(HandheldSync, EncipheredHeaderBytesSurviveTheSync) {
    test::MergeFixture f;
    // The desktop user's own key enciphers the online credentials.
    auto key = std::make_shared<const CBlowfish>(std::string_view("user secret"));
    CAccount& checking = f.Checking();
    checking.SetCipher(HeaderCipher::WithKey(key));
    checking.Header().SetCustomerId("customer-4711");
    checking.Header().SetOnlinePassword("hunter2");
    checking.ClearChangeFlags();
    ASSERT_EQ(checking.Save(), 0);
    const std::string before = test::ReadFileBytes(checking.GetPath());
    // The handheld's row holds the bytes as the file holds them.
    f.Exec("DELETE FROM ACCOUNTS;");
    {
        std::unique_ptr<CAccounts> passThrough = f.Reload();
        f.InsertAccountRow(*passThrough->FindAccountById(test::MergeFixture::CheckingId()));
    }
    // Changed on the handheld in another field, so the row is read back.
    f.Exec("UPDATE ACCOUNTS SET bank_name = 'Hand', modified = 1;");

    CHandheldMerge merge(f.folder, f.dbPath, MergeRunOptions{0, false, {}});
    merge.SetTimeZoneBias(0);
    ASSERT_EQ(merge.Run(), 0);
    const std::string after = test::ReadFileBytes(checking.GetPath());
    ASSERT_EQ(after.size() >= 2 + kCipherOffset + kCipherSize, true);
    EXPECT_EQ(after.substr(2 + kCipherOffset, kCipherSize),
              before.substr(2 + kCipherOffset, kCipherSize));
    // And the user's key still reads them.
    AccountsLoadOptions options;
    options.cipher = HeaderCipher::WithKey(key);
    std::unique_ptr<CAccounts> reloaded;
    ASSERT_EQ(CAccounts::LoadInto(reloaded, f.folder, options), 0);
    const CAccount* c = reloaded->FindAccountById(test::MergeFixture::CheckingId());
    EXPECT_EQ(c->Header().GetCustomerId(), "customer-4711");
    EXPECT_EQ(c->Header().GetOnlinePassword(), "hunter2");
    EXPECT_EQ(c->Header().GetBankName(), "Hand");
}

using StopPoint = HandheldFiles::StopPoint;

std::string CopyOfFolder(const std::string& folder) {
    const std::string copy = test::MakeTempDir("copy") + "/user";
    std::filesystem::copy(folder, copy, std::filesystem::copy_options::recursive);
    return copy;
}

int StagedFileCount(const std::string& folder) {
    int n = 0;
    for (const auto& [name, bytes] : ReadFolder(folder))
        n += IsStagedFileName(name) ? 1 : 0;
    return n;
}

// What a merge leaves to write: an account renamed (its old file goes), one
// added, a new category, a new transaction; the old folder also holds the
// placeholder of a deleted account, which goes too.
class HandheldFilesCommit : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(f_.data->DeleteAccount(*f_.data->FindAccountByName("Visa")), 0);
        old_ = ReadFolder(f_.folder);
        ASSERT_EQ(HandheldFiles(f_.folder, f_.dbPath).LoadDataSet(merged_), 0);
        merged_->FindAccountByName("Savings")->Header().SetName("Rainy Day");
        auto added = std::make_unique<CAccount>();
        added->Header().SetName("From Handheld");
        merged_->InsertAccount(std::move(added));
        ASSERT_EQ(merged_->Categories().AddAndSave(std::make_unique<CCategoryItem>("Merged")), 0);
        merged_->FindAccountByName("Checking")
            ->AddTransaction(f_.MakeTransaction(test::MergeFixture::TestId(1), "merged"));
    }

    test::MergeFixture f_;
    FolderImage old_;
    std::unique_ptr<CAccounts> merged_;
};

// Wherever the write-back ends, the next load, the desktop's or the sync's,
// gives exactly the merged set, or exactly the old one when it ended before
// its commit record.
TEST_F(HandheldFilesCommit, EveryLoadAfterAnEndedWriteBackGivesOneWholeSet) {
    const std::string reference = CopyOfFolder(f_.folder);
    ASSERT_EQ(HandheldFiles(reference, f_.dbPath).WriteDataSet(*merged_), 0);
    const FolderImage merged = ReadFolder(reference);
    ASSERT_NE(merged, old_);
    EXPECT_EQ(merged.count("Rainy Day.wqm"), 1u);
    EXPECT_EQ(merged.count("Savings.wqm"), 0u);

    std::set<StopPoint> seen;
    for (int n = 0;; ++n) {
        const std::string folder = CopyOfFolder(f_.folder);
        HandheldFiles files(folder, f_.dbPath);
        std::optional<StopPoint> at;
        int asked = 0;
        files.SetStopHook([&](StopPoint point, std::size_t) {
            if (asked++ != n)
                return false;
            at = point;
            return true;
        });
        const int r = files.WriteDataSet(*merged_);
        if (!at) {
            EXPECT_EQ(r, 0);
            EXPECT_EQ(ReadFolder(folder), merged);
            break;
        }
        SCOPED_TRACE("ended at point " + std::to_string(static_cast<int>(*at)) + ", stop " +
                     std::to_string(n));
        seen.insert(*at);
        EXPECT_EQ(r, 31);
        std::unique_ptr<CAccounts> loaded;
        if (n % 2 == 0)
            ASSERT_EQ(CAccounts::LoadInto(loaded, folder, {}), 0);
        else
            ASSERT_EQ(HandheldFiles(folder, f_.dbPath).LoadDataSet(loaded), 0);
        EXPECT_EQ(ReadFolder(folder), *at == StopPoint::kBeforeRecord ? old_ : merged);
    }
    EXPECT_EQ(seen, (std::set<StopPoint>{StopPoint::kBeforeRecord, StopPoint::kAfterRecord,
                                         StopPoint::kAfterRename, StopPoint::kAfterDelete,
                                         StopPoint::kBeforeRemovingRecord}));
}

// A load while another process stages its write-back leaves the staged
// files alone; once that process is killed, the next load removes them.
TEST_F(HandheldFilesCommit, StagedFilesOfALiveWriteBackOutlastALoad) {
    for (const bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "killed write-back" : "live write-back");
        const std::string folder = CopyOfFolder(f_.folder);
        int ready[2];
        int go[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(go), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HandheldFiles files(folder, f_.dbPath);
            files.SetStopHook([&](StopPoint point, std::size_t) {
                char c = 'r';
                if (point == StopPoint::kBeforeRecord &&
                    (write(ready[1], &c, 1) != 1 || read(go[0], &c, 1) != 1))
                    _exit(20);
                return false;
            });
            _exit(files.WriteDataSet(*merged_) == 0 ? 0 : 1);
        }
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        const int staged = StagedFileCount(folder);
        EXPECT_EQ(staged, 5 + 7);  // four accounts, the new one, the lists
        int status = 0;
        if (killed) {
            kill(child, SIGKILL);
            ASSERT_EQ(waitpid(child, &status, 0), child);
        }
        std::unique_ptr<CAccounts> loaded;
        ASSERT_EQ(CAccounts::LoadInto(loaded, folder, {}), 0);
        EXPECT_EQ(StagedFileCount(folder), killed ? 0 : staged);
        if (killed) {
            EXPECT_EQ(ReadFolder(folder), old_);
        } else {
            ASSERT_EQ(write(go[1], "g", 1), 1);
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(StagedFileCount(folder), 0);
            EXPECT_EQ(ReadFolder(folder).count("Rainy Day.wqm"), 1u);
        }
        for (int fd : {ready[0], ready[1], go[0], go[1]})
            close(fd);
    }
}

}  // namespace
}  // namespace tallowmere::handheld
