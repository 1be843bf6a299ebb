#include "model/category.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/error_sink.h"
#include "model/old_format.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringSplit = 317;  // "-SPLIT-"
constexpr int kStringLayoutGuessed = 3151;
constexpr std::size_t kNameMax = kCategoryNameFieldSize - 1;
constexpr CPalmFileList::Position kNone = CPalmFileList::kNoPosition;

// One part of a path as a look-up key and as the name of a new category:
// what SetName would store of the trimmed text, without a blank that the cut
// may have brought to its end.
std::string PathKey(std::string_view part) {
    part = part.substr(0, part.find('\0'));
    const std::string stored = CCategoryItem::StoredName(platform::TrimAsciiSpace(part));
    return std::string(platform::TrimAsciiSpace(stored));
}

bool SameName(std::string_view a, std::string_view b) {
    return platform::CompareNoCase1252(a, b) == 0;
}

// The tree-order place of a live item among the live items at(0) ..
// at(liveEnd - 1); at(i) is nullptr for an item that is no category. Names
// are compared without copies so that the walk cannot fail.
template <class At>
std::size_t TreePlace(const At& at, std::size_t liveEnd, const CCategoryItem& item) {
    const std::string_view name = item.NameView();
    if (item.IsTopLevel()) {
        for (std::size_t i = 0; i < liveEnd; ++i) {
            const CCategoryItem* c = at(i);
            if (c != nullptr && c->IsTopLevel() && platform::CompareBytes(c->NameView(), name) >= 0)
                return i;
        }
        return liveEnd;
    }
    const RecordId parentId = item.GetParentId();
    std::size_t i = 0;
    while (i < liveEnd && (at(i) == nullptr || at(i)->GetId() != parentId))
        ++i;
    if (i == liveEnd)
        return liveEnd;  // no parent: behind the live items
    for (++i; i < liveEnd; ++i) {
        const CCategoryItem* c = at(i);
        if (c == nullptr)
            continue;
        if (c->IsTopLevel())
            return i;
        if (c->GetParentId() == parentId && platform::CompareBytes(c->NameView(), name) >= 0)
            return i;
    }
    return liveEnd;
}

}  // namespace

// --- CCategoryItem ---

CCategoryItem::CCategoryItem(std::string_view name) {
    NewRecordId().ToBytes(&record_[kIdOffset]);
    SetName(name);
    attribute_ = kModified;
}

CCategoryItem::CCategoryItem(std::string_view name, const RecordId& parentId)
    : CCategoryItem(name) {
    parentId.ToBytes(&record_[kParentOffset]);
}

void CCategoryItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    SerializeNamedRecord(ar, record_, 4);
}

void CCategoryItem::SetId(const RecordId& id) {
    id.ToBytes(&record_[kIdOffset]);
    attribute_ |= kModified;
}

std::string_view CCategoryItem::NameView() const {
    // Bounded by the field: a record read from a file need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(record_.data());
    return std::string_view(p, strnlen(p, kNameMax));
}

std::string CCategoryItem::GetName() const {
    return std::string(NameView());
}

std::string CCategoryItem::StoredName(std::string_view text) {
    return std::string(text.substr(0, std::min(text.find('\0'), kNameMax)));
}

void CCategoryItem::SetName(std::string_view name) {
    // The whole field is cleared so no tail of a longer name survives.
    name = name.substr(0, std::min(name.find('\0'), kNameMax));
    std::memset(record_.data(), 0, kCategoryNameFieldSize);
    if (!name.empty())
        std::memcpy(record_.data(), name.data(), name.size());
    attribute_ |= kModified;
}

void CCategoryItem::SetParentId(const RecordId& id) {
    id.ToBytes(&record_[kParentOffset]);
    attribute_ |= kModified;
}

Cents CCategoryItem::GetBudget() const {
    return static_cast<Cents>(LoadLE64(&record_[kBudgetOffset]));
}

void CCategoryItem::SetBudget(Cents amount) {
    StoreLE64(&record_[kBudgetOffset], static_cast<std::uint64_t>(amount));
    attribute_ |= kModified;
}

std::uint16_t CCategoryItem::GetIcon() const {
    return LoadLE16(&record_[kIconOffset]);
}

void CCategoryItem::SetIcon(std::uint16_t icon) {
    StoreLE16(&record_[kIconOffset], icon);
    attribute_ |= kModified;
}

