#include "model/old_format.h"

#include <algorithm>
#include <vector>

namespace tallowmere {
namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kIdOffset = kCategoryNameFieldSize;  // current layout
constexpr std::size_t kOldNameEnd = kIdFirstSpan - 1;      // id-first name's NUL
constexpr std::size_t kNameEnd = kCategoryNameFieldSize - 1;

bool IsBuiltInCategoryIdAt(const CCategoryItem::Record& r, std::size_t offset) {
    const RecordId id = RecordId::FromBytes(&r[offset]);
    return std::any_of(kDefaultCategories.begin(), kDefaultCategories.end(),
                       [&](const DefaultCategory& d) { return id == RecordId::Fixed(d.code); });
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

bool CategoryRecordsAreIdFirst(std::span<const CCategoryItem::Record> records) {
    // A built-in id is the surest sign. It cannot stand at byte 33 of an old
    // record, whose byte 40 is its name's NUL while every built-in code's
    // low byte is not 0.
    for (const auto& r : records) {
        if (IsBuiltInCategoryIdAt(r, kIdOffset))
            return false;
    }
    for (const auto& r : records) {
        if (IsBuiltInCategoryIdAt(r, kNameOffset) && r[kOldNameEnd] == 0)
            return true;
    }
    // No built-in category left (the user or a sync removed them all).
    bool nameRunsPastCurrentField = false;
    for (const auto& r : records) {
        if (r[kOldNameEnd] != 0)
            return false;
        if (r[kNameEnd] != 0)
            nameRunsPastCurrentField = true;
    }
    return nameRunsPastCurrentField;
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
