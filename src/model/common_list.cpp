#include "model/common_list.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/text_1252.h"

namespace tallowmere {

bool CCommonList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CCommonListItem*>(&obj) != nullptr;
}

std::string CCommonList::NameOf(const CPalmListItem& item) {
    const auto* named = dynamic_cast<const CCommonListItem*>(&item);
    return named ? named->GetName() : std::string();
}

std::size_t CCommonList::LiveInsertIndex(const CPalmListItem& item) const {
    const std::string name = NameOf(item);
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        if (platform::CompareBytes(NameOf(*items_[i]), name) >= 0)
            return i;
    }
    return live;
}

int CCommonList::InsertSorted(std::unique_ptr<CPalmListItem> item) {
    const std::size_t index = item->IsDeleted() ? items_.size() : LiveInsertIndex(*item);
    InsertAt(index, std::move(item));
    return static_cast<int>(index);
}

int CCommonList::AddSorted(std::unique_ptr<CCommonListItem> item) {
    if (item)
        InsertSorted(std::move(item));
    return Save();
}

int CCommonList::MoveItem(std::size_t index, CCommonListItem* item, int* saveResult) {
    if (item == nullptr || index >= items_.size() || items_[index].get() != item)
        return -1;
    const int at = InsertSorted(TakeAt(index));
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return at;
}

int CCommonList::MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                          int* saveResult) {
    if (!item || index >= items_.size())
        return -1;
    const int already = IndexOf(item.get());
    if (already >= 0) {
        // The list owns it already: never own it twice.
        CCommonListItem* raw = item.release();
        return static_cast<std::size_t>(already) == index ? MoveItem(index, raw, saveResult) : -1;
    }
    TakeAt(index);  // the replaced item is destroyed here
    const int at = InsertSorted(std::move(item));
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return at;
}

int CCommonList::Resort() {
    // Everything that can fail is done before an item moves.
    std::vector<std::pair<std::string, std::size_t>> live;
    std::vector<std::size_t> deleted;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->IsDeleted()) {
            deleted.push_back(i);
        } else {
            live.emplace_back(NameOf(*items_[i]), i);
        }
    }
    // Inserting each item before the first greater-or-equal name is a sort in
    // which equal names end up newest first: reverse, then sort stably.
    std::reverse(live.begin(), live.end());
    std::stable_sort(live.begin(), live.end(), [](const auto& a, const auto& b) {
        return platform::CompareBytes(a.first, b.first) < 0;
    });
    std::vector<std::unique_ptr<CPalmListItem>> sorted;
    sorted.reserve(items_.size());
    for (const auto& entry : live)
        sorted.push_back(std::move(items_[entry.second]));
    for (std::size_t i : deleted)
        sorted.push_back(std::move(items_[i]));
    items_ = std::move(sorted);
    return Save();
}

}  // namespace tallowmere
