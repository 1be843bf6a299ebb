#pragma once
// A file-backed list of named records whose live items stand in name order
// (plain byte comparison of the Windows-1252 names).
#include <cstddef>
#include <memory>
#include <string>

#include "model/palm_file_list.h"
#include "model/palm_list_item.h"

namespace tallowmere {

class CCommonList : public CPalmFileList {
  public:
    std::string_view GetClassName() const override { return "CCommonList"; }

    // Inserts before the first live item whose name is greater than or equal
    // (so equal names stand newest first), after all live items when there is
    // none; a deleted item goes to the end. Then saves.
    virtual int AddSorted(std::unique_ptr<CCommonListItem> item);
    // Re-files the item at index after its name changed: index must hold
    // item, else nothing happens. Saves; returns the item's new index, or -1
    // when refused. *saveResult, when given, gets the save result.
    virtual int MoveItem(std::size_t index, CCommonListItem* item, int* saveResult = nullptr);
    // Puts item in place of the item at index, which is destroyed; item is
    // inserted as AddSorted does. Saves; returns item's new index, or -1 when
    // index is out of range (item is then dropped).
    virtual int MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                         int* saveResult = nullptr);
    // Rebuilds the order as if every live item, in the current order, were
    // added with AddSorted to an empty list; deleted items follow in their
    // order. Saves.
    virtual int Resort();

  protected:
    bool AcceptsItem(const CObject& obj) const override;
    // In name order, as AddSorted.
    std::size_t LiveInsertIndex(const CPalmListItem& item) const override;

    static std::string NameOf(const CPalmListItem& item);
    int InsertSorted(std::unique_ptr<CPalmListItem> item);
};

}  // namespace tallowmere
