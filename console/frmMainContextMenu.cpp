// Which context menu the list's right click and the "action" button pop up,
// and the view and action buttons of Toolbar3.
#include "console/frmMain.h"

#include "platform/PopupMenu.h"
#include "session/ConsoleState.h"

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
    const QString& key = ConsoleState::SelectedKey;
    const QString& item = ConsoleState::SelectedItem;
    const bool connectionKey = key.startsWith(QLatin1Char('@')) || key.startsWith(QLatin1String("#@"));

    if (key == QLatin1String("root"))
        return MainMnu;
    if (key == QLatin1String("Active") && !isBlank(item))
        return mnuEditUserOptions;
    if (connectionKey && (!item.isEmpty() || source == MenuSource::ActionButton))
        return mnuEditUserOptions;
    if (isBlank(item))
        return mnuRefreshOptions;
    if (key == QLatin1String("users"))
        return mnuEditOptions;
    if (key == QLatin1String("groups"))
        return mnuGroupEditOptions;
    if (key == QLatin1String("serverlogs") || key == QLatin1String("userlogs") || key == QLatin1String("grouplogs"))
        return mnuLogOptions;
    return source == MenuSource::ListRightClick ? mnuRefreshOptions : nullptr;
}

void frmMain::Toolbar3_ButtonClick(const QString& key)
{
    if (key == QLatin1String("view")) {
        PopupMenuAt(*mnuView, *this, 950, 700, Toolbar3->widgetForAction(Toolbar3Button(2)));
    } else if (key == QLatin1String("action")) {
        if (QMenu* menu = ContextMenuFor(MenuSource::ActionButton))
            PopupMenuAt(*menu, *this, 250, 700, Toolbar3->widgetForAction(Toolbar3Button(1)));
    }
}

void frmMain::popUpAtPointer(QMenu* menu)
{
    if (menu)
        menu->popup(QCursor::pos());
}
