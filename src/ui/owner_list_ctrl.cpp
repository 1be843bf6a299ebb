#include "ui/owner_list_ctrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "model/string_table.h"
#include "platform/clock.h"
#include "ui/list_selection.h"
#include "ui/logic/list_geometry.h"
#include "ui/logic/type_ahead.h"
#include "ui/owner_list_model.h"

namespace tallowmere::ui {

namespace {

// Gives every row the list's height; rows are never painted through it.
class RowHeightDelegate final : public QStyledItemDelegate {
  public:
    explicit RowHeightDelegate(COwnerListCtrl& list) : QStyledItemDelegate(&list), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, list_.GetRowHeightPixels()};
    }

  private:
    COwnerListCtrl& list_;
};

bool IsTypedText(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

COwnerListCtrl::COwnerListCtrl(QWidget* parent)
    : QTreeView(parent),
      model_(new COwnerListModel(this)),
      evenRow_(Qt::white),
      oddRow_(palette().color(QPalette::Active, QPalette::Base)),
      highlight_(palette().color(QPalette::Active, QPalette::Highlight)),
      highlightText_(palette().color(QPalette::Active, QPalette::HighlightedText)) {
    setModel(model_);
    setItemDelegate(new RowHeightDelegate(*this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &COwnerListCtrl::ReportSelection);
    ApplyStyle(style_);
}

COwnerListCtrl::~COwnerListCtrl() = default;

void COwnerListCtrl::Create(const QRect& rect, QWidget* parent, int controlId) {
    setParent(parent);
    setGeometry(rect);
    setObjectName(QStringLiteral("id_%1").arg(controlId));
    ApplyStyle(GetCreateStyle());
    scheduleDelayedItemsLayout();
}

void COwnerListCtrl::ApplyStyle(const ListStyle& style) {
    style_ = style;
    setSelectionMode(style.singleSelection ? SingleSelection : ExtendedSelection);
    setHeaderHidden(!style.headerShown);
}

// ------------------------------------------------------------ columns

int COwnerListCtrl::InsertColumnById(int position, std::uint16_t columnId, int titleStringId,
                                     int width) {
    const QString title =
        titleStringId != 0 ? QString::fromStdString(LoadString(titleStringId)) : QString();
    return InsertColumnWithId(position, columnId, title, width);
}

int COwnerListCtrl::InsertColumnWithId(int position, std::uint16_t columnId, const QString& title,
                                       int width) {
    const int at = model_->InsertColumn(position, {columnId, title, -1});
    header()->resizeSection(at, std::max(width, 0));
    return at;
}

void COwnerListCtrl::SetColumnImage(int section, int image) {
    model_->SetColumnImage(section, image);
}

std::uint16_t COwnerListCtrl::GetColumnId(int section) const {
    return model_->ColumnId(section);
}

int COwnerListCtrl::GetColumnCount() const {
    return model_->ColumnCount();
}

void COwnerListCtrl::DeleteAllColumns() {
    model_->RemoveAllColumns();
}

std::uint16_t COwnerListCtrl::GetColumnAtX(int x) const {
    if (model_->ColumnCount() == 0)
        return kNoColumnId;
    const int section = header()->logicalIndexAt(x);
    return section < 0 ? kNoColumnId : model_->ColumnId(section);
}

void COwnerListCtrl::FitColumnsToWidth() {
    const int count = header()->count();
    std::vector<int> widths;
    for (int visual = 0; visual < count; ++visual)
        widths.push_back(header()->sectionSize(header()->logicalIndex(visual)));
    const std::vector<int> fitted =
        ui::FitColumnsToWidth(widths, GetClientWidth(), header()->minimumSectionSize());
    for (int visual = 0; visual < count; ++visual)
        header()->resizeSection(header()->logicalIndex(visual),
                                fitted[static_cast<std::size_t>(visual)]);
}

// ------------------------------------------------------------ rows

int COwnerListCtrl::GetItemCount() const {
    return model_->RowCount();
}

void COwnerListCtrl::SetItemCount(int count) {
    model_->SetRowCount(count);
    viewport()->update();
}

void COwnerListCtrl::SetItemData(int row, void* data) {
    model_->SetItemData(row, data);
}

QModelIndex COwnerListCtrl::RowIndex(int row) const {
    return model_->index(row, 0);
}

double COwnerListCtrl::GetRowHeight(int fontHeight) const {
    return fontHeight + 4;
}

int COwnerListCtrl::GetRowHeightPixels() const {
    const QFontMetrics metrics(font());
    const int fontHeight = metrics.height() + std::max(0, metrics.leading());
    return std::max(1, static_cast<int>(GetRowHeight(fontHeight)));
}

int COwnerListCtrl::GetTopIndex() const {
    return GetItemCount() == 0 ? 0 : verticalScrollBar()->value();
}

void COwnerListCtrl::SetTopIndex(int row) {
    // The scroll range follows the count only once the rows are laid out.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(std::max(row, 0));
}

int COwnerListCtrl::GetRowsPerPage() const {
    return viewport()->height() / GetRowHeightPixels();
}

int COwnerListCtrl::GetFirstSelectedItem() const {
    return ui::GetFirstSelectedItem(*this);
}

int COwnerListCtrl::HitTestRow(const QPoint& point) const {
    const QModelIndex index = indexAt(point);
    return index.isValid() ? index.row() : -1;
}

QRect COwnerListCtrl::GetRowsRect() const {
    const int shown = GetItemCount() - GetTopIndex();
    if (shown <= 0)
        return {};
    const int height = std::min(viewport()->height(), shown * GetRowHeightPixels());
    return {0, 0, std::max(0, header()->length() - horizontalOffset()), height};
}

int COwnerListCtrl::GetClientWidth() const {
    return viewport()->width();
}

void COwnerListCtrl::SelectAll(bool select) {
    SelectAllItems(*this, select);
    if (!select)
        selectionModel()->clearCurrentIndex();
}

void COwnerListCtrl::EnsureVisible(int row) {
    executeDelayedItemsLayout();
    const int target = EnsureVisibleTarget(row, GetTopIndex(), GetRowsPerPage(), GetItemCount());
    if (target >= 0)
        ScrollRowIntoView(target);
}

void COwnerListCtrl::ScrollRowIntoView(int row) {
    executeDelayedItemsLayout();
    const int top = GetTopIndex();
    const int page = std::max(GetRowsPerPage(), 1);
    if (row < top)
        SetTopIndex(row);
    else if (row >= top + page)
        SetTopIndex(row - page + 1);
}

void COwnerListCtrl::SetSelection(int row, bool clearOthers) {
    if (row < 0 || row >= GetItemCount()) {
        if (clearOthers)
            clearSelection();
        return;
    }
    SelectListItem(*this, row, clearOthers);
}

void COwnerListCtrl::SetEvenRowColor(const QColor& color) {
    evenRow_ = color;
    viewport()->update();
}

void COwnerListCtrl::SetOddRowColor(const QColor& color) {
    oddRow_ = color;
    viewport()->update();
}

void COwnerListCtrl::SetHighlightColors(const QColor& fill, const QColor& text) {
    highlight_ = fill;
    highlightText_ = text;
    viewport()->update();
}

// ------------------------------------------------------------ hooks

std::uint16_t COwnerListCtrl::GetSortColumn() const {
    return 0;
}

ListStyle COwnerListCtrl::GetCreateStyle() const {
    return {};
}

void* COwnerListCtrl::GetItemObject(int row) const {
    return model_->ItemData(row);
}

void COwnerListCtrl::OnItemSelected(int, bool) {}

QString COwnerListCtrl::GetItemText(void*, std::uint16_t) const {
    return {};
}

void COwnerListCtrl::OnItemDoubleClicked(int) {}

void COwnerListCtrl::OnBeginDrag() {}

void COwnerListCtrl::OnContextMenu(const QPoint&) {}

// ------------------------------------------------------------ painting

void COwnerListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int row = index.row();
    if (row < 0)
        return;
    const bool selected = selectionModel()->isRowSelected(row, {});
    // The row as wide as the columns, where the first column starts; the
    // room beyond the columns keeps the window colour.
    const int left = -horizontalOffset();
    const QRect rowRect(left, option.rect.top(), header()->length(), option.rect.height());
    painter->save();
    // Nothing a cell draws leaves its row.
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->fillRect(option.rect, palette().color(QPalette::Base));
    painter->fillRect(rowRect, selected ? highlight_ : (row % 2 != 0 ? oddRow_ : evenRow_));
    painter->setPen(selected ? highlightText_ : palette().color(QPalette::Active, QPalette::Text));
    painter->setFont(font());
    DrawRow(*painter, rowRect, selected, GetItemObject(row), row);
    painter->restore();
    if (hasFocus() && currentIndex().row() == row) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rowRect;
        focus.backgroundColor = selected ? highlight_ : evenRow_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

void COwnerListCtrl::DrawRow(QPainter& painter, const QRect& rowRect, bool, void* object,
                             int row) const {
    int x = rowRect.left();
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int section = header()->logicalIndex(visual);
        if (header()->isSectionHidden(section))
            continue;
        const int width = header()->sectionSize(section);
        DrawCell(painter, QRect(x, rowRect.top(), width, rowRect.height()), GetColumnId(section),
                 object, row);
        x += width;
    }
}

// ------------------------------------------------------------ events

bool COwnerListCtrl::SearchTyped(const QString& typed) {
    TypeAheadSearch& search = SharedTypeAhead();
    const std::uint32_t now = platform::CurrentClock().TickCount();
    const auto interval = static_cast<std::uint32_t>(std::max(0, qApp->doubleClickInterval()));
    for (const char32_t c : typed.toUcs4())
        search.Type(c, now, interval);
    const std::u32string& text = search.Text();
    const QString wanted = QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
    const std::uint16_t column = GetSortColumn();
    for (int row = 0; row < GetItemCount(); ++row) {
        void* object = GetItemObject(row);
        if (object == nullptr)
            continue;
        const QString candidate = GetItemText(object, column);
        if (candidate.isEmpty() || !candidate.startsWith(wanted, Qt::CaseInsensitive))
            continue;
        SetSelection(row, true);
        ScrollRowIntoView(row);
        return true;
    }
    return false;
}

void COwnerListCtrl::keyPressEvent(QKeyEvent* event) {
    if (IsTypedText(*event)) {
        // No match: the key goes on to whoever else wants it.
        if (!SearchTyped(event->text()))
            event->ignore();
        return;
    }
    const int key = event->key();
    const bool move = key == Qt::Key_Up || key == Qt::Key_Down;
    if ((move || key == Qt::Key_Return || key == Qt::Key_Enter) && GetFirstSelectedItem() < 0) {
        // Nothing selected: the arrows turn pages, Return does nothing.
        const int page = GetRowsPerPage();
        if (move && page < GetItemCount())
            SetTopIndex(GetTopIndex() + (key == Qt::Key_Down ? page : -page));
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void COwnerListCtrl::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

void COwnerListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = HitTestRow(event->position().toPoint());
    if (row < 0) {
        event->accept();
        return;
    }
    OnItemDoubleClicked(row);
    QTreeView::mouseDoubleClickEvent(event);
}

void COwnerListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QPoint global = event->globalPos();
    const QModelIndex current = currentIndex();
    if (event->reason() == QContextMenuEvent::Keyboard && current.isValid())
        global = viewport()->mapToGlobal(visualRect(current).center());
    OnContextMenu(global);
    event->accept();
}

void COwnerListCtrl::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    // A new font asks for the row height again.
    if (event->type() == QEvent::FontChange)
        scheduleDelayedItemsLayout();
}

void COwnerListCtrl::startDrag(Qt::DropActions) {
    OnBeginDrag();
}

void COwnerListCtrl::ReportSelection(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    const auto report = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                if (row >= 0)
                    OnItemSelected(row, on);
            }
        }
    };
    report(deselected, false);
    report(selected, true);
}

}  // namespace tallowmere::ui
