#pragma once
// The console window's controls as the tests reach them: by their objectName,
// under the names the window gives them.
//
//   Controls(console).mnuStart->trigger();
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "engine/FtpEngine.h"
#include "platform/ChartControl.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "tests/support/Controls.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

struct ConsoleControls {
    explicit ConsoleControls(const frmMain& w)
        : FtpEngine1(Control<FtpEngine>(w, "FtpEngine1"))
        , tvwDb(Control<TreeViewControl>(w, "tvwDb"))
        , lvwDb(Control<ListViewControl>(w, "lvwDb"))
        , fmeList(Control<QFrame>(w, "fmeList"))
        , fmeUser(Control<ConnectionPanel>(w, "fmeUser"))
        , fmeFileStats(Control<QFrame>(w, "fmeFileStats"))
        , fmeMegabyteStats(Control<QFrame>(w, "fmeMegabyteStats"))
        , FmeUserDayFile(Control<QFrame>(w, "FmeUserDayFile"))
        , fmeUserDayMegabytes(Control<QFrame>(w, "fmeUserDayMegabytes"))
        , FmeGroupDayFile(Control<QFrame>(w, "FmeGroupDayFile"))
        , FmeGroupDayMegabytes(Control<QFrame>(w, "FmeGroupDayMegabytes"))
        , UserStatsChartFile(Control<ChartControl>(w, "UserStatsChartFile"))
        , UserStatsChartMegabytes(Control<ChartControl>(w, "UserStatsChartMegabytes"))
        , UserDayFileChart(Control<ChartControl>(w, "UserDayFileChart"))
        , UserDayMegabytesChart(Control<ChartControl>(w, "UserDayMegabytesChart"))
        , GroupDayFileChart(Control<ChartControl>(w, "GroupDayFileChart"))
        , GroupDayMegabytesChart(Control<ChartControl>(w, "GroupDayMegabytesChart"))
        , ctUserFileStats(Control<RowList>(w, "ctUserFileStats"))
        , ctUserMegabytesStats(Control<RowList>(w, "ctUserMegabytesStats"))
        , ctUserDayFile(Control<RowList>(w, "ctUserDayFile"))
        , ctUserDayMegabytes(Control<RowList>(w, "ctUserDayMegabytes"))
        , ctGroupDayFile(Control<RowList>(w, "ctGroupDayFile"))
        , ctGroupDayMegabytes(Control<RowList>(w, "ctGroupDayMegabytes"))
        , lstServerLog(Control<RowList>(w, "lstServerLog"))
        , TrayIcon1(Control<TrayIcon>(w, "TrayIcon1"))
        , CoolBar1(Control<QFrame>(w, "CoolBar1"))
        , Toolbar1(Control<QToolBar>(w, "Toolbar1"))
        , Toolbar2(Control<QToolBar>(w, "Toolbar2"))
        , Toolbar3(Control<QToolBar>(w, "Toolbar3"))
        , StatusBar1(Control<QStatusBar>(w, "StatusBar1"))
        , mnuConsole(Control<QMenu>(w, "mnuConsole"))
        , mnuExit(Control<QAction>(w, "mnuExit"))
        , mnuHelp(Control<QMenu>(w, "mnuHelp"))
        , mnuHelpDoc(Control<QAction>(w, "mnuHelpDoc"))
        , mnuAbout(Control<QAction>(w, "mnuAbout"))
        , mnuView(Control<QMenu>(w, "mnuView"))
        , mnuIcon(Control<QAction>(w, "mnuIcon"))
        , mnuSmallIcon(Control<QAction>(w, "mnuSmallIcon"))
        , mnuList(Control<QAction>(w, "mnuList"))
        , mnuReport(Control<QAction>(w, "mnuReport"))
        , mnuLogOptions(Control<QMenu>(w, "mnuLogOptions"))
        , mnuLog(ControlArray<QAction>(w, "mnuLog"))
        , mnuGroupEditOptions(Control<QMenu>(w, "mnuGroupEditOptions"))
        , mnuGroupEdit(ControlArray<QAction>(w, "mnuGroupEdit"))
        , mnuStatsOption(Control<QMenu>(w, "mnuStatsOption"))
        , mnuStats(ControlArray<QAction>(w, "mnuStats"))
        , mnuEditOptions(Control<QMenu>(w, "mnuEditOptions"))
        , mnuEdit(ControlArray<QAction>(w, "mnuEdit"))
        , mnuStatsOpt1(Control<QMenu>(w, "mnuStatsOpt1"))
        , mnuStats2(ControlArray<QAction>(w, "mnuStats2"))
        , mnuEditUserOptions(Control<QMenu>(w, "mnuEditUserOptions"))
        , mnuEditUser(ControlArray<QAction>(w, "mnuEditUser"))
        , mnuStatsOption1(Control<QMenu>(w, "mnuStatsOption1"))
        , mnuStats1(ControlArray<QAction>(w, "mnuStats1"))
        , mnuRefreshOptions(Control<QMenu>(w, "mnuRefreshOptions"))
        , mnuRefresh(Control<QAction>(w, "mnuRefresh"))
        , mnuTray(Control<QMenu>(w, "mnuTray"))
        , mnuMinimize(Control<QAction>(w, "mnuMinimize"))
        , mnuRestore(Control<QAction>(w, "mnuRestore"))
        , mnuTrayStart(Control<QAction>(w, "mnuTrayStart"))
        , mnuTrayStop(Control<QAction>(w, "mnuTrayStop"))
        , MainMnu(Control<QMenu>(w, "MainMnu"))
        , mnuStart(Control<QAction>(w, "mnuStart"))
        , mnuStop(Control<QAction>(w, "mnuStop"))
        , mnuAddUsers(Control<QAction>(w, "mnuAddUsers"))
        , mnuEditUsers(Control<QAction>(w, "mnuEditUsers"))
        , mnuEditGroups(Control<QAction>(w, "mnuEditGroups"))
        , mnuProperties(Control<QAction>(w, "mnuProperties"))
        , mnuVirtualFolders(Control<QAction>(w, "mnuVirtualFolders"))
        , mnuHomePage(Control<QAction>(w, "mnuHomePage"))
    {
    }

