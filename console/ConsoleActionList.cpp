// The one list of the console window's commands.
#include "console/ConsoleActionList.h"

#include "console/frmMain.h"
#include "platform/ConsoleImages.h"

#include <QAction>
#include <QVariant>
#include <iterator>

namespace {

using enum ConsoleAction;
using enum ConsolePlace;

template <void (frmMain::*Handler)()>
void call(frmMain& window, const QAction&)
{
    (window.*Handler)();
}

// The items of a control array and Toolbar1's buttons tell their handler their index.
template <void (frmMain::*Handler)(int)>
void callWithIndex(frmMain& window, const QAction& action)
{
    (window.*Handler)(action.property("index").toInt());
}

void callWithCaption(frmMain& window, const QAction& action)
{
    window.Toolbar2_ButtonClick(action.text());
}

void callWithKey(frmMain& window, const QAction& action)
{
    window.Toolbar3_ButtonClick(action.property("key").toString());
}

// A handler under the name its failures are reported with.
#define ON(handler) ActionHandler{&call<&frmMain::handler>, #handler}
#define ON_INDEX(handler) ActionHandler{&callWithIndex<&frmMain::handler>, #handler}

// A row under construction: the helpers below make each kind, these add the rest.
struct Row : ConsoleActionRow {
    constexpr Row follows(EnabledWhile state, StateGroup mover) const
    {
        Row row = *this;
        row.enabledWhile = state;
        row.group = mover;
        return row;
    }
    constexpr Row look(ActionLooks looks) const
    {
        Row row = *this;
        row.looks = looks;
        return row;
    }
};

constexpr Row item(ConsoleAction name, ConsolePlace menu, const char* objectName, const char* caption,
                   ActionHandler handler = {})
{
    return {{.name = name, .place = menu, .objectName = objectName, .caption = caption, .handler = handler}};
}

constexpr Row arrayItem(ConsoleAction name, ConsolePlace menu, const char* array, int index, const char* caption,
                        ActionHandler handler)
{
    return {{.name = name, .place = menu, .objectName = array, .index = index, .caption = caption, .handler = handler}};
}

constexpr Row separator(ConsolePlace place, const char* array = nullptr, int index = -1)
{
    return {{.place = place, .objectName = array, .index = index, .caption = "-"}};
}

constexpr Row submenu(ConsolePlace menu, ConsolePlace opens, const char* caption)
{
    return {{.place = menu, .caption = caption, .opens = opens}};
}

// A captioned button of Toolbar2 or Toolbar3; its "&" letter works with Alt as on a menu bar.
constexpr Row captionButton(ConsoleAction name, ConsolePlace bar, int index, const char* caption, const char* key,
                            const char* tip, const char* shortcut, ActionHandler handler)
{
    return {{.name = name, .place = bar, .index = index, .caption = caption, .key = key, .tip = tip,
             .shortcut = shortcut, .handler = handler}};
}

// A button of Toolbar1, which shows a picture and acts by its index.
constexpr Row button(ConsoleAction name, int index, const char* key, const char* tip, int picture)
{
    return {{.name = name, .place = Toolbar1, .index = index, .picture = picture, .key = key, .tip = tip,
             .handler = ON_INDEX(Toolbar1_ButtonClick)}};
}

constexpr ActionHandler onLog = ON_INDEX(mnuLog_Click);
constexpr ActionHandler onGroupEdit = ON_INDEX(mnuGroupEdit_Click);
constexpr ActionHandler onStats = ON_INDEX(mnuStats_Click);
constexpr ActionHandler onEdit = ON_INDEX(mnuEdit_Click);
constexpr ActionHandler onStats2 = ON_INDEX(mnuStats2_Click);
constexpr ActionHandler onEditUser = ON_INDEX(mnuEditUser_Click);
constexpr ActionHandler onStats1 = ON_INDEX(mnuStats1_Click);
constexpr ActionHandler onToolbar2 = {&callWithCaption, "Toolbar2_ButtonClick"};
constexpr ActionHandler onToolbar3 = {&callWithKey, "Toolbar3_ButtonClick"};

using enum EnabledWhile;

constexpr ConsoleActionRow Rows[] = {
    captionButton(ConsoleButton, Toolbar2, 1, "&Console", nullptr, "Console Action", "Alt+C", onToolbar2),
    captionButton(HelpButton, Toolbar2, 2, "&Help", nullptr, "Help menu", "Alt+H", onToolbar2),

    captionButton(ActionButton, Toolbar3, 1, "&Action", "action", "Action Menu", "Alt+A", onToolbar3),
    captionButton(ViewButton, Toolbar3, 2, "&View", "view", "View Menu", "Alt+V", onToolbar3),

    button(StartButton, 1, "start", "Start Server", ToolbarImage::Start).follows(Stopped, StateGroup::Toolbar),
    button(StopButton, 2, "stop", "Stop Server", ToolbarImage::Stop).follows(Running, StateGroup::Toolbar),
    separator(Toolbar1, nullptr, 3),
    button(HomeButton, 4, "home", "Corvalen Home", ToolbarImage::Home),
    separator(Toolbar1, nullptr, 5),
    button(PropertiesButton, 6, "properties", "Properties", ToolbarImage::Properties)
        .follows(Stopped, StateGroup::Properties),
    separator(Toolbar1, nullptr, 7),
    button(AddUserButton, 8, "AddUser", "Add New User", ToolbarImage::AddUser),
    button(EditUsersButton, 9, "edituser", "Edit Users", ToolbarImage::EditUsers),
    button(EditGroupsButton, 10, "editgroup", "Edit Groups", ToolbarImage::EditGroups),
    separator(Toolbar1, nullptr, 11),
    button(VirtualFoldersButton, 12, "VirtualFolders", "Work with Virtual Folders", ToolbarImage::VirtualFolders),
    separator(Toolbar1, nullptr, 13),
    button(RefreshButton, 14, "Refresh", "Refresh", ToolbarImage::Refresh),

    item(mnuExit, mnuConsole, "mnuExit", "Exit", ON(mnuExit_Click)),

    item(mnuHelpDoc, mnuHelp, "mnuHelpDoc", "&Help Topics", ON(mnuHelpDoc_Click)),
    item(mnuAbout, mnuHelp, "mnuAbout", "&About FTP Server", ON(mnuAbout_Click)),

    item(mnuIcon, mnuView, "mnuIcon", "&Large Icons", ON(mnuIcon_Click)).look(ActionLook::Checkable),
    item(mnuSmallIcon, mnuView, "mnuSmallIcon", "&Small Icon", ON(mnuSmallIcon_Click)).look(ActionLook::Checkable),
    item(mnuList, mnuView, "mnuList", "&List", ON(mnuList_Click)).look(ActionLook::Checkable),
    item(mnuReport, mnuView, "mnuReport", "&Details", ON(mnuReport_Click)).look(ActionLook::Checked),

    arrayItem(ViewLog, mnuLogOptions, "mnuLog", 0, "View Log", onLog),
    arrayItem(DeleteLog, mnuLogOptions, "mnuLog", 1, "Delete Log", onLog),
    arrayItem(RefreshLogs, mnuLogOptions, "mnuLog", 2, "Refresh", onLog),

    arrayItem(EditGroup, mnuGroupEditOptions, "mnuGroupEdit", 0, "&Edit Group", onGroupEdit),
    arrayItem(RefreshGroups, mnuGroupEditOptions, "mnuGroupEdit", 1, "&Refresh", onGroupEdit),
    submenu(mnuGroupEditOptions, mnuStatsOption, "Group &Stats"),
    arrayItem(GroupDayFiles, mnuStatsOption, "mnuStats", 0, "Group File transfer &History by day", onStats),
    arrayItem(GroupDayMegabytes, mnuStatsOption, "mnuStats", 1, "Group &Megabyte transfer History by day", onStats),

    arrayItem(EditUser, mnuEditOptions, "mnuEdit", 0, "&Edit User", onEdit),
    arrayItem(RefreshUsers, mnuEditOptions, "mnuEdit", 1, "&Refresh", onEdit),
    submenu(mnuEditOptions, mnuStatsOpt1, "User &Stats"),
    arrayItem(UserSessionFiles, mnuStatsOpt1, "mnuStats2", 0, "User File transfer &History by session", onStats2),
    arrayItem(UserSessionMegabytes, mnuStatsOpt1, "mnuStats2", 1, "User &Megabyte transfer History by session",
              onStats2),
    separator(mnuStatsOpt1, "mnuStats2", 2).look(ActionLook::Off),
    arrayItem(UserDayFiles, mnuStatsOpt1, "mnuStats2", 3, "User F&ile transfer History by day", onStats2),
    arrayItem(UserDayMegabytes, mnuStatsOpt1, "mnuStats2", 4, "User M&egabyte transfer History by day", onStats2),

    arrayItem(EditConnectionUser, mnuEditUserOptions, "mnuEditUser", 0, "Edit &User", onEditUser),
    arrayItem(ViewUserLog, mnuEditUserOptions, "mnuEditUser", 1, "&View User Log", onEditUser),
    arrayItem(DeleteUserLog, mnuEditUserOptions, "mnuEditUser", 2, "&Delete User Log", onEditUser),
    arrayItem(RefreshConnections, mnuEditUserOptions, "mnuEditUser", 3, "&Refresh", onEditUser),
    separator(mnuEditUserOptions, "mnuEditUser", 4),
    arrayItem(LogoffUser, mnuEditUserOptions, "mnuEditUser", 5, "&Logoff User", onEditUser),
    separator(mnuEditUserOptions, "mnuEditUser", 6),
    submenu(mnuEditUserOptions, mnuStatsOption1, "User &Stats"),
    arrayItem(ConnectionSessionFiles, mnuStatsOption1, "mnuStats1", 0, "User File transfer &History by session",
              onStats1),
    arrayItem(ConnectionSessionMegabytes, mnuStatsOption1, "mnuStats1", 1,
              "User &Megabyte transfer History by session", onStats1),
    separator(mnuStatsOption1, "mnuStats1", 2).look(ActionLook::Off),
    arrayItem(ConnectionDayFiles, mnuStatsOption1, "mnuStats1", 3, "User F&ile transfer History by day", onStats1),
    // This item keeps its own spelling.
    arrayItem(ConnectionDayMegabytes, mnuStatsOption1, "mnuStats1", 4, "User M&egabtye transfer History by day",
              onStats1),

    item(mnuRefresh, mnuRefreshOptions, "mnuRefresh", "Refresh", ON(mnuRefresh_Click)),

    item(mnuMinimize, mnuTray, "mnuMinimize", "&Minimize", ON(mnuMinimize_Click)).follows(Shown, StateGroup::Window),
    item(mnuRestore, mnuTray, "mnuRestore", "&Restore", ON(mnuRestore_Click)).follows(Hidden, StateGroup::Window),
    separator(mnuTray),
    item(mnuTrayStart, mnuTray, "mnuTrayStart", "&Start", ON(mnuTrayStart_Click))
        .follows(Stopped, StateGroup::TrayMenu),
    item(mnuTrayStop, mnuTray, "mnuTrayStop", "S&top", ON(mnuTrayStop_Click)).follows(Running, StateGroup::TrayMenu),
    // The tray menu's own Close is never shown.
    separator(mnuTray).look(ActionLook::Hidden),
    item(mnuClose, mnuTray, "mnuClose", "&Close").look(ActionLook::Hidden),

    item(mnuStart, MainMnu, "mnuStart", "&Start", ON(mnuStart_Click)).follows(Stopped, StateGroup::MainMenu),
    item(mnuStop, MainMnu, "mnuStop", "S&top", ON(mnustop_Click)).follows(Running, StateGroup::MainMenu),
    separator(MainMnu),
    item(mnuAddUsers, MainMnu, "mnuAddUsers", "&Add Users", ON(mnuAddUsers_Click)),
    item(mnuEditUsers, MainMnu, "mnuEditUsers", "&Edit Users", ON(mnuEditUsers_Click)),
    item(mnuEditGroups, MainMnu, "mnuEditGroups", "Edit &Groups", ON(mnuEditGroups_Click)),
    separator(MainMnu),
    item(mnuProperties, MainMnu, "mnuProperties", "&Properties", ON(mnuProperties_Click))
        .follows(Stopped, StateGroup::Properties),
    separator(MainMnu),
    item(mnuVirtualFolders, MainMnu, "mnuVirtualFolders", "&Virtual Folders", ON(mnuVirtualFolders_Click)),
    separator(MainMnu),
    item(mnuHomePage, MainMnu, "mnuHomePage", "&Home Page", ON(mnuHomePage_Click)),
};

#undef ON
#undef ON_INDEX

// A command without a row, or with two, is found at build time.
constexpr bool eachCommandOnce()
{
    int rows[ConsoleActionCount] = {};
    for (const ConsoleActionRow& row : Rows)
        ++rows[int(row.name)];
    for (int name = int(None) + 1; name < ConsoleActionCount; ++name)
        if (rows[name] != 1)
            return false;
    return true;
}
static_assert(eachCommandOnce());

// By ConsolePlace, up to the toolbars.
constexpr const char* MenuNames[] = {
    "mnuConsole", "mnuHelp", "mnuView", "mnuLogOptions", "mnuGroupEditOptions", "mnuStatsOption", "mnuEditOptions",
    "mnuStatsOpt1", "mnuEditUserOptions", "mnuStatsOption1", "mnuRefreshOptions", "mnuTray", "MainMnu",
};
static_assert(std::size(MenuNames) == ConsoleMenuCount);

} // namespace

const char* MenuName(ConsolePlace menu)
{
    return int(menu) < ConsoleMenuCount ? MenuNames[int(menu)] : nullptr;
}

std::span<const ConsoleActionRow> ConsoleActionList()
{
    return Rows;
}

ConsoleAction ActionAt(ConsolePlace place, int index)
{
    for (const ConsoleActionRow& row : Rows)
        if (row.place == place && row.index == index && index >= 0)
            return row.name;
    return None;
}
