#include "platform/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/win_error.h"
#include "support/test_env.h"

namespace tallowmere::platform {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return data;
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("atomic");
        target_ = dir_ + "/Checking.wqm";
    }
    void TearDown() override {
        SetWriteFault(nullptr);
        SetCrashBeforeRename(false);
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
    std::string target_;
};

TEST_F(AtomicFileTest, WritesANewPrivateFileAndReadsItBack) {
    const std::vector<std::uint8_t> data = Pattern(300 * 1024);
    ASSERT_EQ(WriteFileAtomic(target_, data), 0);
    EXPECT_EQ(ModeOf(target_), 0600u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});

    std::vector<std::uint8_t> read;
    ASSERT_EQ(ReadWholeFile(target_, read), 0);
    EXPECT_EQ(read, data);
}

TEST_F(AtomicFileTest, ReplacesAnExistingFileKeepingItsMode) {
    test::WriteFileBytes(target_, "an older and longer content");
    ASSERT_EQ(chmod(target_.c_str(), 0640), 0);

    ASSERT_EQ(WriteFileAtomic(target_, Bytes("new")), 0);
    EXPECT_EQ(test::ReadFileBytes(target_), "new");
    EXPECT_EQ(ModeOf(target_), 0640u);

    ASSERT_EQ(WriteFileAtomic(target_, {}), 0);
    EXPECT_EQ(test::ReadFileBytes(target_), "");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});
}

TEST_F(AtomicFileTest, RelativePathWritesInTheWorkingFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    const int rc = WriteFileAtomic("PayeesList.lst", Bytes("payees"));
    fs::current_path(previous);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(test::ReadFileBytes(dir_ + "/PayeesList.lst"), "payees");
    EXPECT_EQ(Entries(), std::vector<std::string>{"PayeesList.lst"});
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLink) {
    const std::string real = dir_ + "/real.wqm";
    const std::string link = dir_ + "/link.wqm";
    test::WriteFileBytes(real, "old");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);

    ASSERT_EQ(WriteFileAtomic(link, Bytes("new")), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFileBytes(real), "new");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.wqm", "real.wqm"}));
}

TEST_F(AtomicFileTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
    struct Case {
        int err;
        bool part_way;
        int expected;
    };
    const Case cases[] = {
        {ENOSPC, false, kErrorDiskFull}, {ENOSPC, true, kErrorDiskFull},
        {EIO, true, kErrorGenFailure},   {EDQUOT, true, kErrorDiskFull},
        {0, true, kErrorGenFailure},  // a hook that fails without an errno still fails
    };
    const std::string old_content("old content\0with a NUL", 22);
    const std::vector<std::uint8_t> data = Pattern(1024 * 1024);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "errno " << c.err << " part way " << c.part_way);
        test::WriteFileBytes(target_, old_content);
        std::size_t failed_at = 0;
        SetWriteFault([&](std::size_t written, int& err) {
            if (c.part_way && written == 0)
                return true;
            failed_at = written;
            err = c.err;
            return false;
        });
        EXPECT_EQ(WriteFileAtomic(target_, data), c.expected);
        if (c.part_way) {
            EXPECT_GT(failed_at, 0u);
            EXPECT_LT(failed_at, data.size());
        }
        EXPECT_EQ(test::ReadFileBytes(target_), old_content);
        EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});
    }
}

// A real write(2) failure after a short write: the file size limit stops the
// temporary file part-way, and the save says why.
TEST_F(AtomicFileTest, RealWriteFailureLeavesTheOldFile) {
    test::WriteFileBytes(target_, "old");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 100 * 1000;  // not a multiple of the write size
    void (*const previous)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int rc = WriteFileAtomic(target_, Pattern(1024 * 1024));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);

    EXPECT_EQ(rc, kErrorFileTooLarge);
    EXPECT_EQ(test::ReadFileBytes(target_), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});
}

