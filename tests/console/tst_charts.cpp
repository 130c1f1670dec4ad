// The statistics panels on fixture trend files: series values and labels,
// table rows, the empty cases, names that cannot name a file, damaged
// records, overtaken loads, the ten menu commands, a large history, and
// pictures of the six panels.
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "platform/ChartControl.h"
#include "platform/ColumnWidths.h"
#include "platform/RowList.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/Shots.h"

#include <QAction>
#include <QChart>
#include <QDir>
#include <QFrame>
#include <QLineSeries>
#include <QTest>
#include <QTimer>

namespace {

using Record = std::array<qint64, 8>; // deleted, received, sent, transferred; files then bytes

QByteArray lines(const QList<Record>& records)
{
    QByteArray out;
    for (const Record& r : records)
        for (qint64 v : r)
            out += QByteArray::number(v) + "\r\n";
    return out;
}

QStringList rows(const RowList& table)
{
    QStringList out;
    for (int r = 0; r < table.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.ColumnCount(); ++c)
            cells.append(table.Cell(r, c));
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QStringList columns(const RowList& table)
{
    QStringList out;
    for (int c = 0; c < table.ColumnCount(); ++c)
        out.append(table.ColumnTitle(c) + QLatin1Char('/') + QString::number(table.ColumnWidth(c)));
    return out;
}

QList<QFrame*> frames(const frmMain& w)
{
    const ConsoleControls k(w);
    return {k.fmeList,         k.fmeFileStats,        k.fmeMegabyteStats, k.FmeUserDayFile,
            k.fmeUserDayMegabytes, k.FmeGroupDayFile, k.FmeGroupDayMegabytes};
}

QStringList visibleFrames(const frmMain& w)
{
    QStringList out;
    for (QFrame* f : frames(w))
        if (!f->isHidden())
            out.append(f->objectName());
    if (!Controls(w).fmeUser->isHidden())
        out.append(QStringLiteral("fmeUser"));
    return out;
}

QList<ChartControl*> charts(const frmMain& w)
{
    const ConsoleControls k(w);
    return {k.UserStatsChartFile, k.UserStatsChartMegabytes, k.UserDayFileChart,
            k.UserDayMegabytesChart, k.GroupDayFileChart, k.GroupDayMegabytesChart};
}

} // namespace

class ChartsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ConsoleFixture> fixture;

    frmMain& console() { return fixture->console(); }
    void stats(const QString& name, const QList<Record>& records)
    {
        fixture->folder.write(QStringLiteral("/users/stats/") + name, lines(records));
    }
    void load(const QString& key, bool daily, bool megabytes, const QString& name)
    {
        ConsoleState::SelectedKey = key;
        ConsoleState::DailyChart = daily;
        if (megabytes)
            console().LoadChartMegabytes(name);
        else
            console().LoadChartFile(name);
    }

private Q_SLOTS:
    void init()
    {
        fixture = std::make_unique<ConsoleFixture>();
        fixture->writeConfig(ConsoleFixture::Settings().Stopped());
        console();
        // Three sessions of bob.
        stats(QStringLiteral("Trend_bob.txt"), {{0, 1, 2, 3, 0, 500, 1234567, 1234500},
                                                {4, 5, 6, 7, Q_INT64_C(12345678901), 0, 2500000, 999},
                                                {0, 0, 0, 0, 0, 0, 0, 0}});
        // Bob's days across a year end; in name order day 100 would come before day 11.
        for (const auto& [stamp, sent] : {std::pair{"2026100", 100}, {"202611", 11}, {"20261", 1}, {"2025365", 365}})
            stats(QStringLiteral("Trend_User_Day_bob.%1.txt").arg(QLatin1String(stamp)),
                  {{0, 0, sent, 0, 0, 0, sent * Q_INT64_C(1000000), 0}});
        // The session file of an account named "User_Day_bob".
        stats(QStringLiteral("Trend_User_Day_bob.txt"), {{9, 9, 999, 9, 9, 9, 9, 9}});
        stats(QStringLiteral("Trend_Group_Day_staff.202641.txt"), {{1, 2, 41, 3, 0, 0, 0, 0}});
        stats(QStringLiteral("Trend_Group_Day_STAFF.20265.txt"), {{0, 0, 5, 0, 0, 0, 0, 0}});
    }
    void cleanup() { fixture.reset(); }

