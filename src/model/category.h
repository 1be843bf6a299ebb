#pragma once
// Categories: a two-level tree of income and expense categories, each with a
// monthly budget and an icon, in "CategoriesList.lst". Transactions refer to
// a category by id; the user sees and types "Parent:Child".
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/common_list.h"
#include "model/money.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

inline constexpr std::size_t kCategoryRecordSize = 60;
// The name field, NUL included: at most 32 characters are kept.
inline constexpr std::size_t kCategoryNameFieldSize = 33;

// "Auto": a built-in category that files made by this program normally hold.
inline constexpr RecordId AutoCategoryId = RecordId::Fixed(0x006C);

struct DefaultCategory {
    std::uint16_t code;        // bytes 6-7 of the fixed id
    int stringId;              // the name
    std::uint16_t parentCode;  // 0: top level
    std::uint16_t icon;
};

// In the order CreateDefaults adds them; every parent stands before its
// children.
inline constexpr std::array<DefaultCategory, 30> kDefaultCategories = {{
    {0x006B, 806, 0, 27},      {0x006C, 807, 0, 14},      {0x006D, 808, 0x006C, 14},
    {0x006E, 809, 0x006C, 14}, {0x006F, 810, 0x006C, 14}, {0x0072, 813, 0, 29},
    {0x0073, 814, 0, 54},      {0x0074, 815, 0, 41},      {0x0075, 816, 0, 63},
    {0x0076, 817, 0, 53},      {0x0077, 818, 0, 44},      {0x0078, 819, 0, 13},
    {0x0079, 809, 0, 34},      {0x007C, 822, 0, 9},       {0x007F, 825, 0, 46},
    {0x0081, 827, 0, 60},      {0x0082, 828, 0, 31},      {0x0083, 829, 0, 45},
    {0x008B, 837, 0, 21},      {0x0094, 845, 0x008B, 57}, {0x0095, 846, 0x008B, 16},
    {0x0096, 847, 0x008B, 54}, {0x008C, 838, 0, 38},      {0x008D, 839, 0x008C, 43},
    {0x008E, 840, 0x008C, 59}, {0x008F, 841, 0x008C, 30}, {0x0090, 842, 0x008C, 58},
    {0x008A, 836, 0x008C, 15}, {0x0091, 843, 0, 48},      {0x0092, 844, 0x008B, 13},
}};

class CCategoryList;

class CCategoryItem : public CCommonListItem {
  public:
    using Record = std::array<std::uint8_t, kCategoryRecordSize>;

    // Record all zero, attribute 0.
    CCategoryItem() = default;
    explicit CCategoryItem(ForLoad tag) : CCommonListItem(tag) {}
    // A top-level category: the name, a new id, attribute modified.
    explicit CCategoryItem(std::string_view name);
    // A subcategory of parentId: the name, a new id, attribute modified.
    CCategoryItem(std::string_view name, const RecordId& parentId);

    std::string_view GetClassName() const override { return "CCategoryItem"; }
    // Base part, the 60 bytes raw, an int32 0. Reading converts an old
    // id-first record when the archive says the file holds them.
    void Serialize(CArchive& ar) override;

    RecordId GetId() const override { return RecordId::FromBytes(&record_[kIdOffset]); }
    // Sets modified. Meant for a category not yet in a list: the list's id
    // index would not see the change.
    void SetId(const RecordId& id) override;
    std::string GetName() const override;
    // The stored name without a copy; valid while the item lives unchanged.
    std::string_view NameView() const;
    // Keeps at most 32 characters (up to an embedded NUL); sets modified.
    void SetName(std::string_view name) override;