std::string CCategoryItem::GetFullName(const CCategoryList& list) const {
    if (IsTopLevel())
        return GetName();
    const CCategoryItem* parent = list.FindById(GetParentId());
    if (parent == nullptr)
        return {};
    std::string full(parent->NameView());
    full += ':';
    full += NameView();
    return full;
}

bool IsValidCategoryName(std::string_view text) {
    if (text.empty())
        return true;
    if (SameName(text, LoadString1252(kStringSplit)))
        return false;
    if (text.back() == ':' || text.find('/') != std::string_view::npos)
        return false;
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return text.size() <= kNameMax;
    return colon <= kNameMax && text.size() - colon - 1 <= kNameMax;
}

// --- CCategoryList: storage ---

bool CCategoryList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CCategoryItem*>(&obj) != nullptr;
}

void CCategoryList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CPalmFileList::Serialize(ar);
        ar.WriteWord(1);
        ar.WriteInt64(listBudget_);
        ar.WriteByte(listBudgetChanged_);
        ar.WriteInt32(0);
        ar.WriteInt32(0);
        return;
    }
    // The list mirrors the file it was loaded from, trailer or not.
    listBudget_ = 0;
    listBudgetChanged_ = 0;
    CPalmFileList::Serialize(ar);
    if (ar.Remaining() > 0) {
        ar.ReadWord();  // version, not checked
        const Cents budget = ar.ReadInt64();
        const std::uint8_t changed = ar.ReadByte();
        ar.Skip(8);
        listBudget_ = budget;
        listBudgetChanged_ = changed;
    }
    Reindex();
}

void CCategoryList::CreateDefaults() {
    for (const DefaultCategory& d : kDefaultCategories) {
        auto item = std::make_unique<CCategoryItem>();
        item->SetName(LoadString1252(d.stringId));
        item->SetId(RecordId::Fixed(d.code));
        if (d.parentCode != 0)
            item->SetParentId(RecordId::Fixed(d.parentCode));
        item->SetIcon(d.icon);
        item->SetAttribute(0);
        InsertInTreeOrder(std::move(item));
    }
}

int CCategoryList::LoadDetectingLayout(const std::string& path, bool* idFirst) {
    const bool keep = oldFormatRecords_;
    oldFormatRecords_ = false;
    const int r = Load(path);
    oldFormatRecords_ = keep;
    return FinishDetecting(r, idFirst);
}

int CCategoryList::LoadDataDetectingLayout(std::span<const std::uint8_t> data, bool* idFirst) {
    const bool keep = oldFormatRecords_;
    oldFormatRecords_ = false;
    const int r = LoadData(data);
    oldFormatRecords_ = keep;
    return FinishDetecting(r, idFirst);
}

int CCategoryList::FinishDetecting(int loadResult, bool* idFirst) {
    if (idFirst != nullptr)
        *idFirst = false;
    if (loadResult != 0) {
        Reindex();
        return loadResult;
    }
    CategoryLayout layout;
    try {
        std::vector<CCategoryItem::Record> raw;
        raw.reserve(items_.size());
        for (const auto& item : items_)
            raw.push_back(static_cast<const CCategoryItem&>(*item).record_);
        layout = JudgeCategoryRecords(raw);
    } catch (const std::bad_alloc&) {
        DeleteAll();
        return platform::kErrorNotEnoughMemory;
    }
    // Records that tell nothing fall back on the built-in Auto: the file is
    // old when Auto is missing, and it is, or a record holding it in the
    // current place would have told. The user hears of the guess.
    const bool old = layout != CategoryLayout::kCurrent;
    if (layout == CategoryLayout::kUnclear) {
        try {
            ReportError(kStringLayoutGuessed, {path_});
        } catch (...) {
            // The guess stands without the message.
        }
    }
    if (old) {
        // The list accepts nothing but categories.
        for (auto& item : items_)
            ConvertIdFirstRecord(static_cast<CCategoryItem&>(*item).record_);
    }
    Reindex();
    if (idFirst != nullptr)
        *idFirst = old;
    return 0;
}

// --- CCategoryList: the id index ---

std::uint64_t CCategoryList::Key(const RecordId& id) {
    return (static_cast<std::uint64_t>(LoadBE32(id.bytes.data())) << 32) |
           LoadBE32(id.bytes.data() + 4);
}

