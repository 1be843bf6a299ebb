#pragma once
// The main window's placement as the "WinPos" preference holds it:
// "Maximized", or the normal rectangle as "%04d %04d %04d %04d" (left, top,
// right, bottom). The writer keeps that form; the reader is tolerant, since
// negative or five-digit coordinates do not fit four columns, and a rectangle
// read back is moved into the screens that exist now.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tallowmere {

// Right and bottom are exclusive: right = left + width.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    std::int64_t Width() const { return std::int64_t{right} - left; }
    std::int64_t Height() const { return std::int64_t{bottom} - top; }
    bool operator==(const WindowRect&) const = default;
};

struct WindowPlacement {
    bool maximized = false;
    WindowRect normal;  // not used when maximised
    bool operator==(const WindowPlacement&) const = default;
};

// "Maximized", or the four numbers of the normal rectangle.
std::string WindowPlacementToText(const WindowPlacement& placement);

// "Maximized", or four integers separated by white space (the fixed form
// reads the same); blanks around either are allowed. Anything else, and a
// rectangle whose right is not beyond its left or whose bottom is not below
// its top, gives nothing.
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text);

// The rectangle unchanged when the screens cover it whole; otherwise moved
// into the screen it overlaps most (or the nearest one when it overlaps none)
// and cut to that screen's size. No screens: unchanged.
WindowRect ClampToScreens(const WindowRect& rect, std::span<const WindowRect> screens);

// Wide enough that the register's default columns show whole beside the
// accounts pane, on any screen the clamp leaves it on.
inline constexpr int kDefaultWindowWidth = 1120;
inline constexpr int kDefaultWindowHeight = 720;
// The normal rectangle kept behind a maximised window.
inline constexpr WindowRect kMaximizedNormalRect{20, 20, 700, 400};

struct WindowPlan {
    WindowRect normal;
    bool maximized = false;
    bool operator==(const WindowPlan&) const = default;
};

// Where the window opens for a "WinPos" text, given the available areas of
// the screens and of the primary screen: the stored rectangle clamped into
// the screens; "Maximized" maximised over the fixed normal rectangle; an
// empty or unreadable text at the default size centred on the primary screen.
WindowPlan PlanWindowPlacement(std::string_view text, std::span<const WindowRect> screens,
                               const WindowRect& primary);

}  // namespace tallowmere
