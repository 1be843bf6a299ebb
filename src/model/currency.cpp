#include "model/currency.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "model/archive.h"
#include "model/byte_order.h"
#include "model/string_table.h"
#include "platform/text_1252.h"

namespace tallowmere {
namespace {

const CCurrencyItem* AsCurrency(const CPalmListItem* item) {
    return dynamic_cast<const CCurrencyItem*>(item);
}

}  // namespace

Cents ConvertAtRate(Cents amount, double rate) {
    // A rate of 0, and rates no currency can have, leave the amount as it is.
    if (!std::isfinite(rate) || !(rate > 0.0))
        return amount;
    double q = static_cast<double>(amount) / rate;
    q = amount > 0 ? q + 0.5 : q - 0.5;
    // 2^63: the first value past the range (a tiny rate gives a huge or an
    // infinite quotient, and converting that to an integer is undefined).
    constexpr double kLimit = 9223372036854775808.0;
    if (!(q < kLimit))
        return std::numeric_limits<Cents>::max();
    if (!(q > -kLimit))
        return std::numeric_limits<Cents>::min();
    return static_cast<Cents>(q);  // truncates toward zero
}

// --- the record ---

CCurrencyItem::CCurrencyItem() {
    StoreLEDouble(&record_[kRateOffset], 1.0);
}

CCurrencyItem::CCurrencyItem(ForLoad tag) : CPalmListItem(tag) {
    StoreLEDouble(&record_[kRateOffset], 1.0);
}

CCurrencyItem::CCurrencyItem(std::string_view symbol) : CCurrencyItem() {
    SetSymbol(symbol);
    attribute_ |= kModified;
}

std::string CCurrencyItem::StoredSymbol(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kCurrencySymbolFieldSize - 1));
    return std::string(text);
}

void CCurrencyItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteBytes(record_.data(), record_.size());
        ar.WriteInt32(0);
    } else {
        ar.ReadBytes(record_.data(), record_.size());
        ar.Skip(4);
    }
}

void CCurrencyItem::SetCurrencyId(CurrencyId id) {
    if (record_[0] == id)
        return;
    record_[0] = id;
    attribute_ |= kModified;
}

std::string CCurrencyItem::GetSymbol() const {
    // Bounded by the field: a record read from a file need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(&record_[kSymbolOffset]);
    return std::string(p, strnlen(p, kCurrencySymbolFieldSize - 1));
}

void CCurrencyItem::SetSymbol(std::string_view symbol) {
    const std::string stored = StoredSymbol(symbol);
    if (stored == GetSymbol())
        return;
    // The whole field is cleared so no tail of a longer symbol survives.
    std::memset(&record_[kSymbolOffset], 0, kCurrencySymbolFieldSize);
    std::memcpy(&record_[kSymbolOffset], stored.data(), stored.size());
    attribute_ |= kModified;
}

double CCurrencyItem::GetRate() const {
    return LoadLEDouble(&record_[kRateOffset]);
}

void CCurrencyItem::SetRate(double rate) {
    std::uint8_t bytes[8];
    StoreLEDouble(bytes, rate);
    if (std::memcmp(bytes, &record_[kRateOffset], sizeof bytes) == 0)
        return;
    std::memcpy(&record_[kRateOffset], bytes, sizeof bytes);
    attribute_ |= kModified;
}

// --- the list ---

CCurrencyList::CCurrencyList() {
    Reindex();
}

bool CCurrencyList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CCurrencyItem*>(&obj) != nullptr;
}

void CCurrencyList::Reindex() {
    byId_.fill(0);
    const std::size_t live = FirstDeletedIndex();
    for (std::size_t i = 0; i < live; ++i) {
        const CCurrencyItem* c = AsCurrency(items_[i].get());
        if (c && byId_[c->GetCurrencyId()] == 0)
            byId_[c->GetCurrencyId()] = static_cast<std::uint32_t>(i + 1);
    }
    indexedCount_ = items_.size();
}

void CCurrencyList::DropDuplicateIds() {
    std::array<bool, 256> seen{};
    const std::size_t live = FirstDeletedIndex();
    std::vector<std::unique_ptr<CPalmListItem>> kept;
    kept.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i < live) {
            const CCurrencyItem* c = AsCurrency(items_[i].get());
            if (c) {
                if (seen[c->GetCurrencyId()])
                    continue;  // destroyed with the old vector
                seen[c->GetCurrencyId()] = true;
            }
        }
        kept.push_back(std::move(items_[i]));
    }
    items_ = std::move(kept);
}

void CCurrencyList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CPalmFileList::Serialize(ar);
        ar.WriteByte(homeId_);
        ar.WriteByte(homeChanged_);
        return;
    }
    homeId_ = kFirstHomeCurrencyId;
    homeChanged_ = 0;
    std::uint8_t homeId = 0;
    std::uint8_t homeChanged = 0;
    try {
        CPalmFileList::Serialize(ar);
        homeId = ar.ReadByte();
        homeChanged = ar.ReadByte();
    } catch (...) {
        Reindex();
        throw;
    }
    homeId_ = homeId;
    homeChanged_ = homeChanged;
    DropDuplicateIds();
    Reindex();
}

