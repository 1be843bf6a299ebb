#pragma once
// File-name services with the semantics the data folder relies on: a rename
// never replaces another file, and names that differ only in case clash.
#include <string>

namespace tallowmere::platform {

// Renames from to to, failing with 183 when to exists (never replacing it).
// Returns 0 or a Windows error code.
int RenameNoReplace(const std::string& from, const std::string& to);

// The entry of folder whose name equals name ignoring case (Windows-1252
// letters, names taken as UTF-8), or the empty text when there is none. An
// exact match wins over a case-only one; an entry named ignore is skipped.
std::string FindNameNoCase(const std::string& folder, const std::string& name,
                           const std::string& ignore = {});

// Case-insensitive equality of two UTF-8 names, as FindNameNoCase compares.
bool SameNameNoCase(const std::string& a, const std::string& b);

// True when path names an existing file or folder (no symbolic links
// followed for the final component).
bool PathExists(const std::string& path);

}  // namespace tallowmere::platform
