#include "console/ConsoleActions.h"

#include "console/frmMain.h"
#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "platform/ConsoleImages.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

ConsoleActions::ConsoleActions(frmMain& window, QToolBar& toolbar1, QToolBar& toolbar2, QToolBar& toolbar3)
{
    // The window's pop-ups first; a submenu is made where its item stands in its menu.
    std::array<bool, ConsoleMenuCount> submenu{};
    for (const ConsoleActionRow& row : ConsoleActionList())
        if (row.opens)
            submenu[int(*row.opens)] = true;
    for (int i = 0; i < ConsoleMenuCount; ++i) {
        if (submenu[i])
            continue;
        m_menus[i] = new QMenu(&window);
        m_menus[i]->setObjectName(QLatin1String(MenuName(ConsolePlace(i))));
    }

    const ImageList pictures = ToolbarImages();
    toolbar1.setIconSize(pictures.IconSize());
    for (const ConsoleActionRow& row : ConsoleActionList()) {
        QToolBar* bar = row.place == ConsolePlace::Toolbar1 ? &toolbar1
            : row.place == ConsolePlace::Toolbar2           ? &toolbar2
            : row.place == ConsolePlace::Toolbar3           ? &toolbar3
                                                            : nullptr;
        add(window, row, bar, pictures);
    }

    // The server is stopped and the window shown. The toolbar shows the
    // server's state once the window has loaded.
    ShowServerState(false, StateGroup::MainMenu | StateGroup::TrayMenu);
    ShowWindowHidden(false);
}

void ConsoleActions::add(frmMain& window, const ConsoleActionRow& row, QToolBar* bar, const ImageList& pictures)
{
    const QString caption = QString::fromLatin1(row.caption);
    QMenu* menu = Menu(row.place);
    QAction* action = nullptr;
    if (row.opens) {
        auto* sub = new QMenu(caption, menu);
        sub->setObjectName(QLatin1String(MenuName(*row.opens)));
        m_menus[int(*row.opens)] = sub;
        action = menu->addMenu(sub);
        action->setObjectName(sub->objectName());
    } else if (bar) {
        action = row.isSeparator() ? bar->addSeparator()
            : row.picture          ? bar->addAction(pictures.Icon(row.picture), QString())
                                   : bar->addAction(caption);
    } else {
        action = row.isSeparator() ? menu->addSeparator() : menu->addAction(caption);
    }

    if (row.objectName)
        action->setObjectName(QLatin1String(row.objectName));
    if (row.index >= 0)
        action->setProperty("index", row.index);
    if (row.key)
        action->setProperty("key", QString::fromLatin1(row.key));
    if (row.tip)
        action->setToolTip(QString::fromLatin1(row.tip));
    if (row.shortcut)
        action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
    action->setCheckable(row.looks.testFlag(ActionLook::Checkable));
    action->setChecked(row.looks.testFlag(ActionLook::Checked));
    action->setEnabled(!row.looks.testFlag(ActionLook::Off));
    action->setVisible(!row.looks.testFlag(ActionLook::Hidden));

    if (row.handler.run) {
        const ActionHandler handler = row.handler;
        QObject::connect(action, &QAction::triggered, &window, [&window, action, handler] {
            Trapped(FrmMainProcedure(handler.procedure), 0, [&] { handler.run(window, *action); });
        });
    }
    if (row.name != ConsoleAction::None)
        m_actions[int(row.name)] = action;
}

QAction* ConsoleActions::Action(ConsoleAction name) const
{
    return m_actions[int(name)];
}

QMenu* ConsoleActions::Menu(ConsolePlace menu) const
{
    return int(menu) < ConsoleMenuCount ? m_menus[int(menu)] : nullptr;
}

void ConsoleActions::ShowServerState(bool running, StateGroups groups)
{
    enableFollowers(running ? EnabledWhile::Running : EnabledWhile::Stopped, groups & ~StateGroups(StateGroup::Window));
}

void ConsoleActions::ShowWindowHidden(bool hidden)
{
    enableFollowers(hidden ? EnabledWhile::Hidden : EnabledWhile::Shown, StateGroup::Window);
}

void ConsoleActions::enableFollowers(EnabledWhile current, StateGroups groups)
{
    for (const ConsoleActionRow& row : ConsoleActionList())
        if (row.group != StateGroup::None && groups.testFlag(row.group))
            Action(row.name)->setEnabled(row.enabledWhile == current);
}
