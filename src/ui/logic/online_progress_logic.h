#pragma once
// The online progress window's state: the frame of its animation, which
// moves on at most once per interval however often the exchange reports
// progress, and the Cancel flag, which the exchange takes on every call.
// Times are 32-bit millisecond ticks; their difference is taken unsigned,
// so the wrap after 49 days is harmless. Nothing here sleeps.
#include <cstdint>

namespace tallowmere::ui {

inline constexpr int kOnlineProgressFrames = 8;
inline constexpr std::uint32_t kOnlineProgressStepMs = 30;

// Status texts of the progress window.
inline constexpr int kStrDownloadingBankData = 158;
inline constexpr int kStrDownloadingAccountData = 159;
inline constexpr int kStrDownloadingTransactions = 160;

class OnlineProgressState {
  public:
    explicit OnlineProgressState(std::uint32_t now) : last_(now) {}

    // True when more than the interval has passed since the last step that
    // moved: the frame then moves on (after the last comes the first) and
    // the window repaints and handles its events.
    bool Step(std::uint32_t now);
    int Frame() const { return frame_; }

    void PressCancel() { cancel_ = true; }
    // Whether Cancel was pressed since the last call; clears the flag.
    bool TakeCancel();

  private:
    std::uint32_t last_;
    int frame_ = 0;
    bool cancel_ = false;
};

}  // namespace tallowmere::ui
