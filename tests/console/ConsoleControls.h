#pragma once
// The console window's controls other than its commands, as the tests reach
// them: by their objectName, under the names the window gives them. The menus,
// their items and the toolbar buttons are found by their names in the
// console's list of commands:
//
//   Controls(console).lvwDb->ItemCount();
//   console.Action(ConsoleAction::mnuStart)->trigger();
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "engine/FtpEngine.h"
#include "platform/ChartControl.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "tests/support/Controls.h"

#include <QFrame>
#include <QStatusBar>
#include <QToolBar>

struct ConsoleControls {
    explicit ConsoleControls(const frmMain& window)
        : w(window)
    {
    }

    const frmMain& w;
    FtpEngine* FtpEngine1 = Control<FtpEngine>(w, "FtpEngine1");
    TreeViewControl* tvwDb = Control<TreeViewControl>(w, "tvwDb");
    ListViewControl* lvwDb = Control<ListViewControl>(w, "lvwDb");
    QFrame* fmeList = Control<QFrame>(w, "fmeList");
    ConnectionPanel* fmeUser = Control<ConnectionPanel>(w, "fmeUser");
    QFrame* fmeFileStats = Control<QFrame>(w, "fmeFileStats");
    QFrame* fmeMegabyteStats = Control<QFrame>(w, "fmeMegabyteStats");
    QFrame* FmeUserDayFile = Control<QFrame>(w, "FmeUserDayFile");
    QFrame* fmeUserDayMegabytes = Control<QFrame>(w, "fmeUserDayMegabytes");
    QFrame* FmeGroupDayFile = Control<QFrame>(w, "FmeGroupDayFile");
    QFrame* FmeGroupDayMegabytes = Control<QFrame>(w, "FmeGroupDayMegabytes");
    ChartControl* UserStatsChartFile = Control<ChartControl>(w, "UserStatsChartFile");
    ChartControl* UserStatsChartMegabytes = Control<ChartControl>(w, "UserStatsChartMegabytes");
    ChartControl* UserDayFileChart = Control<ChartControl>(w, "UserDayFileChart");
    ChartControl* UserDayMegabytesChart = Control<ChartControl>(w, "UserDayMegabytesChart");
    ChartControl* GroupDayFileChart = Control<ChartControl>(w, "GroupDayFileChart");
    ChartControl* GroupDayMegabytesChart = Control<ChartControl>(w, "GroupDayMegabytesChart");
    RowList* ctUserFileStats = Control<RowList>(w, "ctUserFileStats");
    RowList* ctUserMegabytesStats = Control<RowList>(w, "ctUserMegabytesStats");
    RowList* ctUserDayFile = Control<RowList>(w, "ctUserDayFile");
    RowList* ctUserDayMegabytes = Control<RowList>(w, "ctUserDayMegabytes");
    RowList* ctGroupDayFile = Control<RowList>(w, "ctGroupDayFile");
    RowList* ctGroupDayMegabytes = Control<RowList>(w, "ctGroupDayMegabytes");
    RowList* lstServerLog = Control<RowList>(w, "lstServerLog");
    TrayIcon* TrayIcon1 = Control<TrayIcon>(w, "TrayIcon1");
    QFrame* CoolBar1 = Control<QFrame>(w, "CoolBar1");
    QToolBar* Toolbar1 = Control<QToolBar>(w, "Toolbar1");
    QToolBar* Toolbar2 = Control<QToolBar>(w, "Toolbar2");
    QToolBar* Toolbar3 = Control<QToolBar>(w, "Toolbar3");
    QStatusBar* StatusBar1 = Control<QStatusBar>(w, "StatusBar1");
};

inline ConsoleControls Controls(const frmMain& window)
{
    return ConsoleControls(window);
}
