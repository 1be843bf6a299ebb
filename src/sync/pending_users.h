#pragma once
// Users that a new device's first sync makes are kept only once that sync
// has fully ended: until then the user's key carries "FirstSyncPending" = 1.
// A run that fails removes its user again; a process that ended in the
// middle leaves the mark behind, and the clean-up here removes such users the
// same way, so a retry starts again as a first sync.
#include <string>
#include <vector>

namespace tallowmere {
class CUserList;
}

namespace tallowmere::handheld {

// Removes a phone user: its list entry (when users is given), its data
// folder, its preference keys with the crib, and last its own key with the
// pending mark, so that a removal cut short is finished by the next
// clean-up. False when something could not be removed.
bool RemovePhoneUser(CUserList* users, const std::string& folderName);

// Removes every user whose key still carries the pending mark; gives their
// folder names. The program calls it at start-up (users may be null before
// they are enumerated), the sync server when it starts and before each
// session, with the program's lock on its users held.
std::vector<std::string> RemovePendingUsers(CUserList* users);

// The user's first sync has ended: the mark goes. False when it stays.
bool ClearFirstSyncPending(const std::string& folderName);

}  // namespace tallowmere::handheld
