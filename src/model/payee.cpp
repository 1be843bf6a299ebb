#include "model/payee.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/old_format.h"
#include "model/transaction.h"
#include "platform/text_1252.h"

namespace tallowmere {

namespace {

// Record offsets.
constexpr std::size_t kIdOffset = 33;
constexpr std::size_t kAmountOffset = 42;
constexpr std::size_t kTypeOffset = 50;
constexpr std::size_t kCategoryOffset = 58;
constexpr std::size_t kClassOffset = 66;
constexpr std::size_t kBudgetOffset = 74;
constexpr std::size_t kMemoOffset = 82;
constexpr std::size_t kSplitsOffset = 244;
constexpr std::size_t kSplitSize = 24;

// Bumped whenever an indexed record's key changes, so every index notices.
std::atomic<std::uint64_t> gKeyEpoch{1};

std::uint64_t IdKey(const RecordId& id) {
    std::uint64_t v = 0;
    for (auto b : id.bytes)
        v = (v << 8) | b;
    return v;
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(platform::FoldCase1252(static_cast<unsigned char>(c)));
    return out;
}

std::string_view CutToField(std::string_view text, std::size_t fieldSize) {
    return text.substr(0, std::min(text.find('\0'), fieldSize - 1));
}

std::string TextAt(const PayeeRecord& r, std::size_t offset, std::size_t fieldSize) {
    // A raw record read from a file need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(&r[offset]);
    return std::string(p, strnlen(p, fieldSize - 1));
}

void SetTextAt(PayeeRecord& r, std::size_t offset, std::size_t fieldSize, std::string_view text) {
    std::memset(&r[offset], 0, fieldSize);
    text = CutToField(text, fieldSize);
    if (!text.empty())
        std::memcpy(&r[offset], text.data(), text.size());
}

}  // namespace

// --- the index ---

void CNameIdIndexedList::NoteKeyChanged() {
    gKeyEpoch.fetch_add(1, std::memory_order_relaxed);
}

bool CNameIdIndexedList::IsCurrent() const {
    return !dirty_ && builtCount_ == items_.size() &&
           builtEpoch_ == gKeyEpoch.load(std::memory_order_relaxed);
}

void CNameIdIndexedList::Rebuild() const {
    byId_.clear();
    byName_.clear();
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        const auto* item = dynamic_cast<const CCommonListItem*>(items_[i].get());
        if (item == nullptr)
            continue;
        const RecordId id = item->GetId();
        if (!id.IsNull())
            byId_.emplace(IdKey(id), i);  // keeps the first
        byName_.emplace(Folded(item->GetName()), i);
    }
    builtCount_ = items_.size();
    builtEpoch_ = gKeyEpoch.load(std::memory_order_relaxed);
    dirty_ = false;
}

// Changes through the base's plain (non-virtual) calls can slip past the
// checks above, so a hit is confirmed against the item, and a stale one
// rebuilds the index and asks again.
CCommonListItem* CNameIdIndexedList::FindLiveById(const RecordId& id) const {
    if (id.IsNull())
        return nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!IsCurrent() || attempt > 0)
            Rebuild();
        auto it = byId_.find(IdKey(id));
        if (it == byId_.end())
            return nullptr;
        if (it->second < FirstDeletedIndex()) {
            auto* item = dynamic_cast<CCommonListItem*>(items_[it->second].get());
            if (item != nullptr && item->GetId() == id)
                return item;
        }
    }
    return nullptr;
}

CCommonListItem* CNameIdIndexedList::FindLiveByName(std::string_view key) const {
    const std::string folded = Folded(key);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!IsCurrent() || attempt > 0)
            Rebuild();
        auto it = byName_.find(folded);
        if (it == byName_.end())
            return nullptr;
        if (it->second < FirstDeletedIndex()) {
            auto* item = dynamic_cast<CCommonListItem*>(items_[it->second].get());
            if (item != nullptr && platform::CompareNoCase1252(item->GetName(), key) == 0)
                return item;
        }
    }
    return nullptr;
}

void CNameIdIndexedList::Serialize(CArchive& ar) {
    if (ar.IsLoading())
        dirty_ = true;
    CCommonList::Serialize(ar);
}

