// The console hands logs to the log viewer over a session bus of the test's
// own: a log that is missing or named from outside its folder, a viewer that
// is not registered, a stale registration renewed at start-up, a slow start
// that still gives one window, and FTP served while the viewer starts. The real
// Scrollbook serves where one is registered.
#include "console/LogViewerClient.h"
#include "console/frmMain.h"
#include "core/Preparation.h"
#include "engine/FtpEngine.h"
#include "logviewer/Registration.h"
#include "logviewer/ScrollbookServer.h"
#include "logviewer/frmScrollbook.h"
#include "platform/RowList.h"
#include "platform/ListViewControl.h"
#include "platform/ScrollbookClass.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/console/pane/LoopbackClient.h"
#include "tests/support/Shots.h"
#include "tests/support/TimePasses.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>

using enum ConsoleAction;

namespace {

const QString Program = QStringLiteral(SCROLLBOOK_PROGRAM);
const QString NoLog = QStringLiteral("No Log file exits for this user.");
const QString Unable = QStringLiteral("Unable to launch Log viewer.");
const QByteArray Record = "12-08-2026\r\n10:00:00\r\nserver\r\nserver\r\nserver\r\nstarted\r\n";

// A service file of the test's own, read by the bus at once.
void registerExec(const QByteArray& exec)
{
    const QString file = Registration::ServiceFilePath();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("[D-BUS Service]\nName=" + ScrollbookClass::Name.toUtf8() + "\nExec=" + exec + "\n");
    out.close();
    QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
}

// The viewer this test caused to start, ended by its process id.
void endViewer()
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus->isServiceRegistered(ScrollbookClass::Name))
        return;
    const QDBusReply<uint> pid = bus->servicePid(ScrollbookClass::Name);
    if (!pid.isValid())
        return;
    ::kill(pid_t(pid.value()), SIGTERM);
    QVERIFY2(QTest::qWaitFor([&pid] { return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid.value())); }, 10000),
             "the log viewer did not end on SIGTERM");
}

// The console on the server logs' list; a log written after the list was
// drawn shows only once the pane is refreshed.
struct ViewerConsole {
    ViewerConsole()
    {
        fixture.writeConfig(ConsoleFixture::Settings());
        ModMain::PrepareApplicationFolder();
        fixture.folder.write(QStringLiteral("/logs/S_Log.txt"), Record);
        console = &fixture.console();
        ConsoleState::SelectedKey = QStringLiteral("serverlogs");
        console->UpdateTree(ConsoleState::SelectedKey);
        drawn = Controls(*console).lvwDb->ItemCount();
        fixture.folder.write(QStringLiteral("/logs/S_Later.txt"), Record);
    }
    bool refreshed() const { return Controls(*console).lvwDb->ItemCount() == drawn + 1; }
    QString log(const QString& name) const { return fixture.folder.path() + QStringLiteral("/Logs/") + name; }
    QStringList boxes() const { return fixture.doubles.messages->texts(); }

    ConsoleFixture fixture;
    frmMain* console = nullptr;
    int drawn = 0;
};

} // namespace

