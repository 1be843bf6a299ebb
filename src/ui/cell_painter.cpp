#include "ui/cell_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace tallowmere::ui {

namespace {

const QString kDots = QStringLiteral("...");

// The number of UTF-16 units in the first `points` code points.
qsizetype UnitsOfPoints(const QString& text, qsizetype points) {
    qsizetype units = 0;
    for (qsizetype n = 0; n < points && units < text.size(); ++n)
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    return units;
}

}  // namespace

QColor NegativeAmountColor() {
    return QColor(255, 0, 0);
}

QString FitCellText(const QString& text, int width, const QFontMetrics& metrics) {
    QString flat;
    flat.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            flat += QLatin1Char(' ');
        else if (c != QLatin1Char('\n'))
            flat += c;
    }
    if (metrics.horizontalAdvance(flat) <= width)
        return flat;
    // The longest start that fits with the dots, found by halving rather
    // than by taking one character off at a time: the same answer, since a
    // longer start is never narrower.
    qsizetype low = 0;
    qsizetype high = flat.toUcs4().size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(flat.left(UnitsOfPoints(flat, mid)) + kDots) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return flat.left(UnitsOfPoints(flat, low)) + kDots;
}

void DrawTextCell(QPainter& painter, const QRect& cell, const QString& text, bool alignRight) {
    const QRect inner = cell.adjusted(kCellInset, 0, -kCellInset, 0);
    const QString fitted = FitCellText(text, inner.width(), painter.fontMetrics());
    const int align = alignRight ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(inner, align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                     fitted);
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
