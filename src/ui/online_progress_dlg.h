#pragma once
// "Online Progress" (dialog 157): the status line (1108), the animation
// (1127) and Cancel (2), shown for one online exchange. It is a child of
// the window that started the exchange, modal to it only, and shown
// without an event loop of its own: the exchange runs on, and each of its
// progress calls steps the animation and handles the window's events at
// most once every 30 ms, and takes the Cancel flag every time. The owner
// is never disabled (that would disable Cancel too). The window goes with
// the object, on every path of the exchange.
#include <QDialog>
#include <QWidget>

#include "ui/logic/online_progress_logic.h"
#include "ui/logic/online_setup_logic.h"
#include "ui/ui_services.h"

class QLabel;
class QPushButton;

namespace tallowmere::ui {

class COnlineProgressAnimation;

class COnlineProgressDlg final : public QDialog, public MOnlineProgressWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COnlineProgressDlg)

  public:
    // Shown at once over owner with the status text.
    COnlineProgressDlg(QWidget* owner, int statusId);
    ~COnlineProgressDlg() override;

    // The status text (none for 0), painted at once.
    void SetStatus(int stringId) override;
    void Step() override;
    bool TakeCancel() override;

    int Frame() const { return state_.Frame(); }
    // How many progress windows are open: while one is, the exchange's
    // event handling must not reload the data set under it.
    static int OpenCount();

    // Esc and the close box are Cancel; the window stays until the
    // exchange ends.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Pump();

    // While the window is open the view's reload waits, as for a dialog.
    CCountedWait counted_;
    OnlineProgressState state_;
    QLabel* status_;
    COnlineProgressAnimation* animation_;
    QPushButton* cancel_;
};

// Opens the progress window over owner for one exchange.
std::unique_ptr<MOnlineProgressWindow> OpenOnlineProgress(QWidget* owner, int statusId);

}  // namespace tallowmere::ui
