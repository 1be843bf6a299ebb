#include "model/file_list.h"

#include <vector>

#include "model/archive.h"
#include "model/error_sink.h"
#include "platform/atomic_file.h"
#include "platform/text_1252.h"
#include "platform/win_error.h"

namespace tallowmere {

namespace {
constexpr int kStringSaveError = 185;  // "There was an error saving the file (%d)."
}

CFileList::~CFileList() = default;

void CFileList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        WriteObjectList(ar, items_);
        return;
    }
    DeleteAll();
    const CArchive::ObjectFilter accept = [this](const CObject& obj) { return AcceptsItem(obj); };
    items_ = ReadOwnedObjectList<CListItem>(ar, accept);
}

bool CFileList::AcceptsItem(const CObject& obj) const {
    return dynamic_cast<const CListItem*>(&obj) != nullptr;
}

int CFileList::LoadData(std::span<const std::uint8_t> data) {
    DeleteAll();
    const bool eitherWay = ItemsEndEitherWay();
    const int r = eitherWay ? LoadObjectDataEitherItemEnd(data, *this, false, path_)
                            : LoadObjectData(data, *this);
    if (r == 0)
        return 0;
    DeleteAll();
    return eitherWay ? r : -1;
}

int CFileList::Load(const std::string& path) {
    path_ = path;
    DeleteAll();
    std::vector<std::uint8_t> data;
    int r;
    try {
        r = platform::ReadWholeFile(path, data);
    } catch (...) {
        return -1;
    }
    if (r != 0)
        return r;
    return LoadData(data);
}

int CFileList::LoadOrCreate(const std::string& path) {
    const int r = Load(path);
    if (r != 2)
        return r;
    path_ = path;
    CreateDefaults();
    const int saved = Save();
    if (saved != 0)
        return saved;
    return Load(path);
}

int CFileList::Save() {
    const int r = SaveObjectFile(path_, *this);
    if (r == 0)
        return 0;
    try {
        ReportError(kStringSaveError, {static_cast<std::int64_t>(r)});
    } catch (...) {
        // The caller still learns of the failure from the result.
    }
    return -1;
}

int CFileList::AddSorted(std::unique_ptr<CListItem> item) {
    if (item) {
        const std::string name = item->GetName();
        std::size_t index = items_.size();
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (platform::CompareBytes(items_[i]->GetName(), name) >= 0) {
                index = i;
                break;
            }
        }
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    }
    return Save();
}

CListItem* CFileList::AddTail(std::unique_ptr<CListItem> item) {
    if (!item)
        return nullptr;
    items_.push_back(std::move(item));
    return items_.back().get();
}

void CFileList::DeleteAll() {
    items_.clear();
}

int CFileList::IndexOf(const CListItem* item) const {
    if (item == nullptr)
        return -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace tallowmere
