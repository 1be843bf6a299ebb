#include "model/old_format.h"

#include <algorithm>
#include <vector>

#include "model/byte_order.h"
#include "model/palm_time.h"

namespace tallowmere {
namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kIdOffset = kCategoryNameFieldSize;  // current layout
constexpr std::size_t kOldNameOffset = 8;
constexpr std::size_t kOldNameEnd = kIdFirstSpan - 1;  // id-first name's NUL
// Ids carry the time they were made; none was made before 1990-01-01 00:00.
constexpr PalmTime kEarliestIdTime = 2'713'996'800;

bool IsBuiltInCategoryIdAt(const CCategoryItem::Record& r, std::size_t offset) {
    const RecordId id = RecordId::FromBytes(&r[offset]);
    return std::any_of(kDefaultCategories.begin(), kDefaultCategories.end(),
                       [&](const DefaultCategory& d) { return id == RecordId::Fixed(d.code); });
}

bool IsControlByte(std::uint8_t b) {
    return b < 0x20 || b == 0x7F;
}

// A name field as the program writes it: a name without control bytes, its
// NUL, and zeros to the end of the field.
bool NameFieldFits(std::span<const std::uint8_t> field) {
    const auto nul = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (nul == field.end())
        return false;
    return std::none_of(field.begin(), nul, IsControlByte) &&
           std::all_of(nul, field.end(), [](std::uint8_t b) { return b == 0; });
}

// Zero, one of the fixed ids that the program gives its own records, or an
// id whose creation time (bytes 4-7) could be real.
bool IdFits(std::span<const std::uint8_t> id) {
    if (std::all_of(id.begin(), id.begin() + 6, [](std::uint8_t b) { return b == 0; }))
        return true;
    return LoadBE32(&id[4]) >= kEarliestIdTime;
}

bool FitsCurrentLayout(const CCategoryItem::Record& r) {
    const std::span<const std::uint8_t> bytes(r);
    return NameFieldFits(bytes.subspan(kNameOffset, kCategoryNameFieldSize)) &&
           IdFits(bytes.subspan(kIdOffset, 8));
}

bool FitsIdFirstLayout(const CCategoryItem::Record& r) {
    const std::span<const std::uint8_t> bytes(r);
    return IdFits(bytes.subspan(0, 8)) &&
           NameFieldFits(bytes.subspan(kOldNameOffset, kCategoryNameFieldSize));
}

}  // namespace

void ConvertIdFirstRecord(std::span<std::uint8_t> record) {
    if (record.size() < kIdFirstSpan)
        return;
    // id(8) name(33) -> name(33) id(8)
    std::rotate(record.begin(), record.begin() + 8, record.begin() + kIdFirstSpan);
}

void SerializeNamedRecord(CArchive& ar, std::span<std::uint8_t> record, std::size_t trailerBytes) {
    if (ar.IsStoring()) {
        ar.WriteBytes(record.data(), record.size());
        for (std::size_t i = 0; i < trailerBytes; ++i)
            ar.WriteByte(0);
        return;
    }
    ar.ReadBytes(record.data(), record.size());
    ar.Skip(trailerBytes);
    if (ar.OldFormatRecords())
        ConvertIdFirstRecord(record);
}

CategoryLayout JudgeCategoryRecords(std::span<const CCategoryItem::Record> records) {
    // A built-in id is the surest sign. It cannot stand at byte 33 of an old
    // record, whose byte 40 is its name's NUL while every built-in code's
    // low byte is not 0.
    for (const auto& r : records) {
        if (IsBuiltInCategoryIdAt(r, kIdOffset))
            return CategoryLayout::kCurrent;
    }
    for (const auto& r : records) {
        if (IsBuiltInCategoryIdAt(r, kNameOffset) && r[kOldNameEnd] == 0)
            return CategoryLayout::kIdFirst;
    }
    // No built-in category left (the user or a sync removed them all): the
    // records themselves must tell. A file without records was written by
    // this program (a handheld without categories leaves one), and there is
    // nothing in it to convert.
    if (records.empty())
        return CategoryLayout::kCurrent;
    const bool current = std::all_of(records.begin(), records.end(), FitsCurrentLayout);
    const bool idFirst = std::all_of(records.begin(), records.end(), FitsIdFirstLayout);
    if (current == idFirst)
        return CategoryLayout::kUnclear;
    return current ? CategoryLayout::kCurrent : CategoryLayout::kIdFirst;
}

int DetectIdFirstCategoryData(std::span<const std::uint8_t> data, bool& idFirst) {
    idFirst = false;
    CCategoryList list;
    const int r = list.LoadDataDetectingLayout(data, &idFirst);
    if (r != 0)
        idFirst = false;
    return r;
}

int DetectIdFirstCategoryFile(const std::string& path, bool& idFirst) {
    idFirst = false;
    CCategoryList list;
    const int r = list.LoadDetectingLayout(path, &idFirst);
    if (r != 0)
        idFirst = false;
    return r;
}

}  // namespace tallowmere
