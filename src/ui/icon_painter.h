#pragma once
// The account and category icons by index, as lists, panes and dialogs draw
// them: 0-64 from the built-in strips (bitmap 229, 23 x 20, when the
// rectangle is narrower than 26 or lower than 22 pixels, else bitmap 230,
// 31 x 27), 256 + n the icon database's icon n through a drawer its owner
// sets; 65-255 draw nothing.
#include <QRect>
#include <functional>

#include "ui/icon_list.h"

class QPainter;

namespace tallowmere::ui {

class IconPainter {
  public:
    // Draws database icon `iconId` in the rectangle; false when there is
    // none with that id.
    using DatabaseDrawer = std::function<bool(QPainter&, const QRect&, int iconId)>;

    // Loads the two built-in strips.
    IconPainter();

    // Null (the default) leaves database icons undrawn.
    void SetDatabaseDrawer(DatabaseDrawer drawer) { database_ = std::move(drawer); }

    // Draws the icon centred in the rectangle; false when nothing was drawn.
    bool DrawIcon(QPainter& painter, const QRect& rect, int iconIndex) const;

  private:
    CIconList small_;
    CIconList large_;
    DatabaseDrawer database_;
};

}  // namespace tallowmere::ui
