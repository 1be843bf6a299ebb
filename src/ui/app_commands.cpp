#include "ui/app_commands.h"

#include <QWidget>

#include "ui/logic/command_id.h"

namespace tallowmere::ui {

AppCommands::AppCommands(QWidget& mainWindow) : mainWindow_(mainWindow) {
    table_.Add(
        ToInt(CommandId::kAppAbout), [this] { about_(&mainWindow_); },
        [this] { return static_cast<bool>(about_); });
    table_.Add(ToInt(CommandId::kAppExit), [this] { mainWindow_.close(); });
}

void AppCommands::SetAboutHook(std::function<void(QWidget*)> about) {
    about_ = std::move(about);
}

std::optional<CommandState> AppCommands::QueryCommand(int id) {
    return table_.QueryCommand(id);
}

void AppCommands::RunCommand(int id) {
    table_.RunCommand(id);
}

}  // namespace tallowmere::ui
