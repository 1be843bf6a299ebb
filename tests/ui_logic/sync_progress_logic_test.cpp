#include "ui/logic/sync_progress_logic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tallowmere::ui {
namespace {

using Log = std::vector<std::string>;

class RecordingWindow final : public MSyncProgressView {
  public:
    void Open() override {
        open = true;
        log.push_back("open");
    }
    void SetStatus(const std::string& text) override { log.push_back("status:" + text); }
    void SetCaption(const std::string& text) override { log.push_back("caption:" + text); }
    void SetModeLine(const std::string& text) override { log.push_back("mode:" + text); }
    void End(int code) override {
        open = false;
        log.push_back("end:" + std::to_string(code));
    }
    bool IsOpen() const override { return open; }

    bool open = false;
    Log log;
};

struct FakeRuns final : MSyncRunState {
    bool IsRunning(std::uint64_t run) const override { return running.count(run) != 0; }
    std::set<std::uint64_t> running;
};

// One notice as the UI thread handles it.
struct Notice {
    enum Kind { kStart, kStatus, kTitle, kFinish, kTakenAway } kind;
    std::uint64_t run;
    std::string text = {};
    int mode = 0;
};

struct Case {
    const char* name;
    std::set<std::uint64_t> running;
    std::vector<Notice> notices;
    Log expected;
};

TEST(SyncProgressLogicTest, TheWindowFollowsOnlyARunThatIsStillGoing) {
    const Case cases[] = {
        {"a whole run",
         {1},
         {{Notice::kStart, 1},
          {Notice::kStatus, 1, "Starting Sync..."},
          {Notice::kTitle, 1, "Synchronizing with Pixel", 1},
          {Notice::kStatus, 1, "Finishing ..."},
          {Notice::kFinish, 1}},
         {"open", "status:Starting Sync...", "caption:Synchronizing with Pixel",
          "mode:Mode : Desktop overwrites Handheld", "status:Finishing ...", "end:8"}},
        {"a run already over on the sync thread opens nothing",
         {},
         {{Notice::kStart, 1}, {Notice::kStatus, 1, "Starting Sync..."}, {Notice::kFinish, 1}},
         {}},
        {"its end handled before its start opens nothing",
         {1},
         {{Notice::kFinish, 1}, {Notice::kStart, 1}, {Notice::kStatus, 1, "late"}},
         {}},
        {"a repeated start and a repeated end act once",
         {1},
         {{Notice::kStart, 1},
          {Notice::kStart, 1},
          {Notice::kFinish, 1},
          {Notice::kFinish, 1},
          {Notice::kStart, 1}},
         {"open", "end:8"}},
        {"another run's notices and end leave the window alone",
         {2},
         {{Notice::kStart, 2},
          {Notice::kStatus, 1, "old"},
          {Notice::kTitle, 3, "Synchronizing with other", 0},
          {Notice::kFinish, 1},
          {Notice::kStatus, 2, "mine"}},
         {"open", "status:mine"}},
        {"a newer run replaces one whose end never came",
         {1, 2},
         {{Notice::kStart, 1}, {Notice::kStart, 2}, {Notice::kFinish, 1}, {Notice::kFinish, 2}},
         {"open", "end:8", "open", "end:8"}},
        {"an older start after a newer one is ignored",
         {1, 2},
         {{Notice::kStart, 2}, {Notice::kStart, 1}, {Notice::kFinish, 2}},
         {"open", "end:8"}},
        {"a mode outside 0-2 leaves the mode line",
         {1},
         {{Notice::kStart, 1}, {Notice::kTitle, 1, "Synchronizing with X", 7}},
         {"open", "caption:Synchronizing with X"}},
        {"a window taken away gets no more calls",
         {1},
         {{Notice::kStart, 1},
          {Notice::kTakenAway, 1},
          {Notice::kStatus, 1, "lost"},
          {Notice::kFinish, 1}},
         {"open"}},
        {"run 0 is no run", {0}, {{Notice::kStart, 0}, {Notice::kFinish, 0}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWindow window;
        FakeRuns runs;
        runs.running = c.running;
        CSyncProgressLogic logic(window, runs);
        for (const Notice& n : c.notices) {
            switch (n.kind) {
                case Notice::kStart:
                    logic.OnStarted(n.run);
                    break;
                case Notice::kStatus:
                    logic.OnStatus(n.run, n.text);
                    break;
                case Notice::kTitle:
                    logic.OnTitle(n.run, n.text, n.mode);
                    break;
                case Notice::kFinish:
                    // The run state stays as the case says, so an end must be
                    // remembered by the logic itself.
                    logic.OnFinished(n.run);
                    break;
                case Notice::kTakenAway:
                    window.open = false;
                    break;
            }
        }
        EXPECT_EQ(c.expected, window.log);
        EXPECT_FALSE(window.open && logic.ShownRun() == 0);
    }
}

TEST(SyncProgressLogicTest, ModeLinesByMode) {
    EXPECT_EQ("Mode : Synchronize", SyncModeLine(0));
    EXPECT_EQ("Mode : Desktop overwrites Handheld", SyncModeLine(1));
    EXPECT_EQ("Mode : Handheld overwrites Desktop", SyncModeLine(2));
    EXPECT_EQ(std::nullopt, SyncModeLine(-1));
    EXPECT_EQ(std::nullopt, SyncModeLine(3));
}

}  // namespace
}  // namespace tallowmere::ui
