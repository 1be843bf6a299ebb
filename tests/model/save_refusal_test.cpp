// Saves that the file system refuses: the old file stays as it was, the save
// fails with the reason and says so, and the program goes on.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/account_root.h"
#include "model/accounts.h"
#include "model/archive.h"
#include "model/list_test_items.h"
#include "model/transaction.h"
#include "platform/win_error.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

// Read-only files count even for root, for whom access(2) always says yes.
TEST(SaveRefusal, ReadOnlyFilesStayAsTheyWere) {
    const std::string folder = test::MakeTempDir("readonly");
    std::unique_ptr<CAccounts> data;
    ASSERT_EQ(CAccounts::LoadInto(data, folder, {}), 0);
    struct Case {
        const char* file;
        std::function<int(CAccounts&)> change;
        int result;
        const char* report;
    };
    const Case cases[] = {
        {"Checking.wqm",
         [](CAccounts& d) {
             CAccount& checking = *d.FindAccountByName("Checking");
             checking.Header().SetBankName("Changed");
             return checking.Save();
         },
         platform::kErrorAccessDenied, "There was an error saving the account (5)."},
        {"CategoriesList.lst",
         [](CAccounts& d) {
             return d.Categories().AddAndSave(std::make_unique<CCategoryItem>("Changed"));
         },
         -1, "There was an error saving the file (5)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder + "/" + c.file;
        ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        const std::string before = test::ReadFileBytes(path);
        test::CapturingSink sink;
        EXPECT_EQ(c.change(*data), c.result);
        EXPECT_EQ(test::ReadFileBytes(path), before);
        ASSERT_EQ(sink.reports.size(), 1u);
        EXPECT_EQ(sink.reports[0].text, c.report);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0444u);
    }
}

// With SIGXFSZ ignored, as the program's main() has it, a save past the
// file-size limit fails with EFBIG's code instead of ending the process.
TEST(SaveRefusal, FileSizeLimitFailsTheSaveNotTheProcess) {
    const std::string path = test::MakeTempDir("fsize") + "/Checking.wqm";
    {
        CAccountRoot small;
        small.SetPath(path);
        ASSERT_EQ(small.Save(), 0);
    }
    const std::string before = test::ReadFileBytes(path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(10);
        CAccountRoot big;
        big.SetPath(path);
        // Doubled until the file would take 2 MiB.
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < (std::size_t{2} << 20)) {
            for (std::size_t n = big.Transactions().size() + 1; n > 0; --n)
                big.Transactions().push_back(std::make_unique<CTransaction>());
            if (SaveObjectData(big, bytes) != 0)
                _exit(13);
        }
        test::CapturingSink sink;
        if (big.Save() != platform::kErrorFileTooLarge)
            _exit(11);
        if (sink.reports.size() != 1 ||
            sink.reports[0].text != "There was an error saving the account (df).")
            _exit(12);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::ReadFileBytes(path), before);
}

}  // namespace
}  // namespace tallowmere
