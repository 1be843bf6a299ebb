#include "ui/ui_services.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringCaption = 57344;

QMessageBox::StandardButton ToButton(Answer answer) {
    switch (answer) {
        case Answer::kOk:
            return QMessageBox::Ok;
        case Answer::kCancel:
            return QMessageBox::Cancel;
        case Answer::kYes:
            return QMessageBox::Yes;
        case Answer::kNo:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ToButtons(Buttons buttons) {
    switch (buttons) {
        case Buttons::kOk:
            return QMessageBox::Ok;
        case Buttons::kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(Icon icon) {
    switch (icon) {
        case Icon::kNone:
            return QMessageBox::NoIcon;
        case Icon::kInformation:
            return QMessageBox::Information;
        case Icon::kWarning:
            return QMessageBox::Warning;
        case Icon::kError:
            return QMessageBox::Critical;
        case Icon::kQuestion:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Closing the box with Esc or its close button gives Cancel, else No, else
// OK, as the answers' callers expect.
Answer EscapeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::kOkCancel:
        case Buttons::kYesNoCancel:
            return Answer::kCancel;
        case Buttons::kYesNo:
            return Answer::kNo;
        case Buttons::kOk:
            break;
    }
    return Answer::kOk;
}

class QtServices final : public UiServices {
  public:
    Answer ShowMessage(QWidget* parent, const MessageRequest& request) override {
        QMessageBox box(ToIcon(request.icon), QString::fromStdString(LoadString(kStringCaption)),
                        QString::fromStdString(request.text), ToButtons(request.buttons), parent);
        // Texts carry names from files and banks: never rich text.
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(ToButton(request.defaultAnswer));
        box.setEscapeButton(ToButton(EscapeAnswer(request.buttons)));
        switch (box.exec()) {
            case QMessageBox::Ok:
                return Answer::kOk;
            case QMessageBox::Cancel:
                return Answer::kCancel;
            case QMessageBox::Yes:
                return Answer::kYes;
            case QMessageBox::No:
                return Answer::kNo;
            default:
                return EscapeAnswer(request.buttons);
        }
    }

    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, path, filter);
    }

    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
        const QColor color = QColorDialog::getColor(initial, parent);
        if (!color.isValid())
            return std::nullopt;
        return color;
    }

    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return std::nullopt;
        return font;
    }

    QAction* Popup(QMenu& menu, const QPoint& globalPos) override { return menu.exec(globalPos); }

    int RunDialog(QDialog& dialog) override { return dialog.exec(); }

    bool RunPrintDialog(QWidget* parent, QPrinter& printer, int maxPage) override {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, std::max(maxPage, 1));
        return dialog.exec() == QDialog::Accepted;
    }

    void RunPrintPreview(QWidget* parent, QPrinter& printer,
                         const std::function<void(QPrinter&)>& paint) override {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&paint](QPrinter* target) { paint(*target); });
        dialog.exec();
    }

    bool RunPageSetup(QWidget* parent, QPrinter& printer) override {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

    void Beep() override { QApplication::beep(); }
};

QtServices& QtDefault() {
    static QtServices services;
    return services;
}

UiServices* g_services = nullptr;
int g_modalDepth = 0;
std::function<void()> g_modalEnd;

UiServices& Installed() {
    return g_services != nullptr ? *g_services : QtDefault();
}

// Runs a call that waits for the user, counted while it runs.
template <typename F>
auto Counted(F&& run) {
    struct Depth {
        Depth() { ++g_modalDepth; }
        ~Depth() {
            if (--g_modalDepth == 0 && g_modalEnd) {
                // A copy: the observer may replace itself.
                const std::function<void()> observer = g_modalEnd;
                observer();
            }
        }
    } depth;
    return run();
}

// Counts the calls that wait for the user around the installed services.
class CountingServices final : public UiServices {
  public:
    Answer ShowMessage(QWidget* parent, const MessageRequest& request) override {
        return Counted([&] { return Installed().ShowMessage(parent, request); });
    }
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return Counted([&] { return Installed().OpenFileName(parent, caption, folder, filter); });
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override {
        return Counted([&] { return Installed().SaveFileName(parent, caption, path, filter); });
    }
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
        return Counted([&] { return Installed().ChooseColor(parent, initial); });
    }
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override {
        return Counted([&] { return Installed().ChooseFont(parent, initial); });
    }
    QAction* Popup(QMenu& menu, const QPoint& globalPos) override {
        return Counted([&] { return Installed().Popup(menu, globalPos); });
    }
    int RunDialog(QDialog& dialog) override {
        return Counted([&] { return Installed().RunDialog(dialog); });
    }
    bool RunPrintDialog(QWidget* parent, QPrinter& printer, int maxPage) override {
        return Counted([&] { return Installed().RunPrintDialog(parent, printer, maxPage); });
    }
    void RunPrintPreview(QWidget* parent, QPrinter& printer,
                         const std::function<void(QPrinter&)>& paint) override {
        Counted([&] {
            Installed().RunPrintPreview(parent, printer, paint);
            return 0;
        });
    }
    bool RunPageSetup(QWidget* parent, QPrinter& printer) override {
        return Counted([&] { return Installed().RunPageSetup(parent, printer); });
    }
    bool OpenUrl(const QUrl& url) override { return Installed().OpenUrl(url); }
    void Beep() override { Installed().Beep(); }
};

}  // namespace

UiServices& Services() {
    static CountingServices counting;
    return counting;
}

int ModalDepth() {
    return g_modalDepth;
}

void SetModalEndObserver(std::function<void()> observer) {
    g_modalEnd = std::move(observer);
}

CCountedWait::CCountedWait() {
    ++g_modalDepth;
}

CCountedWait::~CCountedWait() {
    if (--g_modalDepth == 0 && g_modalEnd) {
        const std::function<void()> observer = g_modalEnd;
        observer();
    }
}

void SetServices(UiServices* services) {
    g_services = services;
}

Answer ServiceMessages::Show(const MessageRequest& request) {
    return Services().ShowMessage(parent_, request);
}

}  // namespace tallowmere::ui
