// Starting and stopping the server from the main menu, the tray menu and the
// toolbar: the eight controls that follow the server's state, the console
// lines, the boxes, and the failure paths; the properties and refresh buttons.
#include "console/frmMain.h"
#include "dialogs/frmProperties.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"

#include <QAction>
#include <QPushButton>
#include <QTcpServer>
#include <QApplication>
#include <QTest>

using enum ConsoleAction;

namespace {

// mnuStart, mnuStop, mnuTrayStart, mnuTrayStop, mnuProperties, Toolbar1 buttons 1, 2 and 6.
QString states(const frmMain& c)
{
    QString out;
    for (ConsoleAction name : {mnuStart, mnuStop, mnuTrayStart, mnuTrayStop, mnuProperties, StartButton, StopButton,
                               PropertiesButton})
        out += c.Action(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

// The start and stop commands of the main menu ("menu"), the tray menu ("tray") and the toolbar.
struct StartStop {
    ConsoleAction start;
    ConsoleAction stop;
};

StartStop commandsOf(const QString& place)
{
    if (place == QLatin1String("menu"))
        return {mnuStart, mnuStop};
    if (place == QLatin1String("tray"))
        return {mnuTrayStart, mnuTrayStop};
    return {StartButton, StopButton};
}

const QString Running = QStringLiteral("01010010");
const QString Stopped = QStringLiteral("10101101");

// A port that the engine cannot take.
struct BusyPort {
    BusyPort() { server.listen(QHostAddress::LocalHost, 0); }
    QString port() const { return QString::number(server.serverPort()); }
    QTcpServer server;
};

} // namespace

class TestServerCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startAndStopFromEachPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("main menu") << "menu";
        QTest::newRow("tray menu") << "tray";
        QTest::newRow("toolbar") << "toolbar";
    }

    void startAndStopFromEachPlace()
    {
        QFETCH(QString, place);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        QCOMPARE(states(c), Stopped);
        QVERIFY(!Controls(c).FtpEngine1->Listening());

        c.Action(commandsOf(place).start)->trigger();
        QCOMPARE(states(c), Running);
        QVERIFY(Controls(c).FtpEngine1->Listening());
        QCOMPARE(f.consoleMessages().last(), QStringLiteral("Quayport Started and waiting for connections."));
        QCOMPARE(Controls(c).FtpEngine1->ReplyText(9), QStringLiteral("211 Corvalen FTP server."));

        ConsoleState::SelectedKey = QStringLiteral("@0");
        c.Action(commandsOf(place).stop)->trigger();
        QCOMPARE(states(c), Stopped);
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QCOMPARE(f.consoleMessages().last(), QStringLiteral("Quayport Stopped."));
        // The tray and the toolbar leave a connection that the stop removed; the menu does not.
        QCOMPARE(ConsoleState::SelectedKey, place == QLatin1String("menu") ? QStringLiteral("@0") : QStringLiteral("Active"));
        QVERIFY(f.doubles.messages->messages.empty());
    }

