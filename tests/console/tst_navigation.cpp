// Navigating the console: a click on each tree node shows its list, the view
// modes, the tree's right-click menus, and live connections in the window.
#include "console/ConnectionPanel.h"
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/GeneralDate.h"
#include "core/Preparation.h"
#include "core/TextFile.h"
#include "engine/FtpEngine.h"
#include "logviewer/frmScrollbook.h"
#include "platform/ColumnWidths.h"
#include "platform/DigitDisplay.h"
#include "platform/ListViewControl.h"
#include "platform/ProgramFonts.h"
#include "platform/RowList.h"
#include "platform/TreeViewControl.h"
#include "platform/Twips.h"
#include "session/ConsoleState.h"
#include "tests/console/ConsoleFixture.h"
#include "tests/console/pane/LoopbackClient.h"
#include "tests/support/OpenAccounts.h"
#include "tests/support/Shots.h"
#include "tests/support/TimePasses.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <functional>
#include <tuple>

using enum ConsoleAction;
using enum ConsolePlace;

namespace {

void click(TreeViewControl& tree, const QString& key, Qt::MouseButton button = Qt::LeftButton)
{
    tree.EnsureVisible(key);
    const QPoint at = tree.visualItemRect(tree.Node(key)).center();
    if (button == Qt::LeftButton)
        QTest::mouseClick(tree.viewport(), button, {}, at);
    else
        QTest::mousePress(tree.viewport(), button, {}, at);
}

// A left click on the list row with that key, in the report view.
void clickRow(ListViewControl& list, const QString& key)
{
    auto* view = list.findChild<QTreeView*>();
    for (int row = 0; row < list.ItemCount(); ++row) {
        if (list.Item(row).key == key) {
            const QModelIndex index = view->model()->index(row, 0);
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no row ") + key));
}

// The key of the list row with that text; empty when none has it.
QString rowWithText(const ListViewControl& list, const QString& text)
{
    for (int row = 0; row < list.ItemCount(); ++row)
        if (list.Item(row).text == text)
            return list.Item(row).key;
    return {};
}

// The key and text of the highlighted row; empty when no row is highlighted.
QString highlighted(const ListViewControl& list)
{
    const std::optional<ListViewItem> row = list.SelectedItem();
    return row ? row->key + QLatin1Char(' ') + row->text : QString();
}

// How high the display draws its digits: the rows that hold its text colour.
int drawnDigitHeight(DigitDisplay& display)
{
    const QImage image = display.grab().toImage();
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() && (rows.isEmpty() || rows.last() != y); ++x)
            if (image.pixel(x, y) == display.palette().color(QPalette::WindowText).rgb())
                rows.append(y);
    return rows.isEmpty() ? 0 : rows.last() - rows.first() + 1;
}

QStringList columns(const ListViewControl& list)
{
    QStringList out;
    for (int i = 0; i < list.ColumnCount(); ++i)
        out.append(list.ColumnTitle(i) + QLatin1Char('/') + QString::number(list.ColumnWidth(i)));
    return out;
}

QString col(const char* title, int twips)
{
    return QString::fromLatin1(title) + QLatin1Char('/')
        + QString::number(FittedColumnWidth(TwipsToPixels(twips), QApplication::font()));
}

void closeMenus(frmMain& console)
{
    for (QMenu* m : {console.Menu(MainMnu), console.Menu(mnuRefreshOptions), console.Menu(mnuEditUserOptions)})
        m->hide();
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachNodeShowsItsList()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        ModMain::PrepareApplicationFolder();
        fixture.folder.write(QStringLiteral("/logs/U_bob.txt"), "x");
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        TreeViewControl& tree = *Controls(console).tvwDb;
        ListViewControl& list = *Controls(console).lvwDb;

        struct Expect {
            const char* key;
            QStringList columns;
            QStringList rows; // text of each row, top first
        };
        const Expect expected[] = {
            {"root", {col("IP Address", 1700), col("Port", 600), col("Connections", 1200), col("Root Folder", 5000)},
             {"All"}},
            {"uandg", {col("Name", 2000), col("Count", 1000)}, {"Total Users", "Total Groups"}},
            {"users", {col("User", 2000), col("Group", 2000)}, {"anonymous"}},
            {"groups", {col("Groups", 6000)}, {"public"}},
            {" Logs", {col("Name", 2000), col("Count", 1000)},
             {"Total Server Logs", "Total User Logs", "Total Group Logs"}},
            {"serverlogs", {col(" Log ", 3000), col("Size", 1300), col("Modified", 1800)}, {"Log.txt"}},
            {"userlogs", {col(" Log ", 3000), col("Size", 1300), col("Modified", 1800)}, {"bob.txt"}},
            {"grouplogs", {col(" Log ", 3000), col("Size", 1300), col("Modified", 1800)}, {}},
            {"Active", {}, {}},
        };
        for (const Expect& e : expected) {
            const QString key = QString::fromLatin1(e.key);
            ConsoleState::SelectedItem = QStringLiteral("stale");
            click(tree, key);
            QCOMPARE(ConsoleState::SelectedKey, key);
            QCOMPARE(ConsoleState::SelectedItem, QString());
            QVERIFY(!Controls(console).fmeList->isHidden());
            QVERIFY(!list.isHidden());
            if (key == QLatin1String("Active")) {
                QCOMPARE(list.ColumnCount(), 13);
                QCOMPARE(list.ColumnWidth(11), FittedColumnWidth(TwipsToPixels(6000), list.font()));
                continue;
            }
            QCOMPARE(columns(list), e.columns);
            QStringList rows;
            for (int i = 0; i < list.ItemCount(); ++i)
                rows.append(list.Item(i).text);
            QCOMPARE(rows, e.rows);
        }
        click(tree, QStringLiteral("users"));
        QCOMPARE(list.Item(0).key, QStringLiteral("k1"));
        QCOMPARE(list.Item(0).icon, 3);
        QCOMPARE(list.Item(0).subItems, QStringList{"public"});

        console.UpdateTree(QStringLiteral("#"));
        QCOMPARE(list.Item(0).key, QStringLiteral("list"));
        QCOMPARE(list.Item(0).icon, 6);
        console.UpdateTree(QStringLiteral("nosuch"));
        QCOMPARE(list.ColumnCount(), 0);
        QCOMPARE(list.ItemCount(), 0);
    }

    // Every list and table at its laid-out widths in the program's font: each
    // title, and the widest values its columns are made for, fit without
    // being cut to "...". The console's lists are shown by clicking their nodes.
    void valuesFitTheirColumns()
    {
        const QFont before = QApplication::font();
        UseProgramFont();
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        frmScrollbook viewer(fixture.folder.file(QStringLiteral("/logs/S_Log.txt")));

        const QDateTime late(QDate(2026, 12, 31), QTime(23, 59, 59));
        const QString megabytes = QStringLiteral("12345.678.901"); // over 10,000 MB
        const struct {
            const char* list; // a console node's key, or a row list's name
            const char* column;
            QString value;
        } samples[] = {
            {"root", "Port", QStringLiteral("32767")},
            {"uandg", "Name", QStringLiteral("Total Groups")},
            {" Logs", "Name", QStringLiteral("Total Server Logs")},
            {"users", "User", QStringLiteral("anonymous")},
            {"serverlogs", "Size", QStringLiteral("1234567890")},
            {"serverlogs", "Modified", GeneralDateText(late)},
            {"serverlogs", "Modified", GeneralDateText(late, QLocale(QLocale::English, QLocale::UnitedStates))},
            {"Active", "User", QStringLiteral("anonymous")},
            {"Active", "Host Name", QStringLiteral("255.255.255.255")},
            {"Active", "Status", QStringLiteral("Authorizing")},
            {"Active", "Status", QStringLiteral("Connected")},
            {"Active", "Status", QStringLiteral("Receiving file")},
            {"Active", "Status", QStringLiteral("Sending file")},
            {"Active", "Time", QStringLiteral("23:59:59")},
            {"Active", "Files Received", QStringLiteral("1234567")},
            {"Active", "MB Sent", megabytes},
            {"Active", "MB Received", megabytes},
            {"Active", "MB Deleted", megabytes},
            {"lstServerLog", "Date", QStringLiteral("12-31-2026")},
            {"lstServerLog", "Time", QStringLiteral("23:59:59")},
            {"lstServerLog", "Client Address", QStringLiteral("255.255.255.255")},
            {"lstServerLog", "User name", QStringLiteral("New connection")},
            {"ctUserMegabytesStats", "Session", QStringLiteral("99999")},
            {"ctUserMegabytesStats", "User", QStringLiteral("anonymous")},
            {"ctUserMegabytesStats", "Sent", megabytes},
            {"ctUserMegabytesStats", "Transfered", megabytes},
            {"ctGroupDayMegabytes", "Received", megabytes},
            {"ctGroupDayMegabytes", "Deleted", megabytes},
            {"Log", "Date", QStringLiteral("12-31-2026")},
            {"Log", "Time", QStringLiteral("23:59:59")},
            {"Log", "User", QStringLiteral("New connection")},
            {"Log", "Group", QStringLiteral("anonymous")},
            {"Log", "IP", QStringLiteral("255.255.255.255")},
        };

        // The view showing the list, and whether its first column carries a picture.
        const auto viewOf = [&](const QString& list) -> std::pair<QAbstractItemView*, bool> {
            if (RowList* rows = console.findChild<RowList*>(list))
                return {rows->findChild<QTableView*>(), false};
            if (list == viewer.Log->objectName())
                return {viewer.Log->findChild<QTableView*>(), false};
            if (ConsoleState::SelectedKey != list)
                click(*Controls(console).tvwDb, list);
            return {Controls(console).lvwDb->findChild<QTreeView*>(), true};
        };
        const auto header = [](QAbstractItemView* view) {
            if (auto* table = qobject_cast<QTableView*>(view))
                return table->horizontalHeader();
            return qobject_cast<QTreeView*>(view)->header();
        };
        QStringList checked;
        for (const auto& s : samples) {
            const QString list = QString::fromLatin1(s.list);
            const auto [view, picture] = viewOf(list);
            QVERIFY2(view, s.list);
            QHeaderView* titles = header(view);
            QAbstractItemModel* model = view->model();
            int column = -1;
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->headerData(c, Qt::Horizontal).toString() == QLatin1String(s.column))
                    column = c;
            QVERIFY2(column >= 0, s.column);
            QStyle* style = view->style();
            const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
            int need = QFontMetrics(view->font()).horizontalAdvance(s.value) + 2 * margin;
            if (picture && column == 0)
                need += style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view) + 2 * margin;
            const int width = titles->sectionSize(column);
            const QString what = QStringLiteral("%1 / %2: \"%3\" needs %4, has %5")
                                     .arg(list, QLatin1String(s.column), s.value).arg(need).arg(width);
            QVERIFY2(need <= width, qPrintable(what));
            // And every title of the list.
            for (int c = 0; c < model->columnCount(); ++c) {
                const QString title = model->headerData(c, Qt::Horizontal).toString();
                const int titleNeed = QFontMetrics(titles->font()).horizontalAdvance(title)
                    + 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
                QVERIFY2(titleNeed <= titles->sectionSize(c), qPrintable(list + QStringLiteral(" / ") + title));
            }
            checked.append(list);
        }
        checked.removeDuplicates();
        QCOMPARE(checked.size(), 10);
        QApplication::setFont(before);
    }

    void viewModes()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& console = fixture.console();
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::Report);
        console.Action(mnuIcon)->trigger();
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::LargeIcons);
        QVERIFY(!console.Action(mnuReport)->isChecked());
        console.Action(mnuSmallIcon)->trigger();
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::SmallIcons);
        console.Action(mnuList)->trigger();
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::List);
        console.Action(mnuReport)->trigger();
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::Report);
        // A refresh keeps the chosen view.
        console.Action(mnuList)->trigger();
        console.UpdateTree(QStringLiteral("root"));
        QCOMPARE(Controls(console).lvwDb->View(), ListViewMode::List);
    }

    void rightClicksNeverMoveTheSelection()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        TreeViewControl& tree = *Controls(console).tvwDb;

        click(tree, QStringLiteral("root"));
        click(tree, QStringLiteral("users"), Qt::RightButton);
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("root"));
        QCOMPARE(tree.SelectedKey(), QStringLiteral("root"));
        QTRY_VERIFY(console.Menu(MainMnu)->isVisible());
        closeMenus(console);

        click(tree, QStringLiteral("users"));
        click(tree, QStringLiteral("root"), Qt::RightButton);
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("users"));
        QTRY_VERIFY(console.Menu(mnuRefreshOptions)->isVisible());
        QVERIFY(!console.Menu(MainMnu)->isVisible());
        closeMenus(console);
        QCOMPARE(Controls(console).lvwDb->ColumnTitle(0), QStringLiteral("User"));
    }

    void liveConnectionsInTheWindow()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        frmMain& console = fixture.console();
        console.show();
        console.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console));
        const quint16 port = Controls(console).FtpEngine1->BoundPort();
        QVERIFY(port != 0);
        TreeViewControl& tree = *Controls(console).tvwDb;

        LoopbackClient bob(port), wrong(port), anon(port);
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QCOMPARE(wrong.login(QStringLiteral("bob"), QStringLiteral("bad")), QStringLiteral("530 Invalid password."));
        QVERIFY(anon.login(QStringLiteral("anonymous"), QStringLiteral("me@example.org")).startsWith(QLatin1String("230 ")));
        fixture.folder.write(QStringLiteral("/users/stats/bob.Received_File_Count.txt"), "7\r\n");
        fixture.folder.write(QStringLiteral("/users/stats/bob.Received_File_Size.txt"), "2500000\r\n");

        // The refused session has a node too: it is still connected. The tree
        // follows the logins on the console's next refresh tick.
        QTRY_COMPARE(tree.ChildKeys(QStringLiteral("#@127.0.0.1")), (QStringList{"@0", "@1", "@2"}));
        QCOMPARE(tree.ChildKeys(QStringLiteral("Active")), QStringList{QStringLiteral("#@127.0.0.1")});
        tree.EnsureVisible(QStringLiteral("@2"));

        click(tree, QStringLiteral("Active"));
        QCOMPARE(Controls(console).lvwDb->ColumnCount(), 13);
        QCOMPARE(Controls(console).lvwDb->ItemCount(), 3);
        QVERIFY(!SaveShot(console, QStringLiteral("connections-list")).isEmpty());

        click(tree, QStringLiteral("#@127.0.0.1"));
        QCOMPARE(Controls(console).lvwDb->ItemCount(), 3);

        click(tree, QStringLiteral("@0"));
        QVERIFY(!Controls(console).fmeUser->isHidden());
        QVERIFY(Controls(console).lvwDb->isHidden());
        QCOMPARE(Controls(console).fmeUser->txtUserName->text(), QStringLiteral("bob"));
        QCOMPARE(Controls(console).fmeUser->txtGroup->text(), QStringLiteral("staff"));
        QCOMPARE(Controls(console).fmeUser->rdTotalFilesReceived->Value(), QStringLiteral("7"));
        QCOMPARE(Controls(console).fmeUser->rdTotalMBreceived->Value(), QStringLiteral("2.500.000"));
        QCOMPARE(Controls(console).fmeUser->rdTotalMBdeleted->Value(), QStringLiteral("0.000.000"));
        QVERIFY(!SaveShot(console, QStringLiteral("connection-panel")).isEmpty());

        // Selecting the last session and ending the first moves the selection along.
        click(tree, QStringLiteral("@2"));
        QCOMPARE(Controls(console).fmeUser->txtUserName->text(), QStringLiteral("anonymous"));
        bob.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(ConsoleState::SelectedKey, QStringLiteral("@1"));
        QCOMPARE(Controls(console).fmeUser->txtUserName->text(), QStringLiteral("anonymous"));

        // The shown session ends: the pane falls back to the connection list.
        anon.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(ConsoleState::SelectedKey, QStringLiteral("Active"));
        QVERIFY(Controls(console).fmeUser->isHidden());
        QCOMPARE(Controls(console).lvwDb->ItemCount(), 1);
        // The highlight is on the node shown, also after a stop, and the keys go on from there.
        QWidget* stop = Controls(console).Toolbar1->widgetForAction(console.Action(StopButton));
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[] {}, "Active"},
            {[] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); }, "#@127.0.0.1"},
            {[] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); }, "@0"},
            {[stop] { QTest::mouseClick(stop, Qt::LeftButton); }, "Active"},
            {[] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up); }, " Logs"}};
        for (const auto& [input, shown] : steps) {
            input();
            QCOMPARE(tree.SelectedKey(), QString::fromLatin1(shown));
            QCOMPARE(ConsoleState::SelectedKey, QString::fromLatin1(shown));
            QCOMPARE(Controls(console).fmeUser->isHidden(), shown[0] != '@');
        }
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void theKeyboardAndADragChooseANodeAsAClickDoes()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& console = fixture.console();
        console.show();
        console.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console));
        TreeViewControl& tree = *Controls(console).tvwDb;
        ListViewControl& list = *Controls(console).lvwDb;

        QCOMPARE(tree.SelectedKey(), QStringLiteral("root")); // as shown from the start
        click(tree, QStringLiteral("root"));
        QCOMPARE(QApplication::focusWidget(), &tree);
        struct Step {
            Qt::Key key;
            const char* selected;
            const char* firstColumn;
        };
        // Right opens "Users and Groups" and leaves it chosen.
        const Step steps[] = {{Qt::Key_Down, "uandg", "Name"},    {Qt::Key_Right, "uandg", "Name"},
                              {Qt::Key_Down, "users", "User"},    {Qt::Key_Down, "groups", "Groups"},
                              {Qt::Key_Left, "uandg", "Name"},    {Qt::Key_End, "Active", "User"},
                              {Qt::Key_Home, "root", "IP Address"}};
        for (const Step& step : steps) {
            ConsoleState::SelectedItem = QStringLiteral("stale");
            const QString before = tree.SelectedKey();
            QTest::keyClick(QApplication::focusWidget(), step.key);
            const QString key = QString::fromLatin1(step.selected);
            QCOMPARE(tree.SelectedKey(), key);
            QCOMPARE(ConsoleState::SelectedKey, key);
            // A key that leaves the highlight where it is chooses nothing anew.
            QCOMPARE(ConsoleState::SelectedItem, key == before ? QStringLiteral("stale") : QString());
            QCOMPARE(list.ColumnTitle(0), QString::fromLatin1(step.firstColumn));
        }
        // The action button's menu is the highlighted node's.
        QCOMPARE(console.ContextMenuFor(frmMain::MenuSource::ActionButton), console.Menu(MainMnu));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(console.ContextMenuFor(frmMain::MenuSource::ActionButton), console.Menu(mnuRefreshOptions));

        // A press on one node dragged to another leaves the highlight there.
        const QPoint from = tree.visualItemRect(tree.Node(QStringLiteral("users"))).center();
        const QPoint to = tree.visualItemRect(tree.Node(QStringLiteral("groups"))).center();
        QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(tree.viewport(), to);
        QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(tree.SelectedKey(), QStringLiteral("groups"));
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("groups"));
        QCOMPARE(list.ColumnTitle(0), QStringLiteral("Groups"));
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void theHighlightedRowIsTheChosenOne()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        frmMain& console = fixture.console();
        console.show();
        console.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console));
        TreeViewControl& tree = *Controls(console).tvwDb;
        ListViewControl& list = *Controls(console).lvwDb;

        // A click and the arrow keys choose the row they highlight.
        click(tree, QStringLiteral("users"));
        clickRow(list, list.Item(0).key);
        QCOMPARE(ConsoleState::SelectedItem, list.Item(0).text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(list.SelectedText(), list.Item(1).text);
        QCOMPARE(ConsoleState::SelectedItem, list.Item(1).text);
        // A node click chooses no row, so none stays highlighted, nor under the current-row band.
        click(tree, QStringLiteral("users"));
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QCOMPARE(list.SelectedItem(), std::nullopt);
        QVERIFY(!list.findChild<QTreeView*>()->currentIndex().isValid());

        // Three sessions of one user: the rows differ only in their session.
        const quint16 port = Controls(console).FtpEngine1->BoundPort();
        LoopbackClient first(port), second(port), third(port);
        for (LoopbackClient* c : {&first, &second, &third})
            QVERIFY(c->login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QTRY_COMPARE(tree.ChildKeys(QStringLiteral("#@127.0.0.1")).size(), 3);
        click(tree, QStringLiteral("Active"));
        QCOMPARE(list.ItemCount(), 3);
        clickRow(list, QStringLiteral("k1"));
        QCOMPARE(highlighted(list), QStringLiteral("k1 bob"));
        QCOMPARE(ConsoleState::SelectedItem, QStringLiteral("bob"));
        // The first session ends: the second's row is now "k0" and the third's
        // "k1". The chosen row stays the second session's, chosen.
        first.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(list.ItemCount(), 2);
        QCOMPARE(ConsoleState::SelectedItem, QStringLiteral("bob"));
        QCOMPARE(highlighted(list), QStringLiteral("k0 bob"));
        QCOMPARE(list.SelectedItem()->tag, 0);
        // The chosen session ends: the logout clears the choice, and with it the highlight.
        second.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(list.ItemCount(), 1);
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QCOMPARE(highlighted(list), QString());
        QVERIFY(!list.findChild<QTreeView*>()->currentIndex().isValid());
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    // Sessions log in and out while the administrator works in a list: the
    // refreshes leave the rows that stay where they are and chosen as they
    // were, and a double-click begun before one opens its row.
    void listsStayPutThroughLoginsAndLogouts()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        for (const char* name : {"a201", "a205"})
            QVERIFY(WriteOpenAccount(QString::fromLatin1(name), QStringLiteral("secret"), QStringLiteral("staff"),
                                     fixture.folder.file(QStringLiteral("/root"))));
        for (int i = 0; i < 40; ++i) // enough logs that the list scrolls
            fixture.folder.write(QStringLiteral("/logs/U_a%1.txt").arg(i, 2, 10, QLatin1Char('0')), "x");
        frmMain& console = fixture.console();
        console.show();
        console.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console));
        QStringList viewed;
        console.ViewLogHook = [&](const QString& path) { viewed.append(path); };
        TreeViewControl& tree = *Controls(console).tvwDb;
        ListViewControl& list = *Controls(console).lvwDb;
        auto* view = list.findChild<QTreeView*>();
        const auto visit = [&](const char* user) {
            LoopbackClient client(Controls(console).FtpEngine1->BoundPort());
            QVERIFY(client.login(QString::fromLatin1(user), QStringLiteral("secret")).startsWith(QLatin1String("230")));
            QTRY_VERIFY(!tree.ChildKeys(QStringLiteral("Active")).isEmpty());
            client.send(QStringLiteral("QUIT"));
            QTRY_VERIFY(tree.ChildKeys(QStringLiteral("Active")).isEmpty()); // the logout's refresh ran
        };
        const auto centreOf = [&](const QString& text) {
            int row = 0;
            while (row < list.ItemCount() && list.Item(row).text != text)
                ++row;
            return view->visualRect(view->model()->index(row, 0)).center();
        };
        click(tree, QStringLiteral("userlogs"));
        clickRow(list, list.Item(0).key);
        for (int i = 0; i < 2; ++i) // down the list, as a person reads it
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);

        // bob's new log comes at the top, out of sight; a201's right above the
        // row; a205's below it, moving the keys of the rows above.
        const std::tuple<const char*, const char*, bool> rounds[] = {
            {"a20.txt", "bob", true}, {"a20.txt", "a201", false}, {"a22.txt", "a205", true}};
        for (const auto& [row, user, topStays] : rounds) {
            const QString text = QString::fromLatin1(row);
            const QPoint at = centreOf(text);
            QVERIFY(view->viewport()->rect().contains(at));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); // the double-click's first click
            const QString top = view->indexAt(QPoint(1, 1)).data().toString();
            visit(user);
            QCOMPARE(centreOf(text), at);
            QCOMPARE(view->indexAt(QPoint(1, 1)).data().toString() == top, topStays);
            QCOMPARE(list.SelectedText(), text);
            QCOMPARE(view->currentIndex().data().toString(), text);
            QCOMPARE(ConsoleState::SelectedItem, text);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(viewed, QStringList{fixture.folder.file(QStringLiteral("/logs/U_") + text)});
            viewed.clear();
        }

        // A list whose rows the sessions do not change hears nothing of them.
        click(tree, QStringLiteral(" Logs"));
        clickRow(list, QStringLiteral("k1"));
        QSignalSpy changed(view->model(), &QAbstractItemModel::dataChanged);
        QSignalSpy added(view->model(), &QAbstractItemModel::rowsInserted);
        visit("bob");
        QCOMPARE(changed.count() + added.count(), 0);
        QCOMPARE(list.SelectedText(), QStringLiteral("Total User Logs"));
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void aChartStaysThroughLoginsAndLogouts()
    {
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        fixture.folder.write(QStringLiteral("/users/stats/Trend_bob.txt"), "0\r\n1\r\n2\r\n3\r\n0\r\n5\r\n6\r\n7\r\n");
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        TreeViewControl& tree = *Controls(console).tvwDb;

        click(tree, QStringLiteral("users"));
        clickRow(*Controls(console).lvwDb, rowWithText(*Controls(console).lvwDb, QStringLiteral("bob")));
        console.Action(UserSessionFiles)->trigger();
        QVERIFY(!Controls(console).fmeFileStats->isHidden());

        const quint16 port = Controls(console).FtpEngine1->BoundPort();
        LoopbackClient visitor(port);
        QVERIFY(visitor.login(QStringLiteral("anonymous"), QStringLiteral("me@example.org")).startsWith(QLatin1String("230 ")));
        QTRY_VERIFY(tree.HasNode(QStringLiteral("@0")));
        visitor.send(QStringLiteral("QUIT"));
        QTRY_VERIFY(!tree.HasNode(QStringLiteral("@0")));
        QVERIFY(!Controls(console).fmeFileStats->isHidden());
        QVERIFY(Controls(console).fmeList->isHidden());

        // A tree click brings the list back.
        click(tree, QStringLiteral("users"));
        QVERIFY(Controls(console).fmeFileStats->isHidden());
        QVERIFY(!Controls(console).fmeList->isHidden());
        QVERIFY(fixture.doubles.errors->reports.isEmpty());
    }

    void theConnectionPanelKeepsTheWidthAndItsDigitsReadable()
    {
        // The program's own face, as the panel's captions are drawn in it.
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([&before] { QApplication::setFont(before); });
        UseProgramFont();
        ConsoleFixture fixture;
        fixture.writeConfig();
        ModMain::PrepareApplicationFolder();
        fixture.writeBob();
        // A terabyte received so far, and a long count.
        fixture.folder.write(QStringLiteral("/users/stats/bob.Received_File_Size.txt"), "999999999999\r\n");
        fixture.folder.write(QStringLiteral("/users/stats/bob.Received_File_Count.txt"), "123456789\r\n");
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        const int width = TwipsToPixels(10125);
        TreeViewControl& tree = *Controls(console).tvwDb;

        LoopbackClient bob(Controls(console).FtpEngine1->BoundPort());
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QTRY_VERIFY(tree.HasNode(QStringLiteral("@0")));
        tree.EnsureVisible(QStringLiteral("@0"));
        for (const char* key : {"@0", "root", "@0"}) {
            click(tree, QString::fromLatin1(key));
            LetTimePass(50); // the window manager's answer to a new minimum size would change the width
            QCOMPARE(console.width(), width);
        }
        QCOMPARE(Controls(console).fmeUser->rdTotalMBreceived->Value(), QStringLiteral("999999.999.999"));
        // The digits' height as the display draws them: the segment length is
        // what both the width per digit cell and the height allow.
        for (const DigitDisplay* d : Controls(console).fmeUser->findChildren<DigitDisplay*>()) {
            const int cells = d->digitCount() * 6 + 1;
            const int segment = std::min(d->width() * 5 / cells, d->height() * 5 / 12);
            QVERIFY2(2 * segment >= 10, qPrintable(d->objectName() + QLatin1Char(' ') + d->Value()));
            QVERIFY(Controls(console).fmeUser->rect().contains(d->geometry()));
        }
        // Every caption whole: no room was taken from the captions either.
        for (const QLabel* caption : Controls(console).fmeUser->findChildren<QLabel*>())
            QVERIFY2(caption->contentsRect().width() >= caption->fontMetrics().horizontalAdvance(caption->text()),
                     qPrintable(caption->text()));
        QVERIFY(!SaveShot(console, QStringLiteral("connection-panel-large-totals")).isEmpty());

        // A long name shows its start. Every value of the panel's formats is
        // drawn at one height, no lower than the text's digits.
        const QString root = fixture.folder.file(QStringLiteral("/root"));
        const QString name = QStringLiteral("me_abcdefghijklmnopqrstuvwxyz");
        QVERIFY(WriteOpenGroup(name + QStringLiteral("_group"), root) && WriteOpenAccount(name, name, name + QStringLiteral("_group"), root));
        LoopbackClient longName(Controls(console).FtpEngine1->BoundPort());
        QVERIFY(longName.login(name, name).startsWith(QLatin1String("230 ")));
        QTRY_VERIFY(tree.HasNode(QStringLiteral("@1")));
        click(tree, QStringLiteral("@1"));
        ConnectionPanel& panel = *Controls(console).fmeUser;
        QCOMPARE(panel.txtUserName->cursorPosition() + panel.txtGroup->cursorPosition(), 0);
        QVERIFY(panel.txtGroup->fontMetrics().horizontalAdvance(panel.txtGroup->text()) > panel.txtGroup->width());
        const QStringList left{"0", "9999999999", "00:00:00", "99:59:59"};
        const QStringList right{"0.000.000", "99999999999.999.999", "1.2.3.4", "255.255.255.255"};
        QSet<int> heights;
        for (DigitDisplay* d : panel.findChildren<DigitDisplay*>())
            for (const QString& value : d->x() < panel.width() / 2 ? left : right) {
                d->SetValue(value);
                heights.insert(drawnDigitHeight(*d));
            }
        QCOMPARE(heights.size(), 1);
        QVERIFY(*heights.begin() >= QFontMetrics(panel.font()).tightBoundingRect(QStringLiteral("0")).height());
    }

    void vanishedConnectionIsRepairedOnATreePress()
    {
        ConsoleFixture fixture;
        fixture.writeConfig(ConsoleFixture::Settings().Stopped());
        frmMain& console = fixture.console();
        console.show();
        QVERIFY(QTest::qWaitForWindowExposed(&console));
        ConsoleState::SelectedKey = QStringLiteral("@4");
        ConsoleState::SelectedItem = QStringLiteral("gone");
        click(*Controls(console).tvwDb, QStringLiteral("root"), Qt::MiddleButton);
        QCOMPARE(ConsoleState::SelectedKey, QStringLiteral("Active"));
        QCOMPARE(ConsoleState::SelectedItem, QString());
        QCOMPARE(Controls(console).lvwDb->ColumnCount(), 13);
        QVERIFY(!console.Menu(MainMnu)->isVisible() && !console.Menu(mnuRefreshOptions)->isVisible());
    }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
