#pragma once
// Whole-folder operations of the sync backup. None of them follows a
// symbolic link: a link is removed or skipped as itself.
#include <string>

namespace tallowmere::handheld {

// Deletes the folder with everything below it; read-only entries are made
// writable first. False when anything could not be deleted (the walk stops
// there) or the path is not a folder.
bool DeleteFolderTree(const std::string& path);

// Copies every file and folder below from into to (made when missing),
// byte for byte with their permissions; links and special files are
// skipped. False on the first failure.
bool CopyFolderTree(const std::string& from, const std::string& to);

}  // namespace tallowmere::handheld
