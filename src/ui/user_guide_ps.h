#pragma once
// The first-run setup wizard: three pages that explain the first sync, wait
// until a sync has made (or matched) the desktop user and ended well, and
// then open the main window on that user. It is modeless and has no Qt
// parent, and the main window stays hidden while it runs.
//
// The program creates it when ReadDisplayUserGuide() (model/preferences.h)
// is 1 and calls Start(). Finish switches to the user (host SwitchUser),
// shows the main window (host ShowMainWindow), writes "DisplayUserGuide" = 0
// and emits accepted(); Cancel, Esc and the close box emit rejected() and
// call the host's Quit. A sync reaches it only through SyncEventsReceiver.
// While it runs, a second copy of the program brings it forward instead of
// the main window (SetFrameReady's raise target, ui/one_instance.h).
#include <QWizard>
#include <cstdint>
#include <mutex>
#include <string>

#include "ui/logic/user_guide_logic.h"
#include "ui/user_guide_pages.h"

class QShowEvent;

namespace tallowmere {
class CUserList;
}

namespace tallowmere::ui {

class CUserGuidePS final : public QWizard {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUserGuidePS)

  public:
    // users and usersMutex: the program's user list and the lock held
    // around it (may be null).
    CUserGuidePS(MUserGuideHost& host, const CUserList& users, std::mutex* usersMutex,
                 QWidget* parent = nullptr);
    ~CUserGuidePS() override;

    // Shows the wizard on its first page and brings it forward; it runs
    // from here until Finish or Cancel.
    void Start();
    bool IsRunning() const { return logic_.IsRunning(); }

    // A run found or created the user with this folder name.
    void OnUserCreated(std::uint64_t run, const std::string& folderName);
    // A user a failed first sync made is gone again.
    void OnUserRemoved(const std::string& folderName);
    // A run has ended: Next once it ended well (taking the focus when page 2
    // shows).
    void EnableCreateUserNext(std::uint64_t run, bool succeeded);

    const CUserGuideLogic& Logic() const { return logic_; }

    // Finish.
    void accept() override;
    // Cancel, Esc, the close box.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The buttons of the page, set after QWizard's own update.
    void ApplyButtons();
    void Refresh();
    void GrabForTest();

    CUserGuideLogic logic_;
    UserGuideFonts fonts_;
    CUserGuidePP2* createUser_;
    CUserGuidePP3* finish_;
    bool finishLayout_ = false;
    bool grabbed_ = false;
};

// The window a second copy's hand-over brings forward: the wizard while it
// runs, else the main window.
QWidget* UserGuideOrFrame(CUserGuidePS* wizard, QWidget* frame);

}  // namespace tallowmere::ui
