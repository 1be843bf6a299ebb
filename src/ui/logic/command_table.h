#pragma once
// A command target made of a table: each command with its handler and its
// enabled and checked predicates. The frame and the application's own
// commands are kept this way.
#include <functional>
#include <map>
#include <optional>

#include "ui/logic/command_router.h"

namespace tallowmere::ui {

class CommandTable final : public MCommandTarget {
  public:
    using Handler = std::function<void()>;
    using Predicate = std::function<bool()>;

    // Adds or replaces a command. Without an enabled predicate it is always
    // enabled; without a checked one never checked.
    void Add(int id, Handler run, Predicate enabled = {}, Predicate checked = {});

    std::optional<CommandState> QueryCommand(int id) override;
    void RunCommand(int id) override;

  private:
    struct Entry {
        Handler run;
        Predicate enabled;
        Predicate checked;
    };
    std::map<int, Entry> entries_;
};

}  // namespace tallowmere::ui