int CNameIdIndexedList::DeleteItem(CPalmListItem* item) {
    dirty_ = true;
    return CCommonList::DeleteItem(item);
}

int CNameIdIndexedList::ReplaceItem(CPalmListItem* item) {
    dirty_ = true;
    return CCommonList::ReplaceItem(item);
}

CPalmFileList::Removed CNameIdIndexedList::RemoveItem(const CPalmListItem* item) {
    dirty_ = true;
    return CCommonList::RemoveItem(item);
}

int CNameIdIndexedList::AddSorted(std::unique_ptr<CCommonListItem> item) {
    dirty_ = true;
    return CCommonList::AddSorted(std::move(item));
}

int CNameIdIndexedList::MoveItem(std::size_t index, CCommonListItem* item, int* saveResult) {
    dirty_ = true;
    return CCommonList::MoveItem(index, item, saveResult);
}

int CNameIdIndexedList::MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                                 int* saveResult) {
    dirty_ = true;
    return CCommonList::MoveItem(index, std::move(item), saveResult);
}

int CNameIdIndexedList::Resort() {
    dirty_ = true;
    return CCommonList::Resort();
}

// --- CPayeeItem ---

CPayeeItem::CPayeeItem(ForLoad tag) : CCommonListItem(tag) {}

CPayeeItem::CPayeeItem() : CCommonListItem(ForLoad{}) {
    // A payee without an id would share the none id with every other such
    // payee, in memory and on the handheld.
    NewRecordId().ToBytes(&record_[kIdOffset]);
}

CPayeeItem::CPayeeItem(std::string_view name) : CPayeeItem() {
    SetName(name);
}

std::string_view CPayeeItem::StoredName(std::string_view name) {
    return CutToField(name, kPayeeNameSize);
}

void CPayeeItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    SerializeNamedRecord(ar, record_, 4);
    if (ar.IsStoring())
        return;
    idAssignedOnLoad_ = false;
    if (GetId().IsNull()) {
        RecordId id;
        // Older files numbered payees instead; the number keeps the id stable.
        const auto n = static_cast<std::uint32_t>(recordNumber_);
        if ((n & 0xFFFFFF) != 0) {
            id.bytes[5] = static_cast<std::uint8_t>(n >> 16);
            id.bytes[6] = static_cast<std::uint8_t>(n >> 8);
            id.bytes[7] = static_cast<std::uint8_t>(n);
        } else {
            NewRecordId(id);
        }
        id.ToBytes(&record_[kIdOffset]);
        attribute_ |= kModified;
        idAssignedOnLoad_ = true;
    }
}

RecordId CPayeeItem::GetId() const {
    return RecordId::FromBytes(&record_[kIdOffset]);
}

void CPayeeItem::SetIdAt(std::size_t offset, const RecordId& id) {
    id.ToBytes(&record_[offset]);
    attribute_ |= kModified;
}

void CPayeeItem::SetId(const RecordId& id) {
    if (id != GetId())
        CNameIdIndexedList::NoteKeyChanged();
    SetIdAt(kIdOffset, id);
}

std::string CPayeeItem::GetName() const {
    return TextAt(record_, 0, kPayeeNameSize);
}

void CPayeeItem::SetName(std::string_view name) {
    if (StoredName(name) != GetName())
        CNameIdIndexedList::NoteKeyChanged();
    SetTextAt(record_, 0, kPayeeNameSize, name);
    attribute_ |= kModified;
}

Cents CPayeeItem::GetAmount() const {
    return static_cast<Cents>(LoadLE64(&record_[kAmountOffset]));
}

RecordId CPayeeItem::GetTypeId() const {
    return RecordId::FromBytes(&record_[kTypeOffset]);
}

RecordId CPayeeItem::GetCategoryId() const {
    return RecordId::FromBytes(&record_[kCategoryOffset]);
}

RecordId CPayeeItem::GetClassId() const {
    return RecordId::FromBytes(&record_[kClassOffset]);
}

std::string CPayeeItem::GetMemo() const {
    return TextAt(record_, kMemoOffset, kPayeeMemoSize);
}

