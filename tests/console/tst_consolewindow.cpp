// The console window after its start-up: the tree, the root list, the menus,
// toolbars and status bar, the context menu rule, the list and tree events,
// the information log, the size rules, the tray menu and closing.
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "engine/FtpEngine.h"
#include "platform/ColumnWidths.h"
#include "platform/HelpViewer.h"
#include "platform/SingleInstance.h"
#include "platform/ListViewControl.h"
#include "platform/RowList.h"
#include "platform/TrayIcon.h"
#include "platform/TreeViewControl.h"
#include "platform/Twips.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSpontaneKeyEvent>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

using enum ConsoleAction;
using enum ConsolePlace;

namespace {

// "name|caption|index|state" for each item of a menu, separators as "-";
// the state is "on", "off" (disabled), "checked" or "hidden".
QStringList describe(const QMenu& menu)
{
    QStringList out;
    for (const QAction* a : menu.actions()) {
        QString state = !a->isVisible() ? QStringLiteral("hidden")
            : !a->isEnabled()           ? QStringLiteral("off")
            : a->isChecked()            ? QStringLiteral("checked")
                                        : QStringLiteral("on");
        const QVariant index = a->property("index");
        out.append(QStringLiteral("%1|%2|%3|%4")
                       .arg(a->objectName(), a->isSeparator() ? QStringLiteral("-") : a->text(),
                            index.isValid() ? index.toString() : QString(), state));
    }
    return out;
}

QMenu* shownMenu(frmMain& console)
{
    for (QMenu* menu : console.findChildren<QMenu*>())
        if (menu->isVisible())
            return menu;
    return nullptr;
}

void hideMenus(frmMain& console)
{
    for (QMenu* menu : console.findChildren<QMenu*>())
        menu->hide();
}

QStringList frameVisibility(const frmMain& c)
{
    QStringList out;
    const ConsoleControls k(c);
    const QList<const QWidget*> frames = {k.fmeList, k.fmeUser, k.fmeFileStats, k.fmeMegabyteStats,
                                          k.FmeUserDayFile, k.fmeUserDayMegabytes, k.FmeGroupDayFile,
                                          k.FmeGroupDayMegabytes};
    for (const QWidget* frame : frames)
        if (!frame->isHidden())
            out.append(frame->objectName());
    return out;
}

} // namespace

class TestConsoleWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void treeRootListAndFrames()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Port(QStringLiteral("2121")).Stopped());
        frmMain& c = f.console();

        QCOMPARE(Controls(c).tvwDb->KeysInOrder(), QStringList({"root", "uandg", "users", "groups", " Logs",
                                                                "serverlogs", "userlogs", "grouplogs", "Active"}));
        const QStringList texts = {"FTP Server", "Users and Groups", "Users", "Groups", " Logs",
                                   "server", "Users", "Groups", "Connections"};
        const QList<int> images = {9, 18, 4, 5, 8, 13, 4, 5, 10};
        const QStringList parents = {"", "root", "uandg", "uandg", "root", " Logs", " Logs", " Logs", "root"};
        for (int i = 0; i < 9; ++i) {
            const QString key = Controls(c).tvwDb->KeysInOrder().at(i);
            QCOMPARE(Controls(c).tvwDb->NodeText(key), texts.at(i));
            QCOMPARE(Controls(c).tvwDb->NodeImage(key), images.at(i));
            QCOMPARE(Controls(c).tvwDb->ParentKey(key), parents.at(i));
        }
        QCOMPARE(Controls(c).tvwDb->NodeTag(QStringLiteral("root")), QStringLiteral("server"));
        QVERIFY(Controls(c).tvwDb->Expanded(QStringLiteral("root")));
        QVERIFY(!Controls(c).tvwDb->Expanded(QStringLiteral("uandg")));
        QCOMPARE(Controls(c).tvwDb->toolTip(), QStringLiteral("Information Tree. Click on + to expand"));

        QCOMPARE(Controls(c).lvwDb->ColumnCount(), 4);
        const QStringList titles = {"IP Address", "Port", "Connections", "Root Folder"};
        const QList<int> widths = {1700, 600, 1200, 5000};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Controls(c).lvwDb->ColumnTitle(i), titles.at(i));
            const ListViewControl& list = *Controls(c).lvwDb;
            QCOMPARE(list.ColumnWidth(i), FittedColumnWidth(TwipsToPixels(widths.at(i)), list.font()));
        }
        QCOMPARE(Controls(c).lvwDb->ItemCount(), 1);
        const ListViewItem all = Controls(c).lvwDb->Item(0);
        QCOMPARE(all.key, QStringLiteral("list"));
        QCOMPARE(all.text, QStringLiteral("All"));
        QCOMPARE(all.icon, 6);
        QCOMPARE(all.smallIcon, 6);
        QCOMPARE(all.subItems, QStringList({"2121", "0", f.folder.file("/root")}));
        QCOMPARE(Controls(c).lvwDb->toolTip(), QStringLiteral("Information Page"));

        QCOMPARE(frameVisibility(c), QStringList({"fmeList"}));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
        QVERIFY(!ConsoleState::DailyChart);

        QCOMPARE(Controls(c).lstServerLog->Caption(), QStringLiteral("Server Log"));
        QCOMPARE(Controls(c).lstServerLog->ColumnCount(), 5);
        QCOMPARE(Controls(c).lstServerLog->ColumnTitle(2), QStringLiteral("Client Address"));
        QCOMPARE(Controls(c).lstServerLog->ColumnWidth(4), FittedColumnWidth(1000, Controls(c).lstServerLog->font()));
        QCOMPARE(f.consoleMessages(), QStringList({"Quayport configuration loaded."}));

        // FramesOff alone leaves no panel of the pane visible.
        c.FramesOff();
        QVERIFY(frameVisibility(c).isEmpty());
        c.UpdateTree(QStringLiteral("#"));
        QCOMPARE(frameVisibility(c), QStringList({"fmeList"}));
        QCOMPARE(Controls(c).lvwDb->Item(0).key, QStringLiteral("list"));
    }

    void menusInOrderWithTheirStartStates()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        QCOMPARE(describe(*c.Menu(mnuConsole)), QStringList({"mnuExit|Exit||on"}));
        QCOMPARE(describe(*c.Menu(mnuHelp)),
                 QStringList({"mnuHelpDoc|&Help Topics||on", "mnuAbout|&About FTP Server||on"}));
        QCOMPARE(describe(*c.Menu(mnuView)), QStringList({"mnuIcon|&Large Icons||on", "mnuSmallIcon|&Small Icon||on",
                                                    "mnuList|&List||on", "mnuReport|&Details||checked"}));
        QCOMPARE(describe(*c.Menu(mnuLogOptions)),
                 QStringList({"mnuLog|View Log|0|on", "mnuLog|Delete Log|1|on", "mnuLog|Refresh|2|on"}));
        QCOMPARE(describe(*c.Menu(mnuGroupEditOptions)),
                 QStringList({"mnuGroupEdit|&Edit Group|0|on", "mnuGroupEdit|&Refresh|1|on",
                              "mnuStatsOption|Group &Stats||on"}));
        QCOMPARE(describe(*c.Menu(mnuStatsOption)),
                 QStringList({"mnuStats|Group File transfer &History by day|0|on",
                              "mnuStats|Group &Megabyte transfer History by day|1|on"}));
        QCOMPARE(describe(*c.Menu(mnuEditOptions)), QStringList({"mnuEdit|&Edit User|0|on", "mnuEdit|&Refresh|1|on",
                                                           "mnuStatsOpt1|User &Stats||on"}));
        const QStringList userStats = {"User File transfer &History by session",
                                       "User &Megabyte transfer History by session", "-",
                                       "User F&ile transfer History by day"};
        QStringList stats2, stats1;
        for (int i = 0; i < 4; ++i) {
            const char* state = i == 2 ? "off" : "on"; // the separator does nothing
            stats2.append(QStringLiteral("mnuStats2|%1|%2|%3").arg(userStats.at(i)).arg(i).arg(QLatin1String(state)));
            stats1.append(QStringLiteral("mnuStats1|%1|%2|%3").arg(userStats.at(i)).arg(i).arg(QLatin1String(state)));
        }
        stats2.append(QStringLiteral("mnuStats2|User M&egabyte transfer History by day|4|on"));
        stats1.append(QStringLiteral("mnuStats1|User M&egabtye transfer History by day|4|on"));
        QCOMPARE(describe(*c.Menu(mnuStatsOpt1)), stats2);
        QCOMPARE(describe(*c.Menu(mnuStatsOption1)), stats1);
        QCOMPARE(describe(*c.Menu(mnuEditUserOptions)),
                 QStringList({"mnuEditUser|Edit &User|0|on", "mnuEditUser|&View User Log|1|on",
                              "mnuEditUser|&Delete User Log|2|on", "mnuEditUser|&Refresh|3|on",
                              "mnuEditUser|-|4|on", "mnuEditUser|&Logoff User|5|on", "mnuEditUser|-|6|on",
                              "mnuStatsOption1|User &Stats||on"}));
        QCOMPARE(describe(*c.Menu(mnuRefreshOptions)), QStringList({"mnuRefresh|Refresh||on"}));
        QCOMPARE(describe(*c.Menu(mnuTray)),
                 QStringList({"mnuMinimize|&Minimize||on", "mnuRestore|&Restore||off", "|-||on",
                              "mnuTrayStart|&Start||on", "mnuTrayStop|S&top||off", "|-||hidden",
                              "mnuClose|&Close||hidden"}));
        QCOMPARE(describe(*c.Menu(MainMnu)),
                 QStringList({"mnuStart|&Start||on", "mnuStop|S&top||off", "|-||on", "mnuAddUsers|&Add Users||on",
                              "mnuEditUsers|&Edit Users||on", "mnuEditGroups|Edit &Groups||on", "|-||on",
                              "mnuProperties|&Properties||on", "|-||on", "mnuVirtualFolders|&Virtual Folders||on",
                              "|-||on", "mnuHomePage|&Home Page||on"}));
        // Every menu is a pop-up: the window has no menu bar.
        QVERIFY(c.findChildren<QMenu*>().size() >= 14);
        QCOMPARE(c.findChild<QMenu*>(QStringLiteral("MainMnu")), c.Menu(MainMnu));
        QCOMPARE(c.findChildren<QAction*>(QStringLiteral("mnuEditUser")).size(), 7);
    }

    // Each row of the console's list of commands is made where the list puts
    // it: in its menu or toolbar, in the list's order, under its name and
    // index, and a handler that acts by index finds it again by that index.
    void commandsStandWhereTheListPutsThem()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        const ConsoleControls k(c);
        const auto actionsOf = [&](ConsolePlace place) {
            return place == Toolbar1 ? k.Toolbar1->actions()
                : place == Toolbar2  ? k.Toolbar2->actions()
                : place == Toolbar3  ? k.Toolbar3->actions()
                                     : c.Menu(place)->actions();
        };
        QMap<ConsolePlace, int> next;
        for (const ConsoleActionRow& row : ConsoleActionList()) {
            QAction* a = actionsOf(row.place).value(next[row.place]++);
            QVERIFY(a);
            const char* name = row.opens ? MenuName(*row.opens) : row.objectName;
            QCOMPARE(a->objectName(), QLatin1String(name));
            QCOMPARE(a->isSeparator(), row.isSeparator());
            QCOMPARE(a->menu(), row.opens ? c.Menu(*row.opens) : nullptr);
            QCOMPARE(a->property("index"), row.index < 0 ? QVariant() : QVariant(row.index));
            if (row.index >= 0)
                QCOMPARE(ActionAt(row.place, row.index), row.name);
            if (row.name != None)
                QCOMPARE(c.Action(row.name), a);
        }
        for (auto place = next.cbegin(); place != next.cend(); ++place)
            QCOMPARE(actionsOf(place.key()).size(), place.value());
        QCOMPARE(next.size(), ConsoleMenuCount + 3);
        QCOMPARE(ActionAt(Toolbar1, 3), None);
        QCOMPARE(ActionAt(Toolbar1, 15), None);
    }

    void toolbarsAndStatusBar()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();

        QCOMPARE(Controls(c).Toolbar1->actions().size(), 14);
        const QStringList keys = {"start", "stop", "", "home", "", "properties", "", "AddUser", "edituser",
                                  "editgroup", "", "VirtualFolders", "", "Refresh"};
        const QStringList tips = {"Start Server", "Stop Server", "", "Corvalen Home", "", "Properties", "",
                                  "Add New User", "Edit Users", "Edit Groups", "", "Work with Virtual Folders", "",
                                  "Refresh"};
        const QList<int> enabled = {1, 4, 6, 8, 9, 10, 12, 14};
        for (int index = 1; index <= 14; ++index) {
            QAction* b = Controls(c).Toolbar1->actions().at(index - 1);
            QCOMPARE(b->property("index").toInt(), index);
            QCOMPARE(b->isSeparator(), keys.at(index - 1).isEmpty());
            if (b->isSeparator())
                continue;
            QCOMPARE(b->property("key").toString(), keys.at(index - 1));
            QCOMPARE(b->toolTip(), tips.at(index - 1));
            QVERIFY(b->text().isEmpty());
            QVERIFY(!b->icon().isNull());
            QCOMPARE(b->isEnabled(), enabled.contains(index));
        }
        QCOMPARE(Controls(c).Toolbar2->toolTip(), QStringLiteral("Console and Help"));
        QCOMPARE(c.Action(ConsoleButton)->text(), QStringLiteral("&Console"));
        QCOMPARE(c.Action(ConsoleButton)->toolTip(), QStringLiteral("Console Action"));
        QCOMPARE(c.Action(HelpButton)->text(), QStringLiteral("&Help"));
        QCOMPARE(c.Action(HelpButton)->toolTip(), QStringLiteral("Help menu"));
        QCOMPARE(c.Action(ConsoleButton)->shortcut(), QKeySequence(QStringLiteral("Alt+C")));
        QCOMPARE(Controls(c).Toolbar3->toolTip(), QStringLiteral("Action & View options"));
        QCOMPARE(c.Action(ActionButton)->text(), QStringLiteral("&Action"));
        QCOMPARE(c.Action(ActionButton)->property("key").toString(), QStringLiteral("action"));
        QCOMPARE(c.Action(ActionButton)->toolTip(), QStringLiteral("Action Menu"));
        QCOMPARE(c.Action(ViewButton)->text(), QStringLiteral("&View"));
        QCOMPARE(c.Action(ViewButton)->property("key").toString(), QStringLiteral("view"));
        QCOMPARE(c.Action(ViewButton)->toolTip(), QStringLiteral("View Menu"));
        QCOMPARE(Controls(c).Toolbar2->width(), TwipsToPixels(9750));
        QCOMPARE(Controls(c).Toolbar3->width(), TwipsToPixels(1800));
        QCOMPARE(Controls(c).Toolbar1->width(), TwipsToPixels(7725));

        QCOMPARE(Controls(c).StatusBar1->toolTip(), QStringLiteral("Date & time bar"));
        QStringList panelTips;
        for (QLabel* panel : Controls(c).StatusBar1->findChildren<QLabel*>())
            panelTips.append(panel->toolTip());
        QCOMPARE(panelTips, QStringList({"Application developer", "System Date", "System Time"}));
        const auto panels = Controls(c).StatusBar1->findChildren<QLabel*>();
        QCOMPARE(panels.at(1)->text(), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    }

    void popUpsOfTheToolbars()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        // A click on each button pops its menu at the given point, or straight
        // below the button where the menu would cover it.
        const ConsoleControls k(c);
        const struct {
            QToolBar* toolbar;
            QAction* button;
            QMenu* menu;
            QPoint at; // twips
        } pops[] = {{k.Toolbar2, c.Action(ConsoleButton), c.Menu(mnuConsole), {200, 300}},
                    {k.Toolbar2, c.Action(HelpButton), c.Menu(mnuHelp), {1100, 300}},
                    {k.Toolbar3, c.Action(ViewButton), c.Menu(mnuView), {950, 700}},
                    {k.Toolbar3, c.Action(ActionButton), c.Menu(MainMnu), {250, 700}}};
        for (const auto& p : pops) {
            QWidget* button = p.toolbar->widgetForAction(p.button);
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            QCOMPARE(shownMenu(c), p.menu);
            const QRect pressed(button->mapToGlobal(QPoint(0, 0)), button->size());
            const QPoint given = c.mapToGlobal(QPoint(TwipsToPixels(p.at.x()), TwipsToPixels(p.at.y())));
            QCOMPARE(p.menu->pos(), QPoint(given.x(), std::max(given.y(), pressed.bottom() + 1)));
            QVERIFY(!p.menu->geometry().intersects(pressed));
            hideMenus(c);
        }
        // Other captions and keys do nothing.
        c.Toolbar2_ButtonClick(QStringLiteral("Console"));
        c.Toolbar3_ButtonClick(QStringLiteral("Action"));
        QCOMPARE(shownMenu(c), nullptr);
    }

    void contextMenuRule_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("listMenu");
        QTest::addColumn<QString>("actionMenu");
        QTest::newRow("root") << "root" << "All" << "MainMnu" << "MainMnu";
        QTest::newRow("root, nothing chosen") << "root" << "" << "MainMnu" << "MainMnu";
        QTest::newRow("connections, a user") << "Active" << "bob" << "mnuEditUserOptions" << "mnuEditUserOptions";
        QTest::newRow("connections, blanks") << "Active" << "  " << "mnuRefreshOptions" << "mnuRefreshOptions";
        QTest::newRow("one connection") << "@2" << "bob" << "mnuEditUserOptions" << "mnuEditUserOptions";
        QTest::newRow("host, nothing chosen") << "#@127.0.0.1" << "" << "mnuRefreshOptions" << "mnuEditUserOptions";
        QTest::newRow("host, blanks are a choice") << "#@127.0.0.1" << " " << "mnuEditUserOptions"
                                                    << "mnuEditUserOptions";
        QTest::newRow("users, nothing chosen") << "users" << "" << "mnuRefreshOptions" << "mnuRefreshOptions";
        QTest::newRow("users, a user") << "users" << "bob" << "mnuEditOptions" << "mnuEditOptions";
        QTest::newRow("groups, a group") << "groups" << "staff" << "mnuGroupEditOptions" << "mnuGroupEditOptions";
        QTest::newRow("server logs") << "serverlogs" << "Log.txt" << "mnuLogOptions" << "mnuLogOptions";
        QTest::newRow("user logs") << "userlogs" << "bob.txt" << "mnuLogOptions" << "mnuLogOptions";
        QTest::newRow("group logs") << "grouplogs" << "staff.txt" << "mnuLogOptions" << "mnuLogOptions";
        QTest::newRow("totals, a row") << "uandg" << "Total Users" << "mnuRefreshOptions" << "";
        QTest::newRow("log totals, a row") << " Logs" << "Total User Logs" << "mnuRefreshOptions" << "";
        QTest::newRow("case matters") << "Users" << "bob" << "mnuRefreshOptions" << "";
    }

    void contextMenuRule()
    {
        QFETCH(QString, key);
        QFETCH(QString, item);
        QFETCH(QString, listMenu);
        QFETCH(QString, actionMenu);
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        ConsoleState::SelectedKey = key;
        ConsoleState::SelectedItem = item;
        const auto name = [](QMenu* m) { return m ? m->objectName() : QString(); };
        QCOMPARE(name(c.ContextMenuFor(frmMain::MenuSource::ListRightClick)), listMenu);
        QCOMPARE(name(c.ContextMenuFor(frmMain::MenuSource::ActionButton)), actionMenu);
        QCOMPARE(ConsoleState::SelectedKey, key);

        // The action button pops that menu, or none.
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        c.Toolbar3_ButtonClick(QStringLiteral("action"));
        QCOMPARE(name(shownMenu(c)), actionMenu);
        hideMenus(c);
    }

    void listEventsFollowTheSelection()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        ConsoleState::SelectedItem = QStringLiteral("stale");
        c.lvwDb_Click();
        QCOMPARE(ConsoleState::SelectedItem, QString());

        QVERIFY(Controls(c).lvwDb->SelectItem(QStringLiteral("list")));
        c.lvwDb_GotFocus();
        QCOMPARE(ConsoleState::SelectedItem, QStringLiteral("All"));

        // A middle press only refreshes; a right press pops the rule's menu at the pointer.
        c.lvwDb_MouseDown(ListViewControl::MiddleButton);
        QCOMPARE(shownMenu(c), nullptr);
        c.lvwDb_MouseDown(ListViewControl::RightButton);
        QCOMPARE(shownMenu(c), c.Menu(MainMnu));
        hideMenus(c);

        ConsoleState::SelectedKey = QStringLiteral("users");
        Controls(c).lvwDb->ClearItems();
        c.lvwDb_MouseDown(ListViewControl::RightButton);
        QCOMPARE(shownMenu(c), c.Menu(mnuRefreshOptions));
        hideMenus(c);
    }

    void treeClicksAndPresses()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));

        ConsoleState::SelectedItem = QStringLiteral("All");
        c.tvwDb_NodeClick(QStringLiteral(" Logs"));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral(" Logs"));
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QVERIFY(Controls(c).lvwDb->isVisibleTo(&c));
        QCOMPARE(frameVisibility(c), QStringList({"fmeList"}));

        // The menu follows the node chosen with a left click, not the one under the pointer.
        c.tvwDb_MouseDown(TreeViewControl::RightButton);
        QCOMPARE(shownMenu(c), c.Menu(mnuRefreshOptions));
        hideMenus(c);
        c.tvwDb_NodeClick(QStringLiteral("root"));
        QCOMPARE(Controls(c).lvwDb->Item(0).key, QStringLiteral("list"));
        c.tvwDb_MouseDown(TreeViewControl::RightButton);
        QCOMPARE(shownMenu(c), c.Menu(MainMnu));
        hideMenus(c);

        // A connection node that has gone: back to the connection list, no menu for the left button.
        ConsoleState::SelectedKey = QStringLiteral("@3");
        ConsoleState::SelectedItem = QStringLiteral("bob");
        c.tvwDb_MouseDown(TreeViewControl::LeftButton);
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("Active"));
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QCOMPARE(shownMenu(c), nullptr);

        // A connection node still there gives its text.
        TreeViewControl& tree = *Controls(c).tvwDb;
        QVERIFY(tree.AddNode(QStringLiteral("Active"), QStringLiteral("#@127.0.0.1"), QStringLiteral("127.0.0.1"), 2));
        QVERIFY(tree.AddNode(QStringLiteral("#@127.0.0.1"), QStringLiteral("@0"), QStringLiteral("alice"), 4));
        ConsoleState::SelectedKey = QStringLiteral("@0");
        c.tvwDb_MouseDown(TreeViewControl::RightButton);
        QCOMPARE(ConsoleState::SelectedItem, QStringLiteral("alice"));
        QCOMPARE(shownMenu(c), c.Menu(mnuRefreshOptions));
        hideMenus(c);

        // A real right press on another node leaves the selection alone.
        c.tvwDb_NodeClick(QStringLiteral("root"));
        const QRect users = Controls(c).tvwDb->visualItemRect(Controls(c).tvwDb->Node(QStringLiteral("uandg")));
        QTest::mouseClick(Controls(c).tvwDb->viewport(), Qt::RightButton, {}, users.center());
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
        QCOMPARE(shownMenu(c), c.Menu(MainMnu));
        hideMenus(c);
    }

    void viewMenuChecksOneStyle()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        const auto checked = [&c] {
            QStringList out;
            for (QAction* a : {c.Action(mnuIcon), c.Action(mnuSmallIcon), c.Action(mnuList), c.Action(mnuReport)})
                if (a->isChecked())
                    out.append(a->objectName());
            return out;
        };
        c.Action(mnuIcon)->trigger();
        QCOMPARE(checked(), QStringList({"mnuIcon"}));
        QCOMPARE(Controls(c).lvwDb->View(), ListViewMode::LargeIcons);
        c.Action(mnuSmallIcon)->trigger();
        QCOMPARE(Controls(c).lvwDb->View(), ListViewMode::SmallIcons);
        c.Action(mnuList)->trigger();
        QCOMPARE(checked(), QStringList({"mnuList"}));
        QCOMPARE(Controls(c).lvwDb->View(), ListViewMode::List);
        c.Action(mnuReport)->trigger();
        c.Action(mnuReport)->trigger(); // choosing the checked one again keeps it
        QCOMPARE(checked(), QStringList({"mnuReport"}));
        QCOMPARE(Controls(c).lvwDb->View(), ListViewMode::Report);

        // None checked: the style stays.
        c.Action(mnuReport)->setChecked(false);
        c.UpdateListView();
        QCOMPARE(Controls(c).lvwDb->View(), ListViewMode::Report);
    }

    void infoLogRowsAndLimits()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        Controls(c).lstServerLog->Clear();
        c.InfoLog(QStringLiteral("one"));
        QCOMPARE(Controls(c).lstServerLog->Cell(0, 0), QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                    .match(Controls(c).lstServerLog->Cell(0, 1))
                    .hasMatch());
        QCOMPARE(Controls(c).lstServerLog->Cell(0, 2), QStringLiteral("server"));
        QCOMPARE(Controls(c).lstServerLog->Cell(0, 3), QStringLiteral("server"));
        QCOMPARE(Controls(c).lstServerLog->Cell(0, 4), QStringLiteral("one"));

        for (int i = 2; i <= 5; ++i)
            c.InfoLog(QString::number(i));
        QCOMPARE(Controls(c).lstServerLog->SelectedRow(), -1); // five rows: the selection stays
        c.InfoLog(QStringLiteral("6"));
        QCOMPARE(Controls(c).lstServerLog->SelectedRow(), 5);
        for (int i = 7; i <= 1001; ++i)
            c.InfoLog(QString::number(i));
        QCOMPARE(Controls(c).lstServerLog->RowCount(), 1000);
        QCOMPARE(Controls(c).lstServerLog->Cell(0, 4), QStringLiteral("2"));
        QCOMPARE(Controls(c).lstServerLog->Cell(999, 4), QStringLiteral("1001"));
        QCOMPARE(Controls(c).lstServerLog->SelectedRow(), 999);
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void widthAndHeightRules()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        const int width = TwipsToPixels(10125);
        const int minimum = TwipsToPixels(8280);

        c.resize(500, 300);
        QTRY_COMPARE(c.size(), QSize(width, minimum));
        QCOMPARE(Controls(c).lstServerLog->height(), TwipsToPixels(2280));

        c.resize(900, 700);
        QTRY_COMPARE(c.size(), QSize(width, 700));
        QCOMPARE(Controls(c).lstServerLog->height(), 700 - TwipsToPixels(6000));
    }

    void minimizingWithAndWithoutATray()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        c.showMinimized();
        QTRY_VERIFY(c.windowState() & Qt::WindowMinimized);
        if (TrayIcon::Available()) {
            // The first minimize hides into the tray.
            QVERIFY(c.isHidden());
            QVERIFY(ConsoleState::HiddenToTray);
            QVERIFY(!c.Action(mnuMinimize)->isEnabled());
            QVERIFY(c.Action(mnuRestore)->isEnabled());
        } else {
            // Nowhere to come back from: it stays an ordinary minimized window.
            QVERIFY(c.isVisible());
            QVERIFY(!ConsoleState::HiddenToTray);
            QVERIFY(c.Action(mnuMinimize)->isEnabled());
            QVERIFY(!c.Action(mnuRestore)->isEnabled());
        }
        c.mnuRestore_Click();
        QVERIFY(c.isVisible());
        QVERIFY(!(c.windowState() & Qt::WindowMinimized));
    }

    void trayMenuHidesAndRestores()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QVERIFY(Controls(c).TrayIcon1->IsShown());

        c.Action(mnuMinimize)->trigger();
        QVERIFY(c.isHidden());
        QVERIFY(!(c.windowState() & Qt::WindowMinimized));
        QVERIFY(!ConsoleState::HiddenToTray);
        QVERIFY(!c.Action(mnuMinimize)->isEnabled());
        QVERIFY(c.Action(mnuRestore)->isEnabled());
        c.Action(mnuRestore)->trigger();
        QVERIFY(c.isVisible());
        QVERIFY(c.Action(mnuMinimize)->isEnabled());
        QVERIFY(!c.Action(mnuRestore)->isEnabled());

        c.Action(mnuMinimize)->trigger();
        c.TrayIcon1_IconDblClick();
        QVERIFY(c.isVisible());
        QVERIFY(c.Action(mnuMinimize)->isEnabled());
        QVERIFY(!c.Action(mnuRestore)->isEnabled());

        // A right click pops the tray menu; a left click does nothing.
        c.TrayIcon1_IconClick(TrayIcon::LeftButton);
        QCOMPARE(shownMenu(c), nullptr);
        Q_EMIT Controls(c).TrayIcon1->IconClick(TrayIcon::RightButton);
        QCOMPARE(shownMenu(c), c.Menu(mnuTray));
        hideMenus(c);
        QVERIFY(f.ends().isEmpty());
    }

    void closingStopsTheEngineAndEndsTheProgram()
    {
        ConsoleFixture f;
        f.writeConfig();
        frmMain& c = f.console();
        QVERIFY(Controls(c).FtpEngine1->Listening());
        // No close box and no maximize box; a minimize box.
        QVERIFY(!(c.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(c.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(c.windowFlags() & Qt::WindowMinimizeButtonHint);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));

        // A window manager that shows a close button anyway (or Alt+F4) asks
        // through the window system: refused, the server keeps every session.
        QCloseEvent fromWindowManager;
        QSpontaneKeyEvent::setSpontaneous(&fromWindowManager);
        QCoreApplication::instance()->notify(c.windowHandle(), &fromWindowManager);
        QVERIFY(!fromWindowManager.isAccepted());
        QVERIFY(c.isVisible());
        QVERIFY(Controls(c).FtpEngine1->Listening());
        QVERIFY(Controls(c).TrayIcon1->IsShown());
        QVERIFY(f.ends().isEmpty());

        // A close from the program (Exit, a termination signal) runs the
        // closing steps and ends the program.
        QVERIFY(c.close());
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QVERIFY(!Controls(c).TrayIcon1->IsShown());
        QCOMPARE(f.ends(), QList<int>({0}));
        QVERIFY(f.doubles.messages->messages.empty());
    }

    void theEndOfTheDesktopSessionEndsTheProgram()
    {
        ConsoleFixture f;
        f.writeConfig();
        frmMain& c = f.console();
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        // The session manager's last word is a quit request to the application.
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        QVERIFY(!c.isVisible());
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QVERIFY(!Controls(c).TrayIcon1->IsShown());
        QCOMPARE(f.ends(), QList<int>({0}));
    }

    void helpTopicsAndTheShippedFile()
    {
        ConsoleFixture f;
        f.writeConfig(ConsoleFixture::Settings().Stopped());
        QFile::copy(QStringLiteral(QUAYPORT_SHIPPED_HELP), f.folder.file(QStringLiteral("/help.hlp")));
        const QString help = QString::fromUtf8(f.folder.read(QStringLiteral("/help.hlp")));
        for (int topic : {0, 30, 40, 50, 60, 70, 80, 90})
            QVERIFY2(help.contains(QStringLiteral("name=\"topic-%1\"").arg(topic)), qPrintable(QString::number(topic)));

        frmMain& c = f.console();
        c.Action(mnuHelpDoc)->trigger();
        HelpViewer* viewer = SingleInstance<HelpViewer>::Open();
        QVERIFY(viewer);
        QCOMPARE(viewer->Anchor(), QString());
        QVERIFY(viewer->Browser()->toPlainText().startsWith(QStringLiteral("Quayport Help")));

        c.show();
        c.activateWindow();
        QVERIFY(QTest::qWaitFor([&c] { return QGuiApplication::focusWindow() == c.windowHandle(); }));
        QTest::keyClick(&c, Qt::Key_F1);
        QCOMPARE(viewer->Anchor(), QStringLiteral("topic-30"));
        viewer->close();
    }

    void exitEndsWhileHidden()
    {
        ConsoleFixture f;
        f.writeConfig();
        frmMain& c = f.console();
        c.Action(mnuMinimize)->trigger();
        c.Action(mnuExit)->trigger();
        QVERIFY(!Controls(c).FtpEngine1->Listening());
        QVERIFY(!Controls(c).TrayIcon1->IsShown());
        QCOMPARE(f.ends(), QList<int>({0}));
    }
};

QTEST_MAIN(TestConsoleWindow)
#include "tst_consolewindow.moc"
