#pragma once
// Menus laid out by a table in res/ (the form is described at the top of
// res/menu_128.txt): each entry an id, its parent pop-up, its position there
// and its text. The widget layer builds the menus from it.
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::ui {

struct MenuEntry {
    int id = 0;            // a command; a pop-up's title string; 0 for a separator
    int parent = 0;        // 0: the menu bar; else the id of the pop-up
    int position = 0;      // in the parent, from 0, separators counted
    std::string text;      // UTF-8 with '&' before the mnemonic; empty for a separator
    std::string shortcut;  // what followed '\t' ("Ctrl+N", "DEL"); may be empty

    bool IsSeparator() const { return id == 0; }
    bool IsPopup() const;
    bool operator==(const MenuEntry&) const = default;
};

// Reads a table, "@n" texts taken from the string table, and checks it:
// every parent is a pop-up of the table, positions in each parent run from 0
// without gaps, ids occur once, texts are not empty. The entries come sorted
// by parent and position. On any fault the result is empty and error (when
// given) names the line.
std::vector<MenuEntry> ParseMenuTable(std::string_view table, std::string* error = nullptr);

// The entries of one parent, in position order.
std::vector<MenuEntry> MenuChildren(const std::vector<MenuEntry>& table, int parent);

// Menu 128, the main window's menu bar, compiled in from res/menu_128.txt.
const std::vector<MenuEntry>& MainMenuTable();

}  // namespace tallowmere::ui
