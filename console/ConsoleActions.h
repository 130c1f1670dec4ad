#pragma once
// The console window's pop-up menus, menu items and toolbar buttons, made
// from the list of its commands (ConsoleActionList.h) and found by name; and
// the one rule that enables those that follow a state.
#include "console/ConsoleActionList.h"

#include <array>

class ImageList;
class QMenu;
class QToolBar;

class ConsoleActions {
public:
    // The menus are the window's pop-ups; the toolbars are the window's own and
    // get their buttons here. Each action runs its handler on the window, trapped.
    ConsoleActions(frmMain& window, QToolBar& toolbar1, QToolBar& toolbar2, QToolBar& toolbar3);

    QAction* Action(ConsoleAction name) const;
    // Null for a toolbar.
    QMenu* Menu(ConsolePlace menu) const;

    // The server's commands of those groups as the server runs or is stopped.
    void ShowServerState(bool running, StateGroups groups);
    // Minimize while the window is shown, Restore while it is hidden.
    void ShowWindowHidden(bool hidden);

private:
    void add(frmMain& window, const ConsoleActionRow& row, QToolBar* bar, const ImageList& pictures);
    // The one enabling rule: each action of those groups is enabled in the
    // state it follows and disabled in the other.
    void enableFollowers(EnabledWhile current, StateGroups groups);

    std::array<QMenu*, ConsoleMenuCount> m_menus{};
    std::array<QAction*, ConsoleActionCount> m_actions{};
};
