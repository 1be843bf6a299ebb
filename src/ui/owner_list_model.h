#pragma once
// The rows of an owner-drawn list as Qt's views see them: a row count and
// the columns, and no cell data. The list draws every row itself from its
// own row objects, fetched when a row is painted, so the model copies
// nothing. The count changes by rows inserted or removed at the end, as a
// list control's item count does, so the selection of the rows that stay
// survives.
#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <vector>

namespace tallowmere::ui {

class COwnerListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COwnerListModel)

  public:
    // Header data beside the title (Qt::DisplayRole): the column id, and the
    // header image index (-1 for none).
    static constexpr int kColumnIdRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;

    struct Column {
        std::uint16_t id = 0;
        QString title;
        int image = -1;
    };

    explicit COwnerListModel(QObject* parent = nullptr);
    ~COwnerListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows are added or taken away at the end; a negative count is 0.
    void SetRowCount(int count);
    int RowCount() const { return rows_; }

    // Inserts at position (kept to 0..count) and returns the position.
    int InsertColumn(int position, Column column);
    void RemoveAllColumns();
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // The id of the column in a header section; 0xFFFF for none.
    std::uint16_t ColumnId(int section) const;
    // The section showing a column id; -1 for none.
    int SectionOfId(std::uint16_t id) const;
    void SetColumnImage(int section, int image);

    // What a list that is not owner-data keeps per row (its item data).
    void SetItemData(int row, void* data);
    void* ItemData(int row) const;

  private:
    int rows_ = 0;
    std::vector<Column> columns_;
    std::vector<void*> itemData_;
};

}  // namespace tallowmere::ui
