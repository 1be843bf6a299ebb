#include "ui/logic/display_check.h"

namespace tallowmere::ui {

bool HasDisplay(const EnvironmentReader& environment) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!environment(name).empty())
            return true;
    }
    return false;
}

std::string NoDisplayMessage() {
    return "Tallowmere Desktop needs a graphical display: start it from a desktop session, "
           "or under a virtual X server with \"xvfb-run -a make run\".";
}

}  // namespace tallowmere::ui
