// The item commands of the console's context menus and the list's
// double-click: viewing and deleting logs, handing an account or group to its
// dialog, and logging a connected user off, with live sessions of the engine.
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/Preparation.h"
#include "core/TextFile.h"
#include "engine/FtpEngine.h"
#include "platform/ListViewControl.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/console/pane/LoopbackClient.h"
#include "tests/support/Shots.h"
#include "tests/support/Unprivileged.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeView>
#include <sys/wait.h>
#include <unistd.h>

using enum ConsoleAction;

namespace {

const QString AdminText = QStringLiteral("221 The Administrator has terminated the connection.");
const QString LostFocus = QStringLiteral("Lost focus on item, Probable Refresh occurred. Please try action again.");
const QString Img = QStringLiteral("<img src=\"/dev/zero\">");

// Scripted boxes whose Yes/No question can run something first, as the
// event loop of a real box would.
class QuestionHook : public ScriptedMessageService {
public:
    bool confirm(const QString& text, const QString& title) override
    {
        if (during) {
            auto run = std::move(during);
            run();
        }
        return ScriptedMessageService::confirm(text, title);
    }
    std::function<void()> during;
};

// The key of the list row with that text; empty when none has it.
QString rowOf(const ListViewControl& list, const QString& text)
{
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i).text == text)
            return list.Item(i).key;
    return {};
}

// The connection node of a user under the loopback host.
QString nodeOf(const TreeViewControl& tree, const QString& user)
{
    for (const QString& key : tree.ChildKeys(QStringLiteral("#@127.0.0.1")))
        if (tree.NodeText(key) == user)
            return key;
    return {};
}

void choose(frmMain& console, const QString& key, const QString& rowText)
{
    console.tvwDb_NodeClick(key);
    QVERIFY2(Controls(console).lvwDb->SelectItem(rowOf(*Controls(console).lvwDb, rowText)), qPrintable(rowText));
    console.lvwDb_Click();
}

