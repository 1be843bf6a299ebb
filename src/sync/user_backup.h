#pragma once
// The copy of one user's data folder that a sync run takes before the merge.
// Each run has a folder of its own below the backup folder, so a copy left
// by a crashed run is never mixed into another run's restore.
#include <string>

namespace tallowmere::handheld {

// <documents>/Brackwater/Tallowmere/Backup; empty without a documents folder.
std::string DefaultBackupFolder();

class CUserBackup {
  public:
    CUserBackup() = default;
    CUserBackup(const CUserBackup&) = delete;
    CUserBackup& operator=(const CUserBackup&) = delete;

    // Copies userFolder into a new folder below root named after runName.
    // False (and no copy kept) when any of it fails.
    bool BackupUserFolder(const std::string& root, const std::string& runName,
                          const std::string& userFolder);
    // Makes the user's folder equal to the copy again: the copied files come
    // back and files that appeared since are deleted. The copy is used up;
    // on failure what is left of it stays where it is.
    bool RestoreBackup();
    // Deletes the copy, and the backup folder when nothing else is in it.
    bool DeleteBackup();

    bool Exists() const { return !folder_.empty(); }
    const std::string& Folder() const { return folder_; }

  private:
    std::string root_;
    std::string folder_;
    std::string userFolder_;
};

}  // namespace tallowmere::handheld
