#include "ui/logic/command_router.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ui/logic/command_table.h"

namespace tallowmere::ui {
namespace {

// A target that handles the commands it was given, in the given state, and
// records what ran in a log shared by all targets.
class FakeTarget final : public MCommandTarget {
  public:
    FakeTarget(std::string name, std::vector<std::string>& log) : name_(name), log_(log) {}
    std::map<int, CommandState> handled;

    std::optional<CommandState> QueryCommand(int id) override {
        const auto it = handled.find(id);
        if (it == handled.end())
            return std::nullopt;
        return it->second;
    }
    void RunCommand(int id) override { log_.push_back(name_ + " " + std::to_string(id)); }

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

constexpr CommandState kOn{true, false};
constexpr CommandState kOff{false, false};
constexpr CommandState kOnChecked{true, true};

TEST(CommandRouter, TheFirstTargetThatHandlesACommandDecides) {
    struct Case {
        const char* name;
        std::map<int, CommandState> view, frame, app;
        CommandState state;
        const char* ran;  // empty: nothing ran
    };
    const Case cases[] = {
        {"view first", {{1, kOn}}, {{1, kOn}}, {{1, kOn}}, kOn, "view 1"},
        {"then frame", {}, {{1, kOn}}, {{1, kOn}}, kOn, "frame 1"},
        {"then application", {}, {}, {{1, kOnChecked}}, kOnChecked, "app 1"},
        // A disabling target stops the search: the next one is not asked.
        {"disabled in the view", {{1, kOff}}, {{1, kOn}}, {}, kOff, ""},
        {"disabled in the frame", {}, {{1, kOff}}, {{1, kOn}}, kOff, ""},
        {"nobody", {{2, kOn}}, {{3, kOn}}, {}, kOff, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> log;
        FakeTarget view("view", log), frame("frame", log), app("app", log);
        view.handled = c.view;
        frame.handled = c.frame;
        app.handled = c.app;
        CommandRouter router;
        router.SetView(&view);
        router.SetFrame(&frame);
        router.SetApp(&app);
        EXPECT_EQ(router.Query(1), c.state);
        EXPECT_EQ(router.Dispatch(1), *c.ran != '\0');
        EXPECT_EQ(log,
                  *c.ran != '\0' ? std::vector<std::string>{c.ran} : std::vector<std::string>{});
    }
}

TEST(CommandRouter, TheStateIsAskedAgainWhenTheCommandFires) {
    // Enabled when a menu opened, disabled by the time its shortcut fires.
    std::vector<std::string> log;
    FakeTarget view("view", log);
    CommandRouter router;
    router.SetView(&view);
    view.handled[5] = kOn;
    EXPECT_TRUE(router.Query(5).enabled);
    view.handled[5] = kOff;
    EXPECT_FALSE(router.Dispatch(5));
    EXPECT_TRUE(log.empty());
    // A target that goes away is no longer asked.
    view.handled[5] = kOn;
    router.SetView(nullptr);
    EXPECT_FALSE(router.Dispatch(5));
    EXPECT_TRUE(log.empty());
}

TEST(CommandTable, PredicatesDecideAndDefaultToEnabledUnchecked) {
    int runs = 0;
    bool enabled = false;
    CommandTable table;
    table.Add(1, [&] { ++runs; });
    table.Add(
        2, [&] { ++runs; }, [&] { return enabled; }, [] { return true; });
    EXPECT_EQ(table.QueryCommand(1), kOn);
    EXPECT_EQ(table.QueryCommand(2), (CommandState{false, true}));
    EXPECT_EQ(table.QueryCommand(3), std::nullopt);

    CommandRouter router;
    router.SetFrame(&table);
    EXPECT_FALSE(router.Dispatch(2));
    enabled = true;
    EXPECT_TRUE(router.Dispatch(2));
    EXPECT_TRUE(router.Dispatch(1));
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace tallowmere::ui
