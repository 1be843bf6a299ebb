#include "ui/window_utils.h"

#include <QLabel>
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

void SetVersionText(QLabel& label) {
    label.setText(QString::fromStdString(tallowmere::SetVersionText(label.text().toStdString())));
}

void FormatWindowText(QLabel& label, const QString& text) {
    label.setText(QString::fromStdString(
        tallowmere::FormatWindowText(label.text().toStdString(), text.toStdString())));
}

}  // namespace tallowmere::ui
