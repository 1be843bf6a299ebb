#pragma once
// The icon database "BrackwaterIcons.pdb" in a user's data folder: a Palm
// resource database whose 'Tbmp' resources are the account and category
// icons above the built-in ones, one per resource id.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/pdb_file.h"

namespace tallowmere {

inline constexpr char kIconDatabaseName[] = "BrackwaterIcons";
inline constexpr std::uint32_t kIconResourceType = 0x54626D70;  // 'Tbmp'

// Icon indexes of accounts and categories: 0 to 64 are the built-in icons
// (64 is the split icon), 256 + n is the database icon with id n.
inline constexpr std::uint16_t kLastBuiltInIcon = 64;
inline constexpr std::uint16_t kFirstDatabaseIcon = 256;

// The database icon id an icon index names; nothing for the built-in icons
// and for 65 to 255, which name no icon.
std::optional<std::uint16_t> DatabaseIconId(std::uint16_t iconIndex);

struct IconResourceData {
    std::uint16_t id = 0;
    std::vector<std::uint8_t> bytes;
};

// Appends the database's 'Tbmp' resources in file order. Any error ends the
// scan, keeping the icons read before it; a file that is not a valid
// database gives none.
void ReadIconResources(PdbFile file, std::vector<IconResourceData>& icons);

// Reads folder/name.pdb; a missing or unreadable file gives no icons.
std::vector<IconResourceData> ReadIconDatabase(const std::string& folder, const std::string& name);

}  // namespace tallowmere