class TestLogViewerBinding : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
    }
    void cleanup()
    {
        endViewer();
        QFile::remove(Registration::ServiceFilePath());
    }

    void aLogThatIsMissingOrNamedFromOutsideIsNoLog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "U_nobody.txt";
        QTest::newRow("a name that leaves the folder") << "U_../../Config.txt";
        QTest::newRow("a name with a line break") << "U_bob\n.txt";
    }
    void aLogThatIsMissingOrNamedFromOutsideIsNoLog()
    {
        QFETCH(QString, name);
        ViewerConsole c;
        QVERIFY(QFile::exists(c.fixture.folder.file(QStringLiteral("/Config.txt"))));
        c.console->Scrollbook(c.log(name));
        QCOMPARE(c.boxes(), QStringList{NoLog});
        LetTimePass(100); // a later answer that must not come
        QVERIFY(!c.refreshed());
        QCOMPARE(c.boxes(), QStringList{NoLog});
    }

    void anUnregisteredViewerGivesOneBoxThenTheRefresh()
    {
        ViewerConsole c;
        c.console->Scrollbook(c.log(QStringLiteral("S_Log.txt")));
        QVERIFY(c.boxes().isEmpty()); // the answer comes later
        QTRY_VERIFY_WITH_TIMEOUT(c.refreshed(), 20000);
        QCOMPARE(c.boxes(), QStringList{Unable});
        QVERIFY(c.fixture.doubles.errors->reports.isEmpty());
    }

    void aStaleRegistrationIsRenewedAndTheRetryServes()
    {
        registerExec("\"/nowhere/moved/Scrollbook\"");
        QObject context;
        std::optional<bool> created;
        LogViewerClient::CheckRegistration(Program, &context, [&created](bool ok) { created = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(created.has_value(), 30000);
        QVERIFY(*created);
        QFile service(Registration::ServiceFilePath());
        QVERIFY(service.open(QIODevice::ReadOnly));
        QVERIFY(service.readAll().contains(QFile::encodeName(Program)));

        ViewerConsole c;
        c.console->Scrollbook(c.log(QStringLiteral("S_Log.txt")));
        QTRY_VERIFY_WITH_TIMEOUT(c.refreshed(), 20000);
        QVERIFY(c.boxes().isEmpty());

        // A program that cannot be started at all answers false, silently.
        endViewer();
        registerExec("\"/nowhere/moved/Scrollbook\"");
        created.reset();
        LogViewerClient::CheckRegistration(QStringLiteral("/nowhere/Scrollbook"), &context,
                                           [&created](bool ok) { created = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(created.has_value(), 30000);
        QVERIFY(!*created);
    }

    void theViewCommandsAndTheDoubleClickReachTheViewer()
    {
        QObject context;
        std::optional<bool> created;
        LogViewerClient::CheckRegistration(Program, &context, [&created](bool ok) { created = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(created.has_value(), 30000);
        QVERIFY(*created);

        ViewerConsole c;
        c.fixture.folder.write(QStringLiteral("/logs/U_anonymous.txt"), Record);
        frmMain& w = *c.console;
        // Each command hands the log over and the viewer's answer refreshes the list.
        int later = 0;
        const auto servedAfter = [&](const std::function<void()>& command) {
            w.UpdateTree(ConsoleState::SelectedKey);
            c.drawn = Controls(w).lvwDb->ItemCount();
            c.fixture.folder.write(QStringLiteral("/logs/S_Later%1.txt").arg(++later), Record);
            command();
            return QTest::qWaitFor([&] { return c.refreshed(); }, 20000);
        };
        const auto pick = [&](const QString& text) {
            ListViewControl& list = *Controls(w).lvwDb;
            for (int i = 0; i < list.ItemCount(); ++i)
                if (list.Item(i).text == text)
                    list.SelectItem(list.Item(i).key);
            w.lvwDb_Click();
        };
        QVERIFY(servedAfter([&] {
            pick(QStringLiteral("Log.txt"));
            Q_EMIT Controls(w).lvwDb->DblClick();
        }));
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(ScrollbookClass::Name));
        QVERIFY(servedAfter([&] {
            pick(QStringLiteral("Log.txt"));
            w.Action(ViewLog)->trigger();
        }));

        // View User Log on a live connection: the pane comes back with the answer.
        LoopbackClient anon(Controls(w).FtpEngine1->BoundPort());
        QVERIFY(anon.login(QStringLiteral("anonymous"), QStringLiteral("me@example.org")).startsWith(QLatin1String("230 ")));
        w.tvwDb_NodeClick(QStringLiteral("Active"));
        QTRY_COMPARE(Controls(w).lvwDb->ItemCount(), 1);
        pick(QStringLiteral("anonymous"));
        w.Action(ViewUserLog)->trigger();
        QVERIFY(Controls(w).fmeList->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!Controls(w).fmeList->isHidden(), 20000);
        QCOMPARE(c.boxes(), QStringList());
        QVERIFY(c.fixture.doubles.errors->reports.isEmpty());

        // The window the viewer shows for such a log.
        frmScrollbook viewer(c.log(QStringLiteral("S_Log.txt")));
        viewer.show();
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QTRY_VERIFY(viewer.Log->RowCount() > 1); // the record and the server's own since
        QVERIFY(!SaveShot(viewer, QStringLiteral("viewer")).isEmpty());
    }

    void oneRequestGivesOneWindowOrOneFailure_data()
    {
        QTest::addColumn<int>("startMs");   // when the viewer takes its name; -1: its program ends at once
        QTest::addColumn<int>("timeoutMs"); // 0: the console's own wait
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("starts");
        QTest::addColumn<int>("windows");
        QTest::newRow("a start slower than fifteen seconds") << 16000 << 0 << true << 1 << 1;
        QTest::newRow("a wait that ends before the start") << 1500 << 500 << false << 1 << 1;
        QTest::newRow("a program that ends at once is tried twice") << -1 << 0 << false << 2 << 0;
    }
    void oneRequestGivesOneWindowOrOneFailure()
    {
        QFETCH(int, startMs);
        QFETCH(int, timeoutMs);
        QFETCH(bool, answered);
        QFETCH(int, starts);
        QFETCH(int, windows);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QString log = dir.filePath(QStringLiteral("S_Log.txt"));
        QFile(log).open(QIODevice::WriteOnly);
        // The bus starts a stand-in that notes its start, then either ends as a viewer that cannot
        // take its name does, or waits for the gate (or the folder's end); the viewer itself
        // serves in this process on a connection of its own.
        registerExec("/bin/sh -c \"echo >> '" + folder + "/started'; "
                     + (startMs < 0 ? QByteArray("exit 1")
                                    : "while [ -d '" + folder + "' ] && [ ! -e '" + folder + "/gate' ]; do sleep 0.05; done")
                     + "\"");
        const auto openGate = [&dir] { QFile(dir.filePath(QStringLiteral("gate"))).open(QIODevice::WriteOnly); };
        const auto gateOnLeaving = qScopeGuard(openGate);
        const QString connection = QStringLiteral("slow viewer");
        const auto disconnect = qScopeGuard([&connection] { QDBusConnection::disconnectFromBus(connection); });
        ScrollbookServer viewer(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection),
                                std::chrono::minutes(5));

        QObject context;
        QList<bool> answers;
        const auto answer = [&answers](bool launched) { answers.append(launched); };
        if (timeoutMs > 0)
            LogViewerClient::LoadLog(log, &context, answer, timeoutMs);
        else
            LogViewerClient::LoadLog(log, &context, answer);
        if (startMs >= 0) {
            LetTimePass(startMs); // a viewer that is this slow to start
            QVERIFY(viewer.Register());
            openGate();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!answers.isEmpty() && viewer.Windows().size() >= windows, 20000);
        // A second call would have been delivered with the first.
        LetTimePass(500);
        QCOMPARE(answers, QList<bool>{answered});
        QCOMPARE(viewer.Windows().size(), windows);
        QFile notes(dir.filePath(QStringLiteral("started")));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll().count('\n'), starts);
    }

    void ftpIsServedWhileTheViewerStarts()
    {
        ViewerConsole c;
        const quint16 port = Controls(*c.console).FtpEngine1->BoundPort();
        QVERIFY(port != 0);
        // A viewer that starts only once the gate opens, noting the environment it was given.
        const QString gate = c.fixture.folder.file(QStringLiteral("/gate"));
        const QString env = c.fixture.folder.file(QStringLiteral("/viewer-env"));
        registerExec("/bin/sh -c \"env > '" + QFile::encodeName(env) + "'; while [ ! -e '" + QFile::encodeName(gate)
                     + "' ]; do sleep 0.05; done; exec '" + QFile::encodeName(Program) + "'\"");

        c.console->Scrollbook(c.log(QStringLiteral("S_Log.txt")));
        LoopbackClient client(port);
        QVERIFY(client.waitFor(QStringLiteral("220")));
        QVERIFY(client.login(QStringLiteral("anonymous"), QStringLiteral("me@example.org")).startsWith(QLatin1String("230 ")));
        client.send(QStringLiteral("NOOP"));
        QVERIFY(client.waitFor(QStringLiteral("200")));
        // The viewer has not started yet; its answer will refresh the pane (as the login did).
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(ScrollbookClass::Name));
        c.drawn = Controls(*c.console).lvwDb->ItemCount();
        c.fixture.folder.write(QStringLiteral("/logs/S_Latest.txt"), Record);

        QFile(gate).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(c.refreshed(), 20000);
        QVERIFY(c.boxes().isEmpty());
        QFile seen(env);
        QVERIFY(seen.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = seen.readAll().split('\n');
        QVERIFY(lines.contains("QUAYPORT_HOME=" + QFile::encodeName(c.fixture.folder.path())));
        QVERIFY(lines.contains("QT_QPA_PLATFORM=offscreen"));
    }
};

QTEST_MAIN(TestLogViewerBinding)
#include "tst_logviewerbinding.moc"
