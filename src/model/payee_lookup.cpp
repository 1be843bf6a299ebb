#include "model/payee_lookup.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "model/archive.h"
#include "model/transaction.h"

namespace tallowmere {

namespace {

constexpr std::size_t kIdOffset = 33;
constexpr std::size_t kPayeeOffset = 41;
// Old files put the id first and the text after it.
constexpr std::size_t kOldTextOffset = 8;

std::string TextAt(const PayeeLookupRecord& r, std::size_t offset) {
    const char* p = reinterpret_cast<const char*>(&r[offset]);
    return std::string(p, strnlen(p, kPayeeLookupTextSize - 1));
}

void SetTextAt(PayeeLookupRecord& r, std::size_t offset, std::string_view text) {
    std::memset(&r[offset], 0, kPayeeLookupTextSize);
    text = CPayeeLookupItem::StoredText(text);
    if (!text.empty())
        std::memcpy(&r[offset], text.data(), text.size());
}

}  // namespace

CPayeeLookupItem::CPayeeLookupItem(ForLoad tag) : CCommonListItem(tag) {}

CPayeeLookupItem::CPayeeLookupItem(std::string_view text, std::string_view payee)
    : CCommonListItem(ForLoad{}) {
    SetTextAt(record_, 0, text);
    SetTextAt(record_, kPayeeOffset, payee);
    NewRecordId().ToBytes(&record_[kIdOffset]);
    attribute_ |= kModified;
}

std::string_view CPayeeLookupItem::StoredText(std::string_view text) {
    return text.substr(0, std::min(text.find('\0'), kPayeeLookupTextSize - 1));
}

void CPayeeLookupItem::Serialize(CArchive& ar) {
    CPalmListItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteBytes(record_.data(), record_.size());
        ar.WriteInt32(0);
        return;
    }
    ar.ReadBytes(record_.data(), record_.size());
    ar.ReadInt32();
    if (ar.OldFormatRecords()) {
        // id (0-7), text (8-40) becomes text (0-32), id (33-40).
        std::rotate(record_.begin(), record_.begin() + kOldTextOffset,
                    record_.begin() + kIdOffset + 8);
    }
}

RecordId CPayeeLookupItem::GetId() const {
    return RecordId::FromBytes(&record_[kIdOffset]);
}

void CPayeeLookupItem::SetId(const RecordId& id) {
    if (id != GetId())
        CNameIdIndexedList::NoteKeyChanged();
    id.ToBytes(&record_[kIdOffset]);
    attribute_ |= kModified;
}

std::string CPayeeLookupItem::GetName() const {
    return TextAt(record_, 0);
}

void CPayeeLookupItem::SetName(std::string_view text) {
    if (StoredText(text) != GetName())
        CNameIdIndexedList::NoteKeyChanged();
    SetTextAt(record_, 0, text);
    attribute_ |= kModified;
}

std::string CPayeeLookupItem::GetPayee() const {
    return TextAt(record_, kPayeeOffset);
}

void CPayeeLookupItem::SetPayee(std::string_view payee) {
    SetTextAt(record_, kPayeeOffset, payee);
    attribute_ |= kModified;
}

bool CPayeeLookupList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CPayeeLookupItem*>(&obj) != nullptr;
}

CPayeeLookupItem* CPayeeLookupList::FindByText(std::string_view text) const {
    return dynamic_cast<CPayeeLookupItem*>(FindLiveByName(CPayeeLookupItem::StoredText(text)));
}

CPayeeLookupItem* CPayeeLookupList::FindById(const RecordId& id, bool all) const {
    if (all)
        return dynamic_cast<CPayeeLookupItem*>(CPalmFileList::FindById(id, true));
    return dynamic_cast<CPayeeLookupItem*>(FindLiveById(id));
}

CPayeeLookupItem* CPayeeLookupList::AddMapping(std::string_view text, std::string_view payee,
                                               int* saveResult) {
    auto item = std::make_unique<CPayeeLookupItem>(text, payee);
    CPayeeLookupItem* raw = item.get();
    const int saved = AddSorted(std::move(item));
    if (saveResult)
        *saveResult = saved;
    return raw;
}

int CPayeeLookupList::ApplyToDownload(CTransaction& t, std::string_view downloadedText) {
    int saved = 0;
    CPayeeLookupItem* item = FindByText(downloadedText);
    if (item != nullptr && !item->GetPayee().empty()) {
        t.SetPayeeName(item->GetPayee());
    } else {
        t.SetPayeeName(downloadedText);
        if (item == nullptr)
            item = AddMapping(downloadedText, {}, &saved);
    }
    t.SetPayeeLookupId(item->GetId());
    return saved;
}

}  // namespace tallowmere
