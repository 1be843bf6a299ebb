#include "model/window_placement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "model/string_table.h"

namespace tallowmere {
namespace {

constexpr std::string_view kMaximized = "Maximized";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<WindowRect> Intersect(const WindowRect& a, const WindowRect& b) {
    const WindowRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    if (r.Width() <= 0 || r.Height() <= 0)
        return std::nullopt;
    return r;
}

bool Contains(const WindowRect& r, std::int64_t x, std::int64_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Whether the screens cover every point of the rectangle: the screens' edges
// cut it into cells, and each cell must lie in some screen.
bool CoveredByScreens(const WindowRect& rect, std::span<const WindowRect> screens) {
    std::vector<WindowRect> parts;
    std::vector<int> xs{rect.left, rect.right};
    std::vector<int> ys{rect.top, rect.bottom};
    for (const WindowRect& screen : screens) {
        if (auto part = Intersect(rect, screen)) {
            parts.push_back(*part);
            xs.insert(xs.end(), {part->left, part->right});
            ys.insert(ys.end(), {part->top, part->bottom});
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const bool covered = std::any_of(parts.begin(), parts.end(), [&](const WindowRect& p) {
                return Contains(p, xs[i], ys[j]);
            });
            if (!covered)
                return false;
        }
    }
    return true;
}

// Squared distance from the rectangle's centre to the screen; double, since
// coordinates may lie far apart.
double CentreDistance(const WindowRect& rect, const WindowRect& screen) {
    const double cx = (double{1} * rect.left + rect.right) / 2;
    const double cy = (double{1} * rect.top + rect.bottom) / 2;
    const double dx = std::max({double{1} * screen.left - cx, 0.0, cx - screen.right});
    const double dy = std::max({double{1} * screen.top - cy, 0.0, cy - screen.bottom});
    return dx * dx + dy * dy;
}

const WindowRect& TargetScreen(const WindowRect& rect, std::span<const WindowRect> screens) {
    const WindowRect* best = nullptr;
    double bestArea = 0;
    for (const WindowRect& screen : screens) {
        if (auto part = Intersect(rect, screen)) {
            const double area = static_cast<double>(part->Width()) * part->Height();
            if (best == nullptr || area > bestArea) {
                best = &screen;
                bestArea = area;
            }
        }
    }
    if (best != nullptr)
        return *best;
    best = &screens.front();
    for (const WindowRect& screen : screens) {
        if (CentreDistance(rect, screen) < CentreDistance(rect, *best))
            best = &screen;
    }
    return *best;
}

// The start of a span of the given length inside [low, high), as near to
// start as it can be.
int ClampStart(int start, std::int64_t length, int low, int high) {
    const std::int64_t last = std::int64_t{high} - length;
    return static_cast<int>(
        std::clamp<std::int64_t>(start, low, std::max<std::int64_t>(low, last)));
}

}  // namespace

std::string WindowPlacementToText(const WindowPlacement& placement) {
    if (placement.maximized)
        return std::string(kMaximized);
    const WindowRect& r = placement.normal;
    return FormatText("%04d %04d %04d %04d", {std::int64_t{r.left}, std::int64_t{r.top},
                                              std::int64_t{r.right}, std::int64_t{r.bottom}});
}

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text) {
    text = Trim(text);
    if (text == kMaximized)
        return WindowPlacement{true, {}};
    int values[4] = {};
    for (int& value : values) {
        if (text.empty())
            return std::nullopt;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value);
        if (ec != std::errc{})
            return std::nullopt;
        text.remove_prefix(static_cast<std::size_t>(ptr - text.data()));
        if (!text.empty() && !IsSpace(text.front()))
            return std::nullopt;
        text = Trim(text);
    }
    if (!text.empty())
        return std::nullopt;
    const WindowRect rect{values[0], values[1], values[2], values[3]};
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return std::nullopt;
    return WindowPlacement{false, rect};
}

WindowRect ClampToScreens(const WindowRect& rect, std::span<const WindowRect> screens) {
    if (screens.empty() || CoveredByScreens(rect, screens))
        return rect;
    const WindowRect& screen = TargetScreen(rect, screens);
    const std::int64_t width = std::min(rect.Width(), screen.Width());
    const std::int64_t height = std::min(rect.Height(), screen.Height());
    const int left = ClampStart(rect.left, width, screen.left, screen.right);
    const int top = ClampStart(rect.top, height, screen.top, screen.bottom);
    return WindowRect{left, top, static_cast<int>(left + width), static_cast<int>(top + height)};
}

WindowPlan PlanWindowPlacement(std::string_view text, std::span<const WindowRect> screens,
                               const WindowRect& primary) {
    const std::optional<WindowPlacement> stored = ParseWindowPlacement(text);
    if (stored && stored->maximized)
        return WindowPlan{ClampToScreens(kMaximizedNormalRect, screens), true};
    if (stored)
        return WindowPlan{ClampToScreens(stored->normal, screens), false};
    const int left = static_cast<int>(primary.left + (primary.Width() - kDefaultWindowWidth) / 2);
    const int top = static_cast<int>(primary.top + (primary.Height() - kDefaultWindowHeight) / 2);
    const WindowRect centred{left, top, left + kDefaultWindowWidth, top + kDefaultWindowHeight};
    return WindowPlan{ClampToScreens(centred, screens), false};
}

}  // namespace tallowmere
