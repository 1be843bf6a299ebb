#include "ui/logic/command_router.h"

namespace tallowmere::ui {

CommandState CommandRouter::Query(int id) const {
    for (MCommandTarget* target : {view_, frame_, app_}) {
        if (target == nullptr)
            continue;
        if (const std::optional<CommandState> state = target->QueryCommand(id))
            return *state;
    }
    return CommandState{};
}

bool CommandRouter::Dispatch(int id) {
    for (MCommandTarget* target : {view_, frame_, app_}) {
        if (target == nullptr)
            continue;
        const std::optional<CommandState> state = target->QueryCommand(id);
        if (!state)
            continue;
        if (!state->enabled)
            return false;
        target->RunCommand(id);
        return true;
    }
    return false;
}

}  // namespace tallowmere::ui
