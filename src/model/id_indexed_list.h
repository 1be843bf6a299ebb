#pragma once
// A named list whose live items are also found by id without a walk over the
// list: reports and register sorts look a record up by id once per
// transaction. The id -> position index is rebuilt by every operation of the
// list that changes it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "model/common_list.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

class CIdIndexedList : public CCommonList {
  public:
    // Loading rebuilds the index.
    void Serialize(CArchive& ar) override;

    // The base's operations, each followed by a rebuild of the index.
    // AddSorted and MoveItem refuse (-1, nothing saved) a record of a kind
    // the list does not hold (AcceptsItem).
    CPalmListItem* AddItem(std::unique_ptr<CPalmListItem> item, bool atTail = false);
    int AddAndSave(std::unique_ptr<CPalmListItem> item);
    void DeleteAll();
    int DeleteItem(CPalmListItem* item) override;
    int ReplaceItem(CPalmListItem* item) override;
    [[nodiscard]] Removed RemoveItem(const CPalmListItem* item) override;
    int AddSorted(std::unique_ptr<CCommonListItem> item) override;
    int MoveItem(std::size_t index, CCommonListItem* item, int* saveResult = nullptr) override;
    int MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                 int* saveResult = nullptr) override;
    int Resort() override;

    // As the base's; live-only look-ups go through the index.
    CPalmListItem* FindById(const RecordId& id, bool all) const;
    // The first live item with this id; nullptr for none or an unknown id.
    CPalmListItem* FindLiveById(const RecordId& id) const;
    // Its position (among all items, which for a live item is also its
    // position among the live ones); -1 when there is none.
    int IndexOfLiveId(const RecordId& id) const;

  protected:
    // Called after every change to the items that bypasses the members above
    // (a subclass that moves items_ itself).
    void Reindex();

  private:
    // True when the index still describes items_. A change made around the
    // members above (the base's non-virtual members through a base
    // reference) shows as a different item count; a hit is always checked
    // against the item it names, so a stale entry is never believed. Only an
    // id changed in place on an item of the list, with the count unchanged,
    // goes unseen: change an id before the item is added.
    bool IndexCurrent() const { return items_.size() == indexedCount_; }
    static std::uint64_t Key(const RecordId& id);

    std::unordered_map<std::uint64_t, std::size_t> byId_;
    std::size_t indexedCount_ = 0;
};

}  // namespace tallowmere
