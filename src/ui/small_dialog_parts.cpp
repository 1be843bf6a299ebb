#include "ui/small_dialog_parts.h"

#include <QAbstractSpinBox>
#include <QDateEdit>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "ui/palm_date.h"

namespace tallowmere::ui {

QBoxLayout* ButtonRow(QDialog& dialog, std::initializer_list<std::pair<int, const char*>> buttons) {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addStretch();
    bool first = true;
    for (const auto& [id, text] : buttons) {
        auto* button = Named(new QPushButton(QString::fromUtf8(text), &dialog), id);
        button->setDefault(first);
        button->setMinimumWidth(CharsWide(*button, 10));
        // 1 is OK (or the dialog's own word for it), 2 Cancel.
        if (id == 1)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
        else if (id == 2)
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
        first = false;
        row->addWidget(button);
    }
    return row;
}

void FocusControl(QDialog& dialog, int id) {
    auto* control = dialog.findChild<QWidget*>(QStringLiteral("id_%1").arg(id));
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        spin->selectAll();
}

void SetUpDatePicker(QDateEdit& picker) {
    picker.setCalendarPopup(true);
    LimitToPalmRange(picker);
    // The spin box measures one sample date; month names differ in width.
    int text = 0;
    for (int month = 1; month <= 12; ++month) {
        const QString shown =
            picker.locale().toString(QDate(2000, month, 28), picker.displayFormat());
        text = std::max(text, picker.fontMetrics().horizontalAdvance(shown));
    }
    const int arrow = picker.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &picker);
    picker.setMinimumWidth(text + arrow + CharsWide(picker, 3));
}

int CharsWide(const QWidget& w, int n) {
    return w.fontMetrics().averageCharWidth() * n;
}

}  // namespace tallowmere::ui
