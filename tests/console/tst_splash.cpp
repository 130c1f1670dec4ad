// The splash and its preparation, and the program's entry as a whole: the
// folders and default files of a first run, the remap of a missing root (with
// the console made first), a key that hides the splash, the log viewer's
// registration, and the entry's paths to the console or to the end.
#include "console/ConsoleWindow.h"
#include "console/ProgramEntry.h"
#include "console/frmMain.h"
#include "console/frmSplash.h"
#include "core/Blowfish.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "core/TextCipher.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "platform/ScrollbookClass.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/PrivateNetwork.h"
#include "tests/support/TimePasses.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

QStringList fileLines(const ConsoleFixture& f, const QString& tail)
{
    QStringList lines = QString::fromLatin1(f.folder.read(tail)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList creatingLines(const ConsoleFixture& f)
{
    QStringList out;
    for (const char* tail : {"/logs", "/groups", "/users", "/users/stats", "/root", "/users/U_anonymous",
                             "/groups/G_public"})
        out.append(QStringLiteral("Creating ") + f.folder.file(QString::fromLatin1(tail)));
    return out;
}

// A stand-in for the log viewer that notes the arguments it was started with.
void placeRecordingViewer(const ConsoleFixture& f)
{
    f.folder.write(QStringLiteral("/Scrollbook"), "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/viewer-started\"\n");
    QFile::setPermissions(f.folder.file(QStringLiteral("/Scrollbook")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void runSplash()
{
    frmSplash splash;
    splash.exec();
    QVERIFY(splash.Prepared());
    QVERIFY(splash.isHidden());
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labels()
    {
        frmSplash splash;
        QCOMPARE(splash.Label1->text(), QStringLiteral("Quayport"));
        QCOMPARE(splash.lblPlatform->text(), QStringLiteral("Windows 32bit"));
        QCOMPARE(splash.Label2->text(), QStringLiteral("RFC959 Complient"));
        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version " QUAYPORT_VERSION_TEXT));
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lblVersion")), splash.lblVersion);
    }

    void firstRunPreparesTheFolder()
    {
        ConsoleFixture f(false);
        modBlowFish::ResetKey();
        runSplash();

        QVERIFY(!modBlowFish::KeyHexText().isEmpty());
        QCOMPARE(f.serverLogMessages(), creatingLines(f));
        QVERIFY(ModMain::FirstRun);
        QVERIFY(!f.folder.exists(QStringLiteral("/Config.txt")));
        QCOMPARE(fileLines(f, QStringLiteral("/logs/anonymous_passwords.txt")),
                 QStringList({"*** " QUAYPORT_VERSION_TEXT " Email addresses from anonymous users ***"}));
        const QStringList account = fileLines(f, QStringLiteral("/users/U_anonymous"));
        QCOMPARE(account.size(), 36);
        QCOMPARE(account.at(10), QStringLiteral("WGYrWFX1pK7pWj+YWD79Iw"));
        QCOMPARE(ModMain::DeCipher(account.at(10)), QStringLiteral("marigold"));
        QCOMPARE(account.at(14), f.folder.file("/root"));
        QCOMPARE(fileLines(f, QStringLiteral("/groups/G_public")).size(), 29);
        // No console line was written, so no console was made.
        QCOMPARE(ConsoleWindowIfOpen(), nullptr);
    }

    void secondRunCreatesNothing()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")));
        const QString leftover = QStringLiteral("/.Config.txt.quayport-rewrite-AbCdEf");
        f.folder.write(leftover, "left by a rewrite that was killed");
        f.folder.write(QStringLiteral("/Config.txt.AbCdEf"), "the administrator's copy");
        runSplash();
        QVERIFY(!f.folder.exists(leftover));
        QVERIFY(f.folder.exists(QStringLiteral("/Config.txt.AbCdEf")));
        // The standard folders exist; only the default files are new.
        QCOMPARE(f.serverLogMessages(),
                 creatingLines(f).mid(5) << QStringLiteral("Removed leftover temporary ") + f.folder.file(leftover));

        const QByteArray log = f.folder.read(QStringLiteral("/logs/S_Log.txt"));
        ModMain::ServerConfig = {};
        runSplash();
        QCOMPARE(f.folder.read(QStringLiteral("/logs/S_Log.txt")), log);
        QVERIFY(!ModMain::FirstRun);
        QCOMPARE(ModMain::ServerConfig.Port, QStringLiteral("2121"));
        QCOMPARE(ConsoleWindowIfOpen(), nullptr);
    }

    void missingRootIsRemappedAndServedAtOnce()
    {
        ConsoleFixture f;
        const QString gone = f.folder.file(QStringLiteral("/gone"));
        f.writeConfig(ConsoleFixture::Settings().Root(gone));
        runSplash();

        // The first console line made the console, whose start-up ran first.
        frmMain* console = ConsoleWindowIfOpen();
        QVERIFY(console);
        const QString root = f.folder.file(QStringLiteral("/root"));
        QCOMPARE(f.consoleMessages(),
                 QStringList({"Quayport configuration loaded.", "Quayport Started and waiting for connections.",
                              "*** WARNING *** " + gone + " is missing.",
                              "*** REMAPPING SERVER ROOT FOLDER TO: " + root}));
        QCOMPARE(f.serverLogMessages().mid(2),
                 QStringList({"*** WARNING *** " + gone + " is missing.",
                              "*** REMAPPING SERVER ROOT FOLDER TO: " + root}));
        QCOMPARE(ModMain::DeCipher(QString::fromLatin1(f.folder.read(QStringLiteral("/Config.txt")).split('\r').at(4)).trimmed()),
                 root);
        // The engine and the settings summary use the new root without a restart.
        QCOMPARE(Controls(*console).FtpEngine1->DefaultRoot(), root);
        QVERIFY(Controls(*console).FtpEngine1->Listening());
        QCOMPARE(Controls(*console).lvwDb->Item(0).subItems.value(2), root);
        QVERIFY(console->isHidden()); // shown only by the entry
    }

    void aKeyHidesTheSplashButThePreparationCompletes()
    {
        ConsoleFixture f(false);
        QPointer<frmSplash> splash = new frmSplash;
        bool keySent = false;
        QTimer::singleShot(1, splash, [&] {
            QTest::keyClick(splash.data(), Qt::Key_X);
            keySent = true;
        });
        splash->exec();
        splash->Form_Activate(); // as the entry does, in case the key came first
        QVERIFY(keySent);
        QVERIFY(splash); // hidden, never destroyed
        QVERIFY(splash->isHidden());
        QVERIFY(splash->Prepared());
        QCOMPARE(f.serverLogMessages(), creatingLines(f));
        delete splash.data();
    }

    void theLogViewerRegistersWhenItsClassCannotBeMade()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected() && bus.interface()->activatableServiceNames().value().contains(ScrollbookClass::Name))
            QSKIP("the log viewer is activatable on this bus");
        ConsoleFixture f;
        placeRecordingViewer(f);
        QCOMPARE(frmSplash::LogViewerProgram(), f.folder.file(QStringLiteral("/Scrollbook")));
        runSplash();
        QTRY_VERIFY_WITH_TIMEOUT(f.folder.exists(QStringLiteral("/viewer-started")), 10000);
        QCOMPARE(f.folder.read(QStringLiteral("/viewer-started")), QByteArray("/regserver\n"));
    }

    void aRegisteredLogViewerIsLeftAlone()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            QSKIP("no session bus");
        // A viewer that another test's console started serves the name just as well.
        const bool ours = bus.registerService(ScrollbookClass::Name);
        QVERIFY(ours || bus.interface()->isServiceRegistered(ScrollbookClass::Name));
        ConsoleFixture f;
        placeRecordingViewer(f);
        runSplash();
        // The answer arrives through the event loop; give it the chance, then look.
        LetTimePass(300);
        QVERIFY(!f.folder.exists(QStringLiteral("/viewer-started")));
        if (ours)
            bus.unregisterService(ScrollbookClass::Name);
    }

    void missingViewerProgramPassesSilently()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        runSplash();
        LetTimePass(100); // a report of the missing viewer that must not come
        QVERIFY(f.doubles.errors->reports.isEmpty());
        QVERIFY(f.doubles.messages->messages.empty());
    }

    void entryOnAFirstRunShowsTheConsole()
    {
        QApplication* app = qApp;
        ModMain::PrepareApplication(*app);
        QVERIFY(!app->quitOnLastWindowClosed());

        if (const QString why = WhyPort21WouldBeExposed(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QTcpServer port21; // held here or out of reach: the start is refused either way
        port21.listen(QHostAddress::Any, 21);
        ConsoleFixture f(false);
        ModMain::Main();

        frmMain* console = ConsoleWindowIfOpen();
        QVERIFY(console);
        QVERIFY(console->isVisible());
        QVERIFY(f.ends().isEmpty());
        QCOMPARE(ModMain::VersionText, QStringLiteral(QUAYPORT_VERSION_TEXT));
        QCOMPARE(f.serverLogMessages(), creatingLines(f) + QStringList({"Creating " + f.folder.file("/config.txt"),
                                                                       "Writing new configuration file."}));
        QCOMPARE(f.consoleMessages(),
                 QStringList({"Quayport configuration loaded.", "Quayport unable to start server engine."}));
        QCOMPARE(f.doubles.messages->texts(), QStringList({"Unable to start server."}));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
    }

    void entryWithUnloadableSettingsEnds()
    {
        ConsoleFixture f;
        f.folder.write(QStringLiteral("/Config.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
        f.onModalDialog(QStringLiteral("frmProperties"), [](QDialog& dialog) { dialog.reject(); });
        ModMain::Main();
        QCOMPARE(f.ends(), QList<int>({1}));
        frmMain* console = ConsoleWindowIfOpen();
        QVERIFY(console);
        QVERIFY(console->isHidden());
        QCOMPARE(f.doubles.messages->texts().size(), 2);
    }

    void settingsAreNeverSavedOnceTheProgramEnds_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("dialog cancelled") << false;
        QTest::newRow("dialog saved") << true;
    }

    // Unloadable settings and a missing root: the console, made by the first
    // remap line, ends the program; the preparation then neither logs the
    // remap nor saves its half-loaded settings over the file.
    void settingsAreNeverSavedOnceTheProgramEnds()
    {
        QFETCH(bool, save);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Root(f.folder.file(QStringLiteral("/gone"))));
        QStringList lines = fileLines(f, QStringLiteral("/Config.txt"));
        lines[3] = ModMain::Encipher(QStringLiteral("perhaps"));
        f.folder.write(QStringLiteral("/Config.txt"), (lines.join(QStringLiteral("\r\n")) + "\r\n").toLatin1());
        QByteArray expected = f.folder.read(QStringLiteral("/Config.txt"));
        f.onModalDialog(QStringLiteral("frmProperties"), [&](QDialog& dialog) {
            if (!save) {
                dialog.reject();
                return;
            }
            dialog.findChild<QLineEdit*>(QStringLiteral("txtPort"))->setText(QStringLiteral("2121"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
            expected = f.folder.read(QStringLiteral("/Config.txt"));
        });
        runSplash();

        QCOMPARE(f.ends(), QList<int>({1}));
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), expected);
        QVERIFY(!f.serverLogMessages().join('\n').contains(QStringLiteral("REMAPPING")));
        QVERIFY(!ModMain::SaveConfig());
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), expected);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
