#pragma once
// The one service through which the program's windows reach everything that
// would block or leave the program: message boxes, file, colour and font
// dialogs, pop-up menus, running a modal dialog, the print, print preview
// and page setup dialogs, opening a URL and the beep.
// The program uses the Qt implementation; tests install a scripted one.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

#include "ui/logic/messages.h"

class QAction;
class QDialog;
class QMenu;
class QPrinter;
class QWidget;

namespace tallowmere::ui {

class UiServices {
  public:
    virtual ~UiServices() = default;

    // A message box captioned "Tallowmere Desktop" over parent.
    virtual Answer ShowMessage(QWidget* parent, const MessageRequest& request) = 0;
    // File dialogs; filter in Qt's form ("OFX Files (*.ofx *.qfx)").
    // Empty when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // Asks before overwriting an existing file.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter) = 0;
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) = 0;
    // Runs the menu and returns the chosen action (null: none). The caller
    // acts on it after this returns.
    virtual QAction* Popup(QMenu& menu, const QPoint& globalPos) = 0;
    // Runs a modal dialog and returns its result code.
    virtual int RunDialog(QDialog& dialog) = 0;
    // The print dialog over printer, offering pages 1 to maxPage as its
    // range; true when the user chose to print (printer then holds the
    // choices: printer or PDF file, range, copies).
    virtual bool RunPrintDialog(QWidget* parent, QPrinter& printer, int maxPage) = 0;
    // The print preview of printer's pages until it is closed; paint draws
    // them on the printer it is given, as often as the preview needs.
    virtual void RunPrintPreview(QWidget* parent, QPrinter& printer,
                                 const std::function<void(QPrinter&)>& paint) = 0;
    // The page setup dialog over printer; true on OK.
    virtual bool RunPageSetup(QWidget* parent, QPrinter& printer) = 0;
    virtual bool OpenUrl(const QUrl& url) = 0;
    virtual void Beep() = 0;
};

// The services in use: the Qt ones unless a test has set others. Every
// call that waits for the user (boxes, dialogs, pop-ups, file, colour, font
// and print dialogs) counts as running work while it runs, whoever makes it.
UiServices& Services();
// How many such calls run now (nested ones included).
int ModalDepth();
// Called whenever the outermost such call has returned (null: none); the
// main view runs a reload that waited for it. The caller keeps it valid.
void SetModalEndObserver(std::function<void()> observer);
// A wait for the user outside these calls (the online progress window,
// whose exchange handles events): counted as one such call while it lives.
class CCountedWait {
  public:
    CCountedWait();
    ~CCountedWait();
    CCountedWait(const CCountedWait&) = delete;
    CCountedWait& operator=(const CCountedWait&) = delete;
};
// Installs services (nullptr restores the Qt ones); the caller keeps
// ownership.
void SetServices(UiServices* services);

// The logic's message boxes, shown through Services() over a parent.
class ServiceMessages final : public Messages {
  public:
    explicit ServiceMessages(QWidget* parent = nullptr) : parent_(parent) {}
    Answer Show(const MessageRequest& request) override;

  private:
    QWidget* parent_;
};

}  // namespace tallowmere::ui
