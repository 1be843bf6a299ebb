// The icon database is shared with the handheld side and may be anything.
// Every input is read through the database reader's own calls and through
// the icon list's scan, and each icon is decoded for rectangles that pick
// the first, a middle and the last member of its family. A decoded bitmap
// must hold width x height pixels within the caps; a refused one none.
#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/icon_database.h"
#include "model/palm_bitmap.h"
#include "model/pdb_file.h"

namespace {

using namespace tallowmere;

PdbFile OpenMemory(const std::uint8_t* data, std::size_t size) {
    // Opened for reading only: the buffer is never written.
    return PdbFile(fmemopen(const_cast<std::uint8_t*>(data), size, "rb"));
}

void DecodeIcon(std::span<const std::uint8_t> resource) {
    for (int side : {0, 16, 32, 4096}) {
        const auto member = PickPalmBitmapMember(resource, side, side);
        if (!member)
            continue;
        if (member->offset >= resource.size())
            std::abort();
        PalmBitmapImage image;
        const bool decoded = PalmBitmapToCBitmap(resource.subspan(member->offset), image);
        const std::size_t pixels = std::size_t(image.width) * std::size_t(image.height);
        if (decoded ? (image.pixels.size() != pixels || pixels == 0 ||
                       image.width > kMaxPalmBitmapSide || image.height > kMaxPalmBitmapSide)
                    : !image.pixels.empty())
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    PdbHandle db;
    if (PdbOpen(OpenMemory(data, size), db) == 0) {
        PdbHeader header;
        if (PdbGetHeader(*db, header) != 0)
            std::abort();
        // One index past the end as well, which fails and then sticks.
        for (std::size_t i = 0; i <= header.entryCount; ++i) {
            std::uint32_t offset = 0;
            PdbRecordInfo info;
            std::span<const std::uint8_t> record;
            if (PdbGetRecordOffset(*db, i, offset) != 0 || PdbGetRecordInfo(*db, i, info) != 0 ||
                PdbReadRecord(*db, i, info, record) != 0)
                break;
            if (offset >= size || record.size() != info.size || info.size > size - offset)
                std::abort();
            DecodeIcon(record);
        }
        PdbClose(std::move(db), false);
    }

    std::vector<IconResourceData> icons;
    ReadIconResources(OpenMemory(data, size), icons);
    for (const IconResourceData& icon : icons)
        DecodeIcon(icon.bytes);
    return 0;
}
