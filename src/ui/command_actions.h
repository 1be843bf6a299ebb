#pragma once
// The commands' actions and the menus built from a menu table. Each command
// has one QAction ("cmd_<id>", its data the id) whose shortcut is a window
// shortcut, and triggering it goes through the router, which asks the
// command's state once more before running it. A menu sets its actions'
// states when it opens and enables them all again when it closes, so the
// shortcuts stay live and the router alone decides, as with accelerators.
#include <QObject>
#include <QString>
#include <map>
#include <vector>

#include "ui/logic/command_router.h"
#include "ui/logic/menu_table.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace tallowmere::ui {

class CommandActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandActions)

  public:
    // The actions belong to the window, so their shortcuts work in it.
    CommandActions(QWidget& window, CommandRouter& router);

    // The command's action, made on first use: the text as shown, the
    // shortcut in the table's form ("Ctrl+N", "DEL"; may be empty), the
    // status-bar prompt from the string with the command's number.
    QAction& Action(int id, const QString& text, const QString& shortcut = QString());
    // Null when the command has no action yet.
    QAction* Find(int id) const;

    // Adds the table's pop-ups to the menu bar, with their sub-menus.
    void FillMenuBar(QMenuBar& bar, const std::vector<MenuEntry>& table);
    // Fills a menu with the entries of one pop-up of a table.
    void FillMenu(QMenu& menu, const std::vector<MenuEntry>& table, int popup);

    // The router's states for the menu's command actions.
    void UpdateStates(QMenu& menu) const;
    // Every command action of the menu enabled again.
    static void EnableAll(QMenu& menu);

  private:
    void Watch(QMenu& menu);

    QWidget& window_;
    CommandRouter& router_;
    std::map<int, QAction*> actions_;
};

// The command id an action carries; 0 for other actions.
int CommandOf(const QAction& action);

}  // namespace tallowmere::ui
