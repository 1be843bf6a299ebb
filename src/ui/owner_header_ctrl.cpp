#include "ui/owner_header_ctrl.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/icon_list.h"
#include "ui/logic/transaction_cells.h"
#include "ui/owner_list_model.h"

namespace tallowmere::ui {

namespace {

const QColor kFill(249, 250, 250);
const QColor kSeparator(181, 182, 200);
// The three closing lines, the lowest first.
const QColor kBottom[3] = {QColor(189, 190, 206), QColor(209, 210, 222), QColor(230, 231, 239)};
constexpr int kTextIndent = 6;
constexpr int kArrowWidth = 16;

void PaintBottomLines(QPainter& painter, int left, int right, int bottom) {
    for (int i = 0; i < 3; ++i) {
        painter.setPen(kBottom[i]);
        painter.drawLine(left, bottom - i, right, bottom - i);
    }
}

}  // namespace

void PaintHeaderSection(QPainter& painter, const QRect& rect, const QString& text, int image,
                        int sortArrow, const CIconList* strip) {
    painter.save();
    painter.fillRect(rect, kFill);
    if (image >= 0) {
        if (strip != nullptr)
            strip->Draw(painter, image, rect);
    } else {
        painter.setPen(Qt::black);
        painter.drawText(rect.adjusted(kTextIndent, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    // In the last column of the section, from 3 below the top to 4 above
    // the bottom.
    painter.setPen(kSeparator);
    painter.drawLine(rect.right(), rect.top() + 3, rect.right(), rect.bottom() - 4);
    if (sortArrow >= 0 && strip != nullptr)
        strip->Draw(painter, sortArrow,
                    QRect(rect.right() + 1 - kArrowWidth, rect.top(), kArrowWidth, rect.height()));
    PaintBottomLines(painter, rect.left(), rect.right(), rect.bottom());
    painter.restore();
}

COwnerHeaderCtrl::COwnerHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsMovable(false);
    setSortIndicatorShown(false);
    setHighlightSections(false);
}

COwnerHeaderCtrl::~COwnerHeaderCtrl() = default;

void COwnerHeaderCtrl::SetIconList(const CIconList* strip) {
    strip_ = strip;
    viewport()->update();
}

void COwnerHeaderCtrl::SetSortColumn(int columnId) {
    sortColumn_ = columnId;
    viewport()->update();
}

void COwnerHeaderCtrl::SetSortDirection(std::uint8_t direction) {
    sortDirection_ = direction;
    viewport()->update();
}

void COwnerHeaderCtrl::paintEvent(QPaintEvent* event) {
    // The room right of the last section looks like the sections.
    {
        QPainter painter(viewport());
        const QRect all = viewport()->rect();
        painter.fillRect(event->rect(), kFill);
        PaintBottomLines(painter, all.left(), all.right(), all.bottom());
    }
    QHeaderView::paintEvent(event);
}

void COwnerHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid() || model() == nullptr)
        return;
    const auto value = [&](int role) {
        return model()->headerData(logicalIndex, Qt::Horizontal, role);
    };
    const QVariant id = value(COwnerListModel::kColumnIdRole);
    const QVariant image = value(COwnerListModel::kImageRole);
    int arrow = -1;
    if (id.isValid() && id.toInt() == sortColumn_)
        arrow = sortDirection_ != 0 ? kSortArrowAscending : kSortArrowDescending;
    PaintHeaderSection(*painter, rect, value(Qt::DisplayRole).toString(),
                       image.isValid() ? image.toInt() : -1, arrow, strip_);
}

}  // namespace tallowmere::ui
