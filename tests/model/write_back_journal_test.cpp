// The commit record of the sync write-back, and what a load of a data folder
// does with it and with the temporary files that crashed writers left.
#include "model/write_back_journal.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/account_root.h"
#include "model/accounts.h"
#include "model/list_test_items.h"
#include "platform/atomic_file.h"
#include "platform/named_mutex.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kStringRecordRefused = 3152;

std::vector<std::uint8_t> Fields(std::initializer_list<std::string> fields) {
    std::vector<std::uint8_t> out;
    for (const std::string& f : fields) {
        out.insert(out.end(), f.begin(), f.end());
        out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> Record(std::initializer_list<std::string> body) {
    std::vector<std::uint8_t> out = Fields({"tallowmere-sync-commit-1"});
    const std::vector<std::uint8_t> middle = Fields(body);
    out.insert(out.end(), middle.begin(), middle.end());
    const std::vector<std::uint8_t> end = Fields({"end"});
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

// Every entry of a folder tree: file contents, link targets, folders.
using Image = std::map<std::string, std::string>;
Image TakeImage(const std::string& dir) {
    Image image;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = fs::relative(entry.path(), dir).string();
        if (entry.is_symlink())
            image[name] = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            image[name] = "folder";
        else
            image[name] = test::ReadFileBytes(entry.path().string());
    }
    return image;
}

void WriteRecord(const std::string& folder, const std::vector<std::uint8_t>& bytes) {
    test::WriteFileBytes(folder + "/" + kWriteBackRecordName,
                         std::string(bytes.begin(), bytes.end()));
}

TEST(WriteBackRecord, IsWrittenFieldByFieldAndReadBack) {
    WriteBackRecord record;
    record.moves = {{".sync~A.wqm.tmp", "A.wqm"}, {".sync~PayeesList.lst.tmp", "PayeesList.lst"}};
    record.deletes = {"Old.WQM"};
    const std::vector<std::uint8_t> expected =
        Record({"move", ".sync~A.wqm.tmp", "A.wqm", "move", ".sync~PayeesList.lst.tmp",
                "PayeesList.lst", "delete", "Old.WQM"});
    EXPECT_EQ(FormatWriteBackRecord(record), expected);
    const std::string folder = test::MakeTempDir("record");
    ASSERT_EQ(WriteWriteBackRecord(folder, record), 0);
    const std::string path = folder + "/" + kWriteBackRecordName;
    EXPECT_EQ(test::ReadFileBytes(path), std::string(expected.begin(), expected.end()));
    // The writer never leaves a record that a load would refuse.
    WriteBackRecord bad = record;
    bad.deletes = {"../Old.wqm"};
    EXPECT_EQ(WriteWriteBackRecord(folder, bad), 13);
    EXPECT_EQ(test::ReadFileBytes(path), std::string(expected.begin(), expected.end()));

    // Names are file names as on disk: spaces, line breaks, UTF-8.
    record.moves = {{StagedFileName("Rainy Day\n\xC3\xA9.wqm"), "Rainy Day\n\xC3\xA9.wqm"}};
    record.deletes = {};
    WriteBackRecord read;
    ASSERT_TRUE(ParseWriteBackRecord(FormatWriteBackRecord(record), read));
    ASSERT_EQ(read.moves.size(), 1u);
    EXPECT_EQ(read.moves[0].staged, ".sync~Rainy Day\n\xC3\xA9.wqm.tmp");
    EXPECT_EQ(read.moves[0].target, "Rainy Day\n\xC3\xA9.wqm");
    EXPECT_TRUE(read.deletes.empty());
}

TEST(WriteBackRecord, RefusesWhatIsNotOfItsForm) {
    const std::string outside = "../outside/victim.wqm";
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> trailing = Record({});
    trailing.push_back('x');
    std::vector<std::uint8_t> unterminated = Record({});
    unterminated.pop_back();
    const Case cases[] = {
        {"empty", {}},
        {"no magic", Fields({"move", ".sync~A.wqm.tmp", "A.wqm", "end"})},
        {"no end", Fields({"tallowmere-sync-commit-1", "move", ".sync~A.wqm.tmp", "A.wqm"})},
        {"bytes after the end", trailing},
        {"last field without NUL", unterminated},
        {"unknown field", Record({"copy", ".sync~A.wqm.tmp", "A.wqm"})},
        {"move cut short", Record({"move", ".sync~A.wqm.tmp"})},
        {"delete cut short", Record({"delete"})},
        {"target a path up", Record({"move", StagedFileName(outside), outside})},
        {"target a path down", Record({"move", ".sync~sub/A.wqm.tmp", "sub/A.wqm"})},
        {"absolute target", Record({"move", ".sync~/etc/A.wqm.tmp", "/etc/A.wqm"})},
        {"staged name of another target", Record({"move", ".sync~B.wqm.tmp", "A.wqm"})},
        {"staged name not staged", Record({"move", "B.wqm", "A.wqm"})},
        {"target no data file", Record({"move", ".sync~.bashrc.tmp", ".bashrc"})},
        {"empty target", Record({"move", ".sync~.tmp", ""})},
        {"target twice",
         Record({"move", ".sync~A.wqm.tmp", "A.wqm", "move", ".sync~A.wqm.tmp", "A.wqm"})},
        {"delete of a list file", Record({"delete", "CategoriesList.lst"})},
        {"delete of a path", Record({"delete", outside})},
        {"delete of the parent", Record({"delete", ".."})},
        {"delete of a target", Record({"move", ".sync~A.wqm.tmp", "A.wqm", "delete", "A.wqm"})},
    };
    for (const Case& c : cases) {
        WriteBackRecord read;
        read.deletes = {"kept"};
        EXPECT_FALSE(ParseWriteBackRecord(c.bytes, read)) << c.what;
        EXPECT_EQ(read.deletes, std::vector<std::string>{"kept"}) << c.what;
    }
}

class DataFolderRecovery : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = test::MakeTempDir("recover");
        folder_ = root_ + "/user";
        outside_ = root_ + "/outside";
        fs::create_directory(folder_);
        fs::create_directory(outside_);
        test::WriteFileBytes(outside_ + "/victim.wqm", "outside");
        const std::vector<std::uint8_t> record = ValidRecordBytes();
        test::WriteFileBytes(outside_ + "/record", std::string(record.begin(), record.end()));
        test::WriteFileBytes(File("Checking.wqm"), "old checking");
        test::WriteFileBytes(File("Old.wqm"), "old account");
        test::WriteFileBytes(File("CategoriesList.lst"), "old categories");
        test::WriteFileBytes(File(".sync~Checking.wqm.tmp"), "new checking");
        test::WriteFileBytes(File(".sync~New.wqm.tmp"), "new account");
        test::WriteFileBytes(File(".sync~CategoriesList.lst.tmp"), "new categories");
    }
    void TearDown() override { CAccountRoot::SetLockTimeout(10000ms); }

    std::string File(const std::string& name) const { return folder_ + "/" + name; }

    static std::vector<std::uint8_t> ValidRecordBytes() {
        return Record({"move", ".sync~Checking.wqm.tmp", "Checking.wqm", "move",
                       ".sync~CategoriesList.lst.tmp", "CategoriesList.lst", "move",
                       ".sync~New.wqm.tmp", "New.wqm", "delete", "Old.wqm"});
    }

    std::string root_;
    std::string folder_;
    std::string outside_;
};