    void refusedStartFromEachPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("box");
        QTest::addColumn<QString>("after");
        // Menu: the four menu items keep their state; tray and toolbar set theirs.
        QTest::newRow("main menu") << "menu" << false << "10101101";
        QTest::newRow("tray menu") << "tray" << true << "10101101";
        QTest::newRow("toolbar") << "toolbar" << true << "10101101";
    }

    void refusedStartFromEachPlace()
    {
        QFETCH(QString, place);
        QFETCH(bool, box);
        QFETCH(QString, after);
        BusyPort busy;
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(busy.port()).Stopped());
        frmMain& c = f.console();
        // A key without a pane of its own: a refresh leaves the list without columns.
        ConsoleState::SelectedKey = QStringLiteral("nowhere");
        Controls(c).lvwDb->ClearColumns();
        Controls(c).lvwDb->AddColumn(QStringLiteral("Marker"), 600);

        c.Action(commandsOf(place).start)->trigger();

        QCOMPARE(states(c), after);
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QCOMPARE(f.consoleMessages().last(), QStringLiteral("Quayport unable to start server engine."));
        QCOMPARE(f.doubles.messages->texts(), box ? QStringList({"Unable to start server."}) : QStringList());
        if (box) {
            QCOMPARE(f.doubles.messages->messages.front().title, QString());
            QCOMPARE(f.doubles.messages->messages.front().icon, MessageIcon::None);
        }
        // Only the toolbar refreshes the pane.
        QCOMPARE(Controls(c).lvwDb->ColumnCount(), place == QLatin1String("toolbar") ? 0 : 1);
    }

    void refusedStartWhileTheMenuShowsRunning()
    {
        // A start refused after an earlier run leaves the menu items as they were.
        BusyPort busy;
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.Action(mnuStart)->trigger();
        QCOMPARE(states(c), Running);
        f.writeConfig(ConsoleFixture::Settings().Port(busy.port()).Stopped());
        c.StartServer();
        QCOMPARE(states(c), QStringLiteral("01011101"));
    }

    // What the server's control tells the window, from a running and from a
    // stopped server: the menus follow only a start or stop that succeeded.
    void serverChangesSetTheCommands_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("after");
        const struct {
            const char* name;
            ServerChange change;
            const char* fromStopped;
            const char* fromRunning;
        } rows[] = {{"started", ServerChange::Started, "01010010", "01010010"},
                    {"start failed", ServerChange::StartFailed, "10101101", "01011101"},
                    {"stopped", ServerChange::Stopped, "10101101", "10101101"},
                    {"stop failed", ServerChange::StopFailed, "10100010", "01010010"}};
        for (const auto& row : rows) {
            QTest::addRow("%s from stopped", row.name) << false << int(row.change) << row.fromStopped;
            QTest::addRow("%s from running", row.name) << true << int(row.change) << row.fromRunning;
        }
    }

    void serverChangesSetTheCommands()
    {
        QFETCH(bool, running);
        QFETCH(int, change);
        QFETCH(QString, after);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.ServerChanged(running ? ServerChange::Started : ServerChange::Stopped);
        QCOMPARE(states(c), running ? Running : Stopped);
        c.ServerChanged(ServerChange(change));
        QCOMPARE(states(c), after);
    }

    void trayStartWithUnloadableSettings()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        const int lines = f.consoleMessages().size();
        f.folder.write(QStringLiteral("/Config.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
        c.Action(mnuStop)->setEnabled(true); // a state the failed start must not touch

        c.Action(mnuTrayStart)->trigger();
        QCOMPARE(f.doubles.messages->texts(), QStringList({"Unable to start server."}));
        QCOMPARE(f.consoleMessages().size(), lines);
        QCOMPARE(states(c), QStringLiteral("11101101"));
    }

    void trayStopWhileStopped()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.mnuTrayStop_Click();
        QCOMPARE(states(c), Stopped);
        QCOMPARE(f.consoleMessages().last(), QStringLiteral("Quayport Stopped."));
    }

    void propertiesButtonWaitsThenCleansAndRefreshes()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        f.folder.write(QStringLiteral("/users/U_"), "nameless\r\n");
        ConsoleState::SelectedKey = QStringLiteral("root");
        Controls(c).lvwDb->ClearItems();

        bool shown = false;
        f.onModalDialog(QStringLiteral("frmProperties"), [&](QDialog& dialog) {
            shown = qobject_cast<frmProperties*>(&dialog) != nullptr;
            // The files are untouched while the dialog is up.
            QVERIFY(f.folder.exists(QStringLiteral("/users/U_")));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        c.Action(PropertiesButton)->trigger();
        QVERIFY(shown);
        QVERIFY(!f.folder.exists(QStringLiteral("/users/U_")));
        QVERIFY(f.serverLogMessages().contains(QStringLiteral("U_ deleted.")));
        QCOMPARE(Controls(c).lvwDb->ItemCount(), 1);
    }

    void propertiesMenuItemOnlyShowsTheDialog()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        f.folder.write(QStringLiteral("/users/U_"), "nameless\r\n");
        bool shown = false;
        f.onModalDialog(QStringLiteral("frmProperties"), [&](QDialog& dialog) {
            shown = true;
            dialog.reject();
        });
        c.Action(mnuProperties)->trigger();
        QVERIFY(shown);
        QVERIFY(f.folder.exists(QStringLiteral("/users/U_")));
    }

    void refreshButtonCleansAndRefreshes()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        f.folder.write(QStringLiteral("/groups/G_"), "nameless\r\n");
        Controls(c).lvwDb->ClearItems();
        c.Action(RefreshButton)->trigger();
        QVERIFY(!f.folder.exists(QStringLiteral("/groups/G_")));
        QCOMPARE(Controls(c).lvwDb->ItemCount(), 1);
        // Separators do nothing.
        for (int index : {3, 5, 7, 11, 13})
            c.Toolbar1_ButtonClick(index);
        QVERIFY(f.doubles.messages->messages.empty());
    }

    void dialogButtonsAndItemsOpenOneWindowEachWithoutWaiting()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        ConsoleState::EditUserName = QStringLiteral("kept");
        const struct {
            ConsoleAction button;
            QAction* item;
            const char* form;
        } launchers[] = {{AddUserButton, c.Action(mnuAddUsers), "frmAddUser"},
                         {EditUsersButton, c.Action(mnuEditUsers), "frmEditUsers"},
                         {EditGroupsButton, c.Action(mnuEditGroups), "frmEditGroups"},
                         {VirtualFoldersButton, c.Action(mnuVirtualFolders), "frmVirtualFolders"}};
        for (const auto& l : launchers) {
            QVERIFY(c.Action(l.button)->isEnabled() && l.item->isEnabled());
            c.Action(l.button)->trigger();
            l.item->trigger();
            QList<QWidget*> open;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String(l.form) && w->isVisible())
                    open.append(w);
            QCOMPARE(open.size(), 1);
            QVERIFY(!QApplication::activeModalWidget());
            open.first()->close();
        }
        QCOMPARE(ConsoleState::EditUserName, QStringLiteral("kept"));
    }

    void rootListCountsTheSessions()
    {
        ConsoleFixture f;
        f.writeConfig();
        frmMain& c = f.console();
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, Controls(c).FtpEngine1->BoundPort());
        QTRY_COMPARE(Controls(c).FtpEngine1->Sessions().Count(), 1);
        c.Toolbar1_ButtonClick(14);
        QCOMPARE(Controls(c).lvwDb->Item(0).subItems.value(1), QStringLiteral("1"));
        client.disconnectFromHost();
    }
};

QTEST_MAIN(TestServerCommands)
#include "tst_servercommands.moc"
