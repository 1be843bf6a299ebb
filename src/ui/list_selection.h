#pragma once
// Row selection of the program's lists, by row number.
class QAbstractItemView;

namespace tallowmere::ui {

// The lowest selected row; -1 when none is.
int GetFirstSelectedItem(const QAbstractItemView& list);
// Selects every row, or clears the selection.
void SelectAllItems(QAbstractItemView& list, bool select);
// Selects the row and makes it the current one, after clearing the other
// rows' selection when asked. A row outside the list changes nothing.
void SelectListItem(QAbstractItemView& list, int row, bool clearOthers);

}  // namespace tallowmere::ui
