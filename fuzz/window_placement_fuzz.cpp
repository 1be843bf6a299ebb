// Arbitrary bytes as a "WinPos" text. A text that reads must read back the
// same from its own written form, and the plan for any text must give a
// window of positive size that the screens cover whole (clamping it again
// changes nothing).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/window_placement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tallowmere::WindowRect;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto placement = tallowmere::ParseWindowPlacement(text)) {
        if (!placement->maximized &&
            (placement->normal.Width() <= 0 || placement->normal.Height() <= 0)) {
            std::abort();
        }
        const std::string written = tallowmere::WindowPlacementToText(*placement);
        if (tallowmere::ParseWindowPlacement(written) != placement)
            std::abort();
    }
    // Two screens side by side with a step between them, and one alone.
    const std::vector<WindowRect> two{{-1280, 0, 0, 1024}, {0, 0, 1920, 1040}};
    const std::vector<WindowRect> one{{0, 0, 1920, 1040}};
    for (const auto* screens : {&two, &one}) {
        const auto plan = tallowmere::PlanWindowPlacement(text, *screens, screens->back());
        const WindowRect& r = plan.normal;
        if (r.Width() <= 0 || r.Height() <= 0)
            std::abort();
        if (tallowmere::ClampToScreens(r, *screens) != r)
            std::abort();
    }
    return 0;
}
