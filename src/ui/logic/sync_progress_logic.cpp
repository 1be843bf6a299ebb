#include "ui/logic/sync_progress_logic.h"

#include <algorithm>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

// "Mode : Synchronize", "Mode : Desktop overwrites Handheld",
// "Mode : Handheld overwrites Desktop", by mode.
constexpr int kModeLineIds[] = {3343, 3344, 3345};

}  // namespace

std::optional<std::string> SyncModeLine(int mode) {
    if (mode < 0 || mode > 2)
        return std::nullopt;
    return LoadString(kModeLineIds[mode]);
}

CSyncProgressLogic::CSyncProgressLogic(MSyncProgressView& view, const MSyncRunState& runs)
    : view_(view), runs_(runs) {}

std::uint64_t CSyncProgressLogic::ShownRun() const {
    return Shows(shown_) ? shown_ : 0;
}

bool CSyncProgressLogic::Shows(std::uint64_t run) const {
    return run != 0 && run == shown_ && view_.IsOpen();
}

void CSyncProgressLogic::OnStarted(std::uint64_t run) {
    if (run == 0 || Shows(run) || run <= lastEnded_ || run < shown_ || !runs_.IsRunning(run))
        return;
    // Runs never overlap: a newer start means the shown run is over even
    // though its end has not come.
    if (Shows(shown_))
        view_.End(kSyncProgressEndCode);
    shown_ = run;
    view_.Open();
}

void CSyncProgressLogic::OnStatus(std::uint64_t run, const std::string& text) {
    if (Shows(run))
        view_.SetStatus(text);
}

void CSyncProgressLogic::OnTitle(std::uint64_t run, const std::string& text, int mode) {
    if (!Shows(run))
        return;
    view_.SetCaption(text);
    if (const std::optional<std::string> line = SyncModeLine(mode))
        view_.SetModeLine(*line);
}

void CSyncProgressLogic::OnFinished(std::uint64_t run) {
    lastEnded_ = std::max(lastEnded_, run);
    if (Shows(run))
        view_.End(kSyncProgressEndCode);
    if (run == shown_)
        shown_ = 0;
}

}  // namespace tallowmere::ui
