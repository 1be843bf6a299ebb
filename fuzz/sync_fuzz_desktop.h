#pragma once
// What the fuzz targets of a whole sync session share: a desktop of their
// own with one known device, file helpers, and a sink that aborts on a
// notice out of order.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/paths.h"
#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "sync/device_identity.h"
#include "sync/sync_events.h"

namespace tallowmere::fuzz {

namespace fs = std::filesystem;
namespace hh = tallowmere::handheld;

inline constexpr char kKnownSerial[] = "FUZZ-KNOWN";
inline constexpr char kKnownCrib[] = "fuzz crib";

using Files = std::map<std::string, std::string>;

inline std::string ReadAll(const fs::path& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[4096];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;)
            bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

inline void WriteAll(const fs::path& path, std::string_view bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

inline Files TakeFiles(const std::string& folder) {
    Files files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        files[e.path().lexically_relative(folder).string()] =
            e.is_regular_file() ? ReadAll(e.path()) : "<dir>";
    return files;
}

inline bool EmptyOrMissing(const std::string& folder) {
    std::error_code ec;
    return !fs::exists(folder, ec) || fs::is_empty(folder, ec);
}

// A desktop of its own below one private folder per process, removed at
// exit: configuration, data root, lock files, received database, backups.
// Its destructor runs before the platform library's own statics go.
struct Desktop {
    std::string scratch;
    std::string root;
    std::string databaseFolder;
    std::string backupFolder;

    explicit Desktop(const std::string& name) {
        // Every run syncs files to disk: a memory file system keeps runs short.
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
        if (tmp == nullptr && access("/dev/shm", W_OK) == 0)
            base = "/dev/shm";
        std::string pattern = base + "/" + name + "_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        scratch = pattern;
        for (const char* sub : {"config", "data", "run", "db", "backup"})
            mkdir((scratch + "/" + sub).c_str(), 0700);
        setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (scratch + "/run").c_str(), 1);
        unsetenv("TALLOWMERE_DOUBLE_MODE");
        tallowmere::platform::SetRegistryStorePath("");
        tallowmere::Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
        if (tallowmere::Platform::Initialize(1, tallowmere::kProductWord) != 0 ||
            !tallowmere::Platform::GetRootDir(tallowmere::kProductWord, root))
            std::abort();
        databaseFolder = scratch + "/db";
        backupFolder = scratch + "/backup";
    }
    ~Desktop() {
        tallowmere::Platform::Release();
        std::error_code ec;
        fs::remove_all(scratch, ec);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The same state before every run: one known device with a password and
    // an empty folder, nothing else in the root or the registry.
    std::unique_ptr<tallowmere::CUserList> Reset(std::string& knownFolder) const {
        std::error_code ec;
        fs::remove_all(root, ec);
        fs::remove(tallowmere::platform::RegistryStorePath(), ec);
        tallowmere::CreatePrefsKeys();
        auto users = std::make_unique<tallowmere::CUserList>();
        users->Enumerate(tallowmere::kProductWord, std::nullopt);
        knownFolder = users->AddPhoneUser("Known phone", kKnownSerial)
                          ->GetDataFolder(tallowmere::kProductWord);
        tallowmere::SetPrefPasswordCrib(kKnownSerial, hh::CribFromText(kKnownCrib));
        return users;
    }
};

// Aborts on a notice out of order: the start first, the end last and once.
class CheckedEvents : public hh::MSyncEvents {
  public:
    void OnSyncStarted() override {
        if (started_ || finished_)
            std::abort();
        started_ = true;
    }
    void OnSyncStatus(std::string) override { During(); }
    void OnSyncTitle(std::string, int mode) override {
        During();
        if (mode < 0 || mode > 2)
            std::abort();
    }
    void OnSyncUser(std::string, bool) override { During(); }
    void OnReloadData() override { During(); }
    void OnSyncFinished(bool) override {
        During();
        finished_ = true;
    }
    bool Finished() const { return finished_; }

  private:
    void During() const {
        if (!started_ || finished_)
            std::abort();
    }
    bool started_ = false;
    bool finished_ = false;
};

}  // namespace tallowmere::fuzz
