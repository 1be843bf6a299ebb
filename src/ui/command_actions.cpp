#include "ui/command_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

constexpr char kCommandProperty[] = "commandId";

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

int CommandOf(const QAction& action) {
    const QVariant id = action.property(kCommandProperty);
    return id.isValid() ? id.toInt() : 0;
}

CommandActions::CommandActions(QWidget& window, CommandRouter& router)
    : QObject(&window), window_(window), router_(router) {}

QAction& CommandActions::Action(int id, const QString& text, const QString& shortcut) {
    if (QAction* existing = Find(id))
        return *existing;
    auto* action = new QAction(text, &window_);
    action->setObjectName(QStringLiteral("cmd_%1").arg(id));
    action->setData(id);
    action->setProperty(kCommandProperty, id);
    action->setStatusTip(Text(LoadString(id)));
    if (!shortcut.isEmpty()) {
        // The table writes Windows' key names ("DEL"); Qt reads them without
        // regard to case.
        action->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    window_.addAction(action);
    connect(action, &QAction::triggered, this, [this, id] { router_.Dispatch(id); });
    actions_[id] = action;
    return *action;
}

QAction* CommandActions::Find(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CommandActions::FillMenuBar(QMenuBar& bar, const std::vector<MenuEntry>& table) {
    for (const MenuEntry& entry : MenuChildren(table, 0)) {
        QMenu* menu = bar.addMenu(Text(entry.text));
        menu->setObjectName(QStringLiteral("menu_%1").arg(entry.id));
        FillMenu(*menu, table, entry.id);
    }
}

void CommandActions::FillMenu(QMenu& menu, const std::vector<MenuEntry>& table, int popup) {
    for (const MenuEntry& entry : MenuChildren(table, popup)) {
        if (entry.IsSeparator()) {
            menu.addSeparator();
        } else if (entry.IsPopup()) {
            QMenu* sub = menu.addMenu(Text(entry.text));
            sub->setObjectName(QStringLiteral("menu_%1").arg(entry.id));
            FillMenu(*sub, table, entry.id);
        } else {
            menu.addAction(&Action(entry.id, Text(entry.text), Text(entry.shortcut)));
        }
    }
    Watch(menu);
}

void CommandActions::UpdateStates(QMenu& menu) const {
    for (QAction* action : menu.actions()) {
        const int id = CommandOf(*action);
        if (id == 0)
            continue;
        const CommandState state = router_.Query(id);
        action->setEnabled(state.enabled);
        action->setCheckable(state.checked);
        action->setChecked(state.checked);
    }
}

void CommandActions::EnableAll(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (CommandOf(*action) != 0)
            action->setEnabled(true);
    }
}

void CommandActions::Watch(QMenu& menu) {
    connect(&menu, &QMenu::aboutToShow, this, [this, &menu] { UpdateStates(menu); });
    connect(&menu, &QMenu::aboutToHide, this, [&menu] { EnableAll(menu); });
}

}  // namespace tallowmere::ui
