#include "ui/icon_resource_list.h"

#include <algorithm>

#include "model/icon_database.h"

namespace tallowmere::ui {

void CIconResourceList::LoadFromFile(const std::string& folder, const std::string& name) {
    RemoveAll();
    for (IconResourceData& icon : ReadIconDatabase(folder, name))
        icons_.push_back(std::make_unique<CIconResource>(std::move(icon.bytes), icon.id));
}

const CIconResource* CIconResourceList::FindById(std::uint16_t id) const {
    const auto found = std::find_if(icons_.begin(), icons_.end(),
                                    [id](const auto& icon) { return icon->GetId() == id; });
    return found == icons_.end() ? nullptr : found->get();
}

const CIconResource* CIconResourceList::GetAt(int position) const {
    return position >= 0 && position < GetCount() ? icons_[position].get() : nullptr;
}

int CIconResourceList::IndexOf(const CIconResource* icon) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (icons_[i].get() == icon)
            return i;
    }
    return -1;
}

void CIconResourceList::RemoveAll() {
    icons_.clear();
}

bool CIconResourceList::DrawIcon(QPainter& painter, const QRect& rect,
                                 std::uint16_t iconIndex) const {
    const auto id = DatabaseIconId(iconIndex);
    if (!id)
        return false;
    const CIconResource* icon = FindById(*id);
    if (icon == nullptr || !icon->FitsIn(rect))
        return false;
    return icon->Draw(painter, rect);
}

}  // namespace tallowmere::ui