// The file's own read-only mark holds for every user, root included.
TEST_F(AtomicFileTest, ATargetWithoutItsOwnerWriteBitIsNotReplaced) {
    const std::string real = dir_ + "/real.wqm";
    const std::string link = dir_ + "/link.wqm";
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    struct Case {
        unsigned mode;
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {0444, real, kErrorAccessDenied},
        {0400, real, kErrorAccessDenied},
        {0444, link, kErrorAccessDenied},  // the file a link points to decides
        {0200, real, 0},
        {0644, real, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.mode << " " << c.path);
        test::WriteFileBytes(real, "old");
        ASSERT_EQ(chmod(real.c_str(), c.mode), 0);
        EXPECT_EQ(WriteFileAtomic(c.path, Bytes("new")), c.expected);
        ASSERT_EQ(chmod(real.c_str(), 0600), 0);
        EXPECT_EQ(test::ReadFileBytes(real), c.expected == 0 ? "new" : "old");
        EXPECT_EQ(Entries(), (std::vector<std::string>{"link.wqm", "real.wqm"}));
    }
}

TEST_F(AtomicFileTest, CrashBeforeRenameKeepsTheOldFileAndTheTemporary) {
    test::WriteFileBytes(target_, "old");
    SetCrashBeforeRename(true);
    EXPECT_EQ(WriteFileAtomic(target_, Bytes("new")), kErrorGenFailure);
    EXPECT_EQ(test::ReadFileBytes(target_), "old");

    const std::vector<std::string> names = Entries();
    ASSERT_EQ(names.size(), 2u);
    const std::string temp = names[0];  // the leading dot sorts first
    EXPECT_EQ(temp.rfind(".Checking.wqm.tmp-", 0), 0u) << temp;
    EXPECT_TRUE(IsAtomicTempName(temp)) << temp;
    EXPECT_NE(fs::path(temp).extension(), ".wqm");
    EXPECT_EQ(test::ReadFileBytes(dir_ + "/" + temp), "new");

    // The next save is not hindered by the leftover.
    SetCrashBeforeRename(false);
    ASSERT_EQ(WriteFileAtomic(target_, Bytes("newer")), 0);
    EXPECT_EQ(test::ReadFileBytes(target_), "newer");
}

TEST(IsAtomicTempName, TellsTheWritersTemporariesFromOtherNames) {
    struct Case {
        const char* name;
        bool expected;
    };
    const Case cases[] = {
        {".Checking.wqm.tmp-aZ09xY", true},
        {"..sync-commit.tmp-abcdef", true},
        {".x.tmp-abcdef", true},
        {"Checking.wqm.tmp-abcdef", false},
        {"..tmp-abcdef", false},
        {".tmp-abcdef", false},
        {".x.tmp-abcde", false},
        {".x.tmp-abcdefg", false},
        {".x.tmp-abc/ef", false},
        {".x.tmp-abc.ef", false},
        {"Checking.wqm", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAtomicTempName(c.name), c.expected) << c.name;
}

TEST_F(AtomicFileTest, LongNameStillGetsATemporary) {
    const std::string long_target = dir_ + "/" + std::string(250, 'n') + ".lst";
    ASSERT_EQ(WriteFileAtomic(long_target, Bytes("x")), 0);
    EXPECT_EQ(test::ReadFileBytes(long_target), "x");
    EXPECT_EQ(Entries().size(), 1u);
}

TEST_F(AtomicFileTest, WriteErrorsOfBadTargets) {
    const std::string plain_file = dir_ + "/plain";
    test::WriteFileBytes(plain_file, "x");
    fs::create_directory(dir_ + "/folder");

    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {plain_file + "/Checking.wqm", kErrorPathNotFound},
        {dir_ + "/missing/Checking.wqm", kErrorPathNotFound},
        {dir_ + "/folder", kErrorAccessDenied},
        {dir_ + "/nofolder/", kErrorInvalidName},
        {"", kErrorInvalidName},
        {dir_ + "/" + std::string(300, 'n'), kErrorInvalidName},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteFileAtomic(c.path, Bytes("data")), c.expected) << c.path;
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"folder", "plain"}));
    EXPECT_TRUE(fs::is_empty(dir_ + "/folder"));
    EXPECT_EQ(test::ReadFileBytes(plain_file), "x");
}

