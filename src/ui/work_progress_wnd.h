#pragma once
// The window long work on the UI thread shows (an import, an export): a
// caption, a line naming the work and a moving bar, without Cancel, since
// the work cannot stop half way. While it runs the window system is let in
// at most every 50 ms, user input left out, so the program keeps drawing.
#include <QDialog>
#include <cstddef>

#include "model/record_progress.h"
#include "ui/logic/progress_pump.h"

class QLabel;
class QProgressBar;

namespace tallowmere::ui {

class CWorkProgressWnd final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CWorkProgressWnd)

  public:
    // Shown at once, window-modal over parent.
    CWorkProgressWnd(QWidget* parent, const QString& title, const QString& text);
    ~CWorkProgressWnd() override;

    // The work's progress callback.
    RecordProgress Callback();
    // Records done so far.
    void Step(std::size_t done);
    std::size_t Done() const { return done_; }

    // Neither Esc nor the close box stops the work.
    void reject() override {}

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* text_;
    QProgressBar* bar_;
    ProgressPump pump_;
    std::size_t done_ = 0;
};

}  // namespace tallowmere::ui
