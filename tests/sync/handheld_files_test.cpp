// The sync run's own load and write-back of the desktop files.
#include "sync/handheld_files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/account_root.h"
#include "model/accounts.h"
#include "model/blowfish.h"
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

}  // namespace
}  // namespace tallowmere::handheld
