// Which context menu the list's right click and the "action" button pop up,
// and the view and action buttons of Toolbar3.
#include "console/frmMain.h"

#include "platform/PopupMenu.h"
#include "session/ConsoleState.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolBar>

namespace {

// Blanks only; the selection texts are compared as the rows hold them.
bool isBlank(const QString& text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace

QMenu* frmMain::ContextMenuFor(MenuSource source) const
{
    using enum ConsolePlace;
    const QString& key = ConsoleState::SelectedKey;
    const QString& item = ConsoleState::SelectedItem;
    const bool connectionKey = key.startsWith(QLatin1Char('@')) || key.startsWith(QLatin1String("#@"));

    if (key == QLatin1String("root"))
        return Menu(MainMnu);
    if (key == QLatin1String("Active") && !isBlank(item))
        return Menu(mnuEditUserOptions);
    if (connectionKey && (!item.isEmpty() || source == MenuSource::ActionButton))
        return Menu(mnuEditUserOptions);
    if (isBlank(item))
        return Menu(mnuRefreshOptions);
    if (key == QLatin1String("users"))
        return Menu(mnuEditOptions);
    if (key == QLatin1String("groups"))
        return Menu(mnuGroupEditOptions);
    if (key == QLatin1String("serverlogs") || key == QLatin1String("userlogs") || key == QLatin1String("grouplogs"))
        return Menu(mnuLogOptions);
    return source == MenuSource::ListRightClick ? Menu(mnuRefreshOptions) : nullptr;
}

void frmMain::Toolbar3_ButtonClick(const QString& key)
{
    using enum ConsoleAction;
    const auto keyOf = [this](ConsoleAction button) { return Action(button)->property("key").toString(); };
    if (key == keyOf(ViewButton)) {
        PopupMenuAt(*Menu(ConsolePlace::mnuView), *this, 950, 700, Toolbar3->widgetForAction(Action(ViewButton)));
    } else if (key == keyOf(ActionButton)) {
        if (QMenu* menu = ContextMenuFor(MenuSource::ActionButton))
            PopupMenuAt(*menu, *this, 250, 700, Toolbar3->widgetForAction(Action(ActionButton)));
    }
}

void frmMain::popUpAtPointer(QMenu* menu)
{
    if (menu)
        menu->popup(QCursor::pos());
}
