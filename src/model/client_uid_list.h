#pragma once
// The client-UID list: per bank account number, the client UID sent in that
// account's online-banking requests, kept in "ClientUidList.txt" in the
// current user's data folder.
//
// File: CR LF lines; the entry count in decimal, then a key line and a value
// line per entry, in ascending byte order of the keys.
#include <map>
#include <string>
#include <string_view>

namespace tallowmere {

inline constexpr char kClientUidListFile[] = "ClientUidList.txt";

using StringMap = std::map<std::string, std::string>;

// Replaces map with the entries of a file image. Reading stops at the end of
// the data whatever the count says; a count that the data falls short of adds
// one pair of empty texts, and a key read twice keeps its first value. Lines
// may end with LF alone.
void ReadStringMap(std::string_view text, StringMap& map);
// The file image of map.
std::string WriteStringMap(const StringMap& map);

namespace ClientUid {

// The current user's data folder. The list belongs to that folder: a change
// of folder drops the list in memory, and the next use loads the new one.
void SetDataFolder(std::string folder);

// The stored client UID, or empty; an absent number is added with an empty
// value (in memory). Loads the list first when needed.
std::string Lookup(std::string_view accountNumber);
// Replaces or adds the pair in memory, after loading the list when needed.
// CR and LF are dropped from both texts: they would break the line format.
void Set(std::string_view accountNumber, std::string_view clientUid);
// Reads the file of the current folder; a missing file gives an empty list.
// 0, or the Windows error code of a failed read (the list is then empty).
int Load();
// Writes the whole list (loading it first when needed). 0 or a Windows
// error code; 3 when no data folder is set.
int Save();

}  // namespace ClientUid
}  // namespace tallowmere
