// The load's recovery of an unfinished sync write-back, given a commit
// record of any content beside a folder of staged files, links and folders.
// Whatever the record says, nothing outside the data folder changes, no link
// is followed, no file content appears that was not there, a record that
// stays leaves the folder exactly as it was, and one that is finished leaves
// no staged or temporary file behind.
//
// Input: a setup byte, then the record's bytes. Setup bits: 0 a staged
// Checking.wqm; 1 a staged CategoriesList.lst that is a link to a file
// outside; 2 Savings.wqm; 3 a folder Folder.wqm with a staged file for it;
// 4 a staged New.wqm; 5 the record is a link to a file outside holding the
// bytes; 6 Link.wqm, a link to a file outside; 7 a dead writer's temporary.
// The setup byte alone: there is no record.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "model/error_sink.h"
#include "model/write_back_journal.h"
#include "platform/atomic_file.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
            bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Link(const fs::path& target, const fs::path& link) {
    if (symlink(target.c_str(), link.c_str()) != 0)
        std::abort();
}

// Every entry below a folder: contents, link targets, folders.
using Image = std::map<std::string, std::string>;
Image TakeImage(const fs::path& dir) {
    Image image;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().lexically_relative(dir).string();
        if (e.is_symlink())
            image[name] = "link:" + fs::read_symlink(e.path()).string();
        else if (e.is_directory())
            image[name] = "folder";
        else
            image[name] = "file:" + ReadAll(e.path());
    }
    return image;
}

struct QuietSink : tallowmere::ErrorSink {
    void Report(const tallowmere::ErrorReport&) override {}
};

// One private folder per process, on a memory file system when there is
// one, removed at exit.
struct Scratch {
    fs::path root;
    Scratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
        if (tmp == nullptr && access("/dev/shm", W_OK) == 0)
            base = "/dev/shm";
        std::string pattern = base + "/write_back_journal_fuzz_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        root = pattern;
        setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
        tallowmere::SetErrorSink(&sink);
    }
    ~Scratch() {
        tallowmere::SetErrorSink(nullptr);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    QuietSink sink;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    if (size == 0)
        return 0;
    const unsigned setup = data[0];
    const std::string_view record(reinterpret_cast<const char*>(data + 1), size - 1);

    const fs::path base = scratch.root / "case";
    const fs::path user = base / "user";
    const fs::path outside = base / "outside";
    std::error_code ec;
    fs::remove_all(base, ec);
    fs::create_directories(user);
    fs::create_directories(outside / "sub");
    WriteAll(outside / "victim.wqm", "outside victim");
    WriteAll(outside / "sub" / ".sync~Checking.wqm.tmp", "outside staged");
    WriteAll(outside / "record", record);

    WriteAll(user / "Checking.wqm", "old checking");
    WriteAll(user / "CategoriesList.lst", "old categories");
    WriteAll(user / "Old.wqm", "old account");
    if (setup & 0x01)
        WriteAll(user / ".sync~Checking.wqm.tmp", "new checking");
    if (setup & 0x02)
        Link(outside / "victim.wqm", user / ".sync~CategoriesList.lst.tmp");
    if (setup & 0x04)
        WriteAll(user / "Savings.wqm", "old savings");
    if (setup & 0x08) {
        fs::create_directory(user / "Folder.wqm");
        WriteAll(user / "Folder.wqm" / "inner", "inner");
        WriteAll(user / ".sync~Folder.wqm.tmp", "new folder");
    }
    if (setup & 0x10)
        WriteAll(user / ".sync~New.wqm.tmp", "new account");
    const bool hasRecord = size > 1;
    if (hasRecord && (setup & 0x20))
        Link(outside / "record", user / tallowmere::kWriteBackRecordName);
    else if (hasRecord)
        WriteAll(user / tallowmere::kWriteBackRecordName, record);
    if (setup & 0x40)
        Link(outside / "victim.wqm", user / "Link.wqm");
    if (setup & 0x80)
        WriteAll(user / ".Checking.wqm.tmp-dead01", "torn");

    const Image outsideBefore = TakeImage(outside);
    const Image before = TakeImage(user);
    tallowmere::RecoverDataFolder(user.string());
    const Image after = TakeImage(user);

    // Nothing outside the folder moved, changed or appeared.
    if (TakeImage(outside) != outsideBefore)
        std::abort();
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(base)) {
        (void)e;
        ++entries;
    }
    if (entries != 2)
        std::abort();
    // Renames and deletes only: every entry after holds what one held before.
    for (const auto& [name, what] : after) {
        bool known = false;
        for (const auto& [oldName, oldWhat] : before)
            known = known || oldWhat == what;
        if (!known)
            std::abort();
    }
    if (after.size() > before.size())
        std::abort();
    if (before.count("Folder.wqm/inner") != 0 && after.count("Folder.wqm/inner") == 0)
        std::abort();

    const bool recordKept = after.count(tallowmere::kWriteBackRecordName) != 0;
    if (recordKept && after != before)
        std::abort();
    if (!recordKept) {
        for (const auto& [name, what] : after) {
            const bool plainFile = what.rfind("file:", 0) == 0;
            if (plainFile && name.find('/') == std::string::npos &&
                (tallowmere::IsStagedFileName(name) ||
                 tallowmere::platform::IsAtomicTempName(name)))
                std::abort();
        }
    }
    return 0;
}
