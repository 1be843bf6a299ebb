#include "ui/list_selection.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace tallowmere::ui {

int GetFirstSelectedItem(const QAbstractItemView& list) {
    const QItemSelectionModel* selection = list.selectionModel();
    if (selection == nullptr)
        return -1;
    int first = -1;
    for (const QModelIndex& index : selection->selectedRows()) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

void SelectAllItems(QAbstractItemView& list, bool select) {
    QItemSelectionModel* selection = list.selectionModel();
    const QAbstractItemModel* model = list.model();
    if (selection == nullptr || model == nullptr)
        return;
    if (!select) {
        selection->clearSelection();
        return;
    }
    const int rows = model->rowCount(list.rootIndex());
    if (rows == 0)
        return;
    const QItemSelection all(model->index(0, 0, list.rootIndex()),
                             model->index(rows - 1, 0, list.rootIndex()));
    selection->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void SelectListItem(QAbstractItemView& list, int row, bool clearOthers) {
    QItemSelectionModel* selection = list.selectionModel();
    const QAbstractItemModel* model = list.model();
    if (selection == nullptr || model == nullptr || row < 0 ||
        row >= model->rowCount(list.rootIndex())) {
        return;
    }
    const QModelIndex index = model->index(row, 0, list.rootIndex());
    QItemSelectionModel::SelectionFlags flags =
        QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (clearOthers)
        flags |= QItemSelectionModel::Clear;
    selection->select(index, flags);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

}  // namespace tallowmere::ui