void doubleClickSelected(ListViewControl& list)
{
    auto* view = list.findChild<QTreeView*>();
    const QModelIndex current = view->selectionModel()->selectedRows().value(0);
    const QPoint at = current.isValid() ? view->visualRect(current).center() : QPoint(5, view->viewport()->height() - 5);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class ItemCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logListsViewAndDeleteTheFileAsListed()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::PrepareApplicationFolder();
        for (const char* name : {"/logs/U_bob.txt", "/logs/G_staff.txt", "/logs/S_ Log.txt",
                                 "/logs/S_Log_20011231_235959.txt"})
            fixture.folder.write(QString::fromLatin1(name), "x");
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        QStringList viewed;
        console.ViewLogHook = [&](const QString& path) { viewed.append(path); };
        const QString logs = fixture.folder.file(QStringLiteral("/logs/"));
        auto& boxes = *fixture.doubles.messages;

        // Double-click and "View Log" open the row's file, its text used exactly.
        struct View {
            const char* key;
            const char* row;
            const char* file;
        };
        for (const View& v : {View{"serverlogs", "Log.txt", "S_Log.txt"}, View{"serverlogs", " Log.txt", "S_ Log.txt"},
                              View{"serverlogs", "Log_20011231_235959.txt", "S_Log_20011231_235959.txt"},
                              View{"userlogs", "bob.txt", "U_bob.txt"}, View{"grouplogs", "staff.txt", "G_staff.txt"}}) {
            const QString expected = logs + QLatin1String(v.file);
            choose(console, QString::fromLatin1(v.key), QString::fromLatin1(v.row));
            doubleClickSelected(*Controls(console).lvwDb);
            QCOMPARE(ConsoleState::LogFilePath, expected);
            ConsoleState::LogFilePath.clear();
            console.Action(ViewLog)->trigger();
            QCOMPARE(ConsoleState::LogFilePath, expected);
            QCOMPARE(viewed, (QStringList{expected, expected}));
            viewed.clear();
        }
        // Other lists, and a double-click on no row, open nothing.
        choose(console, QStringLiteral("users"), QStringLiteral("anonymous"));
        doubleClickSelected(*Controls(console).lvwDb);
        console.tvwDb_NodeClick(QStringLiteral("userlogs"));
        doubleClickSelected(*Controls(console).lvwDb);
        QVERIFY(viewed.isEmpty());
        // A name that cannot be one file is a missing log.
        ConsoleState::SelectedItem = QStringLiteral("../../Config.txt");
        console.Action(ViewLog)->trigger();
        QVERIFY(viewed.isEmpty());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("No Log file exits for this user.")});
        boxes.messages.clear();

        // Delete: No keeps the file; Yes removes it, logs it and refreshes.
        choose(console, QStringLiteral("serverlogs"), QStringLiteral(" Log.txt"));
        console.Action(DeleteLog)->trigger();
        QVERIFY(fixture.folder.exists(QStringLiteral("/logs/S_ Log.txt")));
        boxes.confirmAnswers = {true};
        console.Action(DeleteLog)->trigger();
        const QString question = QStringLiteral("Are you sure you wish to delete log  Log.txt?");
        QCOMPARE(boxes.texts(), (QStringList{question, question}));
        QCOMPARE(boxes.messages.back().title, QStringLiteral("Delete Log"));
        QVERIFY(!fixture.folder.exists(QStringLiteral("/logs/S_ Log.txt")));
        QVERIFY(fixture.folder.exists(QStringLiteral("/logs/S_Log.txt")));
        const QString deleted = logs + QStringLiteral("S_ Log.txt deleted.");
        QCOMPARE(fixture.serverLogMessages().last(), deleted);
        QCOMPARE(fixture.consoleMessages().last(), deleted);
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QVERIFY(rowOf(*Controls(console).lvwDb, QStringLiteral(" Log.txt")).isEmpty());

        // Gone meanwhile, or never a file: reported, nothing logged.
        boxes.messages.clear();
        for (const QString& item : {QStringLiteral(" Log.txt"), QStringLiteral("../x.txt")}) {
            ConsoleState::SelectedItem = item;
            boxes.confirmAnswers = {true};
            console.Action(DeleteLog)->trigger();
            QCOMPARE(boxes.texts().last(), QStringLiteral("Unable to delete log. The log may have been switched."));
        }
        QCOMPARE(fixture.serverLogMessages().last(), deleted);

        // A removal that fails shows the error's description and logs nothing.
        const int rows = fixture.consoleMessages().size();
        choose(console, QStringLiteral("userlogs"), QStringLiteral("bob.txt"));
        MakeReadOnlyForOthers(fixture.folder.file(QStringLiteral("/logs")));
        // Names are matched in their folders, so the folder must be listable.
        const QString app = fixture.folder.file(QString());
        QFile::setPermissions(app, QFile::permissions(app) | QFile::ReadOther | QFile::ExeOther);
        const pid_t child = ::fork();
        if (child == 0) {
            BecomeUnprivileged();
            boxes.messages.clear();
            boxes.confirmAnswers = {true};
            console.Action(DeleteLog)->trigger();
            const bool ok = boxes.texts().value(1)
                    == QStringLiteral("Unable to delete file ") + logs
                        + QStringLiteral("U_bob.txt. Err code = Permission denied")
                && fixture.consoleMessages().size() == rows && ConsoleState::SelectedItem == QLatin1String("bob.txt");
            if (!ok)
                qWarning() << boxes.texts() << fixture.consoleMessages().size() << rows << ConsoleState::SelectedItem;
            ::_exit(ok ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(fixture.folder.exists(QStringLiteral("/logs/U_bob.txt")));
        QFile::setPermissions(fixture.folder.file(QStringLiteral("/logs")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        console.Action(RefreshLogs)->trigger();
        QCOMPARE(Controls(console).lvwDb->ItemCount(), 1);
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void editCommandsHandOverTheChosenItem()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::PrepareApplicationFolder();
        frmMain& console = fixture.console();
        auto& boxes = *fixture.doubles.messages;
        for (const char* array : {"mnuEdit", "mnuGroupEdit", "mnuEditUser", "mnuLog"})
            for (QAction* item : ControlArray<QAction>(console, array))
                QVERIFY(item->isEnabled());

        choose(console, QStringLiteral("users"), QStringLiteral("anonymous"));
        console.Action(EditUser)->trigger();
        QCOMPARE(ConsoleState::EditUserName, QStringLiteral("anonymous"));
        QCOMPARE(Controls(console).lvwDb->ItemCount(), 1); // rebuilt at once
        choose(console, QStringLiteral("groups"), QStringLiteral("public"));
        console.Action(EditGroup)->trigger();
        QCOMPARE(ConsoleState::EditGroupName, QStringLiteral("public"));
        QVERIFY(!Controls(console).fmeList->isHidden());

        // Without a chosen item even Refresh only says so.
        console.tvwDb_NodeClick(QStringLiteral("users"));
        for (ConsoleAction refresh : {RefreshUsers, RefreshGroups, RefreshConnections}) {
            Controls(console).lvwDb->ClearItems();
            console.Action(refresh)->trigger();
            QCOMPARE(Controls(console).lvwDb->ItemCount(), 0);
        }
        QCOMPARE(boxes.texts(), (QStringList{LostFocus, LostFocus, LostFocus}));
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void connectionCommandsWithLiveSessions()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        fixture.folder.write(QStringLiteral("/logs/U_bob.txt"), "x");
        auto boxes = std::make_shared<QuestionHook>();
        const auto previous = InstallMessageService(boxes);
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        QStringList viewed;
        console.ViewLogHook = [&](const QString& path) { viewed.append(path); };
        const quint16 port = Controls(console).FtpEngine1->BoundPort();
        TreeViewControl& tree = *Controls(console).tvwDb;
        const QString logs = fixture.folder.file(QStringLiteral("/logs/"));

        LoopbackClient bob(port), img(port), anon(port), guest(port);
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QVERIFY(img.waitFor(QStringLiteral("220")));
        img.send(QStringLiteral("USER ") + Img);
        QVERIFY(img.waitFor(QStringLiteral("331")));
        QVERIFY(anon.login(QStringLiteral("anonymous"), QStringLiteral("a@b.c")).startsWith(QLatin1String("230 ")));
        QVERIFY(guest.login(QStringLiteral("anonymous"), QStringLiteral("g@b.c")).startsWith(QLatin1String("230 ")));
        console.UpdateUserTree(); // the name alone raised no login
        QCOMPARE(Controls(console).FtpEngine1->Sessions().Count(), 4);

        // bob from the connection list: view, delete, edit.
        choose(console, QStringLiteral("Active"), QStringLiteral("bob"));
        ConsoleState::LogFilePath = QStringLiteral("before");
        console.Action(ViewUserLog)->trigger();
        QCOMPARE(viewed, QStringList{logs + QStringLiteral("U_bob.txt")});
        QCOMPARE(ConsoleState::LogFilePath, QStringLiteral("before"));
        QVERIFY(Controls(console).fmeList->isHidden());
        choose(console, QStringLiteral("Active"), QStringLiteral("bob"));
        console.Action(DeleteUserLog)->trigger(); // No
        QVERIFY(fixture.folder.exists(QStringLiteral("/logs/U_bob.txt")));
        QVERIFY(!Controls(console).fmeList->isHidden());
        boxes->confirmAnswers = {true};
        console.Action(DeleteUserLog)->trigger();
        QVERIFY(!fixture.folder.exists(QStringLiteral("/logs/U_bob.txt")));
        QCOMPARE(fixture.serverLogMessages().last(), logs + QStringLiteral("U_bob.txt deleted."));
        choose(console, QStringLiteral("Active"), QStringLiteral("bob"));
        boxes->confirmAnswers = {true};
        console.Action(DeleteUserLog)->trigger();
        QCOMPARE(boxes->texts().last(), QStringLiteral("Log not found. Log may have been renamed or switched."));
        console.Action(EditConnectionUser)->trigger();
        QCOMPARE(ConsoleState::EditUserName, QStringLiteral("bob"));
        QCOMPARE(boxes->texts().mid(0, 2), (QStringList{QStringLiteral("Are you sure you wish to delete log bob?"),
                                                         QStringLiteral("Are you sure you wish to delete log bob?")}));

        // A name that is markup is only text, and names no file.
        QVERIFY(!rowOf(*Controls(console).lvwDb, Img).isEmpty());
        QCOMPARE(tree.NodeText(nodeOf(tree, Img)), Img);
        tree.EnsureVisible(nodeOf(tree, Img));
        QVERIFY(!SaveShot(console, QStringLiteral("connections-markup-name")).isEmpty());
        boxes->messages.clear();
        viewed.clear();
        choose(console, QStringLiteral("Active"), Img);
        console.Action(ViewUserLog)->trigger();
        boxes->confirmAnswers = {true};
        choose(console, QStringLiteral("Active"), Img);
        console.Action(DeleteUserLog)->trigger();
        console.Action(EditConnectionUser)->trigger();
        QVERIFY(viewed.isEmpty());
        QCOMPARE(ConsoleState::EditUserName, QString());
        QCOMPARE(boxes->texts(), (QStringList{QStringLiteral("No Log file exits for this user."),
                                              QStringLiteral("Are you sure you wish to delete log ") + Img + "?",
                                              QStringLiteral("Log not found. Log may have been renamed or switched.")}));

        // Log-off from the list: the client hears the administrator, the log says so.
        boxes->messages.clear();
        choose(console, QStringLiteral("Active"), Img);
        console.Action(LogoffUser)->trigger(); // No
        QVERIFY(img.connected());
        boxes->confirmAnswers = {true};
        console.Action(LogoffUser)->trigger();
        QCOMPARE(boxes->messages.back().title, QStringLiteral(" Logoff User?"));
        QCOMPARE(boxes->texts(), (QStringList{QStringLiteral(" Logoff User ") + Img + "?",
                                              QStringLiteral(" Logoff User ") + Img + "?"}));
        QVERIFY(img.waitFor(QStringLiteral("221")));
        QVERIFY(img.lines.contains(AdminText));
        QTRY_VERIFY(!img.connected());
        QCOMPARE(fixture.serverLogMessages().last(), AdminText);
        QCOMPARE(ConsoleState::AdminLogoffSession, 0u);

        // Log-off from the node of bob's connection, whatever its index now is.
        const QString bobNode = nodeOf(tree, QStringLiteral("bob"));
        console.tvwDb_NodeClick(bobNode);
        QVERIFY(!Controls(console).fmeUser->isHidden());
        boxes->confirmAnswers = {true};
        console.Action(LogoffUser)->trigger();
        QVERIFY(bob.waitFor(QStringLiteral("221")));
        QCOMPARE(bob.lines.last(), AdminText);
        QCOMPARE(fixture.serverLogMessages().last(), AdminText);
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("Active"));
        QCOMPARE(ConsoleState::SelectedItem, QString());

        // The session ends while the question is open: Yes then does nothing,
        // and the next ordinary logout keeps the user's own text.
        console.tvwDb_NodeClick(nodeOf(tree, QStringLiteral("anonymous")));
        const int messagesBefore = fixture.serverLogMessages().size();
        boxes->during = [&] {
            anon.send(QStringLiteral("QUIT"));
            QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 1);
        };
        boxes->confirmAnswers = {true};
        console.Action(LogoffUser)->trigger();
        QCOMPARE(ConsoleState::AdminLogoffSession, 0u);
        QVERIFY(guest.connected());
        guest.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(Controls(console).FtpEngine1->Sessions().Count(), 0);
        const QStringList after = fixture.serverLogMessages().mid(messagesBefore);
        QCOMPARE(after.count(QStringLiteral("221 User has disconnected")), 2);
        QVERIFY(!after.contains(AdminText));
        QTRY_COMPARE(ConsoleState::SelectedKey, QStringLiteral("Active")); // on the console's next refresh tick
        QVERIFY2(fixture.doubles.errors->reports.isEmpty(), qPrintable(fixture.doubles.errors->reports.join(QLatin1Char('|'))));
        InstallMessageService(previous);
    }
};

QTEST_MAIN(ItemCommandsTest)
#include "tst_itemcommands.moc"
