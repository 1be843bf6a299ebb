#include "ui/transaction_box.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "ui/cell_painter.h"
#include "ui/logic/download_review_logic.h"
#include "ui/online_dialog_parts.h"
#include "ui/text_drawing.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrNoMatch = 245;
constexpr int kInset = 2;
constexpr int kTypeOffset = 60;
constexpr int kPayeeOffset = 75;
constexpr int kAmountMargin = 3;

}  // namespace

QColor TransactionBoxColor() {
    return QColor(255, 255, 206);
}

void DrawTransactionBox(QPainter& painter, const QRect& rect, const CAccounts& data,
                        const CTransaction* t) {
    painter.save();
    painter.setPen(painter.pen().color());
    painter.setBrush(TransactionBoxColor());
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    const QRect inner = rect.adjusted(kInset, 0, -kAmountMargin, 0);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    const TransactionBoxText box = BoxText(data, t);
    if (box.none) {
        DrawTextFitted(painter, StringText(kStrNoMatch), inner, flags | Qt::AlignLeft);
        painter.restore();
        return;
    }
    const QString amount = QString::fromStdString(box.amount);
    const int amountWidth = painter.fontMetrics().horizontalAdvance(amount);
    const int right = inner.right() - amountWidth - 8;
    // The offsets grow with the font, so a date with its year is never cut.
    const QFontMetrics metrics = painter.fontMetrics();
    const int typeX =
        inner.left() +
        std::max(kTypeOffset, metrics.horizontalAdvance(QStringLiteral("00/00/0000")) + 12);
    const int payeeX =
        typeX + std::max(kPayeeOffset, metrics.horizontalAdvance(QStringLiteral("00000000")) + 12);
    const auto part = [&](int left, int end) {
        return QRect(left, inner.top(), std::max(0, end - left), inner.height());
    };
    DrawTextFitted(painter, QString::fromStdString(box.date), part(inner.left(), typeX - 4), flags);
    DrawTextFitted(painter, QString::fromStdString(box.type), part(typeX, payeeX - 4), flags);
    DrawTextFitted(painter, QString::fromStdString(box.payee), part(payeeX, right), flags);
    if (box.negative)
        painter.setPen(NegativeAmountColor());
    painter.drawText(inner, flags | Qt::AlignRight, amount);
    painter.restore();
}

CTransactionBox::CTransactionBox(const CAccounts& data, QWidget* parent)
    : QWidget(parent), data_(data) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CTransactionBox::~CTransactionBox() = default;

void CTransactionBox::SetTransaction(const CTransaction* t) {
    transaction_ = t;
    update();
}

QSize CTransactionBox::sizeHint() const {
    return {420, fontMetrics().height() + 12};
}

void CTransactionBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    DrawTransactionBox(painter, rect(), data_, transaction_);
}

}  // namespace tallowmere::ui
