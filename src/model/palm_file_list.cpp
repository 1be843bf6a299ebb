#include "model/palm_file_list.h"

#include <algorithm>
#include <vector>

#include "model/archive.h"
#include "model/error_sink.h"

namespace tallowmere {

namespace {
constexpr int kStringSaveError = 185;  // "There was an error saving the file (%d)."
}

CPalmFileList::~CPalmFileList() = default;

void CPalmFileList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        WriteObjectList(ar, items_);
        return;
    }
    DeleteAll();
    const CArchive::ObjectFilter accept = [this](const CObject& obj) { return AcceptsItem(obj); };
    auto items = ReadOwnedObjectList<CPalmListItem>(ar, accept);
    // A file whose deleted items stand among live ones would hide the live
    // items behind them from every live-only walk.
    std::stable_partition(items.begin(), items.end(),
                          [](const auto& item) { return !item->IsDeleted(); });
    items_ = std::move(items);
}

bool CPalmFileList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CPalmListItem*>(&obj) != nullptr;
}

std::size_t CPalmFileList::FirstDeletedIndex() const {
    // Deleted items form the tail, so the scan runs over that tail only.
    std::size_t i = items_.size();
    while (i > 0 && items_[i - 1]->IsDeleted())
        --i;
    return i;
}

std::size_t CPalmFileList::LiveInsertIndex(const CPalmListItem& /*item*/) const {
    return FirstDeletedIndex();
}

CPalmListItem* CPalmFileList::InsertAt(std::size_t index, std::unique_ptr<CPalmListItem> item) {
    CPalmListItem* raw = item.get();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return raw;
}

std::unique_ptr<CPalmListItem> CPalmFileList::TakeAt(std::size_t index) {
    auto it = items_.begin() + static_cast<std::ptrdiff_t>(index);
    std::unique_ptr<CPalmListItem> item = std::move(*it);
    items_.erase(it);
    return item;
}

CPalmListItem* CPalmFileList::AddItem(std::unique_ptr<CPalmListItem> item, bool /*atTail*/) {
    if (!item)
        return nullptr;
    const std::size_t index = item->IsDeleted() ? items_.size() : FirstDeletedIndex();
    return InsertAt(index, std::move(item));
}

int CPalmFileList::AddAndSave(std::unique_ptr<CPalmListItem> item) {
    AddItem(std::move(item), false);
    return Save();
}

int CPalmFileList::DeleteItem(CPalmListItem* item) {
    const int index = IndexOf(item);
    if (index >= 0) {
        auto owned = TakeAt(static_cast<std::size_t>(index));
        owned->SetAttribute(owned->GetAttribute() | CPalmListItem::kDeleted |
                            CPalmListItem::kModified);
        items_.push_back(std::move(owned));
    }
    return Save();
}

int CPalmFileList::ReplaceItem(CPalmListItem* item) {
    // Changed in memory first and saved once: the file never lacks the item.
    const int index = IndexOf(item);
    if (index >= 0) {
        auto owned = TakeAt(static_cast<std::size_t>(index));
        owned->SetAttribute(owned->GetAttribute() & ~CPalmListItem::kDeleted);
        const std::size_t at = LiveInsertIndex(*owned);
        InsertAt(at, std::move(owned));
    }
    return Save();
}

CPalmFileList::Removed CPalmFileList::RemoveItem(const CPalmListItem* item) {
    Removed removed;
    const int index = IndexOf(item);
    if (index >= 0)
        removed.item = TakeAt(static_cast<std::size_t>(index));
    removed.result = Save();
    return removed;
}

void CPalmFileList::DeleteAll() {
    items_.clear();
}

std::size_t CPalmFileList::GetCount(bool all) const {
    return all ? items_.size() : FirstDeletedIndex();
}

CPalmFileList::Position CPalmFileList::GetHeadPosition(bool all) const {
    if (items_.empty() || (!all && items_.front()->IsDeleted()))
        return kNoPosition;
    return 0;
}

CPalmListItem* CPalmFileList::GetNextLive(Position& pos, bool all) const {
    if (pos >= items_.size()) {
        pos = kNoPosition;
        return nullptr;
    }
    CPalmListItem* item = items_[pos].get();
    const Position next = pos + 1;
    if (next >= items_.size() || (!all && items_[next]->IsDeleted())) {
        pos = kNoPosition;
    } else {
        pos = next;
    }
    return item;
}

CPalmListItem* CPalmFileList::GetNextItem(Position& pos, bool all) const {
    return GetNextLive(pos, all);
}

CPalmListItem* CPalmFileList::GetAt(std::size_t n, bool all) const {
    if (n >= GetCount(all))
        return nullptr;
    return items_[n].get();
}

int CPalmFileList::IndexOf(const CPalmListItem* item) const {
    if (item == nullptr)
        return -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

CPalmListItem* CPalmFileList::FindById(const RecordId& id, bool all) const {
    // Records without an id answer none; a none query must not match them.
    if (id.IsNull())
        return nullptr;
    const std::size_t end = GetCount(all);
    for (std::size_t i = 0; i < end; ++i) {
        if (items_[i]->GetId() == id)
            return items_[i].get();
    }
    return nullptr;
}

int CPalmFileList::Load(const std::string& path) {
    path_ = path;
    DeleteAll();
    std::vector<std::uint8_t> data;
    const int r = ReadObjectFile(path, data);
    return r != 0 ? r : LoadData(data);
}

int CPalmFileList::LoadData(std::span<const std::uint8_t> data) {
    DeleteAll();
    const int r = ItemsEndEitherWay()
                      ? LoadObjectDataEitherItemEnd(data, *this, oldFormatRecords_, path_)
                      : LoadObjectData(data, *this, oldFormatRecords_);
    if (r != 0)
        DeleteAll();
    return r;
}

int CPalmFileList::LoadOrCreate(const std::string& path) {
    const int r = Load(path);
    if (r != 2)
        return r;
    path_ = path;
    CreateDefaults();
    if (savesHeld_)
        return 0;
    const int saved = Save();
    if (saved != 0)
        return saved;
    return Load(path);
}

int CPalmFileList::Save() {
    if (savesHeld_)
        return 0;
    const int r = SaveObjectFile(path_, *this);
    if (r == 0)
        return 0;
    try {
        ReportError(kStringSaveError, {static_cast<std::int64_t>(r)});
    } catch (...) {
        // The caller still learns of the failure from the result.
    }
    return -1;
}

}  // namespace tallowmere