    FtpEngine* FtpEngine1;
    TreeViewControl* tvwDb;
    ListViewControl* lvwDb;
    QFrame* fmeList;
    ConnectionPanel* fmeUser;
    QFrame* fmeFileStats;
    QFrame* fmeMegabyteStats;
    QFrame* FmeUserDayFile;
    QFrame* fmeUserDayMegabytes;
    QFrame* FmeGroupDayFile;
    QFrame* FmeGroupDayMegabytes;
    ChartControl* UserStatsChartFile;
    ChartControl* UserStatsChartMegabytes;
    ChartControl* UserDayFileChart;
    ChartControl* UserDayMegabytesChart;
    ChartControl* GroupDayFileChart;
    ChartControl* GroupDayMegabytesChart;
    RowList* ctUserFileStats;
    RowList* ctUserMegabytesStats;
    RowList* ctUserDayFile;
    RowList* ctUserDayMegabytes;
    RowList* ctGroupDayFile;
    RowList* ctGroupDayMegabytes;
    RowList* lstServerLog;
    TrayIcon* TrayIcon1;
    QFrame* CoolBar1;
    QToolBar* Toolbar1;
    QToolBar* Toolbar2;
    QToolBar* Toolbar3;
    QStatusBar* StatusBar1;
    QMenu* mnuConsole;
    QAction* mnuExit;
    QMenu* mnuHelp;
    QAction* mnuHelpDoc;
    QAction* mnuAbout;
    QMenu* mnuView;
    QAction* mnuIcon;
    QAction* mnuSmallIcon;
    QAction* mnuList;
    QAction* mnuReport;
    QMenu* mnuLogOptions;
    QList<QAction*> mnuLog;
    QMenu* mnuGroupEditOptions;
    QList<QAction*> mnuGroupEdit;
    QMenu* mnuStatsOption;
    QList<QAction*> mnuStats;
    QMenu* mnuEditOptions;
    QList<QAction*> mnuEdit;
    QMenu* mnuStatsOpt1;
    QList<QAction*> mnuStats2;
    QMenu* mnuEditUserOptions;
    QList<QAction*> mnuEditUser;
    QMenu* mnuStatsOption1;
    QList<QAction*> mnuStats1;
    QMenu* mnuRefreshOptions;
    QAction* mnuRefresh;
    QMenu* mnuTray;
    QAction* mnuMinimize;
    QAction* mnuRestore;
    QAction* mnuTrayStart;
    QAction* mnuTrayStop;
    QMenu* MainMnu;
    QAction* mnuStart;
    QAction* mnuStop;
    QAction* mnuAddUsers;
    QAction* mnuEditUsers;
    QAction* mnuEditGroups;
    QAction* mnuProperties;
    QAction* mnuVirtualFolders;
    QAction* mnuHomePage;
};

inline ConsoleControls Controls(const frmMain& window)
{
    return ConsoleControls(window);
}
