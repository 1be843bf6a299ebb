#include "ui/cell_painter.h"

#include <QPainter>
#include <QRect>

#include "ui/text_drawing.h"

namespace tallowmere::ui {

QColor NegativeAmountColor() {
    return QColor(255, 0, 0);
}

void DrawTextCell(QPainter& painter, const QRect& cell, const QString& text, bool alignRight) {
    const QRect inner = cell.adjusted(kCellInset, 0, -kCellInset, 0);
    const int align = alignRight ? Qt::AlignRight : Qt::AlignLeft;
    DrawTextFitted(painter, text, inner, align | Qt::AlignVCenter);
}

void DrawListCell(QPainter& painter, const QRect& cell, const CellText& text) {
    const QString shown = QString::fromStdString(text.text);
    if (!text.negative) {
        DrawTextCell(painter, cell, shown, text.money);
        return;
    }
    const QPen previous = painter.pen();
    painter.setPen(NegativeAmountColor());
    DrawTextCell(painter, cell, shown, text.money);
    painter.setPen(previous);
}

}  // namespace tallowmere::ui