// A record that cannot be trusted or finished changes nothing, anywhere,
// and says so.
TEST_F(DataFolderRecovery, ARefusedRecordTouchesNothing) {
    struct Case {
        const char* what;
        std::function<void(const std::string& folder, const std::string& outside)> setUp;
    };
    const auto record = [](std::vector<std::uint8_t> bytes) {
        return
            [bytes](const std::string& folder, const std::string&) { WriteRecord(folder, bytes); };
    };
    const Case cases[] = {
        {"a path up", record(Record({"move", ".sync~Checking.wqm.tmp", "../outside/victim.wqm"}))},
        {"a staged file elsewhere",
         record(Record({"move", "../outside/.sync~victim.wqm.tmp", "victim.wqm"}))},
        {"no data file", record(Record({"move", ".sync~Checking.wqm.tmp", "notes.txt"}))},
        {"cut short", record(Fields({"tallowmere-sync-commit-1", "move", ".sync~Checking.wqm.tmp",
                                     "Checking.wqm"}))},
        {"the record a link",
         [](const std::string& folder, const std::string& outside) {
             ASSERT_EQ(symlink((outside + "/record").c_str(),
                               (folder + "/" + kWriteBackRecordName).c_str()),
                       0);
         }},
        {"a staged link",
         [](const std::string& folder, const std::string& outside) {
             ASSERT_EQ(symlink((outside + "/victim.wqm").c_str(),
                               (folder + "/.sync~Savings.wqm.tmp").c_str()),
                       0);
             WriteRecord(folder, Record({"move", ".sync~Savings.wqm.tmp", "Savings.wqm"}));
         }},
        {"neither staged nor in place",
         record(Record({"move", ".sync~Checking.wqm.tmp", "Checking.wqm", "move",
                        ".sync~Visa.wqm.tmp", "Visa.wqm"}))},
        {"a folder as target",
         [](const std::string& folder, const std::string&) {
             fs::create_directory(folder + "/Folder.wqm");
             test::WriteFileBytes(folder + "/.sync~Folder.wqm.tmp", "staged");
             WriteRecord(folder, Record({"move", ".sync~Folder.wqm.tmp", "Folder.wqm"}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
        test::WriteFileBytes(File("Checking.wqm"), "old checking");
        test::WriteFileBytes(File(".sync~Checking.wqm.tmp"), "new checking");
        c.setUp(folder_, outside_);
        const Image before = TakeImage(root_);
        test::CapturingSink sink;
        EXPECT_EQ(RecoverDataFolder(folder_), 0);
        EXPECT_EQ(TakeImage(root_), before);
        ASSERT_EQ(sink.reports.size(), 1u);
        EXPECT_EQ(sink.reports[0].string_id, kStringRecordRefused);
    }
}

// Wherever the commit stopped, the record finishes it: a staged file that is
// gone while its target is there was renamed already. Staged files that no
// record names are what a run that died before its record left.
TEST_F(DataFolderRecovery, FinishesTheRecordFromWhereverItStopped) {
    const Image merged = {
        {"CategoriesList.lst", "new categories"},
        {"Checking.wqm", "new checking"},
        {"New.wqm", "new account"},
    };
    WriteBackRecord record;
    ASSERT_TRUE(ParseWriteBackRecord(ValidRecordBytes(), record));
    const std::size_t allSteps = record.moves.size() + record.deletes.size();
    // From no step done to every step done with the record still there.
    for (std::size_t done = 0; done <= allSteps + 1; ++done) {
        SCOPED_TRACE("steps done before the crash: " + std::to_string(done));
        SetUp();
        WriteRecord(folder_, ValidRecordBytes());
        if (done > 0) {
            std::size_t steps = 0;
            EXPECT_EQ(
                ApplyWriteBackRecord(folder_, record,
                                     [&](WriteBackStep, std::size_t) { return ++steps < done; }),
                done <= allSteps ? 31 : 0);
        }
        // A run that died before its record, and a writer that died.
        test::WriteFileBytes(File(".sync~Stray.wqm.tmp"), "stray");
        test::WriteFileBytes(File(".Checking.wqm.tmp-abcdef"), "torn");

        test::CapturingSink sink;
        EXPECT_EQ(RecoverDataFolder(folder_), 0);
        EXPECT_TRUE(sink.reports.empty());
        EXPECT_EQ(TakeImage(folder_), merged);
        fs::remove_all(root_);
    }
}

// The desktop and the sync thread both load: a record is finished only by
// whoever holds the database mutex.
TEST_F(DataFolderRecovery, WaitsForTheDatabaseMutex) {
    WriteRecord(folder_, ValidRecordBytes());
    const Image before = TakeImage(folder_);
    CAccountRoot::SetLockTimeout(50ms);
    platform::NamedMutex mutex(kDatabaseMutexName);
    ASSERT_TRUE(mutex.Lock(0ms));
    int waited = 0;
    std::thread other([&] { waited = RecoverDataFolder(folder_); });
    other.join();
    mutex.Unlock();
    EXPECT_EQ(waited, -1);
    EXPECT_EQ(TakeImage(folder_), before);
    EXPECT_EQ(RecoverDataFolder(folder_), 0);
    EXPECT_FALSE(fs::exists(File(kWriteBackRecordName)));
}

// A writer's temporary file goes at the next load only when its writer is
// gone: one killed part-way, not one still writing in another process.
TEST(DataFolderLoad, RemovesTemporaryFilesOfDeadWritersOnly) {
    for (const bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "killed writer" : "live writer");
        const std::string folder = test::MakeTempDir("load");
        std::unique_ptr<CAccounts> data;
        ASSERT_EQ(CAccounts::LoadInto(data, folder, {}), 0);
        int ready[2];
        int go[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(go), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Stops inside the write until the parent says go.
            platform::SetWriteFault([&](std::size_t, int&) {
                char c = 'r';
                if (write(ready[1], &c, 1) != 1 || read(go[0], &c, 1) != 1)
                    _exit(20);
                return true;
            });
            const std::vector<std::uint8_t> bytes = {'n', 'e', 'w'};
            _exit(platform::WriteFileAtomic(folder + "/notes.txt", bytes) == 0 ? 0 : 1);
        }
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        const auto temporaries = [&] {
            int n = 0;
            for (const auto& entry : fs::directory_iterator(folder))
                n += platform::IsAtomicTempName(entry.path().filename().string()) ? 1 : 0;
            return n;
        };
        ASSERT_EQ(temporaries(), 1);
        int status = 0;
        if (killed) {
            kill(child, SIGKILL);
            ASSERT_EQ(waitpid(child, &status, 0), child);
        }
        ASSERT_EQ(CAccounts::LoadInto(data, folder, {}), 0);
        EXPECT_EQ(temporaries(), killed ? 0 : 1);
        if (!killed) {
            ASSERT_EQ(write(go[1], "g", 1), 1);
            ASSERT_EQ(waitpid(child, &status, 0), child);
        }
        for (int fd : {ready[0], ready[1], go[0], go[1]})
            close(fd);
        if (killed) {
            EXPECT_TRUE(WIFSIGNALED(status));
            EXPECT_FALSE(fs::exists(folder + "/notes.txt"));
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(test::ReadFileBytes(folder + "/notes.txt"), "new");
            EXPECT_EQ(temporaries(), 0);
        }
    }
}

}  // namespace
}  // namespace tallowmere
