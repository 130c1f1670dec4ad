// The statistics panels and the "Stats" submenus that show them: each command
// hides the pane's frames, chooses per-session or per-day history, shows its
// chart frame and calls the loader with the selected item.
#include "console/frmMain.h"

#include "console/StatsCharts.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"

#include <QFrame>

void frmMain::buildCharts()
{
    m_charts = std::make_unique<StatsCharts>(StatsFrames{fmeFileStats, fmeMegabyteStats, FmeUserDayFile,
                                                         fmeUserDayMegabytes, FmeGroupDayFile, FmeGroupDayMegabytes},
                                             *this);
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
    const ConsoleAction item = ActionAt(ConsolePlace::mnuStatsOption, index);
    if (item != ConsoleAction::GroupDayFiles && item != ConsoleAction::GroupDayMegabytes)
        return;
    FramesOff();
    // Group history exists per day only.
    ConsoleState::DailyChart = true;
    if (item == ConsoleAction::GroupDayFiles) {
        FmeGroupDayFile->setVisible(true);
        LoadChartFile(ConsoleState::SelectedItem);
    } else {
        FmeGroupDayMegabytes->setVisible(true);
        LoadChartMegabytes(ConsoleState::SelectedItem);
    }
}

// The frame of a user's history for an item of the users' or the connections'
// "User &Stats"; null for their separator.
QFrame* frmMain::userFrame(ConsoleAction item) const
{
    using enum ConsoleAction;
    switch (item) {
    case UserSessionFiles:
    case ConnectionSessionFiles:
        return fmeFileStats;
    case UserSessionMegabytes:
    case ConnectionSessionMegabytes:
        return fmeMegabyteStats;
    case UserDayFiles:
    case ConnectionDayFiles:
        return FmeUserDayFile;
    case UserDayMegabytes:
    case ConnectionDayMegabytes:
        return fmeUserDayMegabytes;
    default:
        return nullptr;
    }
}

void frmMain::mnuStats1_Click(int index)
{
    QFrame* frame = userFrame(ActionAt(ConsolePlace::mnuStatsOption1, index));
    if (!frame)
        return;
    // On a connection node the user is the node's, as for the other commands
    // of this menu: a click on the node left no list row chosen.
    if (ConsoleState::SelectedKey.startsWith(QLatin1Char('@')) && tvwDb->HasNode(ConsoleState::SelectedKey))
        ConsoleState::SelectedItem = tvwDb->NodeText(ConsoleState::SelectedKey);
    FramesOff();
    const bool files = frame == fmeFileStats || frame == FmeUserDayFile;
    ConsoleState::DailyChart = frame == FmeUserDayFile || frame == fmeUserDayMegabytes;
    frame->setVisible(true);
    if (files)
        LoadChartFile(ConsoleState::SelectedItem);
    else
        LoadChartMegabytes(ConsoleState::SelectedItem);
}

void frmMain::mnuStats2_Click(int index)
{
    QFrame* frame = userFrame(ActionAt(ConsolePlace::mnuStatsOpt1, index));
    if (!frame)
        return;
    const bool files = frame == fmeFileStats || frame == FmeUserDayFile;
    ConsoleState::DailyChart = frame == FmeUserDayFile || frame == fmeUserDayMegabytes;
    FramesOff();
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
