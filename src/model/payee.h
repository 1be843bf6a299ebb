#pragma once
// Payees: for every payee name the last transaction entered for it (amount,
// type, category, class, memo and ten split lines) and a budget amount.
// Kept in "PayeesList.lst", live items in name order.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/common_list.h"
#include "model/money.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

class CTransaction;

inline constexpr std::size_t kPayeeRecordSize = 484;
inline constexpr std::size_t kPayeeNameSize = 33;
inline constexpr std::size_t kPayeeMemoSize = 161;

using PayeeRecord = std::array<std::uint8_t, kPayeeRecordSize>;

// A named list that answers live look-ups by id and by case-folded name from
// an index, so that per-transaction look-ups do not walk the list. The index
// is rebuilt lazily after any change made through the list, after the item
// count changes, and after any indexed record's name or id changes in place.
// Like the list itself, it is for one thread at a time.
class CNameIdIndexedList : public CCommonList {
  public:
    void Serialize(CArchive& ar) override;
    int DeleteItem(CPalmListItem* item) override;
    int ReplaceItem(CPalmListItem* item) override;
    [[nodiscard]] Removed RemoveItem(const CPalmListItem* item) override;
    int AddSorted(std::unique_ptr<CCommonListItem> item) override;
    int MoveItem(std::size_t index, CCommonListItem* item, int* saveResult = nullptr) override;
    int MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                 int* saveResult = nullptr) override;
    int Resort() override;

    // Records of indexed lists call this when their name or id changes.
    static void NoteKeyChanged();

  protected:
    // First live item with that id; the none id finds nothing.
    CCommonListItem* FindLiveById(const RecordId& id) const;
    // First live item whose name equals key ignoring case; key must already
    // be in the stored form (cut to the field).
    CCommonListItem* FindLiveByName(std::string_view key) const;
    void InvalidateIndex() { dirty_ = true; }

  private:
    void Rebuild() const;
    bool IsCurrent() const;

    mutable bool dirty_ = true;
    mutable std::size_t builtCount_ = 0;
    mutable std::uint64_t builtEpoch_ = 0;
    mutable std::unordered_map<std::uint64_t, std::size_t> byId_;
    mutable std::unordered_map<std::string, std::size_t> byName_;
};

class CPayeeItem : public CCommonListItem {
  public:
    // Record cleared and a new id (memorising, the handheld sync).
    CPayeeItem();
    // Record cleared, name set, a new id.
    explicit CPayeeItem(std::string_view name);
    // For the class factory: all zero, no id.
    explicit CPayeeItem(ForLoad tag);

    std::string_view GetClassName() const override { return "CPayeeItem"; }
    // Base part, the record raw, an int32 0. Loading converts an id-first
    // record when the archive says so, and gives a record without an id one
    // (from the record number when it has one) and sets modified.
    void Serialize(CArchive& ar) override;

    RecordId GetId() const override;
    void SetId(const RecordId& id) override;
    std::string GetName() const override;
    // At most 32 bytes, ending at an embedded NUL; sets modified.
    void SetName(std::string_view name) override;

    // The form in which a name is stored: what SetName would keep.
    static std::string_view StoredName(std::string_view name);

    std::uint8_t GetFlag() const { return record_[41]; }
    Cents GetAmount() const;
    RecordId GetTypeId() const;
    RecordId GetCategoryId() const;
    RecordId GetClassId() const;
    std::string GetMemo() const;
    void SetMemo(std::string_view memo);
    Cents GetBudgetAmount() const;
    void SetBudgetAmount(Cents amount);

    // Takes the transaction's payee text, amount, type, category, class, memo
    // and the category, class and amount of its ten split lines.
    void MemorizeTransaction(const CTransaction& t);
    // Stores category, class and amount of each of t's ten split lines.
    void SetMemorizedSplits(const CTransaction& t);
    // Writes the ten memorised lines into t: category, class and amount, every
    // other field of the line cleared.
    void GetMemorizedSplits(CTransaction& t) const;

    const PayeeRecord& Record() const { return record_; }
    // Whether the last load had to give the record an id.
    bool IdAssignedOnLoad() const { return idAssignedOnLoad_; }

  private:
    void SetIdAt(std::size_t offset, const RecordId& id);
    void SetCentsAt(std::size_t offset, Cents amount);

    PayeeRecord record_{};
    bool idAssignedOnLoad_ = false;
};

// Payees that a file holds without an id are given one as they load; it is
// written with the list's next save, never by the load itself.
class CPayeesList : public CNameIdIndexedList {
  public:
    // First live payee whose name equals the text (cut as stored) ignoring
    // case; nullptr when none.
    CPayeeItem* FindByName(std::string_view name) const;
    // First live payee with that id (all: deleted ones too).
    CPayeeItem* FindById(const RecordId& id, bool all = false) const;
    // Replaces name by the stored spelling of the payee it names.
    bool NormalizeName(std::string& name) const;

    // The budget of the payee of that name; 0 when none.
    Cents GetBudgetAmount(std::string_view name) const;
    // Sets the budget of the payee of that name, creating the payee when
    // there is none, and saves. An empty name is refused with -1.
    int SetBudgetAmount(std::string_view name, Cents amount);

    // The payee named by t's payee text takes t as its memorised transaction,
    // re-filed when its spelling changes; without one a new payee is made from
    // t. Saves; a transaction without payee text memorises nothing (0).
    int MemorizeTransaction(const CTransaction& t);

  protected:
    bool AcceptsItem(const CObject& obj) const override;
};

}  // namespace tallowmere