    void panels_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<bool>("megabytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("chart");
        QTest::addColumn<QList<QList<double>>>("series"); // sent, received, transferred, deleted
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("rows");
        const QStringList three = {"0", "1", "2", "3"};
        QTest::newRow("user files by session")
            << "users" << false << false << "bob" << "UserStatsChartFile"
            << QList<QList<double>>{{0, 2, 6, 0}, {0, 1, 5, 0}, {0, 3, 7, 0}, {0, 0, 4, 0}} << three
            << QStringList{"1|bob|2|1|3|0", "2|bob|6|5|7|4", "3|bob|0|0|0|0"};
        QTest::newRow("user megabytes by session, from a connection")
            << "@0" << false << true << "bob" << "UserStatsChartMegabytes"
            << QList<QList<double>>{{0, 1.235, 2.5, 0}, {0, 0.001, 0, 0}, {0, 1.235, 0.001, 0}, {0, 0, 12345.679, 0}}
            << three
            << QStringList{"1|bob|1.234.567|0.000.500|1.234.500|0.000.000",
                           "2|bob|2.500.000|0.000.000|0.000.999|12345.678.901",
                           "3|bob|0.000.000|0.000.000|0.000.000|0.000.000"};
        QTest::newRow("user files per day, in time order, any letter case")
            << "Active" << true << false << "BOB" << "UserDayFileChart"
            << QList<QList<double>>{{0, 365, 1, 11, 100}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}
            << QStringList{"0", "1", "2", "3", "4"}
            << QStringList{"1|BOB|365|0|0|0", "2|BOB|1|0|0|0", "3|BOB|11|0|0|0", "4|BOB|100|0|0|0"};
        QTest::newRow("user megabytes per day")
            << "#@127.0.0.1" << true << true << "bob" << "UserDayMegabytesChart"
            << QList<QList<double>>{{0, 365, 1, 11, 100}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}
            << QStringList{"0", "1", "2", "3", "4"}
            << QStringList{"1|bob|365.000.000|0.000.000|0.000.000|0.000.000",
                           "2|bob|1.000.000|0.000.000|0.000.000|0.000.000",
                           "3|bob|11.000.000|0.000.000|0.000.000|0.000.000",
                           "4|bob|100.000.000|0.000.000|0.000.000|0.000.000"};
        QTest::newRow("group files per day, even with DailyChart off")
            << "groups" << false << false << "staff" << "GroupDayFileChart"
            << QList<QList<double>>{{0, 5, 41}, {0, 0, 2}, {0, 0, 3}, {0, 0, 1}} << QStringList{"0", "1", "2"}
            << QStringList{"1|staff|5|0|0|0", "2|staff|41|2|3|1"};
        QTest::newRow("group megabytes per day")
            << "groups" << true << true << "staff" << "GroupDayMegabytesChart"
            << QList<QList<double>>{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}} << QStringList{"0", "1", "2"}
            << QStringList{"1|staff|0.000.000|0.000.000|0.000.000|0.000.000",
                           "2|staff|0.000.000|0.000.000|0.000.000|0.000.000"};
    }
    void panels()
    {
        QFETCH(QString, key);
        QFETCH(bool, daily);
        QFETCH(bool, megabytes);
        QFETCH(QString, name);
        QFETCH(QString, chart);
        QFETCH(QList<QList<double>>, series);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, rows);
        frmMain& w = console();
        w.setCursor(Qt::WaitCursor);
        load(key, daily, megabytes, name);
        auto* c = w.findChild<ChartControl*>(chart);
        QVERIFY(c);
        QVERIFY(!c->parentWidget()->isHidden());
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(c->Series(s).Points(), series.at(s));
            QCOMPARE(c->Series(s).Labels(), labels);
        }
        // The view holds the same points.
        const auto views = c->chart()->series();
        QCOMPARE(views.size(), 4);
        QCOMPARE(qobject_cast<QLineSeries*>(views.at(0))->count(), int(labels.size()));
        QCOMPARE(qobject_cast<QLineSeries*>(views.at(0))->at(1).y(), series.at(0).at(1));
        QVERIFY(!c->HasCategoryAxis());
        const auto* table = qobject_cast<RowList*>(c->parentWidget()->findChildren<RowList*>().value(0));
        QVERIFY(table);
        QCOMPARE(::rows(*table), rows);
        QVERIFY(fixture->doubles.messages->messages.empty());
        QVERIFY(fixture->doubles.errors->reports.isEmpty());
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    }

    void design()
    {
        frmMain& w = console();
        const QStringList titles = {"USER FILE HISTORY PER SESSION", "USER MEGABYTE HISTORY BY SESSION",
                                    "USER FILE HISTORY PER DAY",     "USER MEGABYTE HISTORY PER DAY",
                                    "GROUP FILE HOSTORY PER DAY",    "GROUP MEGABYTE HISTORY PER DAY"};
        const ConsoleControls k(w);
        const QList<RowList*> tables = {k.ctUserFileStats,    k.ctUserMegabytesStats, k.ctUserDayFile,
                                        k.ctUserDayMegabytes, k.ctGroupDayFile,       k.ctGroupDayMegabytes};
        const QStringList first = {"Session", "Session", "Day", "Day", "Day", "Day"};
        for (int i = 0; i < 6; ++i) {
            ChartControl* c = charts(w).at(i);
            QCOMPARE(c->Title(), titles.at(i));
            QCOMPARE(c->LeftAxisTitle(), i % 2 ? QStringLiteral("Megabytes") : QStringLiteral("Files"));
            QCOMPARE(c->SeriesCount(), 4);
            QCOMPARE(c->Series(2).Title(), QStringLiteral("Transfered"));
            QCOMPARE(c->Series(0).Colour(), QColor(Qt::red));
            QCOMPARE(c->Series(1).Colour(), QColor(Qt::blue));
            QCOMPARE(c->Series(3).Colour(), QColor(Qt::yellow));
            QCOMPARE(c->geometry(), QRect(8, 16, 465, 161));
            QCOMPARE(tables.at(i)->geometry(), QRect(27, 184, 425, 85));
            const auto column = [&](const QString& title, int pixels) {
                return title + QLatin1Char('/') + QString::number(FittedColumnWidth(pixels, tables.at(i)->font()));
            };
            QCOMPARE(columns(*tables.at(i)),
                     (QStringList{column(first.at(i), 60), column(i < 4 ? "User" : "Group", 120), column("Sent", 60),
                                  column("Received", 60), column("Transfered", 60), column("Deleted", 60)}));
        }
    }

    void nothingToShow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<bool>("megabytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("frame"); // empty: none shown
        QTest::addColumn<QString>("message");
        QTest::newRow("no session file") << "users" << false << false << "nobody" << "fmeFileStats"
                                         << "nobody has performed no file transfers.";
        QTest::newRow("no day file") << "users" << true << true << "nobody" << "fmeUserDayMegabytes"
                                     << "User nobody has performed no file transfers.";
        QTest::newRow("no group day file") << "groups" << false << false << "nogroup" << "FmeGroupDayFile"
                                           << "Group nogroup have performed no file transfers.";
        QTest::newRow("a session file is no day file") << "users" << true << false << "carol" << "FmeUserDayFile"
                                                       << "User carol has performed no file transfers.";
        QTest::newRow("wildcard by session") << "users" << false << false << "*" << "fmeFileStats"
                                             << "* has performed no file transfers.";
        QTest::newRow("wildcard per day") << "users" << true << false << "b*" << "FmeUserDayFile"
                                          << "User b* has performed no file transfers.";
        QTest::newRow("slash") << "users" << false << true << "a/b" << "fmeMegabyteStats"
                               << "a/b has performed no file transfers.";
        QTest::newRow("parent folder") << "groups" << true << true << ".." << "FmeGroupDayMegabytes"
                                       << "Group .. have performed no file transfers.";
        QTest::newRow("root key") << "root" << true << false << "bob" << "" << "";
        QTest::newRow("logs key") << " Logs" << false << true << "bob" << "" << "";
    }
    void nothingToShow()
    {
        QFETCH(QString, key);
        QFETCH(bool, daily);
        QFETCH(bool, megabytes);
        QFETCH(QString, name);
        QFETCH(QString, frame);
        QFETCH(QString, message);
        // Files that the unsafe names would reach if they were used.
        stats(QStringLiteral("Trend_User_Day_carol.txt"), {{1, 1, 1, 1, 1, 1, 1, 1}});
        stats(QStringLiteral("Trend_a/b.txt"), {{1, 1, 1, 1, 1, 1, 1, 1}});
        stats(QStringLiteral("Trend_Group_Day_...20261.txt"), {{1, 1, 1, 1, 1, 1, 1, 1}});
        frmMain& w = console();
        w.FramesOff();
        w.setCursor(Qt::WaitCursor);
        load(key, daily, megabytes, name);
        QCOMPARE(visibleFrames(w), frame.isEmpty() ? QStringList() : QStringList{frame});
        QCOMPARE(fixture->doubles.messages->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(fixture->doubles.messages->messages.front().icon, MessageIcon::None);
        for (ChartControl* c : charts(w))
            for (int s = 0; s < 4; ++s)
                QVERIFY(c->Series(s).Points().size() <= 1);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        QVERIFY(fixture->doubles.errors->reports.isEmpty());
    }

    void damagedRecord()
    {
        fixture->folder.write(QStringLiteral("/users/stats/Trend_dave.txt"),
                              lines({{7, 7, 7, 7, 7, 7, 7, 7}}) + "1\r\n2\r\nx\r\n");
        load(QStringLiteral("users"), false, false, QStringLiteral("dave"));
        QCOMPARE(rows(*Controls(console()).ctUserFileStats), (QStringList{"1|dave|7|7|7|7", "2|dave|0|2|0|1"}));
        // One report for the line that is no number, one for each of the five missing lines.
        const QStringList reports = fixture->doubles.errors->reports;
        QCOMPARE(reports.size(), 6);
        QVERIFY(reports.at(0).startsWith(QStringLiteral("Type mismatch\nin Quayport.frmMain.LoadChartFile ")));
        for (int i = 1; i < 6; ++i)
            QVERIFY(reports.at(i).startsWith(QStringLiteral("Input past end of file\nin Quayport.frmMain.LoadChartFile ")));
    }

    void overtakenLoad()
    {
        // A second load during the first one's event pass: one set of points, one set of rows.
        QTimer::singleShot(0, &console(), [this] { console().LoadChartFile(QStringLiteral("bob")); });
        load(QStringLiteral("users"), true, false, QStringLiteral("bob"));
        QCOMPARE(Controls(console()).UserDayFileChart->Series(0).Points(), (QList<double>{0, 365, 1, 11, 100}));
        QCOMPARE(Controls(console()).ctUserDayFile->RowCount(), 4);
        QCOMPARE(ConsoleState::FoundFileCount, 4);
        QCOMPARE(ConsoleState::UserTrendFiles.size(), 5);
        QCOMPARE(ConsoleState::UserTrendFiles.last(), QStringLiteral("@"));
        QVERIFY(ConsoleState::UserTrendFiles.first().endsWith(QStringLiteral("/users/stats/Trend_User_Day_bob.2025365.txt")));
    }

    void menuCommands_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QString>("chart"); // the one chart loaded; its frame alone is shown
        QTest::newRow("group files") << "mnuStats" << 0 << "groups" << true << "GroupDayFileChart";
        QTest::newRow("group megabytes") << "mnuStats" << 1 << "groups" << true << "GroupDayMegabytesChart";
        QTest::newRow("connection files by session") << "mnuStats1" << 0 << "@0" << false << "UserStatsChartFile";
        QTest::newRow("connection megabytes by session")
            << "mnuStats1" << 1 << "Active" << false << "UserStatsChartMegabytes";
        QTest::newRow("connection files by day") << "mnuStats1" << 3 << "#@127.0.0.1" << true << "UserDayFileChart";
        QTest::newRow("connection megabytes by day") << "mnuStats1" << 4 << "@0" << true << "UserDayMegabytesChart";
        QTest::newRow("user files by session") << "mnuStats2" << 0 << "users" << false << "UserStatsChartFile";
        QTest::newRow("user megabytes by session")
            << "mnuStats2" << 1 << "users" << false << "UserStatsChartMegabytes";
        QTest::newRow("user files by day") << "mnuStats2" << 3 << "users" << true << "UserDayFileChart";
        QTest::newRow("user megabytes by day") << "mnuStats2" << 4 << "users" << true << "UserDayMegabytesChart";
        QTest::newRow("users menu under groups") << "mnuStats2" << 1 << "groups" << false << "GroupDayMegabytesChart";
    }
    void menuCommands()
    {
        QFETCH(QString, menu);
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(bool, daily);
        QFETCH(QString, chart);
        frmMain& w = console();
        const QList<QAction*> items = ControlArray<QAction>(w, qPrintable(menu));
        for (QAction* a : items)
            QVERIFY(a->isSeparator() || a->isEnabled());
        ConsoleState::SelectedKey = key;
        ConsoleState::SelectedItem = key == QLatin1String("groups") ? QStringLiteral("staff") : QStringLiteral("bob");
        ConsoleState::DailyChart = !daily;
        items.at(index)->trigger();
        QCOMPARE(ConsoleState::DailyChart, daily);
        auto* loaded = w.findChild<ChartControl*>(chart);
        QCOMPARE(visibleFrames(w), QStringList{loaded->parentWidget()->objectName()});
        for (ChartControl* c : charts(w))
            QCOMPARE(c->Series(0).Points().size() > 1, c == loaded);
        // The separators do nothing.
        if (items.size() > 2) {
            items.at(2)->trigger();
            QCOMPARE(visibleFrames(w), QStringList{loaded->parentWidget()->objectName()});
        }
    }

    void thousandDays()
    {
        // Three years of days.
        for (int i = 0; i < 1000; ++i)
            stats(QStringLiteral("Trend_User_Day_eve.%1%2.txt").arg(2020 + i / 365).arg(i % 365 + 1),
                  {{0, i, i, i, 0, i * Q_INT64_C(1000), i * Q_INT64_C(1000), 0}});
        frmMain& w = console();
        w.resize(w.width(), 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        load(QStringLiteral("users"), true, false, QStringLiteral("eve"));
        Controls(w).UserDayFileChart->grab();
        Controls(w).ctUserDayFile->grab();
        QCOMPARE(Controls(w).UserDayFileChart->Series(0).Points().size(), 1001);
        QCOMPARE(Controls(w).UserDayFileChart->Series(0).Points().last(), 999.0);
        QCOMPARE(Controls(w).UserDayFileChart->Series(0).Labels().last(), QStringLiteral("1000"));
        QCOMPARE(Controls(w).ctUserDayFile->RowCount(), 1000);
    }

    void shots()
    {
        // A few days and sessions of files and megabytes.
        stats(QStringLiteral("Trend_ann.txt"), {{0, 2, 5, 7, 0, 2100000, 5400000, 7500000},
                                                {1, 0, 3, 3, 800000, 0, 3200000, 3200000},
                                                {0, 4, 1, 5, 0, 6300000, 1000000, 7300000},
                                                {2, 1, 6, 7, 1500000, 900000, 8800000, 9700000}});
        const int sent[] = {3, 8, 2, 11, 6, 9, 4};
        for (int d = 0; d < 7; ++d) {
            const qint64 s = sent[d];
            const Record r{d % 3, s / 2, s, s + s / 2, d % 3 * 400000, s * 700000, s * 1300000, s * 2000000};
            stats(QStringLiteral("Trend_User_Day_ann.2026%1.txt").arg(330 + d), {r});
            stats(QStringLiteral("Trend_Group_Day_staff.2026%1.txt").arg(330 + d), {r});
        }
        frmMain& w = console();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const struct {
            const char* key;
            bool daily, megabytes;
            const char* name;
            const char* picture;
        } views[] = {{"users", false, false, "ann", "chart-fmeFileStats"},
                     {"users", false, true, "ann", "chart-fmeMegabyteStats"},
                     {"users", true, false, "ann", "chart-FmeUserDayFile"},
                     {"users", true, true, "ann", "chart-fmeUserDayMegabytes"},
                     {"groups", true, false, "staff", "chart-FmeGroupDayFile"},
                     {"groups", true, true, "staff", "chart-FmeGroupDayMegabytes"}};
        for (const auto& v : views) {
            w.FramesOff();
            load(QLatin1String(v.key), v.daily, v.megabytes, QLatin1String(v.name));
            QCoreApplication::processEvents(); // the charts draw what changed on the next pass of the event loop
            QVERIFY(!SaveShot(w, QLatin1String(v.picture)).isEmpty());
        }
    }
};

QTEST_MAIN(ChartsTest)
#include "tst_charts.moc"
