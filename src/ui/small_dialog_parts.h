#pragma once
// Pieces the transfer and small dialogs share: controls named after their
// ids, the row of buttons at the foot, and the focus after a refused OK.
#include <QString>
#include <initializer_list>
#include <utility>

class QBoxLayout;
class QDateEdit;
class QDialog;
class QPushButton;
class QWidget;

namespace tallowmere::ui {

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

// The buttons, right-aligned in this order, each named after its id; the
// first is the default button. Button 1 runs the dialog's accept(), 2 its
// reject().
QBoxLayout* ButtonRow(QDialog& dialog, std::initializer_list<std::pair<int, const char*>> buttons);

// The control with this id gets the focus; an edit's text is selected.
void FocusControl(QDialog& dialog, int id);

// A picker with a calendar that pops up, limited to the dates the files
// hold, wide enough for any day in its display format.
void SetUpDatePicker(QDateEdit& picker);

// The width of n average characters of w's font, for edits and pickers.
int CharsWide(const QWidget& w, int n);

}  // namespace tallowmere::ui
