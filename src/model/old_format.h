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

// Decides from the raw records of a category file, as they stand in the file
// and deleted ones included, whether they are in the id-first layout. A
// built-in category id in the current id place means the current layout; one
// in the id-first place, with that layout's name terminator at byte 40,
// means the old one. Without either, byte 40 decides: an old record always
// holds its name's NUL there, a current one the last byte of its id; a file
// with no evidence for the old layout is taken as current.
bool CategoryRecordsAreIdFirst(std::span<const CCategoryItem::Record> records);

// The decision over a category file or its image: 0 with idFirst set, or the
// load's error (2 when the file is missing; idFirst is then false).
int DetectIdFirstCategoryFile(const std::string& path, bool& idFirst);
int DetectIdFirstCategoryData(std::span<const std::uint8_t> data, bool& idFirst);

}  // namespace tallowmere
