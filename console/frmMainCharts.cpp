// The statistics panels and the "Stats" submenus that show them: each command
// hides the pane's frames, chooses per-session or per-day history, shows its
// chart frame and calls the loader with the selected item.
#include "console/frmMain.h"

#include "console/StatsCharts.h"
#include "core/ProcedureName.h"
#include "core/Trapped.h"
#include "platform/ChartControl.h"
#include "platform/RowList.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QAction>
#include <QFrame>

void frmMain::buildCharts()
{
    m_charts = std::make_unique<StatsCharts>(StatsFrames{fmeFileStats, fmeMegabyteStats, FmeUserDayFile,
                                                         fmeUserDayMegabytes, FmeGroupDayFile, FmeGroupDayMegabytes},
                                             *this);
    const StatsCharts& c = *m_charts;
    UserStatsChartFile = c.UserSessionFiles.chart;
    ctUserFileStats = c.UserSessionFiles.table;
    UserStatsChartMegabytes = c.UserSessionMegabytes.chart;
    ctUserMegabytesStats = c.UserSessionMegabytes.table;
    UserDayFileChart = c.UserDayFiles.chart;
    ctUserDayFile = c.UserDayFiles.table;
    UserDayMegabytesChart = c.UserDayMegabytes.chart;
    ctUserDayMegabytes = c.UserDayMegabytes.table;
    GroupDayFileChart = c.GroupDayFiles.chart;
    ctGroupDayFile = c.GroupDayFiles.table;
    GroupDayMegabytesChart = c.GroupDayMegabytes.chart;
    ctGroupDayMegabytes = c.GroupDayMegabytes.table;

    const auto on = [this](const QList<QAction*>& items, const char* procedure, void (frmMain::*handler)(int)) {
        for (QAction* action : items) {
            if (action->isSeparator())
                continue;
            action->setEnabled(true);
            connect(action, &QAction::triggered, this, [this, action, procedure, handler] {
                Trapped(FrmMainProcedure(procedure), 0,
                        [&] { (this->*handler)(action->property("index").toInt()); });
            });
        }
    };
    on(mnuStats, "mnuStats_Click", &frmMain::mnuStats_Click);
    on(mnuStats1, "mnuStats1_Click", &frmMain::mnuStats1_Click);
    on(mnuStats2, "mnuStats2_Click", &frmMain::mnuStats2_Click);
}

void frmMain::LoadChartFile(const QString& name)
{
    m_charts->LoadChartFile(name);
}

void frmMain::LoadChartMegabytes(const QString& name)
{
    m_charts->LoadChartMegabytes(name);
}

bool frmMain::UserFindFiles(const QString& folder, const QString& pattern)
{
    return m_charts->UserFindFiles(folder, pattern);
}

bool frmMain::GroupFindFiles(const QString& folder, const QString& pattern)
{
    return m_charts->GroupFindFiles(folder, pattern);
}

void frmMain::mnuStats_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    FramesOff();
    // Group history exists per day only.
    ConsoleState::DailyChart = true;
    if (index == 0) {
        FmeGroupDayFile->setVisible(true);
        LoadChartFile(ConsoleState::SelectedItem);
    } else {
        FmeGroupDayMegabytes->setVisible(true);
        LoadChartMegabytes(ConsoleState::SelectedItem);
    }
}

// The frame of a user's history for items 0, 1, 3 and 4; null for the separator.
QFrame* frmMain::userFrame(int index) const
{
    switch (index) {
    case 0:
        return fmeFileStats;
    case 1:
        return fmeMegabyteStats;
    case 3:
        return FmeUserDayFile;
    case 4:
        return fmeUserDayMegabytes;
    default:
        return nullptr;
    }
}

void frmMain::mnuStats1_Click(int index)
{
    QFrame* frame = userFrame(index);
    if (!frame)
        return;
    // On a connection node the user is the node's, as for the other commands
    // of this menu: a click on the node left no list row chosen.
    if (ConsoleState::SelectedKey.startsWith(QLatin1Char('@')) && tvwDb->HasNode(ConsoleState::SelectedKey))
        ConsoleState::SelectedItem = tvwDb->NodeText(ConsoleState::SelectedKey);
    FramesOff();
    ConsoleState::DailyChart = index >= 3;
    frame->setVisible(true);
    if (index == 0 || index == 3)
        LoadChartFile(ConsoleState::SelectedItem);
    else
        LoadChartMegabytes(ConsoleState::SelectedItem);
}

void frmMain::mnuStats2_Click(int index)
{
    QFrame* frame = userFrame(index);
    if (!frame)
        return;
    ConsoleState::DailyChart = index >= 3;
    FramesOff();
    const bool files = index == 0 || index == 3;
    // For other keys the loader shows what it loads.
    if (ConsoleState::SelectedKey == QLatin1String("groups"))
        frame = files ? FmeGroupDayFile : FmeGroupDayMegabytes;
    else if (ConsoleState::SelectedKey != QLatin1String("users"))
        frame = nullptr;
    if (frame)
        frame->setVisible(true);
    if (files)
        LoadChartFile(ConsoleState::SelectedItem);
    else
        LoadChartMegabytes(ConsoleState::SelectedItem);
}