void CCategoryList::Reindex() {
    indexedCount_ = static_cast<std::size_t>(-1);
    try {
        byId_.clear();
        for (std::size_t i = 0; i < items_.size() && !items_[i]->IsDeleted(); ++i)
            byId_.try_emplace(Key(items_[i]->GetId()), i);
        indexedCount_ = items_.size();
    } catch (const std::bad_alloc&) {
        // Without an index every look-up walks the list.
        byId_.clear();
    }
}

std::size_t CCategoryList::LivePosition(const RecordId& id) const {
    if (id.IsNull())
        return kNone;
    if (IndexCurrent()) {
        const auto it = byId_.find(Key(id));
        if (it == byId_.end())
            return kNone;
        const std::size_t p = it->second;
        if (p < items_.size() && !items_[p]->IsDeleted() && items_[p]->GetId() == id)
            return p;
    }
    for (std::size_t i = 0; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
        if (items_[i]->GetId() == id)
            return i;
    }
    return kNone;
}

CCategoryItem* CCategoryList::CategoryAt(std::size_t index) const {
    return index < items_.size() ? dynamic_cast<CCategoryItem*>(items_[index].get()) : nullptr;
}

// --- CCategoryList: changes ---

std::size_t CCategoryList::LiveInsertIndex(const CPalmListItem& item) const {
    const auto* category = dynamic_cast<const CCategoryItem*>(&item);
    const std::size_t live = FirstDeletedIndex();
    if (category == nullptr)
        return live;
    return TreePlace([this](std::size_t i) { return CategoryAt(i); }, live, *category);
}

CCategoryItem* CCategoryList::InsertInTreeOrder(std::unique_ptr<CCategoryItem> item) {
    const std::size_t at = item->IsDeleted() ? items_.size() : LiveInsertIndex(*item);
    CCategoryItem* raw = item.get();
    InsertAt(at, std::move(item));
    Reindex();
    return raw;
}

int CCategoryList::AddInTreeOrder(std::unique_ptr<CCategoryItem> item, bool /*atTail*/) {
    // A live item never goes behind deleted ones, tail flag or not.
    if (item)
        InsertInTreeOrder(std::move(item));
    return Save();
}

int CCategoryList::AddSorted(std::unique_ptr<CCommonListItem> item) {
    if (dynamic_cast<CCategoryItem*>(item.get()) == nullptr)
        return -1;
    return AddInTreeOrder(
        std::unique_ptr<CCategoryItem>(static_cast<CCategoryItem*>(item.release())));
}

void CCategoryList::RefileChildren(const RecordId& parentId) {
    if (parentId.IsNull())
        return;
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
        const CCategoryItem* c = CategoryAt(i);
        if (c != nullptr && c->GetParentId() == parentId)
            children.push_back(i);
    }
    if (children.empty())
        return;
    std::vector<std::unique_ptr<CPalmListItem>> taken;
    taken.reserve(children.size());
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        taken.push_back(TakeAt(*it));
    // taken runs from the last child to the first; putting them back in that
    // order keeps equal names in the order they had.
    for (auto& child : taken) {
        const std::size_t at = LiveInsertIndex(*child);
        InsertAt(at, std::move(child));
    }
}

int CCategoryList::MoveItem(std::size_t index, CCommonListItem* item, int* saveResult) {
    if (item == nullptr || index >= items_.size() || items_[index].get() != item)
        return -1;
    std::unique_ptr<CPalmListItem> owned = TakeAt(index);
    const std::size_t at = owned->IsDeleted() ? items_.size() : LiveInsertIndex(*owned);
    InsertAt(at, std::move(owned));
    if (const auto* category = dynamic_cast<const CCategoryItem*>(item);
        category != nullptr && category->IsTopLevel() && !category->IsDeleted()) {
        RefileChildren(category->GetId());
    }
    Reindex();
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return IndexOf(item);
}

