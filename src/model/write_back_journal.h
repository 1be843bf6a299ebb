#pragma once
// The record that makes the sync's write-back of a data folder all or
// nothing across a crash. The write-back stages every file under
// ".sync~NAME.tmp", then writes the record ".sync-commit", which names each
// staged file with its target and each old account file to delete. From then
// on the commit is decided: the write-back renames and deletes and removes
// the record, and a load that finds a record finishes it the same way.
//
// The record is a list of NUL-terminated fields: "tallowmere-sync-commit-1";
// for each staged file "move", its name and its target's name; for each old
// account file "delete" and its name; then "end". Names are bare file names,
// as on disk.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere {

inline constexpr char kWriteBackRecordName[] = ".sync-commit";

struct WriteBackRecord {
    struct Move {
        std::string staged;
        std::string target;
    };
    std::vector<Move> moves;
    std::vector<std::string> deletes;
};

// ".sync~" + target + ".tmp": neither ".wqm" nor ".lst", so a load never
// takes a staged file for a data file.
std::string StagedFileName(std::string_view target);
bool IsStagedFileName(std::string_view name);

std::vector<std::uint8_t> FormatWriteBackRecord(const WriteBackRecord& record);
// True only for a whole record in which every name has its form: bare names
// (no '/', not "." or ".."); each staged name is StagedFileName of its
// target; each target an account file or a list file of the folder, none
// twice; each deleted file an account file that no move targets.
bool ParseWriteBackRecord(std::span<const std::uint8_t> bytes, WriteBackRecord& record);

// Step 2 of the commit: writes the record in folder (temporary file, fsync,
// rename, fsync of the folder). A record left by an earlier run gives way.
// 0, 13 for a record that ParseWriteBackRecord would refuse (nothing
// written), or a Windows error code.
int WriteWriteBackRecord(const std::string& folder, const WriteBackRecord& record);

enum class WriteBackStep { kRenamed, kDeleted };
// Told after each rename and each delete with its index in the record;
// false ends the commit there as a crash would (a test hook).
using WriteBackProgress = std::function<bool(WriteBackStep step, std::size_t index)>;

// Step 3: renames each staged file over its target and deletes the old
// account files, then fsyncs the folder. A staged file that is gone while its
// target exists was renamed already. 0; 13 when some staged file is neither
// there as a plain file nor in place (nothing touched); 31 when progress
// stopped it; or the error of the failed rename or delete.
int ApplyWriteBackRecord(const std::string& folder, const WriteBackRecord& record,
                         const WriteBackProgress& progress = {});

// Step 4: removes the record and fsyncs the folder. 0 or a Windows error code.
int RemoveWriteBackRecord(const std::string& folder);

// What every load of a data folder does before anything else, under the
// database mutex: finishes a write-back whose record it finds, then deletes
// the temporary files (the atomic writer's and staged ones) whose writers
// are gone. A record that is not of its form or cannot be finished is
// refused and reported, and then nothing in the folder is touched. Nothing
// outside the folder is ever touched and no symbolic link is followed.
// 0; −1 when the mutex wait ran out; or the error of a failed rename or
// delete, with the record kept for the next load.
int RecoverDataFolder(const std::string& folder);

}  // namespace tallowmere
