#pragma once
// "Show Columns" (dialog 136): one check box per entry 0-9 of the register's
// column set; a marked box is a visible column.
#include <array>

namespace tallowmere {
class CShowColumns;
}

namespace tallowmere::ui {

struct ShowColumnBox {
    int entry;  // the index in the column set
    int controlId;
    const char* label;  // UTF-8, '&' marks the mnemonic
};

// In the dialog's order, which is the entries' order.
inline constexpr std::array<ShowColumnBox, 10> kShowColumnBoxes = {{
    {0, 1030, "&State"},
    {1, 1039, "&Icon"},
    {2, 1032, "&Date"},
    {3, 1033, "&Transaction Type"},
    {4, 1034, "&Payee"},
    {5, 1035, "&Category Name"},
    {6, 1040, "Class &Name"},
    {7, 1036, "&Memo"},
    {8, 1037, "&Amount"},
    {9, 1038, "&Balance"},
}};

// Box i of kShowColumnBoxes is marked.
using ShowColumnsForm = std::array<bool, kShowColumnBoxes.size()>;

ShowColumnsForm OpenShowColumns(const CShowColumns& columns);
// Sets each entry's visibility from its box; nothing else of the set moves.
void AcceptShowColumns(const ShowColumnsForm& form, CShowColumns& columns);

}  // namespace tallowmere::ui
