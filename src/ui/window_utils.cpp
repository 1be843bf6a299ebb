#include "ui/window_utils.h"

#include <QLabel>
#include <QPainter>
#include <QVariant>
#include <QWidget>

#include "model/window_text.h"

namespace tallowmere::ui {

QRect GetChildRect(const QWidget& dialog, int controlId) {
    const auto* control = dialog.findChild<QWidget*>(QStringLiteral("id_%1").arg(controlId));
    if (control == nullptr)
        return QRect();
    const QRect rect(control->mapTo(&dialog, QPoint(0, 0)), control->size());
    return rect.adjusted(1, 1, -1, -1);
}

void DrawDialogItemText(QPainter& painter, const QWidget& dialog, int controlId,
                        const QString& text, bool bold, const QColor& color, int flags) {
    const auto* control = dialog.findChild<QWidget*>(QStringLiteral("id_%1").arg(controlId));
    if (control == nullptr)
        return;
    constexpr int kMaxOwnText = 256;
    const QString shown =
        text.isEmpty() ? control->property("text").toString().left(kMaxOwnText) : text;
    const QRect rect = GetChildRect(dialog, controlId);
    QFont font = control->font();
    if (bold)
        font.setWeight(QFont::Bold);
    painter.save();
    painter.fillRect(rect, dialog.palette().button());
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, flags, shown);
    painter.restore();
}

void SetVersionText(QLabel& label) {
    label.setText(QString::fromStdString(tallowmere::SetVersionText(label.text().toStdString())));
}

void FormatWindowText(QLabel& label, const QString& text) {
    label.setText(QString::fromStdString(
        tallowmere::FormatWindowText(label.text().toStdString(), text.toStdString())));
}

}  // namespace tallowmere::ui
