// The toolbars' buttons and the server, tray, view, help and exit commands.
#include "console/frmMain.h"

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
    switch (index) {
    case 1:
        if (!StartServer())
            unableToStart();
        UpdateTree(SelectedKey);
        break;
    case 2:
        // A stopped server has no connection nodes left to show.
        if (StopServer() && SelectedKey.startsWith(QLatin1Char('@')))
            SelectedKey = QStringLiteral("Active");
        UpdateTree(SelectedKey);
        break;
    case 4:
        mnuHomePage_Click();
        break;
    case 6:
        showPropertiesDialog();
        ModMain::CheckUG();
        UpdateTree(SelectedKey);
        break;
    case 8:
        mnuAddUsers_Click();
        break;
    case 9:
        mnuEditUsers_Click();
        break;
    case 10:
        mnuEditGroups_Click();
        break;
    case 12:
        mnuVirtualFolders_Click();
        break;
    case 14:
        ModMain::CheckUG();
        UpdateTree(SelectedKey);
        break;
    default:
        break;
    }
}

void frmMain::Toolbar2_ButtonClick(const QString& caption)
{
    if (caption == QLatin1String("&Console"))
        PopupMenuAt(*mnuConsole, *this, 200, 300, Toolbar2->widgetForAction(Toolbar2Button(1)));
    else if (caption == QLatin1String("&Help"))
        PopupMenuAt(*mnuHelp, *this, 1100, 300, Toolbar2->widgetForAction(Toolbar2Button(2)));
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

void frmMain::mnuTrayStart_Click()
{
    const bool started = StartServer();
    if (!started)
        unableToStart();
    Toolbar1Button(2)->setEnabled(started);
    Toolbar1Button(1)->setEnabled(!started);
    mnuTrayStart->setEnabled(!started);
    mnuTrayStop->setEnabled(started);
}

void frmMain::mnuTrayStop_Click()
{
    using ConsoleState::SelectedKey;
    if (StopServer()) {
        Toolbar1Button(2)->setEnabled(false);
        Toolbar1Button(1)->setEnabled(true);
        if (SelectedKey.startsWith(QLatin1Char('@')))
            SelectedKey = QStringLiteral("Active");
        mnuTrayStart->setEnabled(true);
        mnuTrayStop->setEnabled(false);
        UpdateTree(SelectedKey);
    } else {
        mnuTrayStart->setEnabled(false);
        mnuTrayStop->setEnabled(true);
        Toolbar1Button(2)->setEnabled(true);
        Toolbar1Button(1)->setEnabled(false);
    }
}

void frmMain::mnuMinimize_Click()
{
    mnuMinimize->setEnabled(false);
    mnuRestore->setEnabled(true);
    hide();
}

void frmMain::mnuRestore_Click()
{
    mnuMinimize->setEnabled(true);
    mnuRestore->setEnabled(false);
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void frmMain::TrayIcon1_IconClick(int button)
{
    if (button == 2)
        popUpAtPointer(mnuTray);
}

void frmMain::TrayIcon1_IconDblClick()
{
    mnuRestore_Click();
}

namespace {

void checkOnly(QAction* chosen, std::initializer_list<QAction*> views)
{
    for (QAction* view : views)
        view->setChecked(view == chosen);
}

} // namespace

void frmMain::mnuIcon_Click()
{
    checkOnly(mnuIcon, {mnuIcon, mnuSmallIcon, mnuList, mnuReport});
    UpdateListView();
}

void frmMain::mnuSmallIcon_Click()
{
    checkOnly(mnuSmallIcon, {mnuIcon, mnuSmallIcon, mnuList, mnuReport});
    UpdateListView();
}

void frmMain::mnuList_Click()
{
    checkOnly(mnuList, {mnuIcon, mnuSmallIcon, mnuList, mnuReport});
    UpdateListView();
}

void frmMain::mnuReport_Click()
{
    checkOnly(mnuReport, {mnuIcon, mnuSmallIcon, mnuList, mnuReport});
    UpdateListView();
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
