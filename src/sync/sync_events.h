#pragma once
// What a sync run tells the desktop window, one call per notice, each
// payload by value. The calls come on the sync thread; the window hands
// them to its own thread through one queue, which keeps their order.
#include <string>

namespace tallowmere::handheld {

class MSyncEvents {
  public:
    virtual ~MSyncEvents() = default;
    // A run has started; the progress window opens.
    virtual void OnSyncStarted() = 0;
    // One status line ("Starting Sync...", ...).
    virtual void OnSyncStatus(std::string text) = 0;
    // The device is known: "Synchronizing with <name>" and the mode this run
    // uses.
    virtual void OnSyncTitle(std::string text, int mode) = 0;
    // The desktop user being synced (its folder name), found or created.
    virtual void OnSyncUser(std::string folderName, bool created) = 0;
    // A user that a new device's first sync made is gone again (that sync
    // failed, or never ended): it leaves the users menu.
    virtual void OnSyncUserRemoved(std::string /*folderName*/) {}
    // The run is over; always the last call of a run. succeeded: the run
    // created or matched a user, merged, and the handheld took the merged
    // database back, so the merged files stay.
    virtual void OnSyncFinished(bool succeeded) = 0;
    // The synced user is the current one: reload the data set from disk.
    virtual void OnReloadData() = 0;
};

}  // namespace tallowmere::handheld
