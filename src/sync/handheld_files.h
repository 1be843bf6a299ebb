#pragma once
// The desktop side of a sync run: the run's own load of the user's data set
// and the write-back of its account and list files, plus the two flag
// statements that prepare the handheld database for the merge.
//
// The write-back is all or nothing: every file is first written under a
// temporary name in the data folder, and only when all of them are written
// are they renamed into place and the account files that the data set no
// longer holds removed. A failure before that leaves the folder as it was.
#include <memory>
#include <string>
#include <vector>

#include "model/accounts.h"

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
    // lists. 0, or the first error: then nothing in the folder has changed,
    // unless the renames themselves failed part-way.
    int WriteDataSet(CAccounts& data);

    // The steps of WriteDataSet. WriteAccountFiles gives each account its
    // file name (unique in the folder, ignoring case) and writes it under a
    // temporary name; DeleteAccountFiles, after the renames, removes every
    // other account file of the folder (placeholders included).
    int WriteAccountFiles(CAccounts& data);
    int DeleteAccountFiles();

    // Every row of the nine record tables is marked modified.
    int MarkAllRowsModified(CSQLiteDBWrapper& db);
    // Transactions whose split rows changed count as changed; the split
    // rows' own flags are cleared.
    int ResetModifiedFlags(CSQLiteDBWrapper& db);

    const std::string& DataFolder() const { return dataFolder_; }
    const std::string& DatabasePath() const { return databasePath_; }

  private:
    struct StagedFile {
        std::string target;
        std::string temporary;
        bool isAccount = false;
    };
    int Stage(const std::string& fileName, CObject& object, bool isAccount);
    int WriteListFiles(CAccounts& data);
    int CommitStaged();
    void DropStaged();
    void RemoveLeftovers();

    std::string dataFolder_;
    std::string databasePath_;
    std::vector<StagedFile> staged_;
};

// The account file name (UTF-8, with ".wqm") for each account of the list
// in order: the sanitised account name, "Account" for an empty one, and
// "name~2", "name~3", ... for a name that an earlier account (or the
// taken names) already has, ignoring case.
std::vector<std::string> UniqueAccountFileNames(const std::vector<std::string>& accountNames);

}  // namespace tallowmere::handheld
