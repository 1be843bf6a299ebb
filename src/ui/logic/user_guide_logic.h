#pragma once
// The first-run setup wizard without its widgets: which buttons each page
// shows, what a sync tells it, and what Finish and Cancel do.
//
// Page 1 shows Next only; page 2 Back only until a sync has ended well, then
// Next only when that happened while page 2 was showing, or Back and Next
// when it happened before; page 3 Finish only. A sync that failed never
// enables Next: its user is taken only from a run that ended well, matched
// by the run's number, and looked up under the users' lock.
#include <cstdint>
#include <mutex>
#include <string>

namespace tallowmere {
class CUserList;
}

namespace tallowmere::ui {

enum class UserGuidePage { kWelcome = 0, kCreateUser = 1, kFinish = 2 };

struct WizardButtons {
    bool backVisible = false;
    bool backEnabled = false;
    bool nextVisible = false;
    bool nextEnabled = false;
    bool finishVisible = false;
    bool finishEnabled = false;
    bool cancelVisible = false;
    bool operator==(const WizardButtons&) const = default;
};

// What the wizard asks of the program around it.
class MUserGuideHost {
  public:
    virtual ~MUserGuideHost() = default;
    // The view's user switch to the user with this folder name; false when
    // the switch did not happen (the old user stays).
    virtual bool SwitchUser(const std::string& folderName) = 0;
    // Shows the main window, hidden while the wizard ran.
    virtual void ShowMainWindow() = 0;
    // Ends the program by its shut-down path.
    virtual void Quit() = 0;
};

class CUserGuideLogic {
  public:
    // users and usersMutex (may be null) are the program's user list and the
    // lock it and the sync thread hold around it.
    CUserGuideLogic(MUserGuideHost& host, const CUserList& users, std::mutex* usersMutex);

    // The wizard is on screen, on page 1.
    void Start();
    bool IsRunning() const { return running_; }

    void OnPageShown(UserGuidePage page);
    UserGuidePage Page() const { return page_; }
    WizardButtons Buttons() const;
    // Next on page 2 goes on only once a sync has ended well.
    bool CanLeaveCreateUser() const { return !createdFolder_.empty(); }

    // A run created or matched the user with this folder name; it counts
    // once the run has ended well.
    void OnUserCreated(std::uint64_t run, const std::string& folderName);
    // A user a first sync made is gone again.
    void OnUserRemoved(const std::string& folderName);
    // A run has ended. True when the wizard should take the focus: the run
    // ended well while page 2 was showing.
    bool EnableCreateUserNext(std::uint64_t run, bool succeeded);

    // Page 3's bold line (UTF-8): "Congratulations! You have created "
    // and the user's name; empty until a sync has ended well.
    const std::string& CongratulationText() const { return congratulation_; }
    const std::string& CreatedFolder() const { return createdFolder_; }

    // Finish on page 3, once the wizard is hidden: the created user becomes
    // the current one, the main window shows, and the wizard is never shown
    // again ("DisplayUserGuide" = 0).
    void Finish();
    // Cancel, Esc or the close box: the program ends; the wizard shows again
    // at the next start.
    void Cancel();

  private:
    MUserGuideHost& host_;
    const CUserList& users_;
    std::mutex* usersMutex_;
    bool running_ = false;
    UserGuidePage page_ = UserGuidePage::kWelcome;
    // The user of the run in progress, until it ends.
    std::uint64_t pendingRun_ = 0;
    std::string pendingFolder_;
    std::string createdFolder_;
    std::string congratulation_;
    // The last good end came while page 2 was showing: Next only.
    bool enabledOnPage_ = false;
};

}  // namespace tallowmere::ui
