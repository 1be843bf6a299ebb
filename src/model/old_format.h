#pragma once
// Earlier files stored each named record with its id first: id (bytes 0-7),
// name (8-40), then the rest of the record where it always stood. Whether a
// file holds that layout is decided per load from the category file's own
// records; the decision is then handed to the loads of the other lists.
#include <cstdint>
#include <span>
#include <string>

#include "model/archive.h"
#include "model/category.h"

namespace tallowmere {

// Bytes that the two layouts arrange differently: the 8-byte id and the
// 33-byte name field.
inline constexpr std::size_t kIdFirstSpan = 41;

// Moves an id-first record into the current layout: name to bytes 0-32, id
// to 33-40, every later byte unchanged. A record shorter than 41 bytes is
// left alone.
void ConvertIdFirstRecord(std::span<std::uint8_t> record);

// A named record as the list files hold it: its bytes, then trailerBytes
// zero bytes. A load of an id-first file turns it into the current layout.
void SerializeNamedRecord(CArchive& ar, std::span<std::uint8_t> record, std::size_t trailerBytes);

// What the raw records of a category file, as they stand in the file and
// deleted ones included, tell of their layout, asked in this order:
// 1. a built-in category id in the current id place: the current layout;
// 2. one in the id-first place, with that layout's name terminator at byte
//    40: the id-first layout;
// 3. no records at all: the current layout;
// 4. otherwise every record is read both ways. A layout fits a record when
//    its name field holds a NUL-terminated name without control bytes and
//    only zeros after it, and its id is zero, fixed (bytes 0-5 zero) or
//    made at a plausible time; the answer is the layout that every record
//    fits;
// 5. when both layouts fit every record, or neither does: unclear.
enum class CategoryLayout { kCurrent, kIdFirst, kUnclear };
CategoryLayout JudgeCategoryRecords(std::span<const CCategoryItem::Record> records);

// The decision over a category file or its image, as
// CCategoryList::LoadDetectingLayout makes it: 0 with idFirst set, or the
// load's error (2 when the file is missing; idFirst is then false).
int DetectIdFirstCategoryFile(const std::string& path, bool& idFirst);
int DetectIdFirstCategoryData(std::span<const std::uint8_t> data, bool& idFirst);

}  // namespace tallowmere
