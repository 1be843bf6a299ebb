#pragma once
// Removing the temporary files that writers which died left in a folder.
#include <functional>
#include <string>
#include <string_view>

namespace tallowmere::platform {

// Deletes each regular file of folder whose name isTemporary accepts and
// whose exclusive flock(2) can be taken at once. A live writer holds that
// lock on its temporary file until it is renamed (WriteFileAtomic), so only
// files whose writer is gone are taken. Symbolic links and every other kind
// of entry are left alone, and nothing below the folder is looked at.
// Returns the number of files deleted.
int RemoveUnlockedFiles(const std::string& folder,
                        const std::function<bool(std::string_view)>& isTemporary);

}  // namespace tallowmere::platform
