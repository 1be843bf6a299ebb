#include "ui/logic/command_table.h"

#include <utility>

namespace tallowmere::ui {

void CommandTable::Add(int id, Handler run, Predicate enabled, Predicate checked) {
    entries_[id] = Entry{std::move(run), std::move(enabled), std::move(checked)};
}

std::optional<CommandState> CommandTable::QueryCommand(int id) {
    const auto it = entries_.find(id);
    if (it == entries_.end())
        return std::nullopt;
    const Entry& entry = it->second;
    return CommandState{!entry.enabled || entry.enabled(), entry.checked && entry.checked()};
}

void CommandTable::RunCommand(int id) {
    const auto it = entries_.find(id);
    if (it == entries_.end() || !it->second.run)
        return;
    // A copy: the handler may end the table's owner.
    const Handler run = it->second.run;
    run();
}

}  // namespace tallowmere::ui
