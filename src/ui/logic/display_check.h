#pragma once
// Whether the program can open a window at all, asked before the toolkit
// starts: without a display it would only print the toolkit's own error.
#include <functional>
#include <string>

namespace tallowmere::ui {

// Reads one environment variable; empty when unset.
using EnvironmentReader = std::function<std::string(const char* name)>;

// True when DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM names something.
bool HasDisplay(const EnvironmentReader& environment);

// The one line the program prints when there is no display.
std::string NoDisplayMessage();

}  // namespace tallowmere::ui