    // None for a top-level category.
    RecordId GetParentId() const { return RecordId::FromBytes(&record_[kParentOffset]); }
    void SetParentId(const RecordId& id);  // sets modified
    bool IsTopLevel() const { return GetParentId().IsNull(); }
    // Carried unchanged; 0 in every record made here.
    std::uint8_t GetFlag() const { return record_[kFlagOffset]; }
    Cents GetBudget() const;
    void SetBudget(Cents amount);  // sets modified
    // 0-63 a built-in icon, 256 + n icon n of the icon database.
    std::uint16_t GetIcon() const;
    void SetIcon(std::uint16_t icon);  // sets modified

    // The own name at top level, "Parent:Child" below it; empty when the
    // parent is not a live category of list.
    std::string GetFullName(const CCategoryList& list) const;

    const Record& GetRecord() const { return record_; }

    // The text that SetName would store: cut at an embedded NUL and to 32
    // characters. Look-ups by typed or imported text compare this.
    static std::string StoredName(std::string_view text);

  private:
    friend class CCategoryList;

    static constexpr std::size_t kIdOffset = 33;
    static constexpr std::size_t kParentOffset = 41;
    static constexpr std::size_t kFlagOffset = 49;
    static constexpr std::size_t kBudgetOffset = 50;
    static constexpr std::size_t kIconOffset = 58;

    Record record_{};
};

// The rule for category texts that the user types ("Parent:Child"): empty is
// accepted; not "-SPLIT-" in any case, no trailing ':', no '/', and at most
// 32 characters before and after the first ':'.
bool IsValidCategoryName(std::string_view text);

// The list keeps its live items in tree order: top-level categories by name,
// each followed at once by its subcategories by name; an equal name goes
// before the existing one. Ids are found through an index rebuilt by every
// change the list makes, so per-transaction look-ups do not walk the list.
class CCategoryList : public CCommonList {
  public:
    std::string_view GetClassName() const override { return "CCategoryList"; }
    // The items, then the trailer: WORD 1, the list budget, its changed
    // byte, two int32 0. A file may end right after the items; its list
    // budget is then 0 and the byte 0.
    void Serialize(CArchive& ar) override;

    // The 30 built-in categories, attribute 0, in tree order. Not saved
    // (LoadOrCreate saves once).
    void CreateDefaults() override;

    // Loads the file and decides from its own records, deleted ones
    // included, whether they stand in the old id-first layout
    // (JudgeCategoryRecords), converting them if so; records that tell
    // nothing count as old, since the built-in Auto is missing, and that
    // guess is reported. *idFirst gets the decision. The list's old-format
    // setting is not used. Results as Load.
    int LoadDetectingLayout(const std::string& path, bool* idFirst = nullptr);
    int LoadDataDetectingLayout(std::span<const std::uint8_t> data, bool* idFirst = nullptr);

