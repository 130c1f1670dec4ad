// The console with the real dialogs behind its item commands: Edit User and
// Edit Group open the one account or group dialog on the chosen item, a second
// choice while it is open moves the same window to the new item, and Close
// ends the hand-over; a dialog leaves the live sessions the console installed.
// Pictures of each pane for a person to look at.
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/Preparation.h"
#include "core/TextFile.h"
#include "dialogs/frmEditGroups.h"
#include "dialogs/frmEditUsers.h"
#include "engine/FtpEngine.h"
#include "platform/ChartControl.h"
#include "platform/ListViewControl.h"
#include "platform/SingleInstance.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/console/pane/LoopbackClient.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/OpenAccounts.h"
#include "tests/support/TimePasses.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using enum ConsoleAction;
using enum ConsolePlace;

namespace {

// Chooses the row of that text in the list of the node, as a click would.
void choose(frmMain& console, const QString& key, const QString& rowText)
{
    console.tvwDb_NodeClick(key);
    ListViewControl& list = *Controls(console).lvwDb;
    QString row;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i).text == rowText)
            row = list.Item(i).key;
    QVERIFY2(list.SelectItem(row), qPrintable(rowText));
    console.lvwDb_Click();
}

// The console is the active window again, as after a click on it.
void backToConsole(frmMain& console)
{
    console.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &console);
}

QStringList listed(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.item(i)->text());
    return out;
}

// Trend records: deleted, received, sent, transferred; files then bytes.
QByteArray trend(int records)
{
    QByteArray out;
    for (int r = 0; r < records; ++r)
        for (int v : {0, r + 1, r + 2, 2 * r + 3, 0, (r + 1) * 1000000, (r + 2) * 1000000, (2 * r + 3) * 1000000})
            out += QByteArray::number(v) + "\r\n";
    return out;
}

} // namespace

class ConsoleSeamsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editItemsOpenTheRealDialogsOnTheChosenItem()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        const QString root = fixture.folder.file(QStringLiteral("/root"));
        QVERIFY(WriteOpenGroup(QStringLiteral("staff"), root));
        QVERIFY(WriteOpenAccount(QStringLiteral("bob"), QStringLiteral("secret"), QStringLiteral("staff"), root));
        QVERIFY(WriteOpenAccount(QStringLiteral("carol"), QStringLiteral("hidden"), QStringLiteral("public"), root));
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        backToConsole(console);

        // Users and groups panes, and a live session in the connections pane.
        console.tvwDb_NodeClick(QStringLiteral("users"));
        SaveShot(console, QStringLiteral("pane-users"));
        console.tvwDb_NodeClick(QStringLiteral("groups"));
        SaveShot(console, QStringLiteral("pane-groups"));
        console.tvwDb_NodeClick(QStringLiteral("serverlogs"));
        SaveShot(console, QStringLiteral("pane-serverlogs"));
        LoopbackClient bob(Controls(console).FtpEngine1->BoundPort());
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 1);
        console.tvwDb_NodeClick(QStringLiteral("Active"));
        QTRY_COMPARE(Controls(console).lvwDb->ItemCount(), 1);
        SaveShot(console, QStringLiteral("pane-connections"));

        // Edit User on a listed account: the dialog opens on it, not modal.
        choose(console, QStringLiteral("users"), QStringLiteral("carol"));
        console.Action(EditUser)->trigger();
        frmEditUsers* users = SingleInstance<frmEditUsers>::Open();
        QVERIFY(users);
        QVERIFY(!QApplication::activeModalWidget());
        QTRY_COMPARE(users->txtPassword->text(), QStringLiteral("hidden"));
        QCOMPARE(users->cboSelectUser->currentText(), QStringLiteral("carol"));
        QCOMPARE(users->cboSecurityGroup->currentText(), QStringLiteral("public"));
        SaveShot(*users, QStringLiteral("seam-frmEditUsers"));

        // From a connection while the dialog is open: the same window, on bob.
        backToConsole(console);
        choose(console, QStringLiteral("Active"), QStringLiteral("bob"));
        console.Action(EditConnectionUser)->trigger();
        QCOMPARE(SingleInstance<frmEditUsers>::Open(), users);
        QTRY_COMPARE(users->txtPassword->text(), QStringLiteral("secret"));
        QCOMPARE(users->cboSelectUser->currentText(), QStringLiteral("bob"));
        QCOMPARE(users->cboSecurityGroup->currentText(), QStringLiteral("staff"));
        users->cmdOk->click();
        QTRY_VERIFY(!SingleInstance<frmEditUsers>::Open());
        QCOMPARE(ConsoleState::EditUserName, QString());
        // A plain opening afterwards shows no account.
        console.Action(mnuEditUsers)->trigger();
        users = SingleInstance<frmEditUsers>::Open();
        QVERIFY(users);
        LetTimePass(20); // an account that must not be filled in later, as those chosen are
        QVERIFY(users->txtPassword->text().isEmpty());
        users->close();

        // Edit Group: the group dialog shows the group and its members.
        backToConsole(console);
        choose(console, QStringLiteral("groups"), QStringLiteral("staff"));
        console.Action(EditGroup)->trigger();
        frmEditGroups* groups = SingleInstance<frmEditGroups>::Open();
        QVERIFY(groups);
        QTRY_COMPARE(groups->ShownGroupName, QStringLiteral("staff"));
        QCOMPARE(listed(*groups->lstUsers), QStringList{QStringLiteral("bob")});
        QCOMPARE(groups->lstGroups->currentItem()->text(), QStringLiteral("staff"));
        SaveShot(*groups, QStringLiteral("seam-frmEditGroups"));
        backToConsole(console);
        choose(console, QStringLiteral("groups"), QStringLiteral("public"));
        console.Action(EditGroup)->trigger();
        QCOMPARE(SingleInstance<frmEditGroups>::Open(), groups);
        QTRY_COMPARE(groups->ShownGroupName, QStringLiteral("public"));
        QCOMPARE(listed(*groups->lstUsers), (QStringList{QStringLiteral("anonymous"), QStringLiteral("carol")}));
        groups->cmdOk->click();
        QTRY_VERIFY(!SingleInstance<frmEditGroups>::Open());
        QCOMPARE(ConsoleState::EditGroupName, QString());

        QVERIFY(bob.connected());
        QVERIFY2(fixture.doubles.errors->reports.isEmpty(), qPrintable(fixture.doubles.errors->reports.join(QLatin1Char('|'))));
    }
    // The console installs its live sessions once; a dialog opened from it
    // leaves whatever is installed in place.
    void openingADialogKeepsTheInstalledLiveSessions()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        f.writeBob();
        frmMain& console = f.console();
        InstalledSessions live;
        console.Action(mnuEditUsers)->trigger();
        frmEditUsers* users = SingleInstance<frmEditUsers>::Open();
        QVERIFY(users);
        f.doubles.messages->confirmAnswers = {true};
        users->cboSelectUser->setEditText(QStringLiteral("bob"));
        users->cmdDelete->click();
        QVERIFY(!f.folder.exists(QStringLiteral("/users/U_bob")));
        QCOMPARE(live.sessions->closed, QStringList{QStringLiteral("bob")});
        users->close();
        QTRY_VERIFY(!SingleInstance<frmEditUsers>::Open());
    }

    void statsOfAConnectionNodeAreItsUsers()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        fixture.folder.write(QStringLiteral("/users/stats/Trend_bob.txt"), trend(3));
        fixture.folder.write(QStringLiteral("/users/stats/Trend_User_Day_bob.2026343.txt"), trend(1));
        fixture.folder.write(QStringLiteral("/users/stats/Trend_User_Day_bob.2026344.txt"), trend(1));
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        LoopbackClient bob(Controls(console).FtpEngine1->BoundPort());
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 1);
        console.UpdateTree(QStringLiteral("Active"));
        QString node;
        for (const QString& key : Controls(console).tvwDb->ChildKeys(QStringLiteral("#@127.0.0.1")))
            node = key;
        QCOMPARE(Controls(console).tvwDb->NodeText(node), QStringLiteral("bob"));

        // A click on bob's node, then the action button's menu: each history is bob's.
        const ConsoleControls k(console);
        const struct {
            ConsoleAction history;
            ChartControl* chart;
        } items[] = {{ConnectionSessionFiles, k.UserStatsChartFile},
                     {ConnectionSessionMegabytes, k.UserStatsChartMegabytes},
                     {ConnectionDayFiles, k.UserDayFileChart},
                     {ConnectionDayMegabytes, k.UserDayMegabytesChart}};
        for (const auto& item : items) {
            console.tvwDb_NodeClick(node);
            console.Toolbar3_ButtonClick(QStringLiteral("action"));
            QTRY_VERIFY(console.Menu(mnuEditUserOptions)->isVisible());
            console.Menu(mnuEditUserOptions)->hide();
            console.Action(item.history)->trigger();
            QVERIFY2(!item.chart->parentWidget()->isHidden(), qPrintable(item.chart->objectName()));
            QVERIFY2(item.chart->Series(0).Points().size() > 1, qPrintable(item.chart->objectName()));
        }
        QCOMPARE(fixture.doubles.messages->texts(), QStringList());

        // The host node's list offers the same commands for its rows.
        choose(console, QStringLiteral("#@127.0.0.1"), QStringLiteral("bob"));
        QCOMPARE(console.ContextMenuFor(frmMain::MenuSource::ListRightClick), console.Menu(mnuEditUserOptions));
        fixture.doubles.messages->confirmAnswers = {true};
        console.Action(LogoffUser)->trigger();
        QVERIFY(bob.waitFor(QStringLiteral("221")));
        QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 0);
        QVERIFY2(fixture.doubles.errors->reports.isEmpty(), qPrintable(fixture.doubles.errors->reports.join(QLatin1Char('|'))));
    }

    void logOffDuringTransfers()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        fixture.folder.write(QStringLiteral("/root/big.bin"), QByteArray(32 * 1024 * 1024, 'x'));
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        // A download read slowly and an upload sent slowly, each cut off by the
        // administrator once data moves; once told, the client goes at full speed to its end.
        const QTemporaryDir marks;
        const QString moving = marks.filePath(QStringLiteral("moving"));
        FtpScript client(Controls(console).FtpEngine1->BoundPort(), QStringLiteral("moving = '%1'\n").arg(moving) +
            QStringLiteral(
            "import io, time, threading\n"
            "fast = threading.Event()\n"
            "def wait():\n"
            "    if not fast.is_set(): open(moving + str(int(up)), 'a').close()\n"
            "    time.sleep(0 if fast.is_set() else 0.01)\n"
            "class Slow(io.RawIOBase):\n"
            "    def readable(self): return True\n"
            "    def readinto(self, b):\n"
            "        wait(); b[:1024] = b'y' * 1024; return 1024\n"
            "for up in (False, True):\n"
            "    fast.clear(); moved = [0]\n"
            "    def count(d): moved[0] += len(d); wait()\n"
            "    ftp = ftplib.FTP(); ftp.connect('127.0.0.1', port, timeout=20); ftp.login('bob', 'secret')\n"
            "    print('started', flush=True)\n"
            "    threading.Thread(target=lambda: (sys.stdin.readline(), fast.set()), daemon=True).start()\n"
            "    try:\n"
            "        if up: ftp.storbinary('STOR up.bin', Slow(), 1024)\n"
            "        else: print(ftp.retrbinary('RETR big.bin', count, 1024)[:3], flush=True)\n"
            "    except (EOFError, OSError, ftplib.Error) as e:\n"
            "        pass\n"
            "    print('short' if up or moved[0] < 32 * 1024 * 1024 else 'whole', flush=True)\n"));
        for (int round = 0; round < 2; ++round) {
            QTRY_VERIFY_WITH_TIMEOUT(client.output().count(QStringLiteral("started")) == round + 1, 20000);
            QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 1);
            QTRY_VERIFY(Controls(console).FtpEngine1->Sessions().Item(0)->State() >= 2); // receiving or sending a file
            QTRY_VERIFY(QFile::exists(moving + QString::number(round))); // and its data moving
            choose(console, QStringLiteral("Active"), QStringLiteral("bob"));
            fixture.doubles.messages->confirmAnswers = {true};
            console.Action(LogoffUser)->trigger();
            QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 0);
            client.send("fast");
            QTRY_VERIFY_WITH_TIMEOUT(client.output().count(QStringLiteral("short")) == round + 1, 20000);
        }
        QVERIFY(client.waitForEnd());
        // Neither client is told its transfer ended well.
        QCOMPARE(client.output(), QStringLiteral("started\nshort\nstarted\nshort\n"));
        QCOMPARE(fixture.serverLogMessages().count(QStringLiteral("221 The Administrator has terminated the connection.")), 4);
        QVERIFY2(fixture.doubles.errors->reports.isEmpty(), qPrintable(fixture.doubles.errors->reports.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(ConsoleSeamsTest)
#include "tst_consoleseams.moc"
