#include "sync/sync_mode.h"

#include <atomic>
#include <cstdint>

#include "model/preferences.h"

namespace tallowmere::handheld {
namespace {

std::atomic<int>& CurrentMode() {
    static std::atomic<int> mode{kSyncModeTwoWay};
    return mode;
}

}  // namespace

int GetCurrentSyncMode() {
    return CurrentMode().load();
}

void SetCurrentSyncMode(int mode) {
    CurrentMode().store(mode);
}

void LoadDefaultSyncMode() {
    SetCurrentSyncMode(static_cast<int>(GetPrefSyncDirec()));
}

void SaveDefaultSyncMode(int mode) {
    SetPrefSyncDirec(static_cast<std::uint32_t>(mode));
}

}  // namespace tallowmere::handheld
