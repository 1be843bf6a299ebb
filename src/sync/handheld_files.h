#pragma once
// The desktop side of a sync run: the run's own load of the user's data set
// and the write-back of its account and list files, plus the two flag
// statements that prepare the handheld database for the merge.
//
// The write-back is all or nothing, across a crash too: every file is first
// staged under a temporary name in the data folder; only when all of them
// are written does a commit record name them (model/write_back_journal.h),
// and then they are renamed into place and the account files that the data
// set no longer holds removed. A failure before the record leaves the folder
// as it was; after it, the commit is finished by this run or the next load.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/accounts.h"
#include "platform/atomic_file.h"

namespace tallowmere {
class CSQLiteDBWrapper;
}

namespace tallowmere::handheld {

class HandheldFiles {
  public:
    HandheldFiles(std::string dataFolder, std::string databasePath);
    ~HandheldFiles();
    HandheldFiles(const HandheldFiles&) = delete;
    HandheldFiles& operator=(const HandheldFiles&) = delete;

    // Loads the folder into a new data set, placeholders of deleted accounts
    // included, with the header bytes passed through as stored. The load
    // writes nothing and enters no due scheduled transaction; the lists hold
    // their saves until WriteDataSet. 0 or the load's error (data untouched).
    int LoadDataSet(std::unique_ptr<CAccounts>& data);

    // Writes every account (placeholders left out) and the seven record
    // lists, and removes every other account file of the folder
    // (placeholders included). 0, or the first error: then nothing in the
    // folder has changed, unless the commit record was written, in which
    // case the next load of the folder finishes the commit.
    int WriteDataSet(CAccounts& data);

    // A step of WriteDataSet: gives each account its file name (unique in
    // the folder, ignoring case) and stages it under a temporary name.
    int WriteAccountFiles(CAccounts& data);

    // Where a test may end the write-back as a crash would.
    enum class StopPoint {
        kBeforeRecord,
        kAfterRecord,
        kAfterRename,
        kAfterDelete,
        kBeforeRemovingRecord,
    };
    // Test hook: asked at each point (with the rename's or delete's index);
    // true ends WriteDataSet there with 31, every file left as it is and
    // every lock let go.
    using StopHook = std::function<bool(StopPoint point, std::size_t index)>;
    void SetStopHook(StopHook hook) { stopHook_ = std::move(hook); }

    // Every row of the nine record tables is marked modified.
    int MarkAllRowsModified(CSQLiteDBWrapper& db);
    // Transactions whose split rows changed count as changed; the split
    // rows' own flags are cleared.
    int ResetModifiedFlags(CSQLiteDBWrapper& db);

    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& DatabasePath() const { return databasePath_; }

  private:
    struct StagedFile {
        std::string target;  // bare file names
        std::string staged;
        bool isAccount = false;
        // Keeps a load's clean-up off the file until it is committed.
        platform::HeldFile lock;
    };
    int Stage(const std::string& fileName, CObject& object, bool isAccount);
    int WriteListFiles(CAccounts& data);
    // The account files of the folder that no staged file replaces.
    int ListOldAccountFiles(std::vector<std::string>& names) const;
    int Commit();
    bool Stop(StopPoint point, std::size_t index = 0) const;
    // Deletes the staged files; AbandonStaged leaves them, as a crash would.
    void DropStaged();
    void AbandonStaged();
    int RemoveLeftovers();

    std::string dataFolder_;
    std::string databasePath_;
    std::vector<StagedFile> staged_;
    StopHook stopHook_;
};

// The account file name (UTF-8, with ".wqm") for each account of the list
// in order: the sanitised account name, "Account" for an empty one, and
// "name~2", "name~3", ... for a name that an earlier account (or the
// taken names) already has, ignoring case.
std::vector<std::string> UniqueAccountFileNames(const std::vector<std::string>& accountNames);

}  // namespace tallowmere::handheld
