// The right-hand lists built from the application folder, and the texts of
// the connection columns.
#include "console/ConnectionText.h"
#include "console/PaneLists.h"
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "platform/ColumnWidths.h"
#include "platform/ListViewControl.h"
#include "platform/Twips.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QFile>
#include <QTest>

namespace {

QStringList columnTitles(const ListViewControl& l)
{
    QStringList out;
    for (int i = 0; i < l.ColumnCount(); ++i)
        out.append(l.ColumnTitle(i));
    return out;
}

QStringList rowTexts(const ListViewControl& l)
{
    QStringList out;
    for (int i = 0; i < l.ItemCount(); ++i)
        out.append(l.Item(i).text);
    return out;
}

QByteArray accountFile(const QString& user, const QString& group)
{
    AccountRecord a;
    a.UserId = user;
    a.Group = group;
    QByteArray out;
    for (const QString& line : AccountFileLines(a))
        out += line.toLatin1() + "\r\n";
    return out;
}

} // namespace

class PaneListsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsSummary()
    {
        TempAppFolder home;
        InstalledDoubles doubles;
        ListViewControl list;
        PaneLists::ShowSettingsSummary(list, 3);
        QCOMPARE(columnTitles(list), (QStringList{"IP Address", "Port", "Connections", "Root Folder"}));
        QCOMPARE(list.ColumnWidth(0), FittedColumnWidth(TwipsToPixels(1700), list.font()));
        QCOMPARE(list.ColumnWidth(3), FittedColumnWidth(TwipsToPixels(5000), list.font()));
        QCOMPARE(list.ItemCount(), 0); // no settings file: columns only

        ModMain::ServerConfig.Port = QStringLiteral("2121");
        ModMain::ServerConfig.ServerRoot = QStringLiteral("/srv/ftp");
        QVERIFY(ModMain::SaveConfig());
        ModMain::ServerConfig = {};
        ListViewControl again;
        PaneLists::ShowSettingsSummary(again, 3);
        QCOMPARE(again.ItemCount(), 1);
        const ListViewItem row = again.Item(0);
        QCOMPARE(row.key, QStringLiteral("list"));
        QCOMPARE(row.text, QStringLiteral("All"));
        QCOMPARE(row.icon, 6);
        QCOMPARE(row.subItems, (QStringList{"2121", "3", "/srv/ftp"}));
    }

    void accountsGroupsAndTotals()
    {
        TempAppFolder home;
        InstalledDoubles doubles;
        ListViewControl totals;
        PaneLists::ShowUserAndGroupTotals(totals);
        QCOMPARE(rowTexts(totals), (QStringList{"Total Users", "Total Groups"}));
        QCOMPARE(totals.Item(0).subItems, QStringList{"0"});
        QCOMPARE(totals.Item(0).key, QStringLiteral("k1"));
        QCOMPARE(totals.Item(0).icon, 3);

        home.write(QStringLiteral("/users/U_alice"), accountFile("alice", "staff"));
        home.write(QStringLiteral("/users/U_bob"), accountFile("bob", "guests"));
        home.write(QStringLiteral("/users/U_short"), "True\r\nTrue\r\n");
        home.write(QStringLiteral("/groups/G_staff"), "x");
        ListViewControl users;
        PaneLists::ShowAccounts(users);
        QCOMPARE(columnTitles(users), (QStringList{"User", "Group"}));
        // Every row goes in at the top, so the last listed stands first.
        QCOMPARE(rowTexts(users), (QStringList{"short", "bob", "alice"}));
        QCOMPARE(users.Item(2).key, QStringLiteral("k1"));
        QCOMPARE(users.Item(2).subItems, QStringList{"staff"});
        QCOMPARE(users.Item(0).subItems, QStringList{""}); // unreadable line 14: no stale line
        QCOMPARE(doubles.errors->reports.size(), 1);
        QVERIFY(doubles.errors->reports[0].contains(QStringLiteral("in Quayport.frmMain.UpdateTree at line")));

        ListViewControl groups;
        PaneLists::ShowGroups(groups);
        QCOMPARE(columnTitles(groups), QStringList{"Groups"});
        QCOMPARE(groups.ColumnWidth(0), FittedColumnWidth(TwipsToPixels(6000), groups.font()));
        QCOMPARE(rowTexts(groups), QStringList{"staff"});
        QCOMPARE(groups.Item(0).icon, 4);

        ListViewControl totalsAgain;
        PaneLists::ShowUserAndGroupTotals(totalsAgain);
        QCOMPARE(totalsAgain.Item(0).subItems, QStringList{"3"});
        QCOMPARE(totalsAgain.Item(1).subItems, QStringList{"1"});
    }

    void logTotalsAndFiles()
    {
        TempAppFolder home;
        InstalledDoubles doubles;
        home.write(QStringLiteral("/logs/S_Log.txt"), QByteArray(1234, 'x'));
        {
            // Seconds and the full year are shown.
            QFile log(home.file(QStringLiteral("/logs/S_Log.txt")));
            QVERIFY(log.open(QIODevice::ReadWrite));
            QVERIFY(log.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(7, 15, 42)), QFileDevice::FileModificationTime));
        }
        home.write(QStringLiteral("/logs/S_Log_20261208_071500.txt"), "x");
        home.write(QStringLiteral("/logs/U_bob.txt"), "x");
        home.write(QStringLiteral("/logs/U_bob.bak"), "x");
        home.write(QStringLiteral("/logs/G_staff.txt"), "x");
        home.write(QStringLiteral("/logs/anonymous_passwords.txt"), "x");

        ListViewControl totals;
        PaneLists::ShowLogTotals(totals);
        QCOMPARE(rowTexts(totals), (QStringList{"Total Server Logs", "Total User Logs", "Total Group Logs"}));
        QCOMPARE(totals.Item(0).subItems, QStringList{"2"});
        QCOMPARE(totals.Item(1).subItems, QStringList{"1"});
        QCOMPARE(totals.Item(2).subItems, QStringList{"1"});
        QCOMPARE(totals.Item(0).key, QStringLiteral("k0"));

        ListViewControl server;
        PaneLists::ShowLogFiles(server, PaneLists::LogKind::Server);
        QCOMPARE(columnTitles(server), (QStringList{" Log ", "Size", "Modified"}));
        QCOMPARE(server.ItemCount(), 2);
        QCOMPARE(server.Item(1).text, QStringLiteral("Log.txt"));
        QCOMPARE(server.Item(1).subItems.at(0), QStringLiteral("1234"));
        const QString modified = server.Item(1).subItems.at(1);
        QVERIFY2(modified.contains(QStringLiteral("2026")) && modified.contains(QStringLiteral(":15:42")), qPrintable(modified));
        QCOMPARE(server.Item(1).icon, 5);

        // A name is listed as it is on disk: trimming it would name another file.
        home.write(QStringLiteral("/logs/U_ bob.txt"), "xyz");
        home.write(QStringLiteral("/logs/U_bob.txt "), "xy");
        ListViewControl users;
        PaneLists::ShowLogFiles(users, PaneLists::LogKind::User);
        QStringList rows, keys;
        for (int i = 0; i < users.ItemCount(); ++i) {
            rows.append(users.Item(i).text + QLatin1Char('|') + users.Item(i).subItems.at(0));
            keys.append(users.Item(i).key);
        }
        rows.sort();
        keys.sort();
        QCOMPARE(rows, (QStringList{" bob.txt|3", "bob.txt|1"}));
        QCOMPARE(keys, (QStringList{"k1", "k2"}));
    }

    void connectionTexts()
    {
        QCOMPARE(ConnectionTimeText(59), QStringLiteral("00:00:59"));
        QCOMPARE(ConnectionTimeText(75 * 60), QStringLiteral("01:15:00"));
        QCOMPARE(ConnectionTimeText(3600 + 120 + 5), QStringLiteral("01:02:05"));
        QCOMPARE(ConnectionTimeText(86399), QStringLiteral("23:59:59"));
        QCOMPARE(ConnectionTimeText(100 * 3600), QStringLiteral("00:00:00"));
        QCOMPARE(MegabyteText(0), QStringLiteral("0.000.000"));
        QCOMPARE(MegabyteText(500), QStringLiteral("0.000.500"));
        QCOMPARE(MegabyteText(999999), QStringLiteral("0.999.999"));
        QCOMPARE(MegabyteText(1234567), QStringLiteral("1.234.567"));
        QCOMPARE(MegabyteText(12000000), QStringLiteral("12.000.000"));
        QCOMPARE(MegabyteText(12345678901.0), QStringLiteral("12345.678.901"));
        QCOMPARE(MegabyteText(3.0 * 1024 * 1024 * 1024), QStringLiteral("3221.225.472"));
        QCOMPARE(SessionStateText(2), QStringLiteral("Receiving file"));
        QCOMPARE(SessionStateText(7), QString());
    }
};

QTEST_MAIN(PaneListsTest)
#include "tst_panelists.moc"