    // Puts a live item at its tree-order place (a subcategory whose parent
    // is missing, and a deleted item, go behind the live items), then saves.
    int AddInTreeOrder(std::unique_ptr<CCategoryItem> item, bool atTail = false);
    // The name-order members of the base keep tree order here. AddSorted
    // refuses an item that is no category (-1, nothing saved).
    int AddSorted(std::unique_ptr<CCommonListItem> item) override;
    int MoveItem(std::size_t index, CCommonListItem* item, int* saveResult = nullptr) override;
    int MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                 int* saveResult = nullptr) override;
    // Rebuilds the tree order (top-level items, then subcategories, each
    // inserted as AddInTreeOrder does; deleted items after them), saves.
    int Resort() override;

    // The base's changes, each followed by a rebuild of the index. A
    // re-filed or moved top-level item takes its subcategories along.
    int DeleteItem(CPalmListItem* item) override;
    int ReplaceItem(CPalmListItem* item) override;
    [[nodiscard]] Removed RemoveItem(const CPalmListItem* item) override;
    CPalmListItem* AddItem(std::unique_ptr<CPalmListItem> item, bool atTail = false);
    int AddAndSave(std::unique_ptr<CPalmListItem> item);
    void DeleteAll();

    // First live category with this id; nullptr for none or an unknown id.
    CCategoryItem* FindById(const RecordId& id) const;
    // As the base's, through the index for live items.
    CPalmListItem* FindById(const RecordId& id, bool all) const;
    // Its position, kNoPosition when there is none.
    Position FindPositionById(const RecordId& id) const;
    // Its index among the live items, -1 when there is none.
    int IndexOfId(const RecordId& id) const;
    // -1 when a stands first in the list (or b is absent), 1 when b does (or
    // a is absent), 0 when neither is a live category.
    int CompareIdOrder(const RecordId& a, const RecordId& b) const;
    // First live top-level category named like text (any case, text cut as
    // SetName would store it); kNoPosition when none.
    Position FindTopLevelByName(std::string_view text) const;
    // Without a parent: a live top-level category of that name exists. With
    // one: a subcategory of the top-level category of the parent's name has
    // that name. Any case.
    bool NameExists(const CCategoryItem* parent, std::string_view text) const;
    // Whether a live category has this parent; false for none.
    bool HasChildren(const RecordId& id) const;
    // Deletes an item of the list that has no subcategories (marked deleted,
    // moved to the tail, saved); true when it did and the save succeeded.
    bool DeleteLeaf(CCategoryItem* item);
    // Sets the modified bit of the live category with that id.
    CCategoryItem* FindAndMarkModified(const RecordId& id);

    // GetFullName of the category; empty when there is none.
    std::string GetFullNameById(const RecordId& id) const;
    // The own name, after four blanks for a subcategory; empty when none.
    std::string GetIndentedNameById(const RecordId& id) const;

    // The id of a "Parent:Child" text. The first ':' splits; both parts are
    // trimmed of blanks and cut as SetName would store them (a blank that
    // the cut leaves at the end goes too). No ':' or an
    // empty child: the top-level category itself. An empty parent: none,
    // nothing made. A missing category is made only with create (the parent
    // too when it is missing), the list saved once and *saveResult given the
    // result; otherwise none.
    RecordId FindOrCreateByPath(std::string_view text, bool create, int* saveResult = nullptr);

    // The category's budget; for the split marker the list budget; else 0.
    Cents GetBudgetAmount(const RecordId& id) const;
    // Sets the category's budget (and modified); for the split marker sets
    // the list budget and the changed byte, only when the amount differs.
    // Saves in every case.
    int SetBudgetAmount(const RecordId& id, Cents amount);
    Cents GetListBudget() const { return listBudget_; }
    std::uint8_t GetListBudgetChanged() const { return listBudgetChanged_; }

  protected:
    bool AcceptsItem(const CObject& obj) const override;
    // Tree order, as AddInTreeOrder.
    std::size_t LiveInsertIndex(const CPalmListItem& item) const override;

  private:
    // Leaves the list as it was and reports the code when the records
    // cannot be examined.
    int FinishDetecting(int loadResult, bool* idFirst);
    // Inserts without saving; returns the item.
    CCategoryItem* InsertInTreeOrder(std::unique_ptr<CCategoryItem> item);
    // Takes the live subcategories of parentId out and puts them back at
    // their tree-order places.
    void RefileChildren(const RecordId& parentId);
    // The position of the first live item with this id, or kNoPosition.
    std::size_t LivePosition(const RecordId& id) const;
    CCategoryItem* CategoryAt(std::size_t index) const;
    void Reindex();
    bool IndexCurrent() const { return items_.size() == indexedCount_; }
    static std::uint64_t Key(const RecordId& id);

    Cents listBudget_ = 0;
    std::uint8_t listBudgetChanged_ = 0;
    // id -> position of the first live item with it. Believed only while the
    // item count is what it was when built, and each hit is checked against
    // the item it names; otherwise the list is walked.
    std::unordered_map<std::uint64_t, std::size_t> byId_;
    std::size_t indexedCount_ = 0;
};

}  // namespace tallowmere
