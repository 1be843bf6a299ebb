#pragma once
// COwnerListCtrl: the base of every list of the program. A flat tree view
// over a row-count model (COwnerListModel) whose rows it paints itself: each
// row is filled with the alternating row colours or the highlight, then
// DrawRow hands each cell, by column id, to the subclass's DrawCell. Row
// objects come from the subclass on demand (GetItemObject), so a list never
// copies its model. Typing finds a row by the text of the sort column; the
// search text is shared by every list.
//
// Column ids are kept apart from positions: a cell is drawn by its id, and
// the columns cannot be moved by the user, so their order is only the one
// the owner inserted. Sorting is the owner's: Qt's own sorting stays off.
#include <QColor>
#include <QTreeView>
#include <cstdint>

namespace tallowmere::ui {

class COwnerListModel;

// How a list is made (the creation styles of the list controls).
struct ListStyle {
    bool ownerData = false;  // rows come from the owner, not from item data
    bool headerShown = true;
    bool singleSelection = false;
};

// "No column": GetColumnAtX beyond the last column, or without columns.
inline constexpr std::uint16_t kNoColumnId = 0xFFFF;

class COwnerListCtrl : public QTreeView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COwnerListCtrl)

  public:
    explicit COwnerListCtrl(QWidget* parent = nullptr);
    ~COwnerListCtrl() override;

    // Places the list in parent at rect, names it "id_<controlId>" and gives
    // it the style of GetCreateStyle().
    void Create(const QRect& rect, QWidget* parent, int controlId);

    // --- operations a subclass may replace ---

    // The title from the string table (none for id 0); then
    // InsertColumnWithId. Returns the position.
    virtual int InsertColumnById(int position, std::uint16_t columnId, int titleStringId,
                                 int width);
    virtual int InsertColumnWithId(int position, std::uint16_t columnId, const QString& title,
                                   int width);
    // The header shows an image of its strip, centred, in place of the title.
    virtual void SetColumnImage(int section, int image);
    // From the font's height (with its external leading): height + 4.
    virtual double GetRowHeight(int fontHeight) const;
    // Draws the cells of a row, each by its column id, left to right.
    virtual void DrawRow(QPainter& painter, const QRect& rowRect, bool selected, void* object,
                         int row) const;
    // The id of the column whose texts type-ahead searches.
    virtual std::uint16_t GetSortColumn() const;
    virtual void DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                          void* object, int row) const = 0;
    virtual ListStyle GetCreateStyle() const;
    // The row object; null draws and matches nothing. The base gives the
    // row's item data.
    virtual void* GetItemObject(int row) const;
    // A row's selection changed (row is never -1).
    virtual void OnItemSelected(int row, bool selected);
    // The text type-ahead compares; the base has none.
    virtual QString GetItemText(void* object, std::uint16_t columnId) const;
    virtual void OnItemDoubleClicked(int row);
    virtual void OnBeginDrag();
    virtual void OnContextMenu(const QPoint& globalPos);

    // --- the rest ---

    // Spreads the difference between the client width and the columns'
    // widths evenly over the columns (none narrower than the header allows).
    void FitColumnsToWidth();
    std::uint16_t GetColumnId(int section) const;
    // The id of the column under x (viewport coordinates, so a sideways
    // scroll counts); kNoColumnId beyond the last column or without columns.
    std::uint16_t GetColumnAtX(int x) const;
    int GetColumnCount() const;
    void DeleteAllColumns();

    int GetItemCount() const;
    // Changes the count at the end, keeping the selection of the rows that
    // stay, and repaints.
    void SetItemCount(int count);
    void SetItemData(int row, void* data);

    int GetTopIndex() const;
    void SetTopIndex(int row);
    // Whole rows that fit in the viewport.
    int GetRowsPerPage() const;
    int GetRowHeightPixels() const;
    int GetFirstSelectedItem() const;
    // The row under a viewport point; -1 for none.
    int HitTestRow(const QPoint& point) const;
    // Where the rows are: as wide as the columns, down to the last row's
    // bottom; empty without rows.
    QRect GetRowsRect() const;
    int GetClientWidth() const;
    void SelectAll(bool select);
    // Brings a row into view; from below, with a page of context under it.
    void EnsureVisible(int row);
    // Optionally clears every selection, then selects and focuses the row
    // (none for -1).
    void SetSelection(int row, bool clearOthers);

    // Rows 0, 2, 4 ... are filled with the even-row colour (white until set),
    // the others with the odd-row colour (the window colour).
    void SetEvenRowColor(const QColor& color);
    QColor GetEvenRowColor() const { return evenRow_; }
    void SetOddRowColor(const QColor& color);
    QColor GetOddRowColor() const { return oddRow_; }

    // The selected rows' fill and text (the system's highlight until set).
    void SetHighlightColors(const QColor& fill, const QColor& text);

    COwnerListModel& Model() const { return *model_; }

  protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

    // Selection mode and header as the style says; Create applies
    // GetCreateStyle(), and a subclass's constructor may do so too.
    void ApplyStyle(const ListStyle& style);
    // Scrolls just enough that the row is wholly in view.
    void ScrollRowIntoView(int row);
    QModelIndex RowIndex(int row) const;

  private:
    // Type-ahead; true when a row matched.
    bool SearchTyped(const QString& typed);
    void ReportSelection(const QItemSelection& selected, const QItemSelection& deselected);

    COwnerListModel* model_;
    ListStyle style_;
    QColor evenRow_;
    QColor oddRow_;
    QColor highlight_;
    QColor highlightText_;
};

}  // namespace tallowmere::ui
