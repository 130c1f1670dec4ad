// The toolbars' buttons and the server, tray, view, help and exit commands.
#include "console/frmMain.h"

#include "console/ConsoleActions.h"
#include "core/ProgramLifetime.h"
#include "core/Accounts.h"
#include "core/MessageService.h"
#include "dialogs/frmProperties.h"
#include "engine/FtpEngine.h"
#include "platform/HelpViewer.h"
#include "platform/PopupMenu.h"
#include "platform/SingleInstance.h"
#include "session/ConsoleState.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace {

void unableToStart()
{
    Messages().message(QStringLiteral("Unable to start server."), QString(), MessageIcon::None);
}

} // namespace

void frmMain::Toolbar1_ButtonClick(int index)
{
    using ConsoleState::SelectedKey;
    switch (ActionAt(ConsolePlace::Toolbar1, index)) {
    case ConsoleAction::StartButton:
        if (!StartServer())
            unableToStart();
        UpdateTree(SelectedKey);
        break;
    case ConsoleAction::StopButton:
        // A stopped server has no connection nodes left to show.
        if (StopServer() && SelectedKey.startsWith(QLatin1Char('@')))
            SelectedKey = QStringLiteral("Active");
        UpdateTree(SelectedKey);
        break;
    case ConsoleAction::HomeButton:
        mnuHomePage_Click();
        break;
    case ConsoleAction::PropertiesButton:
        showPropertiesDialog();
        ModMain::CheckUG();
        UpdateTree(SelectedKey);
        break;
    case ConsoleAction::AddUserButton:
        mnuAddUsers_Click();
        break;
    case ConsoleAction::EditUsersButton:
        mnuEditUsers_Click();
        break;
    case ConsoleAction::EditGroupsButton:
        mnuEditGroups_Click();
        break;
    case ConsoleAction::VirtualFoldersButton:
        mnuVirtualFolders_Click();
        break;
    case ConsoleAction::RefreshButton:
        ModMain::CheckUG();
        UpdateTree(SelectedKey);
        break;
    default:
        break;
    }
}

void frmMain::Toolbar2_ButtonClick(const QString& caption)
{
    using enum ConsoleAction;
    if (caption == Action(ConsoleButton)->text())
        PopupMenuAt(*Menu(ConsolePlace::mnuConsole), *this, 200, 300, Toolbar2->widgetForAction(Action(ConsoleButton)));
    else if (caption == Action(HelpButton)->text())
        PopupMenuAt(*Menu(ConsolePlace::mnuHelp), *this, 1100, 300, Toolbar2->widgetForAction(Action(HelpButton)));
}

void frmMain::showPropertiesDialog()
{
    SingleInstance<frmProperties>::Get().exec();
}

void frmMain::mnuStart_Click()
{
    StartServer();
}

void frmMain::mnustop_Click()
{
    StopServer();
}

// The tray's start and stop set the toolbar's and their own state by what
// became of the attempt, even where the server's own report set none.
void frmMain::mnuTrayStart_Click()
{
    const bool started = StartServer();
    if (!started)
        unableToStart();
    m_actions->ShowServerState(started, StateGroup::Toolbar | StateGroup::TrayMenu);
}

void frmMain::mnuTrayStop_Click()
{
    using ConsoleState::SelectedKey;
    const bool stopped = StopServer();
    m_actions->ShowServerState(!stopped, StateGroup::Toolbar | StateGroup::TrayMenu);
    if (stopped) {
        if (SelectedKey.startsWith(QLatin1Char('@')))
            SelectedKey = QStringLiteral("Active");
        UpdateTree(SelectedKey);
    }
}

void frmMain::mnuMinimize_Click()
{
    m_actions->ShowWindowHidden(true);
    hide();
}

void frmMain::mnuRestore_Click()
{
    m_actions->ShowWindowHidden(false);
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void frmMain::TrayIcon1_IconClick(int button)
{
    if (button == 2)
        popUpAtPointer(Menu(ConsolePlace::mnuTray));
}

void frmMain::TrayIcon1_IconDblClick()
{
    mnuRestore_Click();
}

// Checks the chosen view item only, then shows the list in that view.
void frmMain::chooseView(ConsoleAction chosen)
{
    using enum ConsoleAction;
    for (ConsoleAction view : {mnuIcon, mnuSmallIcon, mnuList, mnuReport})
        Action(view)->setChecked(view == chosen);
    UpdateListView();
}

void frmMain::mnuIcon_Click()
{
    chooseView(ConsoleAction::mnuIcon);
}

void frmMain::mnuSmallIcon_Click()
{
    chooseView(ConsoleAction::mnuSmallIcon);
}

void frmMain::mnuList_Click()
{
    chooseView(ConsoleAction::mnuList);
}

void frmMain::mnuReport_Click()
{
    chooseView(ConsoleAction::mnuReport);
}

void frmMain::mnuHelpDoc_Click()
{
    ShowHelpContents();
}

void frmMain::mnuProperties_Click()
{
    showPropertiesDialog();
}

void frmMain::mnuRefresh_Click()
{
    UpdateTree(ConsoleState::SelectedKey);
}

void frmMain::mnuExit_Click()
{
    FtpEngine1->StopListening();
    close();
    ProgramLifetime::End(0);
}