int CCategoryList::MoveItem(std::size_t index, std::unique_ptr<CCommonListItem> item,
                            int* saveResult) {
    if (!item || index >= items_.size())
        return -1;
    const int already = IndexOf(item.get());
    if (already >= 0) {
        // The list owns it already: never own it twice.
        CCommonListItem* raw = item.release();
        return static_cast<std::size_t>(already) == index ? MoveItem(index, raw, saveResult) : -1;
    }
    if (dynamic_cast<CCategoryItem*>(item.get()) == nullptr)
        return -1;
    TakeAt(index);  // the replaced item is destroyed here
    CCommonListItem* raw = item.get();
    const std::size_t at = item->IsDeleted() ? items_.size() : LiveInsertIndex(*item);
    InsertAt(at, std::move(item));
    const auto* category = static_cast<const CCategoryItem*>(raw);
    if (category->IsTopLevel() && !category->IsDeleted())
        RefileChildren(category->GetId());
    Reindex();
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return IndexOf(raw);
}

int CCategoryList::Resort() {
    // The new order is worked out on indexes first, so nothing that can fail
    // happens once an item moves.
    std::vector<std::size_t> order;
    order.reserve(items_.size());
    const std::size_t live = FirstDeletedIndex();
    const auto at = [&](std::size_t i) { return CategoryAt(order[i]); };
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < live; ++i) {
            const CCategoryItem* c = CategoryAt(i);
            const bool topLevel = c == nullptr || c->IsTopLevel();
            if (topLevel != (pass == 0))
                continue;
            const std::size_t place = c == nullptr ? order.size() : TreePlace(at, order.size(), *c);
            order.insert(order.begin() + static_cast<std::ptrdiff_t>(place), i);
        }
    }
    for (std::size_t i = live; i < items_.size(); ++i)
        order.push_back(i);
    std::vector<std::unique_ptr<CPalmListItem>> sorted;
    sorted.reserve(items_.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(items_[i]));
    items_ = std::move(sorted);
    Reindex();
    return Save();
}

int CCategoryList::DeleteItem(CPalmListItem* item) {
    const int r = CCommonList::DeleteItem(item);
    Reindex();
    return r;
}

int CCategoryList::ReplaceItem(CPalmListItem* item) {
    // Changed in memory first and saved once: the file never lacks the item.
    const int index = IndexOf(item);
    if (index >= 0) {
        auto owned = TakeAt(static_cast<std::size_t>(index));
        owned->SetAttribute(owned->GetAttribute() & ~CPalmListItem::kDeleted);
        const std::size_t at = LiveInsertIndex(*owned);
        InsertAt(at, std::move(owned));
        if (const auto* category = dynamic_cast<const CCategoryItem*>(item);
            category != nullptr && category->IsTopLevel()) {
            RefileChildren(category->GetId());
        }
        Reindex();
    }
    return Save();
}

CPalmFileList::Removed CCategoryList::RemoveItem(const CPalmListItem* item) {
    Removed removed = CCommonList::RemoveItem(item);
    Reindex();
    return removed;
}

CPalmListItem* CCategoryList::AddItem(std::unique_ptr<CPalmListItem> item, bool atTail) {
    CPalmListItem* raw = CPalmFileList::AddItem(std::move(item), atTail);
    Reindex();
    return raw;
}

int CCategoryList::AddAndSave(std::unique_ptr<CPalmListItem> item) {
    AddItem(std::move(item), false);
    return Save();
}

void CCategoryList::DeleteAll() {
    CPalmFileList::DeleteAll();
    Reindex();
}

// --- CCategoryList: look-ups ---

CCategoryItem* CCategoryList::FindById(const RecordId& id) const {
    const std::size_t p = LivePosition(id);
    return p == kNone ? nullptr : CategoryAt(p);
}

CPalmListItem* CCategoryList::FindById(const RecordId& id, bool all) const {
    if (all)
        return CPalmFileList::FindById(id, true);
    const std::size_t p = LivePosition(id);
    return p == kNone ? nullptr : items_[p].get();
}

CPalmFileList::Position CCategoryList::FindPositionById(const RecordId& id) const {
    return LivePosition(id);
}

int CCategoryList::IndexOfId(const RecordId& id) const {
    const std::size_t p = LivePosition(id);
    return p == kNone ? -1 : static_cast<int>(p);
}

int CCategoryList::CompareIdOrder(const RecordId& a, const RecordId& b) const {
    const std::size_t pa = LivePosition(a);
    const std::size_t pb = LivePosition(b);
    if (pa == kNone && pb == kNone)
        return 0;
    if (pa != kNone && (pb == kNone || pa <= pb))
        return -1;
    return 1;
}

