#pragma once
// Small helpers on a dialog's windows: where a control lies inside its
// border, text drawn over a control, and labels whose text is a template
// with one "%s".
#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QPainter;
class QWidget;

namespace tallowmere::ui {

// The control "id_<n>" of the dialog, in the dialog's coordinates, shrunk by
// one pixel on every side; empty when the dialog has no such control.
QRect GetChildRect(const QWidget& dialog, int controlId);

// Draws the text into the control's rectangle inside its border (see
// GetChildRect), over the button face, in the control's font (bold when
// asked) and the colour, with the alignment flags. An empty text draws the
// control's own text, at most 256 characters. Nothing without the control.
void DrawDialogItemText(QPainter& painter, const QWidget& dialog, int controlId,
                        const QString& text, bool bold, const QColor& color, int flags);

// The label's text with its first "%s" replaced by the program's version
// ("version %s"); "%%" becomes "%", nothing else is read as a format.
void SetVersionText(QLabel& label);
// The same with the given text.
void FormatWindowText(QLabel& label, const QString& text);

}  // namespace tallowmere::ui
