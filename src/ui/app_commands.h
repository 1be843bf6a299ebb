#pragma once
// The application's own commands, last in the routing: About (the box comes
// from elsewhere in the program and is handed in) and Exit, which closes the
// main window so that everything ends by the window's own close.
#include <functional>

#include "ui/logic/command_router.h"
#include "ui/logic/command_table.h"

class QWidget;

namespace tallowmere::ui {

class AppCommands final : public MCommandTarget {
  public:
    explicit AppCommands(QWidget& mainWindow);

    // Shows the About box over the given parent; the command is disabled
    // until one is set.
    void SetAboutHook(std::function<void(QWidget* parent)> about);

    std::optional<CommandState> QueryCommand(int id) override;
    void RunCommand(int id) override;

  private:
    QWidget& mainWindow_;
    std::function<void(QWidget*)> about_;
    CommandTable table_;
};

}  // namespace tallowmere::ui
