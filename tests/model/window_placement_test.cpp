#include "model/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tallowmere {

void PrintTo(const WindowRect& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

void PrintTo(const WindowPlan& p, std::ostream* os) {
    PrintTo(p.normal, os);
    *os << (p.maximized ? " maximised" : "");
}

void PrintTo(const WindowPlacement& p, std::ostream* os) {
    PrintTo(p.normal, os);
    *os << (p.maximized ? " maximised" : "");
}

namespace {

// A 1920 x 1080 primary screen with its panel, and a 1280 x 1024 screen left
// of it.
constexpr WindowRect kPrimary{0, 0, 1920, 1040};
constexpr WindowRect kLeft{-1280, 0, 0, 1024};

TEST(WindowPlacement, TextIsFourZeroPaddedNumbersOrMaximized) {
    struct Case {
        WindowPlacement placement;
        const char* text;
    };
    const Case cases[] = {
        {{false, {100, 50, 900, 700}}, "0100 0050 0900 0700"},
        {{false, {-1280, 0, -100, 900}}, "-1280 0000 -100 0900"},
        {{false, {-5, 3, 12000, 900}}, "-005 0003 12000 0900"},
        {{true, {100, 50, 900, 700}}, "Maximized"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowPlacementToText(c.placement), c.text);
        const WindowPlacement back =
            c.placement.maximized ? WindowPlacement{true, {}} : c.placement;
        EXPECT_EQ(ParseWindowPlacement(c.text), back) << "does not read back: " << c.text;
    }
}

TEST(WindowPlacement, ReaderTakesFourNumbersOrMaximizedAndNothingElse) {
    using P = std::optional<WindowPlacement>;
    struct Case {
        const char* text;
        P expect;
    };
    const Case cases[] = {
        {"0100 0050 0900 0700", WindowPlacement{false, {100, 50, 900, 700}}},
        {"-1920 0000 -0100 0700", WindowPlacement{false, {-1920, 0, -100, 700}}},
        {"10000 0050 12000 0700", WindowPlacement{false, {10000, 50, 12000, 700}}},
        {"  1 2\t3  4 \n", WindowPlacement{false, {1, 2, 3, 4}}},
        {"Maximized", WindowPlacement{true, {}}},
        {" Maximized ", WindowPlacement{true, {}}},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12", std::nullopt},
        {"1 2 3", std::nullopt},
        {"1 2 3 4 5", std::nullopt},
        {"0100,0050,0900,0700", std::nullopt},
        {"01000050 0900 0700", std::nullopt},
        {"0100 0050 0900 0700x", std::nullopt},
        {"+100 50 900 700", std::nullopt},
        {"garbage", std::nullopt},
        {"maximized", std::nullopt},
        {"Maximized 1", std::nullopt},
        {"99999999999 0 1 1", std::nullopt},
        // Right not beyond left, bottom not below top.
        {"0900 0050 0100 0700", std::nullopt},
        {"0100 0050 0100 0700", std::nullopt},
        {"0100 0700 0900 0050", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWindowPlacement(c.text), c.expect) << '"' << c.text << '"';
}

TEST(WindowPlacement, ClampKeepsCoveredRectanglesAndPullsOthersIntoAScreen) {
    const std::vector<WindowRect> one{kPrimary};
    const std::vector<WindowRect> two{kLeft, kPrimary};
    struct Case {
        const char* name;
        WindowRect rect;
        const std::vector<WindowRect>& screens;
        WindowRect expect;
    };
    const Case cases[] = {
        {"inside", {100, 50, 900, 700}, one, {100, 50, 900, 700}},
        {"past the right edge", {1800, 100, 2600, 700}, one, {1120, 100, 1920, 700}},
        {"larger than the screen", {-50, -50, 5000, 3000}, one, {0, 0, 1920, 1040}},
        {"on a screen that is gone", {-1280, 0, -100, 900}, one, {0, 0, 1180, 900}},
        {"on the left screen", {-1280, 0, -100, 900}, two, {-1280, 0, -100, 900}},
        {"across both screens", {-200, 100, 600, 700}, two, {-200, 100, 600, 700}},
        // The left screen is shorter: the corner below it lies on no screen.
        {"across the step", {-200, 900, 600, 1040}, two, {0, 900, 800, 1040}},
        {"far away", {10000, 10000, 10800, 10600}, two, {1120, 440, 1920, 1040}},
        {"far left", {-90000, 10, -89000, 500}, two, {-1280, 10, -280, 500}},
        {"no screens", {10000, 10000, 10800, 10600}, {}, {10000, 10000, 10800, 10600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampToScreens(c.rect, c.screens), c.expect) << c.name;
}

TEST(WindowPlacement, PlanFallsBackToTheCentredDefault) {
    const std::vector<WindowRect> two{kLeft, kPrimary};
    const WindowRect centred{400, 160, 1520, 880};
    struct Case {
        const char* text;
        WindowPlan expect;
    };
    const Case cases[] = {
        {"0100 0050 0900 0700", {{100, 50, 900, 700}, false}},
        {"-1920 0000 -0100 0700", {{-1280, 0, 0, 700}, false}},
        {"20000 20000 20900 20600", {{1020, 440, 1920, 1040}, false}},
        {"Maximized", {kMaximizedNormalRect, true}},
        {"", {centred, false}},
        {"12", {centred, false}},
        {"garbage", {centred, false}},
        {"0900 0050 0100 0700", {centred, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanWindowPlacement(c.text, two, kPrimary), c.expect) << '"' << c.text << '"';

    // A primary screen smaller than the default size holds the whole window.
    const std::vector<WindowRect> small{{0, 0, 800, 560}};
    EXPECT_EQ(PlanWindowPlacement("", small, small[0]), (WindowPlan{{0, 0, 800, 560}, false}));
}

}  // namespace
}  // namespace tallowmere
