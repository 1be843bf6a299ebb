#include "ui/icon_grid_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"

namespace tallowmere::ui {

QRect ToQRect(const IconGridRect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

void PaintIconGrid(QPainter& painter, const IconGridGeometry& geometry, const ChooseIconGrid& grid,
                   const QPalette& palette, const CIconResourceList& icons,
                   const IconPainter& builtIn) {
    for (int cell = 0; cell < kIconGridCells; ++cell) {
        const QRect rect = ToQRect(IconGridCellRect(geometry, cell));
        painter.fillRect(rect, palette.button());
        const int position = grid.PositionOfCell(cell);
        const GridIcon icon = grid.IconAt(position);
        if (icon.kind == GridIcon::Kind::kBuiltIn) {
            builtIn.DrawIcon(painter, rect, icon.iconIndex);
        } else if (icon.kind == GridIcon::Kind::kDatabase) {
            if (const CIconResource* resource = icons.GetAt(icon.setPlace))
                resource->Draw(painter, rect);
        }
        if (position == grid.SelectedPosition()) {
            painter.save();
            painter.setPen(QPen(palette.color(QPalette::Shadow), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
            painter.restore();
        }
    }
}

IconGridWidget::IconGridWidget(ChooseIconGrid& grid, const CIconResourceList& icons,
                               const IconPainter& builtIn, QWidget* parent)
    : QWidget(parent), grid_(grid), icons_(icons), builtIn_(builtIn) {
    setFixedSize(sizeHint());
}

IconGridWidget::~IconGridWidget() = default;

QRect IconGridWidget::CellRect(int cell) const {
    return ToQRect(IconGridCellRect(kChooseIconGeometry, cell));
}

QSize IconGridWidget::sizeHint() const {
    return {IconGridWidth(kChooseIconGeometry), IconGridHeight(kChooseIconGeometry)};
}

void IconGridWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintIconGrid(painter, kChooseIconGeometry, grid_, palette(), icons_, builtIn_);
}

void IconGridWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (grid_.Click(IconGridCellAt(kChooseIconGeometry, at.x(), at.y())))
        update();
}

}  // namespace tallowmere::ui
