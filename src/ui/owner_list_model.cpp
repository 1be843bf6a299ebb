#include "ui/owner_list_model.h"

#include <algorithm>

namespace tallowmere::ui {

COwnerListModel::COwnerListModel(QObject* parent) : QAbstractTableModel(parent) {}

COwnerListModel::~COwnerListModel() = default;

int COwnerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int COwnerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant COwnerListModel::data(const QModelIndex&, int) const {
    return {};
}

QVariant COwnerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    const Column& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole:
            return column.title;
        case kColumnIdRole:
            return int{column.id};
        case kImageRole:
            return column.image;
        default:
            return {};
    }
}

Qt::ItemFlags COwnerListModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void COwnerListModel::SetRowCount(int count) {
    count = std::max(count, 0);
    if (count > rows_) {
        beginInsertRows({}, rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        beginRemoveRows({}, count, rows_ - 1);
        rows_ = count;
        endRemoveRows();
    }
    if (!itemData_.empty() || count == 0)
        itemData_.resize(static_cast<std::size_t>(count), nullptr);
}

int COwnerListModel::InsertColumn(int position, Column column) {
    position = std::clamp(position, 0, ColumnCount());
    beginInsertColumns({}, position, position);
    columns_.insert(columns_.begin() + position, std::move(column));
    endInsertColumns();
    return position;
}

void COwnerListModel::RemoveAllColumns() {
    if (columns_.empty())
        return;
    beginRemoveColumns({}, 0, ColumnCount() - 1);
    columns_.clear();
    endRemoveColumns();
}

std::uint16_t COwnerListModel::ColumnId(int section) const {
    if (section < 0 || section >= ColumnCount())
        return 0xFFFF;
    return columns_[static_cast<std::size_t>(section)].id;
}

int COwnerListModel::SectionOfId(std::uint16_t id) const {
    for (int section = 0; section < ColumnCount(); ++section) {
        if (columns_[static_cast<std::size_t>(section)].id == id)
            return section;
    }
    return -1;
}

void COwnerListModel::SetColumnImage(int section, int image) {
    if (section < 0 || section >= ColumnCount())
        return;
    columns_[static_cast<std::size_t>(section)].image = image;
    emit headerDataChanged(Qt::Horizontal, section, section);
}

void COwnerListModel::SetItemData(int row, void* data) {
    if (row < 0 || row >= rows_)
        return;
    itemData_.resize(static_cast<std::size_t>(rows_), nullptr);
    itemData_[static_cast<std::size_t>(row)] = data;
}

void* COwnerListModel::ItemData(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= itemData_.size())
        return nullptr;
    return itemData_[static_cast<std::size_t>(row)];
}

}  // namespace tallowmere::ui