TEST_F(AtomicFileTest, ReadErrorsLeaveTheOutput) {
    const std::string plain_file = dir_ + "/plain";
    test::WriteFileBytes(plain_file, "x");
    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {dir_ + "/missing.wqm", kErrorFileNotFound},
        {dir_ + "/missing/missing.wqm", kErrorPathNotFound},
        {plain_file + "/missing.wqm", kErrorPathNotFound},
        {dir_, kErrorAccessDenied},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> out = Bytes("keep");
        EXPECT_EQ(ReadWholeFile(c.path, out), c.expected) << c.path;
        EXPECT_EQ(out, Bytes("keep")) << c.path;
    }
}

TEST_F(AtomicFileTest, ReadsFilesWhoseSizeIsNotKnownInAdvance) {
    // /proc files report a size of 0.
    std::vector<std::uint8_t> out;
    ASSERT_EQ(ReadWholeFile("/proc/self/status", out), 0);
    const std::string text(out.begin(), out.end());
    EXPECT_NE(text.find("Name:"), std::string::npos);
    EXPECT_NE(text.find("VmRSS:"), std::string::npos) << "read stopped early";

    // A pipe has no size at all and delivers more than the first buffer.
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::uint8_t> sent = Pattern(300 * 1024);
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        for (std::size_t done = 0; done < sent.size();) {
            const ssize_t n = write(fd, sent.data() + done, sent.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
    });
    const int rc = ReadWholeFile(fifo, out);
    writer.join();
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(out, sent);

    ASSERT_EQ(WriteFileAtomic(target_, {}), 0);
    out = Bytes("stale");
    ASSERT_EQ(ReadWholeFile(target_, out), 0);
    EXPECT_TRUE(out.empty());
}

// The writer in pieces: what arrives is the pieces in order, whatever their
// sizes (empty, one byte, within and across the write step); a failure in
// any piece, or no commit, leaves the old file and no temporary.
TEST_F(AtomicFileTest, WriterInPiecesKeepsTheOldFileUntilItCommits) {
    const std::vector<std::size_t> sizes = {0, 1, 70000, 3 * 1024 * 1024 + 5, 5 * 1024 * 1024};
    std::vector<std::uint8_t> whole;
    std::vector<std::vector<std::uint8_t>> pieces;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::vector<std::uint8_t> piece = Pattern(sizes[i]);
        for (std::uint8_t& b : piece)
            b = static_cast<std::uint8_t>(b + i);
        whole.insert(whole.end(), piece.begin(), piece.end());
        pieces.push_back(std::move(piece));
    }
    struct Case {
        const char* name;
        std::size_t failAt;  // the first write at or beyond this offset fails
        bool commit;
        bool replaced;
    };
    const std::size_t never = whole.size() + 1;
    const Case cases[] = {
        {"all pieces", never, true, true},
        {"fails in the first large piece", 100000, true, false},
        {"fails in the last piece", 6 * 1024 * 1024, true, false},
        {"never committed", never, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(target_, "old");
        ASSERT_EQ(chmod(target_.c_str(), 0640), 0);
        std::size_t lastOffset = 0;
        SetWriteFault([&](std::size_t written, int& err) {
            EXPECT_GE(written, lastOffset) << "offsets count on across pieces";
            lastOffset = written;
            err = ENOSPC;
            return written < c.failAt;
        });
        int failed = 0;
        {
            AtomicFileWriter writer;
            ASSERT_EQ(writer.Open(target_), 0);
            for (const auto& piece : pieces) {
                failed = writer.Write(piece);
                if (failed != 0)
                    break;
            }
            if (failed != 0) {
                EXPECT_NE(writer.Commit(), 0) << "a failed writer cannot commit";
            } else if (c.commit) {
                EXPECT_EQ(writer.Commit(), 0);
            }
        }
        SetWriteFault(nullptr);
        EXPECT_EQ(failed, c.failAt == never ? 0 : kErrorDiskFull);
        std::vector<std::uint8_t> now;
        ASSERT_EQ(ReadWholeFile(target_, now), 0);
        EXPECT_EQ(now, c.replaced ? whole : Bytes("old"));
        EXPECT_EQ(ModeOf(target_), 0640u);
        EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});
    }
}

