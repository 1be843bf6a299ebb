#pragma once
// The window shown while a sync runs (dialog 198): a running bar (1177),
// the status line (1178) and the mode line (1212). It has no close button,
// and Esc and the window manager's close do nothing: only the end of its
// run closes it, with 8.
//
// SyncProgressPresenter shows it for CSyncProgressLogic: application-modal
// over the window the program names (the wizard on a first run), so nothing
// else, the wizard's Cancel included, can be used while the sync runs. It
// is shown without a nested event loop: the sync's later notices, the
// reload among them, are handled as they come, never inside the notice
// that opened the window.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>

#include "ui/logic/sync_progress_logic.h"

class QCloseEvent;
class QLabel;
class QProgressBar;

namespace tallowmere::ui {

class CSyncProgressDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSyncProgressDlg)

  public:
    explicit CSyncProgressDlg(QWidget* parent = nullptr);
    ~CSyncProgressDlg() override;

    void SetStatus(const QString& text);
    void SetModeLine(const QString& text);

    // Esc: the window stays.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QProgressBar* bar_;
    QLabel* status_;
    QLabel* mode_;
};

class SyncProgressPresenter final : public MSyncProgressView {
  public:
    // parent names the window to show over; it may give nullptr.
    explicit SyncProgressPresenter(std::function<QWidget*()> parent);
    ~SyncProgressPresenter() override;
    SyncProgressPresenter(const SyncProgressPresenter&) = delete;
    SyncProgressPresenter& operator=(const SyncProgressPresenter&) = delete;

    void Open() override;
    void SetStatus(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void SetModeLine(const std::string& text) override;
    void End(int code) override;
    bool IsOpen() const override;

    // The window of the last run, kept after it ended until the next one
    // opens; null before the first.
    CSyncProgressDlg* Dialog() const { return dialog_; }

  private:
    std::function<QWidget*()> parent_;
    QPointer<CSyncProgressDlg> dialog_;
};

}  // namespace tallowmere::ui
