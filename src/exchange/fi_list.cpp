#include "exchange/fi_list.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "model/archive.h"
#include "model/object.h"
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
        ar.SerializeItemEndZero();
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

void RegisterFiItemClass() {
    static std::once_flag once;
    std::call_once(once, [] { RegisterRuntimeClass({"CFiItem", &CreateForLoad<CFiItem>}); });
}

// --- the list ---

CFiList::CFiList() {
    RegisterFiItemClass();
}

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
    if (updating_) {
        const auto hit = updateIndex_.find(id);
        return hit != updateIndex_.end() ? hit->second : nullptr;
    }
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
        existing->SetFiId(id);
        if (existing->GetName() == name)
            return existing;
        // A new name moves the item to its place, so the list stays in name
        // order for the inserts after it.
        std::unique_ptr<CListItem> taken;
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (it->get() == existing) {
                taken = std::move(*it);
                items_.erase(it);
                break;
            }
        }
        existing->SetName(name);
        InsertInNameOrder(std::move(taken));
        return existing;
    }
    auto item = std::make_unique<CFiItem>(id, name);
    CFiItem* raw = item.get();
    InsertInNameOrder(std::move(item));
    if (updating_)
        updateIndex_.emplace(id, raw);
    return raw;
}

void CFiList::InsertInNameOrder(std::unique_ptr<CListItem> item) {
    // Same place as CFileList::AddSorted: before the first name >= this one.
    const std::string key = item->GetName();
    const auto at = std::lower_bound(
        items_.begin(), items_.end(), key, [](const auto& existing, const std::string& wanted) {
            return platform::CompareBytes(existing->GetName(), wanted) < 0;
        });
    items_.insert(at, std::move(item));
}

bool CFiList::RemoveByFiId(std::int32_t id) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        const auto* fi = dynamic_cast<const CFiItem*>(it->get());
        if (fi && fi->GetFiId() == id) {
            items_.erase(it);
            if (updating_)
                RebuildUpdateIndex();
            return true;
        }
    }
    return false;
}

void CFiList::RebuildUpdateIndex() {
    updateIndex_.clear();
    for (const auto& item : items_) {
        // The first item with an id answers for it, as the walk does.
        if (auto* fi = dynamic_cast<CFiItem*>(item.get()))
            updateIndex_.emplace(fi->GetFiId(), fi);
    }
}

// --- the directory's events ---

bool CFiList::Progress(int) {
    return OnlineProgressStep(progress_);
}

std::int32_t CFiList::OnInstitution(std::int32_t id, std::string_view name) {
    try {
        AddOrUpdate(id, name);
    } catch (const std::bad_alloc&) {
        return exchange::kOfxErrorNoData;
    }
    updateChanged_ = true;
    return 0;
}

std::int32_t CFiList::OnInstitutionRemoved(std::int32_t id) {
    if (RemoveByFiId(id))
        updateChanged_ = true;
    return 0;
}

std::int32_t CFiList::OnListVersion(std::int32_t version) {
    listVersion_ = version;
    updateChanged_ = true;
    return 0;
}

bool CFiList::UpdateFiList(exchange::CFidbClient& client) {
    updateChanged_ = false;
    try {
        updating_ = true;
        RebuildUpdateIndex();
    } catch (const std::bad_alloc&) {
        updating_ = false;
        updateIndex_.clear();
        client.SetError(exchange::kOfxErrorNoData);
        return false;
    }
    const bool ok = client.UpdateFiList(*this);
    updating_ = false;
    updateIndex_.clear();
    // One write for the whole list; what arrived before a failure is kept,
    // as it would have been had each bank been written on its own.
    if (!updateChanged_)
        return ok;
    if (Save() != 0) {
        // The save has told the user already; error 0 shows nothing more.
        if (ok)
            client.SetError(0);
        return false;
    }
    return ok;
}

bool CFiList::UpdateFiList() {
    exchange::CFidbClient client;
    return UpdateFiList(client);
}

void CFiList::ResetUpdateInfo() {
    updateWord_ = 0;
    listVersion_ = 0;
    updateValue_ = 0;
}

}  // namespace tallowmere
