#include "model/fi_list.h"

#include <cstddef>
#include <utility>

#include "model/archive.h"
#include "platform/text_1252.h"

namespace tallowmere {

CFiItem::CFiItem(std::int32_t fiId, std::string_view name) : fiId_(fiId), name_(name) {}

void CFiItem::Serialize(CArchive& ar) {
    CListItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteInt32(fiId_);
        ar.WriteString(name_);
    } else {
        fiId_ = ar.ReadInt32();
        name_ = ar.ReadString();
    }
}

void CFiItem::ResetState() {
    fiId_ = 0;
    lastDetailsRefresh_ = 0;
    lastProfileFetch_ = 0;
    detailsStamp_ = 0;
    runByte_ = 0;
    runValue_ = 0;
    targetAccount_ = nullptr;
    progress_ = nullptr;
}

void CFiItem::SetDetails(std::string_view url, std::string_view org, std::string_view fid,
                         std::string_view appId, std::string_view appVer) {
    url_ = std::string(url);
    org_ = std::string(org);
    fid_ = std::string(fid);
    appId_ = std::string(appId);
    appVer_ = std::string(appVer);
}

// --- the list ---

void CFiList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CFileList::Serialize(ar);
        ar.WriteWord(updateWord_);
        ar.WriteInt32(listVersion_);
        ar.WriteInt32(updateValue_);
        return;
    }
    // A file that stops short leaves no values of an earlier load behind.
    ResetUpdateInfo();
    CFileList::Serialize(ar);
    const std::uint16_t word = ar.ReadWord();
    const std::int32_t version = ar.ReadInt32();
    const std::int32_t value = ar.ReadInt32();
    updateWord_ = word;
    listVersion_ = version;
    updateValue_ = value;
}

bool CFiList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CFiItem*>(&obj) != nullptr;
}

CFiItem* CFiList::FindByFiId(std::int32_t id) const {
    for (const auto& item : items_) {
        auto* fi = dynamic_cast<CFiItem*>(item.get());
        if (fi && fi->GetFiId() == id)
            return fi;
    }
    return nullptr;
}

CFiItem* CFiList::AddOrUpdate(std::int32_t id, std::string_view name) {
    if (CFiItem* existing = FindByFiId(id)) {
        existing->ResetState();
        existing->SetName(name);
        existing->SetFiId(id);
        return existing;
    }
    auto item = std::make_unique<CFiItem>(id, name);
    CFiItem* raw = item.get();
    // Same place as CFileList::AddSorted: before the first name >= this one.
    std::size_t index = items_.size();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (platform::CompareBytes(items_[i]->GetName(), raw->GetName()) >= 0) {
            index = i;
            break;
        }
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    return raw;
}

bool CFiList::RemoveByFiId(std::int32_t id) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        const auto* fi = dynamic_cast<const CFiItem*>(it->get());
        if (fi && fi->GetFiId() == id) {
            items_.erase(it);
            return true;
        }
    }
    return false;
}

void CFiList::ResetUpdateInfo() {
    updateWord_ = 0;
    listVersion_ = 0;
    updateValue_ = 0;
}

}  // namespace tallowmere
