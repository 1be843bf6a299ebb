#include "model/transaction_type.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/archive.h"
#include "model/old_format.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

constexpr int kStringDepShort = 257;  // "Dep"
constexpr int kStringWdShort = 258;   // "W/D"

}  // namespace

std::string CTransactionType::StoredName(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kTypeNameFieldSize - 1));
    return std::string(text);
}

CTransactionType::CTransactionType(std::string_view name, bool debit, bool numbered) {
    RecordId id;
    NewRecordId(id);
    id.bytes[6] = static_cast<std::uint8_t>(id.bytes[6] & ~(kTypeIdOutflow | kTypeIdNumbered));
    if (debit)
        id.bytes[6] |= kTypeIdOutflow;
    if (numbered)
        id.bytes[6] |= kTypeIdNumbered;
    id.ToBytes(&record_[kIdOffset]);
    SetName(name);
    attribute_ = kModified;
}

CTransactionType::CTransactionType(std::string_view name, const RecordId& id) {
    id.ToBytes(&record_[kIdOffset]);
    SetName(name);
    attribute_ = 0;
}

void CTransactionType::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    // A flag byte and an int32, both unused.
    SerializeNamedRecord(ar, record_, 1 + 4);
}

void CTransactionType::SetFlag(std::uint8_t bit, bool on) {
    std::uint8_t& flags = record_[kIdOffset + 6];
    flags = static_cast<std::uint8_t>(on ? (flags | bit) : (flags & ~bit));
    attribute_ |= kModified;
}

void CTransactionType::SetId(const RecordId& id) {
    id.ToBytes(&record_[kIdOffset]);
    attribute_ |= kModified;
}

std::string CTransactionType::GetName() const {
    // Bounded by the field: a record read from a file need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(record_.data());
    return std::string(p, strnlen(p, kTypeNameFieldSize - 1));
}

void CTransactionType::SetName(std::string_view name) {
    // The whole field is cleared so no tail of a longer name survives.
    const std::string stored = StoredName(name);
    std::memset(record_.data(), 0, kTypeNameFieldSize);
    std::memcpy(record_.data(), stored.data(), stored.size());
    attribute_ |= kModified;
}

bool CTransactionType::IsBuiltIn() const {
    const RecordId id = GetId();
    for (std::size_t i = 0; i < 6; ++i) {
        if (id.bytes[i] != 0)
            return false;
    }
    return !id.IsNull();
}

std::string CTransactionType::GetShortName() const {
    const RecordId id = GetId();
    if (id == DepositTypeId)
        return platform::Utf8ToCp1252(LoadString(kStringDepShort));
    if (id == WithdrawalTypeId)
        return platform::Utf8ToCp1252(LoadString(kStringWdShort));
    return GetName();
}

// --- the list ---

bool CTransactionTypesList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CTransactionType*>(&obj) != nullptr;
}

std::size_t CTransactionTypesList::LiveInsertIndex(const CPalmListItem& /*item*/) const {
    return FirstDeletedIndex();
}

void CTransactionTypesList::CreateDefaults() {
    for (const auto& def : kDefaultTransactionTypes) {
        // The string table is UTF-8 text; records hold Windows-1252.
        const std::string name = platform::Utf8ToCp1252(LoadString(def.stringId));
        AddItem(std::make_unique<CTransactionType>(name, def.id));
    }
}

int CTransactionTypesList::AddSorted(std::unique_ptr<CCommonListItem> item) {
    if (!item || !AcceptsItem(*item))
        return -1;
    return AddAndSave(std::move(item));
}

int CTransactionTypesList::MoveItem(std::size_t index, CCommonListItem* item, int* saveResult) {
    if (item == nullptr || index >= items_.size() || items_[index].get() != item)
        return -1;
    Reindex();  // the name may have changed; the id should not have
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return static_cast<int>(index);
}

int CTransactionTypesList::MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                                    int* saveResult) {
    if (!item || index >= items_.size() || !AcceptsItem(*item))
        return -1;
    const int already = IndexOf(item.get());
    if (already >= 0) {
        // The list owns it already: never own it twice.
        CCommonListItem* raw = item.release();
        return static_cast<std::size_t>(already) == index ? MoveItem(index, raw, saveResult) : -1;
    }
    TakeAt(index);  // the replaced item is destroyed here
    std::size_t at = items_.size();
    if (!item->IsDeleted())
        at = std::min(index, FirstDeletedIndex());
    InsertAt(at, std::move(item));
    Reindex();
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return static_cast<int>(at);
}

CTransactionType* CTransactionTypesList::FindType(const RecordId& id) const {
    // The list holds only types (AcceptsItem), but a base reference could
    // have added anything.
    return dynamic_cast<CTransactionType*>(FindLiveById(id));
}

std::string CTransactionTypesList::GetNameById(const RecordId& id) const {
    const CTransactionType* type = FindType(id);
    return type ? type->GetShortName() : std::string();
}

}  // namespace tallowmere
