// The viewer's class on a session bus of the test's own: in process for its
// windows and its end, and as the real Scrollbook program for registration,
// activation, one process for every request, and its end when idle or when its
// bus goes away.
#include "logviewer/Registration.h"
#include "logviewer/ScrollbookServer.h"
#include "logviewer/frmScrollbook.h"
#include "platform/ComponentActivation.h"
#include "platform/RowList.h"
#include "platform/ScrollbookClass.h"
#include "tests/support/TestDoubles.h"
#include "tests/support/TimePasses.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>

namespace {

const QString Program = QStringLiteral(SCROLLBOOK_PROGRAM);

QByteArray records(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += "12-08-2026\r\n10:00:0" + QByteArray::number(i % 10) + "\r\nuser" + QByteArray::number(i)
            + "\r\npublic\r\n127.0.0.1\r\n230 user" + QByteArray::number(i) + " login ok.\r\n";
    return out;
}

QString logFile(const QTemporaryDir& dir, const QString& name, int count)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(records(count));
    return path;
}

QDBusMessage loadLogCall(const QString& path)
{
    QDBusMessage call = QDBusMessage::createMethodCall(ScrollbookClass::Name, ScrollbookClass::Path,
                                                       ScrollbookClass::Interface, ScrollbookClass::LoadLog);
    call << path;
    return call;
}

// A second connection, as the console is to the viewer.
QDBusConnection client()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
}

// The process that serves the class, 0 for none.
uint ownerPid()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.interface()->isServiceRegistered(ScrollbookClass::Name))
        return 0;
    const QDBusReply<uint> pid = bus.interface()->servicePid(ScrollbookClass::Name);
    return pid.isValid() ? pid.value() : 0;
}

bool gone(uint pid)
{
    return QTest::qWaitFor([pid] { return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }, 20000);
}

// The viewers this test started are ended by their process ids.
void endViewer(uint pid)
{
    if (pid != 0) {
        ::kill(pid_t(pid), SIGTERM);
        gone(pid);
    }
}

int runRegserver(const QString& program, QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // fails should a display be opened
    p.setProcessEnvironment(env);
    p.start(program, {QStringLiteral("/regserver")});
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void saveShot(const QList<frmScrollbook*>& windows, const QString& name)
{
    const QString folder = qEnvironmentVariable("QUAYPORT_SHOTS");
    if (folder.isEmpty() || windows.size() < 2)
        return;
    QDir().mkpath(folder);
    const QPixmap a = windows.at(0)->grab(), b = windows.at(1)->grab();
    QPixmap both(a.width() + b.width() + 40, qMax(a.height(), b.height()) + 40);
    both.fill(Qt::darkGray);
    QPainter painter(&both);
    painter.drawPixmap(10, 10, a);
    painter.drawPixmap(a.width() + 30, 30, b);
    painter.end();
    both.save(folder + QLatin1Char('/') + name);
}

} // namespace

class TestScrollbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus");
    }

    void loadLogOpensOneWindowPerCallAndReadsAfterReturning()
    {
        InstalledDoubles doubles;
        QTemporaryDir dir;
        const QString server = logFile(dir, QStringLiteral("S_Log.txt"), 12);
        const QString user = logFile(dir, QStringLiteral("U_bob.txt"), 3);
        ScrollbookServer viewer(QDBusConnection::sessionBus(), std::chrono::minutes(5));
        QSignalSpy finished(&viewer, &ScrollbookServer::Finished);
        QVERIFY(viewer.Register());

        // The call's work, without the bus: the window is up, its file not read yet.
        QVERIFY(viewer.Class().Load(server));
        QCOMPARE(viewer.Windows().size(), 1);
        frmScrollbook* first = viewer.Windows().first();
        QVERIFY(first->isVisible());
        QVERIFY(!first->State().LogLoaded);
        QCOMPARE(first->Log->RowCount(), 0);
        QTRY_COMPARE(first->Log->RowCount(), 12);

        // Through the bus: a second window; blank paths fail with the component failure and open none.
        QDBusConnection console = client();
        struct Case {
            QString path;
            bool ok;
        };
        const QString blanks = QStringLiteral(" ") + user + QStringLiteral("  ");
        const QList<Case> cases{{user, true}, {QString(), false}, {QStringLiteral("   "), false}, {blanks, true}};
        for (const Case& c : cases) {
            const QDBusMessage reply = console.call(loadLogCall(c.path), QDBus::BlockWithGui, 10000);
            QCOMPARE(reply.type() == QDBusMessage::ReplyMessage, c.ok);
            if (!c.ok) {
                QCOMPARE(reply.errorName(), ScrollbookClass::FailureError);
                QCOMPARE(reply.errorMessage(), ScrollbookClass::FailureText);
            }
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QCOMPARE(viewer.Windows().size(), 3);
        frmScrollbook* second = viewer.Windows().at(1);
        frmScrollbook* third = viewer.Windows().at(2);
        QCOMPARE(third->State().LogPath, blanks); // kept as given, shown as given
        QCOMPARE(third->windowTitle(), blanks);
        third->close();
        QCOMPARE(second->windowTitle(), user);
        QTRY_COMPARE(second->Log->RowCount(), 3);
        QCOMPARE(first->Log->SelectedRow(), 11);
        QTRY_COMPARE(viewer.Windows().size(), 2);
        saveShot(viewer.Windows(), QStringLiteral("scrollbook-two-windows.png"));

        // The viewer ends with its last window, letting go of its name first.
        first->cmdClose->click();
        LetTimePass(200); // an end that must not come while a window is open
        QCOMPARE(finished.size(), 0);
        second->close();
        QTRY_COMPARE(finished.size(), 1);
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(ScrollbookClass::Name));
        QVERIFY(doubles.errors->reports.isEmpty());
    }

    void aViewerWithNoWindowEndsWhenIdle()
    {
        ScrollbookServer viewer(QDBusConnection::sessionBus(), std::chrono::milliseconds(50));
        QSignalSpy finished(&viewer, &ScrollbookServer::Finished);
        QVERIFY(viewer.Register());
        QVERIFY(finished.wait(5000));
        QVERIFY(viewer.Windows().isEmpty());
    }

    void aSecondViewerCannotTakeTheName()
    {
        ScrollbookServer first(QDBusConnection::sessionBus());
        QVERIFY(first.Register());
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        {
            ScrollbookServer second(other);
            QVERIFY(!second.Register());
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }

    void theServiceFileQuotesItsProgram_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "bin";
        QTest::newRow("blanks") << "my viewer";
        QTest::newRow("quotes and signs") << "it's \"odd\" $HOME `x` \\ 100%";
    }
    void theServiceFileQuotesItsProgram()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QString copy = dir.filePath(folder) + QStringLiteral("/Scrollbook");
        QVERIFY(QDir().mkpath(dir.filePath(folder)));
        QVERIFY(QFile::copy(Program, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(runRegserver(copy), 0);
        QFile service(Registration::ServiceFilePath());
        QVERIFY(service.open(QIODevice::ReadOnly));
        QVERIFY(service.readAll().startsWith("[D-BUS Service]\nName=Scrollbook.clsFrmScrollbook\nExec=\""));

        // The bus starts that very program for every request, in one process.
        QTemporaryDir logs;
        const QString path = logFile(logs, QStringLiteral("S_Log.txt"), 2);
        QDBusConnection console = client();
        QCOMPARE(console.call(loadLogCall(path), QDBus::Block, 15000).type(), QDBusMessage::ReplyMessage);
        const uint pid = ownerPid();
        QVERIFY(pid != 0);
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget(), copy);
        QCOMPARE(console.call(loadLogCall(path), QDBus::Block, 15000).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(console.call(loadLogCall(QString()), QDBus::Block, 15000).errorMessage(), ScrollbookClass::FailureText);
        QCOMPARE(ownerPid(), pid);
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        endViewer(pid);
    }

    void aPathWithALineBreakIsRefused()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("two\nlines"));
        QVERIFY(QFile::copy(Program, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(Registration::ServiceFilePath());
        QCOMPARE(runRegserver(copy), 1);
        QVERIFY(!QFile::exists(Registration::ServiceFilePath()));
        QVERIFY(!Registration::ServiceFileText(QStringLiteral("/a\rb")));
    }

    void aViewerStartedWithoutARequestEndsWhenIdle()
    {
        QCOMPARE(runRegserver(Program), 0);
        QObject context;
        std::optional<bool> created;
        ComponentActivation::Create(QDBusConnection::sessionBus(), ScrollbookClass::Name, 15000, &context,
                                    [&created](bool ok) { created = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(created.has_value(), 15000);
        QVERIFY(*created);
        const uint pid = ownerPid();
        QVERIFY(pid != 0);
        QVERIFY(gone(pid)); // after its idle period
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(ScrollbookClass::Name));
    }

    void aViewerEndsWhenItsBusGoesAway()
    {
        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                     QStringLiteral("--print-address=1")});
        QVERIFY(daemon.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor([&daemon] { return daemon.canReadLine(); }, 10000));
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        viewer.setProcessEnvironment(env);
        viewer.start(Program, {});
        QVERIFY(viewer.waitForStarted(10000));
        {
            QDBusConnection nested = QDBusConnection::connectToBus(address, QStringLiteral("nested"));
            QVERIFY(QTest::qWaitFor(
                [&nested] { return nested.interface()->isServiceRegistered(ScrollbookClass::Name).value(); }, 10000));
            QCOMPARE(nested.call(loadLogCall(QStringLiteral("/nowhere/S_Log.txt")), QDBus::Block, 10000).type(),
                     QDBusMessage::ReplyMessage);
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("nested"));
        daemon.terminate();
        QVERIFY(daemon.waitForFinished(10000));
        QVERIFY(viewer.waitForFinished(10000)); // with its window open
        if (viewer.state() != QProcess::NotRunning)
            viewer.kill();
    }
};

QTEST_MAIN(TestScrollbook)
#include "tst_scrollbook.moc"
