#pragma once
// Small helpers on a dialog's windows: where a control lies inside its
// border, and labels whose text is a template with one "%s".
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace tallowmere::ui {

// The control "id_<n>" of the dialog, in the dialog's coordinates, shrunk by
// one pixel on every side; empty when the dialog has no such control.
QRect GetChildRect(const QWidget& dialog, int controlId);

// The label's text with its first "%s" replaced by the program's version
// ("version %s"); "%%" becomes "%", nothing else is read as a format.
void SetVersionText(QLabel& label);
// The same with the given text.
void FormatWindowText(QLabel& label, const QString& text);

}  // namespace tallowmere::ui
