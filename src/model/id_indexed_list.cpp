#include "model/id_indexed_list.h"

#include <utility>

#include "model/archive.h"
#include "model/byte_order.h"

namespace tallowmere {

std::uint64_t CIdIndexedList::Key(const RecordId& id) {
    return (static_cast<std::uint64_t>(LoadBE32(id.bytes.data())) << 32) |
           LoadBE32(id.bytes.data() + 4);
}

void CIdIndexedList::Reindex() {
    byId_.clear();
    const std::size_t live = FirstDeletedIndex();
    byId_.reserve(live);
    for (std::size_t i = 0; i < live; ++i) {
        const RecordId id = items_[i]->GetId();
        if (!id.IsNull())
            byId_.emplace(Key(id), i);  // the first of equal ids stays
    }
    indexedCount_ = items_.size();
}

void CIdIndexedList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CCommonList::Serialize(ar);
        return;
    }
    // Rebuilt also when the read fails part-way: the base has emptied the list.
    try {
        CCommonList::Serialize(ar);
    } catch (...) {
        Reindex();
        throw;
    }
    Reindex();
}

CPalmListItem* CIdIndexedList::AddItem(std::unique_ptr<CPalmListItem> item, bool atTail) {
    CPalmListItem* added = CCommonList::AddItem(std::move(item), atTail);
    Reindex();
    return added;
}

int CIdIndexedList::AddAndSave(std::unique_ptr<CPalmListItem> item) {
    AddItem(std::move(item), false);
    return Save();
}

void CIdIndexedList::DeleteAll() {
    CCommonList::DeleteAll();
    Reindex();
}

int CIdIndexedList::DeleteItem(CPalmListItem* item) {
    const int r = CCommonList::DeleteItem(item);
    Reindex();
    return r;
}

int CIdIndexedList::ReplaceItem(CPalmListItem* item) {
    const int r = CCommonList::ReplaceItem(item);
    Reindex();
    return r;
}

CPalmFileList::Removed CIdIndexedList::RemoveItem(const CPalmListItem* item) {
    Removed removed = CCommonList::RemoveItem(item);
    Reindex();
    return removed;
}

int CIdIndexedList::AddSorted(std::unique_ptr<CCommonListItem> item) {
    // A record of another kind would make the file unreadable to this list.
    if (item && !AcceptsItem(*item))
        return -1;
    const int r = CCommonList::AddSorted(std::move(item));
    Reindex();
    return r;
}

int CIdIndexedList::MoveItem(std::size_t index, CCommonListItem* item, int* saveResult) {
    const int r = CCommonList::MoveItem(index, item, saveResult);
    Reindex();
    return r;
}

int CIdIndexedList::MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                             int* saveResult) {
    if (item && !AcceptsItem(*item))
        return -1;
    const int r = CCommonList::MoveItem(index, std::move(item), saveResult);
    Reindex();
    return r;
}

int CIdIndexedList::Resort() {
    const int r = CCommonList::Resort();
    Reindex();
    return r;
}

int CIdIndexedList::IndexOfLiveId(const RecordId& id) const {
    if (id.IsNull())
        return -1;
    if (IndexCurrent()) {
        const auto it = byId_.find(Key(id));
        if (it == byId_.end())
            return -1;
        const std::size_t i = it->second;
        if (i < items_.size() && !items_[i]->IsDeleted() && items_[i]->GetId() == id)
            return static_cast<int>(i);
    }
    // The index is behind the list: answer from the list itself.
    return IndexOf(CCommonList::FindById(id, false));
}

CPalmListItem* CIdIndexedList::FindLiveById(const RecordId& id) const {
    const int i = IndexOfLiveId(id);
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)].get();
}

CPalmListItem* CIdIndexedList::FindById(const RecordId& id, bool all) const {
    // A live item with the id comes before any deleted one.
    CPalmListItem* live = FindLiveById(id);
    if (live != nullptr || !all)
        return live;
    return CCommonList::FindById(id, true);
}

}  // namespace tallowmere
