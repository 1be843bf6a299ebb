#pragma once
// Classes: a second, flat way to tag transactions and split
// lines besides categories, each with a budget. The list keeps name order and
// lives in "ClassList.lst".
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/id_indexed_list.h"
#include "model/money.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

inline constexpr std::size_t kClassRecordSize = 50;
// The name field, NUL included: at most 32 characters are kept.
inline constexpr std::size_t kClassNameFieldSize = 33;

inline constexpr RecordId BusinessClassId = RecordId::Fixed(0x0065);
inline constexpr RecordId PersonalClassId = RecordId::Fixed(0x0066);

struct DefaultClass {
    int stringId;
    RecordId id;
};
// In the order CreateDefaults adds them.
inline constexpr std::array<DefaultClass, 2> kDefaultClasses = {{
    {320, BusinessClassId},
    {321, PersonalClassId},
}};

class CClassItem : public CCommonListItem {
  public:
    using Record = std::array<std::uint8_t, kClassRecordSize>;

    // Record all zero (used when loading).
    CClassItem() = default;
    explicit CClassItem(ForLoad tag) : CCommonListItem(tag) {}
    // The name, a new id, attribute modified.
    explicit CClassItem(std::string_view name);
    // A class with a given id (a built-in one); attribute 0.
    CClassItem(std::string_view name, const RecordId& id);

    std::string_view GetClassName() const override { return "CClassItem"; }
    // Base part, the 50 bytes raw, an int32 0. Reading converts an old
    // id-first record when the archive says the file holds them.
    void Serialize(CArchive& ar) override;

    RecordId GetId() const override { return RecordId::FromBytes(&record_[kIdOffset]); }
    // Sets modified. Meant for a class not yet in a list (the list's index
    // would not see the change).
    void SetId(const RecordId& id) override;
    std::string GetName() const override;
    // Keeps at most 32 characters (up to an embedded NUL); sets modified.
    void SetName(std::string_view name) override;

    // Carried unchanged; 0 in every record made here.
    std::uint8_t GetFlag() const { return record_[kFlagOffset]; }
    Cents GetBudget() const;
    // Sets modified.
    void SetBudget(Cents amount);

    const Record& GetRecord() const { return record_; }

    // The text that SetName would store: cut at an embedded NUL and to 32
    // characters. Look-ups by typed or imported text compare this.
    static std::string StoredName(std::string_view text);

  private:
    static constexpr std::size_t kIdOffset = 33;
    static constexpr std::size_t kFlagOffset = 41;
    static constexpr std::size_t kBudgetOffset = 42;

    Record record_{};
};

// Empty text is accepted (no class); otherwise at most 32 characters and
// neither '/' nor ':' (the separators of the category field's text).
bool IsValidClassName(std::string_view name);

class CClassList : public CIdIndexedList {
  public:
    // The two built-in classes, attribute 0, not sorted and not saved
    // (LoadOrCreate saves).
    void CreateDefaults() override;

    // The first live class whose name equals the text without regard to
    // case, the text cut as SetName would store it (a longer imported name
    // finds the class that holds its first 32 characters).
    CClassItem* FindByName(std::string_view text) const;
    bool FindIdByName(std::string_view text, RecordId& id) const;
    // Empty text: none. A found name: its id. Otherwise, with create, a new
    // class of that name in name order, the list saved (*saveResult gets the
    // result) and the new id; else none.
    RecordId FindOrCreateByName(std::string_view text, bool create, int* saveResult = nullptr);

    // The first live class with this id; nullptr when none.
    CClassItem* FindClass(const RecordId& id) const;
    // Its name; empty when there is none.
    std::string GetNameById(const RecordId& id) const;
    // Its budget; 0 when there is none.
    Cents GetAmountById(const RecordId& id) const;
    // Sets the budget (and modified) of the class when there is one; saves
    // in any case and returns the save result.
    int SetAmountById(const RecordId& id, Cents amount);

  protected:
    bool AcceptsItem(const CObject& obj) const override;
};

}  // namespace tallowmere
