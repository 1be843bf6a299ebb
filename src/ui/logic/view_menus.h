#pragma once
// The main view's pop-up menus (165 the register rows, 169 the report rows,
// 170 the budget rows, 171 the balance read-outs), compiled in from
// res/menu_view.txt.
#include <vector>

#include "ui/logic/menu_table.h"

namespace tallowmere::ui {

// The entries of menu menuId: the menu itself (parent 0) and everything
// under it, sorted as ParseMenuTable sorts. Empty for a menu not there.
const std::vector<MenuEntry>& ViewPopupMenu(int menuId);

}  // namespace tallowmere::ui