void CCurrencyList::CreateDefaults() {
    homeId_ = kFirstHomeCurrencyId;
    homeChanged_ = 0;
    for (const auto& def : kDefaultCurrencies) {
        // The string table is UTF-8 text; records hold Windows-1252 ("£" is
        // the one byte A3).
        std::string symbol = platform::Utf8ToCp1252(LoadString(def.stringId));
        if (symbol.empty())
            symbol = def.symbol;
        auto item = std::make_unique<CCurrencyItem>(symbol);
        item->SetCurrencyId(def.id);
        item->SetAttribute(0);
        AddUnique(item);
    }
}

CPalmListItem* CCurrencyList::AddItem(std::unique_ptr<CPalmListItem> item, bool atTail) {
    CPalmListItem* added = CPalmFileList::AddItem(std::move(item), atTail);
    Reindex();
    return added;
}

int CCurrencyList::AddAndSave(std::unique_ptr<CPalmListItem> item) {
    AddItem(std::move(item), false);
    return Save();
}

void CCurrencyList::DeleteAll() {
    CPalmFileList::DeleteAll();
    homeId_ = kFirstHomeCurrencyId;
    homeChanged_ = 0;
    Reindex();
}

int CCurrencyList::DeleteItem(CPalmListItem* item) {
    const int r = CPalmFileList::DeleteItem(item);
    Reindex();
    return r;
}

int CCurrencyList::ReplaceItem(CPalmListItem* item) {
    const int r = CPalmFileList::ReplaceItem(item);
    Reindex();
    return r;
}

CPalmFileList::Removed CCurrencyList::RemoveItem(const CPalmListItem* item) {
    Removed removed = CPalmFileList::RemoveItem(item);
    Reindex();
    return removed;
}

bool CCurrencyList::SymbolExists(std::string_view symbol) const {
    const std::string key = CCurrencyItem::StoredSymbol(symbol);
    const std::size_t live = GetCount(false);
    for (std::size_t i = 0; i < live; ++i) {
        const CCurrencyItem* c = AsCurrency(items_[i].get());
        if (c && c->GetSymbol() == key)
            return true;
    }
    return false;
}

CCurrencyItem* CCurrencyList::AddUnique(std::unique_ptr<CCurrencyItem>& item, bool atTail) {
    if (!item || SymbolExists(item->GetSymbol()))
        return nullptr;
    return static_cast<CCurrencyItem*>(AddItem(std::move(item), atTail));
}

int CCurrencyList::AddUniqueAndSave(std::unique_ptr<CCurrencyItem>& item) {
    if (AddUnique(item, false) == nullptr)
        return 0;
    return Save();
}

CCurrencyItem* CCurrencyList::FindById(CurrencyId id) const {
    if (items_.size() == indexedCount_) {
        const std::uint32_t entry = byId_[id];
        if (entry == 0)
            return nullptr;
        const std::size_t i = entry - 1;
        if (i < items_.size() && !items_[i]->IsDeleted()) {
            auto* c = dynamic_cast<CCurrencyItem*>(items_[i].get());
            if (c && c->GetCurrencyId() == id)
                return c;
        }
    }
    // The index is behind the list: answer from the list itself.
    const std::size_t live = GetCount(false);
    for (std::size_t i = 0; i < live; ++i) {
        auto* c = dynamic_cast<CCurrencyItem*>(items_[i].get());
        if (c && c->GetCurrencyId() == id)
            return c;
    }
    return nullptr;
}

CurrencyId CCurrencyList::NewCurrencyId() const {
    std::array<bool, 256> used{};
    unsigned largest = 0;
    for (const auto& item : items_) {
        if (const CCurrencyItem* c = AsCurrency(item.get())) {
            used[c->GetCurrencyId()] = true;
            largest = std::max<unsigned>(largest, c->GetCurrencyId());
        }
    }
    if (largest + 1 <= 250)
        return static_cast<CurrencyId>(largest + 1);
    for (unsigned id = 1; id <= 255; ++id) {
        if (!used[id])
            return static_cast<CurrencyId>(id);
    }
    return 0;
}

CCurrencyItem* CCurrencyList::GetHomeCurrency() const {
    return FindById(homeId_);
}

CurrencyId CCurrencyList::GetHomeCurrencyId() const {
    const CCurrencyItem* home = GetHomeCurrency();
    return home ? home->GetCurrencyId() : kFirstHomeCurrencyId;
}

bool CCurrencyList::IsHomeCurrency(const CCurrencyItem* item) const {
    return item != nullptr && item->GetCurrencyId() == GetHomeCurrencyId();
}

void CCurrencyList::SetHomeCurrency(const CCurrencyItem* item) {
    if (item == nullptr || item->GetCurrencyId() == homeId_)
        return;
    homeId_ = item->GetCurrencyId();
    homeChanged_ = 1;
}

double CCurrencyList::GetRateToHome(CurrencyId currency) const {
    if (currency == GetHomeCurrencyId())
        return 0.0;
    const CCurrencyItem* c = FindById(currency);
    return c == nullptr ? 0.0 : c->GetRate();
}

Cents CCurrencyList::ConvertToHomeCurrency(Cents amount, CurrencyId currency) const {
    return ConvertAtRate(amount, GetRateToHome(currency));
}

}  // namespace tallowmere