void CPayeeItem::SetMemo(std::string_view memo) {
    SetTextAt(record_, kMemoOffset, kPayeeMemoSize, memo);
    attribute_ |= kModified;
}

void CPayeeItem::SetCentsAt(std::size_t offset, Cents amount) {
    StoreLE64(&record_[offset], static_cast<std::uint64_t>(amount));
    attribute_ |= kModified;
}

Cents CPayeeItem::GetBudgetAmount() const {
    return static_cast<Cents>(LoadLE64(&record_[kBudgetOffset]));
}

void CPayeeItem::SetBudgetAmount(Cents amount) {
    SetCentsAt(kBudgetOffset, amount);
}

void CPayeeItem::MemorizeTransaction(const CTransaction& t) {
    SetName(t.GetPayeeName());
    SetCentsAt(kAmountOffset, t.GetAmount());
    SetIdAt(kTypeOffset, t.GetTypeId());
    SetIdAt(kCategoryOffset, t.GetCategoryId());
    SetIdAt(kClassOffset, t.GetClassId());
    SetMemo(t.GetMemo());
    SetMemorizedSplits(t);
}

void CPayeeItem::SetMemorizedSplits(const CTransaction& t) {
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        const std::size_t at = kSplitsOffset + kSplitSize * line;
        t.GetSplitCategoryId(line).ToBytes(&record_[at]);
        t.GetSplitClassId(line).ToBytes(&record_[at + 8]);
        StoreLE64(&record_[at + 16], static_cast<std::uint64_t>(t.GetSplitAmount(line)));
    }
    attribute_ |= kModified;
}

void CPayeeItem::GetMemorizedSplits(CTransaction& t) const {
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        const std::size_t at = kSplitsOffset + kSplitSize * line;
        t.ClearSplitLine(line);
        t.SetSplitCategoryId(line, RecordId::FromBytes(&record_[at]));
        t.SetSplitClassId(line, RecordId::FromBytes(&record_[at + 8]));
        t.SetSplitAmount(line, static_cast<Cents>(LoadLE64(&record_[at + 16])));
    }
}

// --- CPayeesList ---

bool CPayeesList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CPayeeItem*>(&obj) != nullptr;
}

CPayeeItem* CPayeesList::FindByName(std::string_view name) const {
    return dynamic_cast<CPayeeItem*>(FindLiveByName(CPayeeItem::StoredName(name)));
}

CPayeeItem* CPayeesList::FindById(const RecordId& id, bool all) const {
    if (all)
        return dynamic_cast<CPayeeItem*>(CPalmFileList::FindById(id, true));
    return dynamic_cast<CPayeeItem*>(FindLiveById(id));
}

bool CPayeesList::NormalizeName(std::string& name) const {
    const CPayeeItem* item = FindByName(name);
    if (item == nullptr)
        return false;
    name = item->GetName();
    return true;
}

Cents CPayeesList::GetBudgetAmount(std::string_view name) const {
    const CPayeeItem* item = FindByName(name);
    return item ? item->GetBudgetAmount() : 0;
}

int CPayeesList::SetBudgetAmount(std::string_view name, Cents amount) {
    const std::string_view key = CPayeeItem::StoredName(name);
    // Report rows of transactions without a payee have an empty name.
    if (key.empty())
        return -1;
    if (CPayeeItem* item = FindByName(key)) {
        item->SetBudgetAmount(amount);
        return Save();
    }
    auto item = std::make_unique<CPayeeItem>(key);
    item->SetBudgetAmount(amount);
    return AddSorted(std::move(item));
}

int CPayeesList::MemorizeTransaction(const CTransaction& t) {
    const std::string name = t.GetPayeeName();
    if (name.empty())
        return 0;
    CPayeeItem* item = FindByName(name);
    if (item == nullptr) {
        auto created = std::make_unique<CPayeeItem>();
        created->MemorizeTransaction(t);
        return AddSorted(std::move(created));
    }
    const std::string before = item->GetName();
    item->MemorizeTransaction(t);
    if (item->GetName() == before)
        return Save();
    // A new spelling may belong elsewhere in name order.
    int saved = 0;
    MoveItem(static_cast<std::size_t>(IndexOf(item)), item, &saved);
    return saved;
}

}  // namespace tallowmere
