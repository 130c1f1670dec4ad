#pragma once
// The console's six statistics panels and their loaders: the transfer history
// of a user (per session or per day) or of a group (per day), in files or in
// megabytes, as a line chart with a table under it, read from the trend files.
#include <QString>

class ChartControl;
class ConsoleServices;
class QWidget;
class RowList;

struct StatsPanel {
    QWidget* frame = nullptr;
    ChartControl* chart = nullptr;
    RowList* table = nullptr;
};

// The six frames, in the order the panels are listed below.
struct StatsFrames {
    QWidget* fmeFileStats = nullptr;
    QWidget* fmeMegabyteStats = nullptr;
    QWidget* FmeUserDayFile = nullptr;
    QWidget* fmeUserDayMegabytes = nullptr;
    QWidget* FmeGroupDayFile = nullptr;
    QWidget* FmeGroupDayMegabytes = nullptr;
};

class StatsCharts {
public:
    // Builds each frame's chart and table.
    StatsCharts(const StatsFrames& frames, ConsoleServices& console);

    // The history of a user or group by SelectedKey (users, groups or a
    // connection key) and DailyChart, in files or in megabytes. A name that
    // cannot name a file has no history.
    void LoadChartFile(const QString& name);
    void LoadChartMegabytes(const QString& name);
    // The day files <prefix>.<stamp>.txt that a pattern "<prefix>.*" names in
    // a folder ending in "/", oldest day first, into UserTrendFiles or
    // GroupTrendFiles and FoundFileCount; false when there are none.
    bool UserFindFiles(const QString& folder, const QString& pattern);
    bool GroupFindFiles(const QString& folder, const QString& pattern);

    StatsPanel UserSessionFiles, UserSessionMegabytes, UserDayFiles, UserDayMegabytes, GroupDayFiles,
        GroupDayMegabytes;

private:
    enum class Quantity { Files, Megabytes };
    void load(Quantity quantity, const QString& name, const QString& where);

    ConsoleServices& m_console;
    // Counts the loads begun, so that a load overtaken during its event pass
    // leaves the panels to the one that overtook it.
    quint64 m_loads = 0;
};
