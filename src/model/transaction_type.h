#pragma once
// Transaction types: how money moved ("Check #", "Deposit" ...).
// The type's id carries two flags in its byte 6, so a transaction knows its
// direction and whether it is numbered from the type id it stores, without a
// look-up. The list keeps insertion order and lives in "TransTypes.lst".
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/id_indexed_list.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {

inline constexpr std::size_t kTransactionTypeRecordSize = 41;
// The name field, NUL included: at most 32 characters are kept.
inline constexpr std::size_t kTypeNameFieldSize = 33;

// Flag bits of byte 6 of a type id.
inline constexpr std::uint8_t kTypeIdOutflow = 0x80;
inline constexpr std::uint8_t kTypeIdNumbered = 0x40;

inline constexpr bool IsOutflowTypeId(const RecordId& id) {
    return (id.bytes[6] & kTypeIdOutflow) != 0;
}
inline constexpr bool IsNumberedTypeId(const RecordId& id) {
    return (id.bytes[6] & kTypeIdNumbered) != 0;
}

// The default types' fixed ids: bytes 0-5 zero, byte 6 the flags, byte 7 the
// code. The rest of the program names the types by these ids.
inline constexpr RecordId CheckTypeId = RecordId::Fixed(0xC001);       // outflow, numbered
inline constexpr RecordId WithdrawalTypeId = RecordId::Fixed(0x8002);  // outflow
inline constexpr RecordId DepositTypeId = RecordId::Fixed(0x0003);
inline constexpr RecordId ChargeTypeId = RecordId::Fixed(0x8004);  // outflow
inline constexpr RecordId PaymentTypeId = RecordId::Fixed(0x0005);
inline constexpr RecordId AtmTypeId = RecordId::Fixed(0x8006);  // outflow
inline constexpr RecordId EftTypeId = RecordId::Fixed(0x8007);  // outflow

struct DefaultTransactionType {
    int stringId;
    RecordId id;
};
// In the order CreateDefaults adds them.
inline constexpr std::array<DefaultTransactionType, 7> kDefaultTransactionTypes = {{
    {250, CheckTypeId},
    {251, WithdrawalTypeId},
    {252, DepositTypeId},
    {253, ChargeTypeId},
    {254, PaymentTypeId},
    {255, AtmTypeId},
    {256, EftTypeId},
}};

class CTransactionType : public CCommonListItem {
  public:
    using Record = std::array<std::uint8_t, kTransactionTypeRecordSize>;

    // Record all zero.
    CTransactionType() = default;
    explicit CTransactionType(ForLoad tag) : CCommonListItem(tag) {}
    // A type made by the user: a new id whose byte 6 bits 7 and 6 are set
    // from debit and numbered (the id's other bits as generated), the name,
    // attribute modified. The flags are part of the id that transactions
    // store, so they are fixed here and have no setters: changing them would
    // orphan every transaction of the type.
    CTransactionType(std::string_view name, bool debit, bool numbered = false);
    // A type with a given id (a built-in one, or one read from the handheld);
    // attribute 0.
    CTransactionType(std::string_view name, const RecordId& id);

    std::string_view GetClassName() const override { return "CTransactionType"; }
    // Base part, the 41 bytes raw, a byte 0 and an int32 0. Reading converts
    // an old id-first record when the archive says the file holds them.
    void Serialize(CArchive& ar) override;

    RecordId GetId() const override { return RecordId::FromBytes(&record_[kIdOffset]); }
    // Sets modified. Meant for a type not yet in a list (the list's index
    // would not see the change).
    void SetId(const RecordId& id) override;
    std::string GetName() const override;
    // Keeps at most 32 characters (up to an embedded NUL); sets modified.
    void SetName(std::string_view name) override;

    bool IsDebit() const { return IsOutflowTypeId(GetId()); }
    bool IsNumbered() const { return IsNumberedTypeId(GetId()); }
    // Set or clear the flag in byte 6 of the id; sets modified. The flags are
    // part of the id, so this is meant for a type that no transaction uses
    // yet (and, as SetId, before it is in a list).
    void SetDebit(bool debit) { SetFlag(0x80, debit); }
    void SetNumbered(bool numbered) { SetFlag(0x40, numbered); }
    // A type the system made: a fixed id, bytes 0-5 zero (not IsLowZero:
    // byte 6 holds the flags). The list editor refuses to edit or delete
    // these wherever they stand.
    bool IsBuiltIn() const;
    // "Dep" for the default Deposit id, "W/D" for the default Withdrawal id,
    // whatever their names now are; the name otherwise.
    std::string GetShortName() const;

    const Record& GetRecord() const { return record_; }

    // The text that SetName would store: cut at an embedded NUL and to 32
    // characters. Look-ups by typed text compare this.
    static std::string StoredName(std::string_view text);

  private:
    static constexpr std::size_t kIdOffset = 33;
    void SetFlag(std::uint8_t bit, bool on);

    Record record_{};
};

class CTransactionTypesList : public CIdIndexedList {
  public:
    // The seven built-in types, attribute 0, not saved (LoadOrCreate saves).
    void CreateDefaults() override;

    // Insertion order: appends before the deleted items, then saves. Refuses
    // (-1, nothing saved) an item that is not a CTransactionType.
    int AddSorted(std::unique_ptr<CCommonListItem> item) override;
    // After an edit the type keeps its place: index must hold item (else -1).
    // Saves; returns index.
    int MoveItem(std::size_t index, CCommonListItem* item, int* saveResult = nullptr) override;
    // Puts item in place of the item at index, which is destroyed, at the
    // same position (a deleted item goes to the end). Saves; returns the
    // position, or -1 when index is out of range or item is not a type (item
    // is then dropped).
    int MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                 int* saveResult = nullptr) override;
    // Insertion order is kept: nothing to do, nothing saved.
    int Resort() override { return 0; }

    // The first live type with this id; nullptr when none.
    CTransactionType* FindType(const RecordId& id) const;
    // GetShortName of the first live type with this id; empty when none.
    std::string GetNameById(const RecordId& id) const;

  protected:
    bool AcceptsItem(const CObject& obj) const override;
    // ReplaceItem puts a live item back behind the live ones.
    std::size_t LiveInsertIndex(const CPalmListItem& item) const override;
};

}  // namespace tallowmere