CPalmFileList::Position CCategoryList::FindTopLevelByName(std::string_view text) const {
    const std::string key = CCategoryItem::StoredName(text);
    for (std::size_t i = 0; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
        const CCategoryItem* c = CategoryAt(i);
        if (c != nullptr && c->IsTopLevel() && SameName(c->NameView(), key))
            return i;
    }
    return kNone;
}

bool CCategoryList::NameExists(const CCategoryItem* parent, std::string_view text) const {
    if (parent == nullptr)
        return FindTopLevelByName(text) != kNone;
    const std::size_t p = FindTopLevelByName(parent->NameView());
    if (p == kNone)
        return false;
    const std::string key = CCategoryItem::StoredName(text);
    for (std::size_t i = p + 1; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
        const CCategoryItem* c = CategoryAt(i);
        if (c == nullptr)
            continue;
        if (c->IsTopLevel())
            break;
        if (SameName(c->NameView(), key))
            return true;
    }
    return false;
}

bool CCategoryList::HasChildren(const RecordId& id) const {
    if (id.IsNull())
        return false;
    for (std::size_t i = 0; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
        const CCategoryItem* c = CategoryAt(i);
        if (c != nullptr && c->GetParentId() == id)
            return true;
    }
    return false;
}

bool CCategoryList::DeleteLeaf(CCategoryItem* item) {
    if (IndexOf(item) < 0 || HasChildren(item->GetId()))
        return false;
    return DeleteItem(item) == 0;
}

CCategoryItem* CCategoryList::FindAndMarkModified(const RecordId& id) {
    CCategoryItem* c = FindById(id);
    if (c != nullptr)
        c->SetAttribute(c->GetAttribute() | CPalmListItem::kModified);
    return c;
}

std::string CCategoryList::GetFullNameById(const RecordId& id) const {
    const CCategoryItem* c = FindById(id);
    return c == nullptr ? std::string() : c->GetFullName(*this);
}

std::string CCategoryList::GetIndentedNameById(const RecordId& id) const {
    const CCategoryItem* c = FindById(id);
    if (c == nullptr)
        return {};
    return c->IsTopLevel() ? c->GetName() : "    " + c->GetName();
}

RecordId CCategoryList::FindOrCreateByPath(std::string_view text, bool create, int* saveResult) {
    if (saveResult)
        *saveResult = 0;
    const std::size_t colon = text.find(':');
    const std::string parentKey = PathKey(text.substr(0, colon));
    const std::string childKey =
        colon == std::string_view::npos ? std::string() : PathKey(text.substr(colon + 1));
    if (parentKey.empty())
        return kNoneId;

    RecordId parentId;
    const std::size_t p = FindTopLevelByName(parentKey);
    if (p != kNone) {
        parentId = items_[p]->GetId();
        if (childKey.empty())
            return parentId;
        for (std::size_t i = p + 1; i < items_.size() && !items_[i]->IsDeleted(); ++i) {
            const CCategoryItem* c = CategoryAt(i);
            if (c == nullptr)
                continue;
            if (c->IsTopLevel())
                break;
            if (c->GetParentId() == parentId && SameName(c->NameView(), childKey))
                return c->GetId();
        }
        if (!create)
            return kNoneId;
    } else {
        if (!create)
            return kNoneId;
        parentId = InsertInTreeOrder(std::make_unique<CCategoryItem>(parentKey))->GetId();
    }
    RecordId result = parentId;
    if (!childKey.empty())
        result = InsertInTreeOrder(std::make_unique<CCategoryItem>(childKey, parentId))->GetId();
    const int saved = Save();
    if (saveResult)
        *saveResult = saved;
    return result;
}

Cents CCategoryList::GetBudgetAmount(const RecordId& id) const {
    if (id == SplitMarkerId)
        return listBudget_;
    const CCategoryItem* c = FindById(id);
    return c == nullptr ? 0 : c->GetBudget();
}

int CCategoryList::SetBudgetAmount(const RecordId& id, Cents amount) {
    if (id == SplitMarkerId) {
        if (amount != listBudget_) {
            listBudget_ = amount;
            listBudgetChanged_ = 1;
        }
    } else if (CCategoryItem* c = FindById(id)) {
        c->SetBudget(amount);
    }
    return Save();
}

}  // namespace tallowmere
