#pragma once
// Which sync the progress window shows, and when it opens and closes. The
// notices of a run arrive on the UI thread in the order the sync thread made
// them, each with the number of its run (runs are numbered from 1 and never
// overlap). The window opens only for a run that is still going, follows
// only that run, and is ended with 8 only by that run's end: a start that is
// repeated, comes after its own end, or comes for an older run changes
// nothing, so the window can never be left open.
#include <cstdint>
#include <optional>
#include <string>

namespace tallowmere::ui {

inline constexpr int kSyncProgressEndCode = 8;

// The progress window as the logic drives it; texts are UTF-8.
class MSyncProgressView {
  public:
    virtual ~MSyncProgressView() = default;
    // Shows the window captioned "Tallowmere Desktop", its lines empty.
    virtual void Open() = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetModeLine(const std::string& text) = 0;
    // Ends the window with the code.
    virtual void End(int code) = 0;
    // The window is on screen (its owner may have taken it away).
    virtual bool IsOpen() const = 0;
};

// Whether a run has not yet ended on the sync thread, asked when its start
// notice is handled: the start of a run that is over opens nothing.
class MSyncRunState {
  public:
    virtual ~MSyncRunState() = default;
    virtual bool IsRunning(std::uint64_t run) const = 0;
};

// The mode line for a sync mode ("Mode : Synchronize", ...); nothing for a
// mode outside 0-2, which leaves the line as it is.
std::optional<std::string> SyncModeLine(int mode);

class CSyncProgressLogic {
  public:
    CSyncProgressLogic(MSyncProgressView& view, const MSyncRunState& runs);

    void OnStarted(std::uint64_t run);
    void OnStatus(std::uint64_t run, const std::string& text);
    void OnTitle(std::uint64_t run, const std::string& text, int mode);
    void OnFinished(std::uint64_t run);

    // The run the window shows; 0 when it is closed.
    std::uint64_t ShownRun() const;

  private:
    bool Shows(std::uint64_t run) const;

    MSyncProgressView& view_;
    const MSyncRunState& runs_;
    std::uint64_t shown_ = 0;
    // The newest run whose end has been handled.
    std::uint64_t lastEnded_ = 0;
};

}  // namespace tallowmere::ui
