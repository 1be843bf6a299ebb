#pragma once
// The file steps of a password change in a user's data folder. The account
// files carry the online credentials enciphered with the user's key, so a
// new password means rewriting every one of them, and a change cut short
// must never leave some files under the old key and some under the new:
//   1. every account file, read with the old key, is written with the new
//      one to "<file>.new";
//   2. "password.pending" records the new crib;
//   3. (the caller) the new crib is stored;
//   4. each ".new" file is renamed over its file;
//   5. the marker goes.
// At start-up a marker whose crib is the stored one finishes steps 4 and 5;
// any other leftover is undone (the ".new" files and the marker deleted).
#include <optional>
#include <string>
#include <vector>

#include "model/account_root.h"
#include "model/password_crib.h"

namespace tallowmere::ui {

inline constexpr char kPasswordPendingFile[] = "password.pending";
inline constexpr char kReKeyedSuffix[] = ".new";

// The paths of the folder's account files ("*.wqm" in any case, placeholder
// files included), sorted; nothing when the folder is missing or cannot be
// listed to its end.
std::optional<std::vector<std::string>> ListAccountFiles(const std::string& folder);

// Step 1 for the given files. 0, or the first failure's code once every
// ".new" file is deleted again.
int WriteReKeyedFiles(const std::vector<std::string>& files, const HeaderCipher& oldCipher,
                      const HeaderCipher& newCipher);
// Step 2. 0 or the write's code.
int WritePendingMarker(const std::string& folder, const PasswordCrib& crib);
// Step 4: every file's ".new" renamed over it (all are tried). 0 or the
// first failure's code.
int CommitReKeyedFiles(const std::vector<std::string>& files);
// Deletes the folder's "*.wqm.new" files and its marker.
void DiscardPasswordChange(const std::string& folder);
// Step 5.
void RemovePendingMarker(const std::string& folder);

enum class PendingPasswordChange {
    kNone,      // nothing was left
    kFinished,  // the marker's crib is the stored one: the files now have the new key
    kUndone,    // the leftovers were deleted; the files keep the key they had
};
// At start-up, for a user's folder and the user's stored crib.
PendingPasswordChange SettlePendingPasswordChange(const std::string& folder,
                                                  const PasswordCrib& storedCrib);

}  // namespace tallowmere::ui
