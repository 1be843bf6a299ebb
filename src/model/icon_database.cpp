#include "model/icon_database.h"

#include <new>
#include <span>

#include "model/paths.h"

namespace tallowmere {

std::optional<std::uint16_t> DatabaseIconId(std::uint16_t iconIndex) {
    if (iconIndex < kFirstDatabaseIcon)
        return std::nullopt;
    return static_cast<std::uint16_t>(iconIndex - kFirstDatabaseIcon);
}

void ReadIconResources(PdbFile file, std::vector<IconResourceData>& icons) {
    PdbHandle db;
    if (PdbOpen(std::move(file), db) != 0)
        return;
    PdbHeader header;
    if (PdbGetHeader(*db, header) == 0) {
        try {
            for (std::size_t i = 0; i < header.entryCount; ++i) {
                PdbRecordInfo info;
                if (PdbGetRecordInfo(*db, i, info) != 0)
                    break;
                if (info.type != kIconResourceType)
                    continue;
                std::span<const std::uint8_t> data;
                if (PdbReadRecord(*db, i, info, data) != 0)
                    break;
                icons.push_back({info.id, {data.begin(), data.end()}});
            }
        } catch (const std::bad_alloc&) {
            // Keeps the icons read so far, as after any other error.
        }
    }
    PdbClose(std::move(db), false);
}

std::vector<IconResourceData> ReadIconDatabase(const std::string& folder, const std::string& name) {
    std::vector<IconResourceData> icons;
    const std::string path = JoinPath(folder, name) + ".pdb";
    PdbFile file(std::fopen(path.c_str(), "rbe"));
    if (file)
        ReadIconResources(std::move(file), icons);
    return icons;
}

}  // namespace tallowmere
