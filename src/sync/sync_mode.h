#pragma once
// The sync mode: 0 two-way, 1 desktop overwrites handheld, 2 handheld
// overwrites desktop. One process-wide current mode, read by the sync
// thread and written by the preference dialog, and its stored default
// "SyncDirec". A mode chosen for one sync lasts for that sync only: the
// server reloads the default after every successful run.
namespace tallowmere::handheld {

inline constexpr int kSyncModeTwoWay = 0;
inline constexpr int kSyncModeDesktopOverwrites = 1;
inline constexpr int kSyncModeHandheldOverwrites = 2;

int GetCurrentSyncMode();
void SetCurrentSyncMode(int mode);

// The current mode becomes the stored default (0 when missing or unreadable;
// any stored number is taken as it is).
void LoadDefaultSyncMode();
// Stores the default; nothing when the platform key does not exist.
void SaveDefaultSyncMode(int mode);

}  // namespace tallowmere::handheld
