#pragma once
// When a reload of the data set may run. Running work is counted: the
// view's own commands (EnterWork, LeaveWork) and, passed in, the dialogs,
// message boxes and pop-up menus running now. A reload asked for while any
// work runs is kept pending and done once, when the outermost has ended. A
// reload that could not start (the busy lock was held elsewhere) stays
// pending and is tried again; it is never dropped.
namespace tallowmere::ui {

class CReloadGate {
  public:
    void EnterWork() { ++depth_; }
    // True when the outermost command ended with a reload pending and no
    // other work runs: run it now.
    bool LeaveWork(int otherWork);
    // A reload request: true when it may run now; it is pending either way
    // until Done.
    bool Request(int otherWork);
    // True when a pending reload may run now.
    bool MayRun(int otherWork) const { return pending_ && depth_ == 0 && otherWork == 0; }
    // The reload ran (whether the files loaded or not).
    void Done() { pending_ = false; }

    bool IsPending() const { return pending_; }
    int Depth() const { return depth_; }

  private:
    int depth_ = 0;
    bool pending_ = false;
};

}  // namespace tallowmere::ui
