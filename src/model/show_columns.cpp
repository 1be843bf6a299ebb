#include "model/show_columns.h"

#include <algorithm>

#include "model/archive.h"
#include "model/byte_order.h"

namespace tallowmere {

CShowColumns::CShowColumns(int count) : count_(std::clamp(count, 0, kMaxColumns)) {
    for (int i = 0; i < kMaxColumns; ++i)
        entries_[static_cast<std::size_t>(i)] = {static_cast<std::uint16_t>(i), 50, 1, 0};
}

CShowColumns::CShowColumns(std::span<const ShowColumnEntry> defaults)
    : count_(static_cast<std::int32_t>(std::min<std::size_t>(defaults.size(), kMaxColumns))) {
    std::copy_n(defaults.begin(), count_, entries_.begin());
}

int CShowColumns::IndexOfId(std::uint16_t id) const {
    for (int i = 0; i < count_; ++i) {
        if (entries_[static_cast<std::size_t>(i)].id == id)
            return i;
    }
    return -1;
}

std::uint16_t CShowColumns::GetId(int index) const {
    return InRange(index) ? entries_[static_cast<std::size_t>(index)].id : 0;
}

std::uint16_t CShowColumns::GetWidth(int index) const {
    return InRange(index) ? entries_[static_cast<std::size_t>(index)].width : 0;
}

void CShowColumns::SetWidth(int index, std::uint16_t width) {
    if (InRange(index))
        entries_[static_cast<std::size_t>(index)].width = std::max(width, kMinColumnWidth);
}

bool CShowColumns::IsVisible(int index) const {
    return InRange(index) && entries_[static_cast<std::size_t>(index)].visible != 0;
}

void CShowColumns::SetVisible(int index, bool visible) {
    if (InRange(index))
        entries_[static_cast<std::size_t>(index)].visible = visible ? 1 : 0;
}

CShowColumns::Record CShowColumns::ToRecord() const {
    Record r{};
    StoreLE32(r.data(), static_cast<std::uint32_t>(count_));
    for (std::size_t i = 0; i < kMaxColumns; ++i) {
        std::uint8_t* p = r.data() + 4 + 6 * i;
        StoreLE16(p, entries_[i].id);
        StoreLE16(p + 2, entries_[i].width);
        p[4] = entries_[i].visible;
        p[5] = entries_[i].reserved;
    }
    StoreLE16(r.data() + 94, reserved_);
    return r;
}

bool CShowColumns::FromRecord(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kRecordSize)
        return false;
    // Every loop over the entries runs to the count: one outside 0..15 would
    // run past them.
    const auto count = static_cast<std::int32_t>(LoadLE32(bytes.data()));
    if (count < 0 || count > kMaxColumns)
        return false;
    count_ = count;
    for (std::size_t i = 0; i < kMaxColumns; ++i) {
        const std::uint8_t* p = bytes.data() + 4 + 6 * i;
        entries_[i] = {LoadLE16(p), LoadLE16(p + 2), p[4], p[5]};
    }
    reserved_ = LoadLE16(bytes.data() + 94);
    return true;
}

void CShowColumns::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        const Record r = ToRecord();
        ar.WriteBytes(r.data(), r.size());
        return;
    }
    Record r{};
    ar.ReadBytes(r.data(), r.size());
    if (!FromRecord(r))
        throw ArchiveError{};
}

}  // namespace tallowmere
