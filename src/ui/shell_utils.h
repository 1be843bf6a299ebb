#pragma once
// Opening a file or page with the desktop's own program, and the save-file
// dialog with the filters in the program's "Text|*.a;*.b||" form. Both go
// through UiServices, so tests answer them.
#include <QString>

class QWidget;

namespace tallowmere::ui {

// Opens the file with the program the desktop uses for it. False when that
// could not be started.
bool OpenWithShell(const QString& path);

// A save dialog (asking before it overwrites a file) with the title, the
// filter and, when not empty, the initial folder. True and the path when
// one was chosen; path is left alone otherwise.
bool BrowseForFile(QWidget* parent, const QString& title, const QString& filter, QString& path,
                   const QString& initialFolder);

// "Text (*.a)|*.a;*.b||" as Qt reads filters: "Text (*.a *.b)". The
// patterns come from the pattern half; a description's own trailing
// "(...)" gives way to them, since Qt would read its text as patterns.
QString QtFileFilter(const QString& filter);

}  // namespace tallowmere::ui
