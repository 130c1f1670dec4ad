// The console's start-up: the first-run settings, the engine's set-up, the
// start at start-up and its refusal, unloadable settings, and the critical
// path that closes the console; the one reset of the console program.
#include "console/ConsoleWindow.h"
#include "console/FirstRunSettings.h"
#include "console/frmMain.h"
#include "core/Config.h"
#include "core/ConsoleLog.h"
#include "core/ProcessState.h"
#include "core/ProgramError.h"
#include "core/TextCipher.h"
#include "dialogs/frmProperties.h"
#include "engine/FtpEngine.h"
#include "platform/BrowserModule.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "session/LiveSessions.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/support/PrivateNetwork.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <stdexcept>

using enum ConsoleAction;

namespace {

// Boxes that fail once at a chosen text, as an unexpected error would.
class FailingMessages : public ScriptedMessageService {
public:
    explicit FailingMessages(QString failAt) : m_failAt(std::move(failAt)) {}
    void message(const QString& text, const QString& title, MessageIcon icon) override
    {
        ScriptedMessageService::message(text, title, icon);
        if (text == m_failAt && !m_failed) {
            m_failed = true;
            throw std::runtime_error("Out of memory");
        }
    }

private:
    QString m_failAt;
    bool m_failed = false;
};

QStringList configLines(const ConsoleFixture& f)
{
    QStringList lines;
    for (const QByteArray& line : f.folder.read(QStringLiteral("/Config.txt")).split('\n'))
        lines.append(QString::fromLatin1(line).remove(QLatin1Char('\r')));
    lines.removeLast(); // after the last CR LF
    return lines;
}

} // namespace

class TestConsoleStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRunWritesTheDefaults()
    {
        if (const QString why = WhyPort21WouldBeExposed(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // Port 21 held here (or out of reach): the first run's start is refused either way.
        QTcpServer port21;
        port21.listen(QHostAddress::Any, 21);
        ConsoleFixture f;
        ModMain::FirstRun = true;
        frmMain& c = f.console();

        QCOMPARE(f.serverLogMessages(), QStringList({QStringLiteral("Creating ") + f.folder.file("/config.txt"),
                                                     QStringLiteral("Writing new configuration file.")}));
        const QStringList lines = configLines(f);
        QCOMPARE(lines.size(), 59);
        QStringList settings;
        for (int i = 0; i < 9; ++i)
            settings.append(ModMain::DeCipher(lines.at(i)));
        QCOMPARE(settings.at(0), Controls(c).FtpEngine1->LocalAddress());
        QCOMPARE(settings.mid(1, 4), QStringList({"21", "5", "True", f.folder.file("/root")}));
        QCOMPARE(settings.mid(6), QStringList({"Send comments to support@quayport.example", "True", "True"}));
        const QString greeting = settings.at(5);
        QCOMPARE(greeting, ModMain::DefaultGreeting());
        QCOMPARE(greeting.count(QStringLiteral("\r\n")), 22);
        QVERIFY(greeting.startsWith(QStringLiteral("\r\n\r\nWelcome to Corvalen FTP Server   \r\n\r\n")));
        QVERIFY(greeting.contains(QStringLiteral("\r\n* Explorer-style clients.  We recommend \r\n")));
        QVERIFY(greeting.contains(QStringLiteral("\r\n  kilobytes' to 99999 in View, Options, Transfers.  \r\n")));
        QVERIFY(greeting.endsWith(QStringLiteral("\r\n  specify host type as IBM PC/TCPIP.\r\n")));
        QCOMPARE(lines.at(9), QStringLiteral(QUAYPORT_VERSION_TEXT));

        QCOMPARE(Controls(c).FtpEngine1->ListenPort(), 21);
        QCOMPARE(Controls(c).FtpEngine1->IdleSeconds(), 300);
        QCOMPARE(Controls(c).FtpEngine1->DefaultRoot(), f.folder.file("/root"));
        QCOMPARE(f.consoleMessages(),
                 QStringList({"Quayport configuration loaded.", "Quayport unable to start server engine."}));
        QCOMPARE(f.doubles.messages->texts(), QStringList({"Unable to start server."}));
        QVERIFY(c.Action(StartButton)->isEnabled());
        QVERIFY(!c.Action(StopButton)->isEnabled());
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
    }

    void secondRunConfiguresTheEngineFromTheFile()
    {
        ConsoleFixture f;
        f.folder.write(QStringLiteral("/elsewhere/keep"), "x");
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")).Idle(QStringLiteral("2.5"))
                          .Root(f.folder.file("/elsewhere")).Stopped());
        const QByteArray before = f.folder.read(QStringLiteral("/Config.txt"));
        frmMain& c = f.console();

        QCOMPARE(Controls(c).FtpEngine1->ListenPort(), 2121);
        QCOMPARE(Controls(c).FtpEngine1->IdleSeconds(), 150);
        QCOMPARE(Controls(c).FtpEngine1->DefaultRoot(), f.folder.file("/elsewhere"));
        QVERIFY(Controls(c).FtpEngine1->OptionFlag());
        QCOMPARE(Controls(c).FtpEngine1->OptionNumber(), 0);
        QCOMPARE(Controls(c).FtpEngine1->ReplyText(9), QStringLiteral("211 Corvalen FTP server."));
        QCOMPARE(f.folder.read(QStringLiteral("/Config.txt")), before);
        QVERIFY(f.serverLogMessages().isEmpty());
        QVERIFY(Controls(c).FtpEngine1->NotifySink() != nullptr);

        // Not started: the stop button stays off and the load line is the last.
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QVERIFY(!c.Action(StopButton)->isEnabled());
        QVERIFY(c.Action(StartButton)->isEnabled());
        QCOMPARE(f.consoleMessages(), QStringList({"Quayport configuration loaded."}));
        QVERIFY(Controls(c).TrayIcon1->IsShown());
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void startAtStartUp()
    {
        ConsoleFixture f;
        f.writeConfig();
        frmMain& c = f.console();
        QVERIFY(Controls(c).FtpEngine1->Listening());
        QCOMPARE(f.consoleMessages(),
                 QStringList({"Quayport configuration loaded.", "Quayport Started and waiting for connections."}));
        QVERIFY(c.Action(StopButton)->isEnabled());
        QVERIFY(!c.Action(StartButton)->isEnabled());
        QVERIFY(f.doubles.messages->messages.empty());
    }

    void unusableIdleTimeOutIsReported_data()
    {
        QTest::addColumn<QString>("idle");
        QTest::addColumn<QString>("report");
        QTest::newRow("no number") << "abc" << "Type mismatch";
        QTest::newRow("too many seconds") << "600" << "Overflow";
    }

    void unusableIdleTimeOutIsReported()
    {
        QFETCH(QString, idle);
        QFETCH(QString, report);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")).Idle(idle).Stopped());
        FtpEngine fresh;
        frmMain& c = f.console();
        QCOMPARE(f.doubles.errors->reports, QStringList({report + "\nin Quayport.frmMain.Form_Load at line 6"}));
        QCOMPARE(Controls(c).FtpEngine1->IdleSeconds(), fresh.IdleSeconds());
        // The steps after it ran.
        QCOMPARE(Controls(c).FtpEngine1->ListenPort(), 2121);
        QCOMPARE(Controls(c).FtpEngine1->ReplyText(9), QStringLiteral("211 Corvalen FTP server."));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
    }

    void unloadableSettingsShowTheDialogThenEnd_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("cancelled") << "cmdCancel";
        QTest::newRow("saved") << "cmdOk";
    }

    void unloadableSettingsShowTheDialogThenEnd()
    {
        QFETCH(QString, button);
        ConsoleFixture f;
        f.folder.write(QStringLiteral("/Config.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
        std::size_t boxesBeforeDialog = 0;
        f.onModalDialog(QStringLiteral("frmProperties"), [&](QDialog& dialog) {
            QVERIFY(qobject_cast<frmProperties*>(&dialog));
            boxesBeforeDialog = f.doubles.messages->messages.size();
            dialog.findChild<QLineEdit*>(QStringLiteral("txtPort"))->setText(QStringLiteral("2121"));
            dialog.findChild<QPushButton*>(button)->click();
        });
        frmMain& c = f.console();

        QCOMPARE(f.doubles.messages->texts(),
                 QStringList({"Unable to load configuration. You will now be taken to the configuration screen.",
                              "The server will now close.  Please restart the application."}));
        QCOMPARE(boxesBeforeDialog, std::size_t(1));
        QCOMPARE(f.ends(), QList<int>({1}));
        QCOMPARE(Controls(c).tvwDb->KeysInOrder(), QStringList({"root"}));
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        const bool saved = button == QLatin1String("cmdOk");
        QCOMPARE(f.consoleMessages(), saved ? QStringList({"Properties updated."}) : QStringList());
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("#"));
        QCOMPARE(configLines(f).size(), saved ? 59 : 5);
    }

    void anUnexpectedErrorClosesTheConsole()
    {
        QTcpServer busy;
        busy.listen(QHostAddress::LocalHost, 0);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QString::number(busy.serverPort())));
        auto failing = std::make_shared<FailingMessages>(QStringLiteral("Unable to start server."));
        const auto previous = InstallMessageService(failing);
        frmMain& c = f.console();
        InstallMessageService(previous);

        QCOMPARE(failing->messages.size(), std::size_t(2));
        QCOMPARE(failing->messages.back().text, QStringLiteral("Error #51, Out of memory"));
        QCOMPARE(failing->messages.back().title, QStringLiteral("Critical Error"));
        QCOMPARE(failing->messages.back().icon, MessageIcon::Critical);
        // The closing steps ran and the program ends with a failure status.
        QVERIFY(!Controls(c).TrayIcon1->IsShown());
        QVERIFY(!c.isVisible());
        QCOMPARE(f.ends(), QList<int>({1}));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("#"));
    }

    // One call puts the console program back as at its start, every layer of it.
    void oneResetPutsBackTheWholeProgram()
    {
        static bool entryShown = false;
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        const QPointer<frmMain> window = &f.console();
        BrowserModule::ReplaceEntry([]() -> QWidget* {
            entryShown = true;
            return nullptr;
        });
        ConsoleState::AdminLogoffSession = 7;
        ConsoleState::UserTrendFiles = {QStringLiteral("@")};
        ModMain::ServerConfig.Port = QStringLiteral("21");
        QVERIFY(ConsoleLog());

        ResetConsoleProcess();
        QVERIFY(!window);
        QCOMPARE(ConsoleWindowIfOpen(), nullptr);
        QCOMPARE(ConsoleState::SelectedKey, QString());
        QCOMPARE(ConsoleState::AdminLogoffSession, quint64(0));
        QVERIFY(ConsoleState::UserTrendFiles.isEmpty());
        QCOMPARE(InstallLiveSessions(nullptr), nullptr);
        QCOMPARE(ModMain::ServerConfig.Port, QString());
        QCOMPARE(ConsoleLog(), nullptr);
        QCOMPARE(InstallErrorReporter(nullptr), nullptr);
        // The browser is the module's again; this test program has none beside it.
        QVERIFY_THROWS_EXCEPTION(ProgramError, BrowserModule::Show());
        QVERIFY(!entryShown);
    }
};

QTEST_MAIN(TestConsoleStartup)
#include "tst_consolestartup.moc"
