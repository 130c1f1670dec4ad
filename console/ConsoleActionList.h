#pragma once
// The console window's commands by name: every item of its pop-up menus and
// every button of its toolbars, with its caption, picture, shortcut and tip,
// its place, the handler it runs and the state that enables it. The window
// builds its menus and toolbars from this one list (ConsoleActions), its
// handlers tell the items of a control array apart by these names, and the
// tests find the controls through them.
//
// To add a command: name it below, give it a row in ConsoleActionList.cpp
// among the rows of its menu or toolbar, in the order it shows there, and write
// its handler.
#include <QFlags>
#include <optional>
#include <span>

class frmMain;
class QAction;

// The pop-up menus and the toolbars that hold the commands, by their control
// names. The menus come first.
enum class ConsolePlace : quint8 {
    mnuConsole, mnuHelp, mnuView, mnuLogOptions, mnuGroupEditOptions, mnuStatsOption, mnuEditOptions, mnuStatsOpt1,
    mnuEditUserOptions, mnuStatsOption1, mnuRefreshOptions, mnuTray, MainMnu,
    Toolbar1, Toolbar2, Toolbar3,
};
constexpr int ConsoleMenuCount = int(ConsolePlace::Toolbar1);
// A menu's control name, which is also its objectName.
const char* MenuName(ConsolePlace menu);

// Every command: an item with a control name of its own by that name, an item
// of a control array and a toolbar button by what it does.
enum class ConsoleAction : quint8 {
    None, // a separator, or nothing at a place
    // Toolbar2 and Toolbar3, which carry captions.
    ConsoleButton, HelpButton, ActionButton, ViewButton,
    // Toolbar1, which shows pictures.
    StartButton, StopButton, HomeButton, PropertiesButton, AddUserButton, EditUsersButton, EditGroupsButton,
    VirtualFoldersButton, RefreshButton,
    // mnuConsole, mnuHelp and mnuView.
    mnuExit, mnuHelpDoc, mnuAbout, mnuIcon, mnuSmallIcon, mnuList, mnuReport,
    // The array mnuLog of the logs' menu.
    ViewLog, DeleteLog, RefreshLogs,
    // The arrays mnuGroupEdit and mnuStats of the groups' menu.
    EditGroup, RefreshGroups, GroupDayFiles, GroupDayMegabytes,
    // The arrays mnuEdit and mnuStats2 of the users' menu.
    EditUser, RefreshUsers, UserSessionFiles, UserSessionMegabytes, UserDayFiles, UserDayMegabytes,
    // The arrays mnuEditUser and mnuStats1 of the connections' menu.
    EditConnectionUser, ViewUserLog, DeleteUserLog, RefreshConnections, LogoffUser,
    ConnectionSessionFiles, ConnectionSessionMegabytes, ConnectionDayFiles, ConnectionDayMegabytes,
    // mnuRefreshOptions, mnuTray and MainMnu.
    mnuRefresh, mnuMinimize, mnuRestore, mnuTrayStart, mnuTrayStop, mnuClose,
    mnuStart, mnuStop, mnuAddUsers, mnuEditUsers, mnuEditGroups, mnuProperties, mnuVirtualFolders, mnuHomePage,
};
constexpr int ConsoleActionCount = int(ConsoleAction::mnuHomePage) + 1;

// The state an action's enabled state shows: the server stopped or running,
// the window shown or hidden into the tray.
enum class EnabledWhile : quint8 { Always, Stopped, Running, Shown, Hidden };

// Who moves the actions that follow a state. A start or stop of the server
// that succeeded moves every server group, one that failed only the toolbar's
// start and stop and the properties commands; each caller names the groups
// it moves.
enum class StateGroup : quint8 {
    None = 0,
    MainMenu = 0x01,   // mnuStart, mnuStop
    TrayMenu = 0x02,   // mnuTrayStart, mnuTrayStop
    Toolbar = 0x04,    // Toolbar1's start and stop
    Properties = 0x08, // mnuProperties, Toolbar1's properties
    Window = 0x10,     // mnuMinimize, mnuRestore
};
Q_DECLARE_FLAGS(StateGroups, StateGroup)
Q_DECLARE_OPERATORS_FOR_FLAGS(StateGroups)

// How an action looks when it is made.
enum class ActionLook : quint8 { Plain = 0, Checkable = 0x01, Checked = 0x03, Off = 0x04, Hidden = 0x08 };
Q_DECLARE_FLAGS(ActionLooks, ActionLook)
Q_DECLARE_OPERATORS_FOR_FLAGS(ActionLooks)

// What an action runs when it is triggered: the handler with the argument it
// takes from the action, and the procedure a failure is reported under.
struct ActionHandler {
    void (*run)(frmMain& window, const QAction& action) = nullptr;
    const char* procedure = nullptr;
};

struct ConsoleActionRow {
    ConsoleAction name = ConsoleAction::None;
    ConsolePlace place = ConsolePlace::MainMnu;
    const char* objectName = nullptr; // the control's name; toolbar buttons have none
    int index = -1;                   // within its control array or toolbar; -1 for none
    const char* caption = nullptr;    // "-" makes a separator; Toolbar1's buttons have none
    int picture = 0;                  // Toolbar1's picture (ToolbarImage)
    const char* key = nullptr;        // a toolbar button's key
    const char* tip = nullptr;
    const char* shortcut = nullptr;
    std::optional<ConsolePlace> opens = std::nullopt; // the submenu this item opens
    ActionHandler handler = {};
    EnabledWhile enabledWhile = EnabledWhile::Always;
    StateGroup group = StateGroup::None;
    ActionLooks looks = ActionLook::Plain;

    bool isSeparator() const { return caption && caption[0] == '-' && !caption[1]; }
};

// The list, each menu's and toolbar's rows in the order they show there.
std::span<const ConsoleActionRow> ConsoleActionList();
// The command at an index of a menu's control array or of a toolbar; None
// for a separator or an index that holds nothing.
ConsoleAction ActionAt(ConsolePlace place, int index);