TEST_F(AtomicFileTest, WriterRefusesWhatWriteFileAtomicRefuses) {
    test::WriteFileBytes(target_, "old");
    ASSERT_EQ(chmod(target_.c_str(), 0440), 0);
    AtomicFileWriter writer;
    EXPECT_EQ(writer.Open(target_), kErrorAccessDenied);
    EXPECT_EQ(writer.Write(Bytes("new")), kErrorGenFailure);
    EXPECT_EQ(writer.Commit(), kErrorGenFailure);
    EXPECT_EQ(writer.Open(dir_ + "/missing/x.wqm"), kErrorPathNotFound);
    EXPECT_EQ(test::ReadFileBytes(target_), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Checking.wqm"});
}

// A mapped image answers as ReadWholeFile does, codes and bytes.
TEST_F(AtomicFileTest, MapWholeFileAnswersAsReadWholeFile) {
    const std::string big = dir_ + "/big";
    const std::vector<std::uint8_t> pattern = Pattern(200 * 1024 + 3);
    test::WriteFileBytes(big, std::string(pattern.begin(), pattern.end()));
    const std::string empty = dir_ + "/empty";
    test::WriteFileBytes(empty, "");
    const std::string cases[] = {
        big, empty, dir_ + "/missing.wqm", dir_ + "/missing/missing.wqm", big + "/under", dir_,
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        std::vector<std::uint8_t> read = Bytes("keep");
        FileImage image;
        const std::vector<std::uint8_t> kept = Pattern(10);
        ASSERT_EQ(WriteFileAtomic(dir_ + "/kept", kept), 0);
        ASSERT_EQ(MapWholeFile(dir_ + "/kept", image), 0);
        const int rc = ReadWholeFile(path, read);
        EXPECT_EQ(MapWholeFile(path, image), rc);
        const std::span<const std::uint8_t> bytes = image.Bytes();
        if (rc == 0) {
            EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), read);
        } else {
            EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), kept)
                << "a failed map leaves the image as it was";
        }
        std::filesystem::remove(dir_ + "/kept");
    }
    // A /proc file reports no size and is read instead.
    FileImage status;
    ASSERT_EQ(MapWholeFile("/proc/self/status", status), 0);
    const std::string text(status.Bytes().begin(), status.Bytes().end());
    EXPECT_NE(text.find("VmRSS:"), std::string::npos);
}

// Saves rename a new file over the old one, so a mapping of the old one
// keeps its bytes while the new file is read afresh.
TEST_F(AtomicFileTest, MappedImageOutlivesAReplace) {
    ASSERT_EQ(WriteFileAtomic(target_, Pattern(70000)), 0);
    FileImage before;
    ASSERT_EQ(MapWholeFile(target_, before), 0);
    ASSERT_EQ(WriteFileAtomic(target_, Bytes("new")), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(before.Bytes().begin(), before.Bytes().end()),
              Pattern(70000));
    FileImage after;
    ASSERT_EQ(MapWholeFile(target_, after), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(after.Bytes().begin(), after.Bytes().end()), Bytes("new"));
}

}  // namespace
}  // namespace tallowmere::platform
