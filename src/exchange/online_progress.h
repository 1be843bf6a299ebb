#pragma once
// The progress window of online work as the core sees it. The desktop's
// dialog implements it; the core only asks it to step and whether the user
// pressed Cancel.
namespace tallowmere {

class COnlineProgressDlg {
  public:
    virtual ~COnlineProgressDlg() = default;
    // Advances the animation and lets the window process its messages.
    virtual void Step() = 0;
    // Whether Cancel was pressed since the last call; clears the flag.
    virtual bool TakeCancel() = 0;
};

// The progress answer of every online event handler: no window never
// cancels; otherwise one step, then false once Cancel was pressed.
inline bool OnlineProgressStep(COnlineProgressDlg* window) {
    if (window == nullptr)
        return true;
    window->Step();
    return !window->TakeCancel();
}

}  // namespace tallowmere
