#include "ui/money_static.h"

#include <QPainter>

namespace tallowmere::ui {
namespace {

// The text stands as far in from the right as a line edit's text does, so
// the totals line up with the amounts above them.
constexpr int kRightInset = 4;

}  // namespace

void PaintMoneyStatic(QPainter& painter, const QRect& rect, const QPalette& palette,
                      const QString& text, bool negative) {
    painter.save();
    painter.fillRect(rect, palette.button());
    painter.setPen(negative ? QColor(255, 0, 0) : QColor(0, 0, 0));
    // Plain text: no mnemonic is read from the digits.
    painter.drawText(rect.adjusted(0, 0, -kRightInset, 0),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

CMoneyStatic::CMoneyStatic(QWidget* parent) : QWidget(parent) {}

CMoneyStatic::~CMoneyStatic() = default;

void CMoneyStatic::SetAmount(const QString& text, bool negative) {
    if (text == text_ && negative == negative_)
        return;
    text_ = text;
    negative_ = negative;
    update();
}

QSize CMoneyStatic::sizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("-0000000000.00")) + kRightInset,
            fontMetrics().height() + 4};
}

void CMoneyStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    PaintMoneyStatic(painter, rect(), palette(), text_, negative_);
}

}  // namespace tallowmere::ui
