#pragma once
// Command routing: a command goes to the view, then the frame, then the
// application, and the first that handles it decides. A command that nobody
// handles is disabled. The enabled state is asked when a menu opens and again
// when the command fires, so a shortcut never runs a command that is off.
#include <optional>

namespace tallowmere::ui {

struct CommandState {
    bool enabled = false;
    bool checked = false;
    bool operator==(const CommandState&) const = default;
};

class MCommandTarget {
  public:
    virtual ~MCommandTarget() = default;
    // The command's state when this target handles it; nothing otherwise.
    virtual std::optional<CommandState> QueryCommand(int id) = 0;
    // Runs a command this target handles and has just reported enabled.
    virtual void RunCommand(int id) = 0;
};

class CommandRouter {
  public:
    // Each target may be null; the caller keeps ownership and clears a
    // target before it goes away.
    void SetView(MCommandTarget* view) { view_ = view; }
    void SetFrame(MCommandTarget* frame) { frame_ = frame; }
    void SetApp(MCommandTarget* app) { app_ = app; }

    // The state from the first target that handles the command; disabled
    // and unchecked when none does.
    CommandState Query(int id) const;
    // Runs the command in the first target that handles it, when that
    // target enables it now. True when it ran.
    bool Dispatch(int id);

  private:
    MCommandTarget* view_ = nullptr;
    MCommandTarget* frame_ = nullptr;
    MCommandTarget* app_ = nullptr;
};

}  // namespace tallowmere::ui
