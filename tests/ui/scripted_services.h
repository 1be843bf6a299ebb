#pragma once
// UiServices for widget tests: every call is recorded, and each kind of
// request takes its answer from a queue the test fills (or a default).
#include <QAction>
#include <QDialog>
#include <QMenu>
#include <deque>
#include <functional>
#include <vector>

#include "ui/ui_services.h"

namespace tallowmere::test {

class ScriptedServices final : public ui::UiServices {
  public:
    ScriptedServices() { ui::SetServices(this); }
    ~ScriptedServices() override { ui::SetServices(nullptr); }
    ScriptedServices(const ScriptedServices&) = delete;
    ScriptedServices& operator=(const ScriptedServices&) = delete;

    ui::Answer ShowMessage(QWidget*, const ui::MessageRequest& request) override {
        messages.push_back(request);
        return Next(answers, request.defaultAnswer);
    }
    QString OpenFileName(QWidget*, const QString& caption, const QString& folder,
                         const QString& filter) override {
        fileDialogs.push_back({caption, folder, filter});
        return Next(fileNames, QString());
    }
    QString SaveFileName(QWidget*, const QString& caption, const QString& path,
                         const QString& filter) override {
        fileDialogs.push_back({caption, path, filter});
        return Next(fileNames, QString());
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override {
        return Next(colors, std::optional<QColor>());
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
        return Next(fonts, std::optional<QFont>());
    }
    // Chooses the action whose objectName or text comes next in the queue;
    // none when the queue is empty or nothing matches.
    QAction* Popup(QMenu& menu, const QPoint&) override {
        popups.push_back(&menu);
        // A script, when there is one, looks at the menu and chooses.
        if (auto script = Next(popupScripts, std::function<QAction*(QMenu&)>()))
            return script(menu);
        const QString want = Next(popupChoices, QString());
        if (want.isEmpty())
            return nullptr;
        for (QAction* action : menu.findChildren<QAction*>()) {
            if (action->objectName() == want || action->text() == want)
                return action;
        }
        for (QAction* action : menu.actions()) {
            if (action->objectName() == want || action->text() == want)
                return action;
        }
        return nullptr;
    }
    // Hands the dialog to the next script (which may fill it and call
    // accept() or done()); its result is the dialog's result. Without a
    // script the dialog is cancelled.
    int RunDialog(QDialog& dialog) override {
        dialogs.push_back(dialog.objectName());
        auto script = Next(dialogScripts, std::function<int(QDialog&)>());
        return script ? script(dialog) : 2;
    }
    // The print dialogs take their answers from scripts, which may set the
    // printer up (a PDF file, a page range); without one they are cancelled.
    bool RunPrintDialog(QWidget*, QPrinter& printer, int maxPage) override {
        printDialogs.push_back(maxPage);
        auto script = Next(printDialogScripts, std::function<bool(QPrinter&)>());
        return script && script(printer);
    }
    // Runs the next script with the printer and the painting function (a
    // script may call it as a preview would); without one nothing is painted.
    void RunPrintPreview(QWidget*, QPrinter& printer,
                         const std::function<void(QPrinter&)>& paint) override {
        ++printPreviews;
        auto script = Next(previewScripts,
                           std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)>());
        if (script)
            script(printer, paint);
    }
    bool RunPageSetup(QWidget*, QPrinter& printer) override {
        ++pageSetups;
        auto script = Next(pageSetupScripts, std::function<bool(QPrinter&)>());
        return script && script(printer);
    }
    bool OpenUrl(const QUrl& url) override {
        urls.push_back(url);
        return true;
    }
    void Beep() override { ++beeps; }

    // Answers, in order.
    std::deque<ui::Answer> answers;
    std::deque<QString> fileNames;
    std::deque<std::optional<QColor>> colors;
    std::deque<std::optional<QFont>> fonts;
    std::deque<QString> popupChoices;
    std::deque<std::function<QAction*(QMenu&)>> popupScripts;
    std::deque<std::function<int(QDialog&)>> dialogScripts;
    std::deque<std::function<bool(QPrinter&)>> printDialogScripts;
    std::deque<std::function<void(QPrinter&, const std::function<void(QPrinter&)>&)>>
        previewScripts;
    std::deque<std::function<bool(QPrinter&)>> pageSetupScripts;

    // What was asked.
    struct FileDialog {
        QString caption;
        QString path;
        QString filter;
    };
    std::vector<ui::MessageRequest> messages;
    std::vector<FileDialog> fileDialogs;
    std::vector<QMenu*> popups;
    std::vector<QString> dialogs;
    std::vector<QUrl> urls;
    std::vector<int> printDialogs;  // the highest page each offered
    int printPreviews = 0;
    int pageSetups = 0;
    int beeps = 0;

  private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

}  // namespace tallowmere::test
