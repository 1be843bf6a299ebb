#include "ui/logic/reload_gate.h"

namespace tallowmere::ui {

bool CReloadGate::LeaveWork(int otherWork) {
    if (depth_ > 0)
        --depth_;
    return MayRun(otherWork);
}

bool CReloadGate::Request(int otherWork) {
    pending_ = true;
    return MayRun(otherWork);
}

}  // namespace tallowmere::ui
