#include "console/StatsCharts.h"

#include "console/ConnectionText.h"
#include "core/AppFiles.h"
#include "core/ErrorReporter.h"
#include "core/FileNames.h"
#include "core/MessageService.h"
#include "core/ProcedureName.h"
#include "core/SmallProcs.h"
#include "core/Trapped.h"
#include "platform/ChartControl.h"
#include "platform/RowList.h"
#include "platform/Twips.h"
#include "session/ConsoleServices.h"
#include "session/ConsoleState.h"
#include "session/TrendFiles.h"

#include <QWidget>
#include <algorithm>

namespace {

const QString EndMarker = QStringLiteral("@");

StatsPanel buildPanel(QWidget* frame, const char* chartName, const char* tableName, const QString& title,
                      const QString& axisTitle, const QString& firstColumn, const QString& nameColumn)
{
    // Sent, received, transferred, deleted.
    const QList<ChartSeriesStyle> series = {{QStringLiteral("Sent"), QColor(255, 0, 0)},
                                            {QStringLiteral("Received"), QColor(0, 0, 255)},
                                            {QStringLiteral("Transfered"), QColor(50, 205, 50)},
                                            {QStringLiteral("Deleted"), QColor(255, 255, 0)}};
    const ChartColours colours{QColor(64, 128, 128), QColor(128, 255, 255), QColor(128, 255, 128)};
    StatsPanel panel;
    panel.frame = frame;
    panel.chart = new ChartControl(title, axisTitle, series, colours, frame);
    panel.chart->setObjectName(QLatin1String(chartName));
    panel.chart->setGeometry(TwipsToPixels(120), TwipsToPixels(240), TwipsToPixels(6975), TwipsToPixels(2415));
    panel.table = new RowList(QString(),
                              {{firstColumn, 60},
                               {nameColumn, 120},
                               {QStringLiteral("Sent"), 60},
                               {QStringLiteral("Received"), 60},
                               {QStringLiteral("Transfered"), 60},
                               {QStringLiteral("Deleted"), 60}},
                              frame);
    panel.table->setObjectName(QLatin1String(tableName));
    panel.table->setGeometry(TwipsToPixels(400), TwipsToPixels(2760), TwipsToPixels(6375), TwipsToPixels(1275));
    return panel;
}

bool isUserKey(const QString& key)
{
    return key == QLatin1String("users") || key == QLatin1String("Active") || key.startsWith(QLatin1Char('@'))
        || key.startsWith(QLatin1String("#@"));
}

// Megabytes to three decimals, rounded from the whole bytes (half away from 0).
double megabytePoint(qint64 bytes)
{
    qint64 thousands = bytes / 1000;
    const qint64 rest = bytes % 1000;
    if (rest >= 500)
        ++thousands;
    else if (rest <= -500)
        --thousands;
    return double(thousands) / 1000.0;
}

// Clears the panel and starts each series with a zero point labelled "0".
void prepare(const StatsPanel& panel)
{
    panel.frame->setVisible(true);
    for (int s = 0; s < 4; ++s)
        panel.chart->Series(s).Clear();
    for (int s = 0; s < 4; ++s)
        panel.chart->Series(s).Add(0, QStringLiteral("0"));
    panel.table->Clear();
}

bool collect(const QString& folder, const QString& pattern, QStringList& files)
{
    using ConsoleState::FoundFileCount;
    FoundFileCount = 0;
    if (!pattern.endsWith(QLatin1String(".*")))
        return false;
    // Only names of exactly <prefix>.<stamp>.txt: "Trend_User_Day_bob.*" also
    // matches the session file of an account named "User_Day_bob".
    const QString stem = pattern.chopped(1);
    QList<std::pair<TrendDay, QString>> days;
    for (const QString& name : ListFiles(folder, pattern)) {
        if (const std::optional<TrendDay> day = DayTrendStamp(name, stem))
            days.append({*day, name});
    }
    if (days.isEmpty())
        return false;
    // In time order: by name, day 100 of a year would come before day 11.
    std::stable_sort(days.begin(), days.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList found;
    for (const auto& day : days)
        found.append(folder + day.second);
    FoundFileCount = qint32(found.size());
    found.append(EndMarker);
    files = found;
    return true;
}

} // namespace

StatsCharts::StatsCharts(const StatsFrames& f, ConsoleServices& console) : m_console(console)
{
    const QString files = QStringLiteral("Files");
    const QString megabytes = QStringLiteral("Megabytes");
    const QString session = QStringLiteral("Session");
    const QString day = QStringLiteral("Day");
    const QString user = QStringLiteral("User");
    const QString group = QStringLiteral("Group");
    UserSessionFiles = buildPanel(f.fmeFileStats, "UserStatsChartFile", "ctUserFileStats",
                                  QStringLiteral("USER FILE HISTORY PER SESSION"), files, session, user);
    UserSessionMegabytes = buildPanel(f.fmeMegabyteStats, "UserStatsChartMegabytes", "ctUserMegabytesStats",
                                      QStringLiteral("USER MEGABYTE HISTORY BY SESSION"), megabytes, session, user);
    UserDayFiles = buildPanel(f.FmeUserDayFile, "UserDayFileChart", "ctUserDayFile",
                              QStringLiteral("USER FILE HISTORY PER DAY"), files, day, user);
    UserDayMegabytes = buildPanel(f.fmeUserDayMegabytes, "UserDayMegabytesChart", "ctUserDayMegabytes",
                                  QStringLiteral("USER MEGABYTE HISTORY PER DAY"), megabytes, day, user);
    GroupDayFiles = buildPanel(f.FmeGroupDayFile, "GroupDayFileChart", "ctGroupDayFile",
                               QStringLiteral("GROUP FILE HOSTORY PER DAY"), files, day, group);
    GroupDayMegabytes = buildPanel(f.FmeGroupDayMegabytes, "GroupDayMegabytesChart", "ctGroupDayMegabytes",
                                   QStringLiteral("GROUP MEGABYTE HISTORY PER DAY"), megabytes, day, group);
}

void StatsCharts::LoadChartFile(const QString& name)
{
    load(Quantity::Files, name, FrmMainProcedure("LoadChartFile"));
}

void StatsCharts::LoadChartMegabytes(const QString& name)
{
    load(Quantity::Megabytes, name, FrmMainProcedure("LoadChartMegabytes"));
}

bool StatsCharts::UserFindFiles(const QString& folder, const QString& pattern)
{
    return collect(folder, pattern, ConsoleState::UserTrendFiles);
}

bool StatsCharts::GroupFindFiles(const QString& folder, const QString& pattern)
{
    return collect(folder, pattern, ConsoleState::GroupTrendFiles);
}

void StatsCharts::load(Quantity quantity, const QString& name, const QString& where)
{
    struct PointerRestore {
        ConsoleServices& console;
        ~PointerRestore() { console.RestoreMousePointer(); }
    } pointer{m_console};
    const quint64 thisLoad = ++m_loads;

    const QString& key = ConsoleState::SelectedKey;
    const bool user = isUserKey(key);
    if (!user && key != QLatin1String("groups"))
        return;
    const bool daily = !user || ConsoleState::DailyChart;
    const bool files = quantity == Quantity::Files;
    const StatsPanel& panel = !user ? (files ? GroupDayFiles : GroupDayMegabytes)
        : daily                     ? (files ? UserDayFiles : UserDayMegabytes)
                                    : (files ? UserSessionFiles : UserSessionMegabytes);

    int row = 1;
    const auto chart = [&](const TrendRecord& r, const QString& label) {
        // Deleted, received, sent, transferred; bytes four fields on.
        const int base = files ? 0 : 4;
        const auto point = [&](qint64 v) { return files ? double(v) : megabytePoint(v); };
        const auto cell = [&](qint64 v) { return files ? QString::number(v) : MegabyteText(double(v)); };
        for (const auto& [series, field] : {std::pair{3, 0}, {1, 1}, {0, 2}, {2, 3}})
            panel.chart->Series(series).Add(point(r[size_t(base + field)]), label);
        panel.table->AddRow(QStringList{QString::number(row), name, cell(r[size_t(base + 2)]),
                                        cell(r[size_t(base + 1)]), cell(r[size_t(base + 3)]),
                                        cell(r[size_t(base)])}
                                .join(QLatin1Char('\n')));
        ++row;
    };
    const auto reportAt = [&](int step) {
        return [&where, step](const QString& description) { ReportError(description, where, step); };
    };
    const auto nothing = [&](const QString& text) {
        panel.chart->Draw();
        Messages().message(text, QString(), MessageIcon::None);
    };

    Trapped(where, 1, [&] { prepare(panel); });
    if (!daily) {
        const QString path = SessionTrendPath(name);
        if (!IsSafeName(name) || !FileExists(path))
            return nothing(name + QStringLiteral(" has performed no file transfers."));
        Trapped(where, 4, [&] {
            if (const auto records = ReadTrendRecords(path, reportAt(4))) {
                for (const TrendRecord& r : *records)
                    chart(r, QString::number(row));
            }
        });
        panel.chart->Draw();
        return;
    }

    const QString folder = AppFiles::StatsFolder() + QLatin1Char('/');
    if (!(user && !files)) {
        m_console.ProcessEventsOnce();
        if (thisLoad != m_loads)
            return;
    }
    const QString prefix = DayTrendPrefix(user);
    const QString pattern = prefix + name + QStringLiteral(".*");
    bool found = false;
    Trapped(where, 5, [&] {
        found = IsSafeName(name) && (user ? UserFindFiles(folder, pattern) : GroupFindFiles(folder, pattern));
    });
    if (!found) {
        return nothing(user ? QStringLiteral("User ") + name + QStringLiteral(" has performed no file transfers.")
                            : QStringLiteral("Group ") + name + QStringLiteral(" have performed no file transfers."));
    }
    const QStringList list = user ? ConsoleState::UserTrendFiles : ConsoleState::GroupTrendFiles;
    int number = 0;
    for (const QString& file : list) {
        if (file == EndMarker)
            continue;
        Trapped(where, 7, [&] {
            // A file that has gone or cannot be read is reported; the rest still load.
            if (const auto records = ReadTrendRecords(file, reportAt(7))) {
                const QString label = QString::number(++number);
                for (const TrendRecord& r : *records)
                    chart(r, label);
            }
        });
    }
    panel.chart->Draw();
}
