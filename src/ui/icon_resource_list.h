#pragma once
// The icons of the user's icon database ("BrackwaterIcons.pdb" in the data
// folder), in file order. Account and category icon indexes from 256 on name
// them by id; the built-in indexes (0 to 64) are drawn from the view's own
// strips, and 65 to 255 name no icon at all.
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/icon_resource.h"

class QPainter;

namespace tallowmere::ui {

class CIconResourceList {
  public:
    // Empties the list and reads folder/name.pdb. A missing or invalid file
    // leaves the list empty; a damaged one keeps the icons before the damage.
    void LoadFromFile(const std::string& folder, const std::string& name);

    // The first icon with that id, or null.
    const CIconResource* FindById(std::uint16_t id) const;
    // Null outside the list.
    const CIconResource* GetAt(int position) const;
    // -1 when the icon is not in the list.
    int IndexOf(const CIconResource* icon) const;
    int GetCount() const { return static_cast<int>(icons_.size()); }
    void RemoveAll();

    // Draws the database icon that iconIndex names when the list holds it
    // and it fits rect; false when nothing was drawn, as for every index
    // below 256.
    bool DrawIcon(QPainter& painter, const QRect& rect, std::uint16_t iconIndex) const;

  private:
    std::vector<std::unique_ptr<CIconResource>> icons_;
};

}  // namespace tallowmere::ui
