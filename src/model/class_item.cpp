#include "model/class_item.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/old_format.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere {

std::string CClassItem::StoredName(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kClassNameFieldSize - 1));
    return std::string(text);
}

CClassItem::CClassItem(std::string_view name) {
    RecordId id;
    NewRecordId(id);
    id.ToBytes(&record_[kIdOffset]);
    SetName(name);
    attribute_ = kModified;
}

CClassItem::CClassItem(std::string_view name, const RecordId& id) {
    id.ToBytes(&record_[kIdOffset]);
    SetName(name);
    attribute_ = 0;
}

void CClassItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    SerializeNamedRecord(ar, record_, 4);
}

void CClassItem::SetId(const RecordId& id) {
    id.ToBytes(&record_[kIdOffset]);
    attribute_ |= kModified;
}

std::string CClassItem::GetName() const {
    // Bounded by the field: a record read from a file need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(record_.data());
    return std::string(p, strnlen(p, kClassNameFieldSize - 1));
}

void CClassItem::SetName(std::string_view name) {
    // The whole field is cleared so no tail of a longer name survives.
    const std::string stored = StoredName(name);
    std::memset(record_.data(), 0, kClassNameFieldSize);
    std::memcpy(record_.data(), stored.data(), stored.size());
    attribute_ |= kModified;
}

Cents CClassItem::GetBudget() const {
    return static_cast<Cents>(LoadLE64(&record_[kBudgetOffset]));
}

void CClassItem::SetBudget(Cents amount) {
    StoreLE64(&record_[kBudgetOffset], static_cast<std::uint64_t>(amount));
    attribute_ |= kModified;
}

bool IsValidClassName(std::string_view name) {
    return name.size() < kClassNameFieldSize && name.find_first_of("/:") == std::string_view::npos;
}

// --- the list ---

bool CClassList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CClassItem*>(&obj) != nullptr;
}

void CClassList::CreateDefaults() {
    for (const auto& def : kDefaultClasses) {
        // The string table is UTF-8 text; records hold Windows-1252.
        const std::string name = platform::Utf8ToCp1252(LoadString(def.stringId));
        AddItem(std::make_unique<CClassItem>(name, def.id));
    }
}

CClassItem* CClassList::FindByName(std::string_view text) const {
    const std::string key = CClassItem::StoredName(text);
    const std::size_t live = GetCount(false);
    for (std::size_t i = 0; i < live; ++i) {
        auto* item = dynamic_cast<CClassItem*>(items_[i].get());
        if (item && platform::CompareNoCase1252(item->GetName(), key) == 0)
            return item;
    }
    return nullptr;
}

bool CClassList::FindIdByName(std::string_view text, RecordId& id) const {
    const CClassItem* item = FindByName(text);
    if (item == nullptr)
        return false;
    id = item->GetId();
    return true;
}

RecordId CClassList::FindOrCreateByName(std::string_view text, bool create, int* saveResult) {
    if (saveResult)
        *saveResult = 0;
    const std::string key = CClassItem::StoredName(text);
    if (key.empty())
        return kNoneId;
    if (const CClassItem* found = FindByName(key))
        return found->GetId();
    if (!create)
        return kNoneId;
    auto item = std::make_unique<CClassItem>(key);
    const RecordId id = item->GetId();
    const int saved = AddSorted(std::move(item));
    if (saveResult)
        *saveResult = saved;
    return id;
}

CClassItem* CClassList::FindClass(const RecordId& id) const {
    // The list holds only classes (AcceptsItem), but a base reference could
    // have added anything.
    return dynamic_cast<CClassItem*>(FindLiveById(id));
}

std::string CClassList::GetNameById(const RecordId& id) const {
    const CClassItem* item = FindClass(id);
    return item ? item->GetName() : std::string();
}

Cents CClassList::GetAmountById(const RecordId& id) const {
    const CClassItem* item = FindClass(id);
    return item ? item->GetBudget() : 0;
}

int CClassList::SetAmountById(const RecordId& id, Cents amount) {
    if (CClassItem* item = FindClass(id))
        item->SetBudget(amount);
    return Save();
}

}  // namespace tallowmere
