#pragma once
// What the sync server tests share: a fresh desktop to sync with, a
// recording sink for the window's notices and a snapshot of a folder's files.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "model/platform_mgr.h"
#include "model/preferences.h"
#include "model/users.h"
#include "platform/registry_store.h"
#include "support/test_env.h"
#include "sync/sync_events.h"

namespace tallowmere::test {

using Words = std::vector<std::string>;

// A desktop of its own: new config and data folders (dataFolder), no double
// mode, the platform library loaded, the preferences' keys and the users
// read. Call under ASSERT_NO_FATAL_FAILURE.
inline void StartFreshDesktop(CUserList& users, std::string& dataFolder) {
    const std::string config = MakeTempDir("config");
    dataFolder = MakeTempDir("data");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", dataFolder.c_str(), 1);
    unsetenv("TALLOWMERE_DOUBLE_MODE");
    platform::SetRegistryStorePath("");
    Platform::SetLibraryFolder(TALLOWMERE_PLATFORMLIB_DIR);
    ASSERT_EQ(0, Platform::Initialize(1, kProductWord));
    CreatePrefsKeys();
    users.Enumerate(kProductWord, std::nullopt);
}

inline void StopDesktop() {
    Platform::Release();
    Platform::SetLibraryFolder("");
}

class RecordingEvents : public handheld::MSyncEvents {
  public:
    void OnSyncStarted() override { Add("started"); }
    void OnSyncStatus(std::string text) override { Add("status:" + text); }
    void OnSyncTitle(std::string text, int mode) override {
        Add("title:" + text + "|" + std::to_string(mode));
    }
    void OnSyncUser(std::string folder, bool created) override {
        Add("user:" + folder + (created ? "|new" : "|known"));
    }
    void OnSyncUserRemoved(std::string folder) override { Add("removed:" + folder); }
    // "finished" for a run whose merged files stay, "finished:failed" else.
    void OnSyncFinished(bool succeeded) override {
        Add(succeeded ? "finished" : "finished:failed");
        std::lock_guard lock(mutex_);
        ++finished_;
        changed_.notify_all();
    }
    void OnReloadData() override { Add("reload"); }

    // Waits (bounded) for count finished runs.
    bool WaitFinished(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return finished_ >= count; });
    }
    // Waits (bounded) for an entry.
    bool WaitFor(const std::string& entry) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] {
            return std::find(log_.begin(), log_.end(), entry) != log_.end();
        });
    }
    Words Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(log_, {});
    }

  private:
    void Add(std::string entry) {
        std::lock_guard lock(mutex_);
        log_.push_back(std::move(entry));
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    Words log_;
    int finished_ = 0;
};

using Snapshot = std::map<std::string, std::string>;

inline Snapshot TakeSnapshot(const std::string& folder) {
    Snapshot s;
    if (!std::filesystem::exists(folder))
        return s;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        s[e.path().lexically_relative(folder).string()] =
            e.is_regular_file() ? test::ReadFileBytes(e.path().string()) : "<dir>";
    return s;
}

}  // namespace tallowmere::test
