// The list view of the console's right-hand pane, with the console's pictures.
#include "platform/ConsoleImages.h"
#include "platform/ColumnWidths.h"
#include "platform/ListViewControl.h"
#include "tests/support/TimePasses.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

namespace {

ListViewItem connectionRow(int index, const QString& user)
{
    return {QStringLiteral("k%1").arg(index), user, ListImage::Connection, ListImage::Connection,
            {QStringLiteral("127.0.0.1"), QStringLiteral("public")}, index, {}};
}

QAbstractItemView* shownView(ListViewControl& list)
{
    for (auto* view : list.findChildren<QAbstractItemView*>())
        if (view->isVisible())
            return view;
    return nullptr;
}

} // namespace

class TestListView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsTakeTwipsAndRowsGoOnTop()
    {
        ListViewControl list;
        list.AddColumn(QStringLiteral("IP Address"), 1700);
        list.AddColumn(QStringLiteral("Port"), 600);
        list.AddColumn(QStringLiteral("Root Folder"), 5000);
        QCOMPARE(list.ColumnCount(), 3);
        QCOMPARE(list.ColumnTitle(0), QStringLiteral("IP Address"));
        // Twips to pixels, then widened for the font.
        QCOMPARE(list.ColumnWidth(0), FittedColumnWidth(113, list.font()));
        QCOMPARE(list.ColumnWidth(1), FittedColumnWidth(40, list.font()));
        QCOMPARE(list.ColumnWidth(2), FittedColumnWidth(333, list.font()));

        QVERIFY(list.InsertItem(1, connectionRow(0, QStringLiteral("alice"))));
        QVERIFY(list.InsertItem(1, connectionRow(1, QStringLiteral("bob"))));
        QVERIFY(list.InsertItem(3, connectionRow(2, QStringLiteral("carol"))));
        QCOMPARE(list.ItemCount(), 3);
        QCOMPARE(list.Item(0).text, QStringLiteral("bob"));
        QCOMPARE(list.Item(1).text, QStringLiteral("alice"));
        QCOMPARE(list.Item(2).text, QStringLiteral("carol"));

        // Refused: a key already present, a position past the end or before the top.
        QVERIFY(!list.InsertItem(1, connectionRow(1, QStringLiteral("again"))));
        QVERIFY(!list.InsertItem(5, connectionRow(7, QStringLiteral("far"))));
        QVERIFY(!list.InsertItem(0, connectionRow(8, QStringLiteral("zero"))));
        QCOMPARE(list.ItemCount(), 3);

        const std::optional<ListViewItem> bob = list.FindItem(QStringLiteral("k1"));
        QVERIFY(bob);
        QCOMPARE(bob->tag, 1);
        QCOMPARE(bob->subItems.value(1), QStringLiteral("public"));
        QVERIFY(!list.FindItem(QStringLiteral("K1")));

        // The report view shows the text, then the sub-items, column by column.
        QAbstractItemModel* model = list.findChild<QTreeView*>()->model();
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("bob"));
        QCOMPARE(model->data(model->index(0, 2)).toString(), QStringLiteral("public"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Root Folder"));

        list.ClearItems();
        QCOMPARE(list.ItemCount(), 0);
        QCOMPARE(list.ColumnCount(), 3);
        list.ClearColumns();
        QCOMPARE(list.ColumnCount(), 0);
        QVERIFY(list.InsertItem(1, connectionRow(0, QStringLiteral("alice"))));
    }

    void fourViewsOverOneSelection()
    {
        ListViewControl list;
        list.SetImageLists(LargeListImages(), SmallListImages());
        list.AddColumn(QStringLiteral("User"), 1200);
        list.InsertItem(1, connectionRow(0, QStringLiteral("alice")));
        list.InsertItem(1, connectionRow(1, QStringLiteral("bob")));
        list.resize(400, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));

        QCOMPARE(list.View(), ListViewMode::Report);
        QVERIFY(qobject_cast<QTreeView*>(shownView(list)));
        QVERIFY(list.SelectItem(QStringLiteral("k0")));
        QVERIFY(!list.SelectItem(QStringLiteral("k9")));

        const struct {
            ListViewMode mode;
            QListView::ViewMode viewMode;
            QListView::Flow flow;
            int iconSize;
        } iconViews[] = {{ListViewMode::LargeIcons, QListView::IconMode, QListView::LeftToRight, 32},
                         {ListViewMode::SmallIcons, QListView::ListMode, QListView::LeftToRight, 16},
                         {ListViewMode::List, QListView::ListMode, QListView::TopToBottom, 16}};
        for (const auto& expected : iconViews) {
            list.SetView(expected.mode);
            QCOMPARE(list.View(), expected.mode);
            auto* view = qobject_cast<QListView*>(shownView(list));
            QVERIFY(view);
            QCOMPARE(view->viewMode(), expected.viewMode);
            QCOMPARE(view->flow(), expected.flow);
            QCOMPARE(view->iconSize(), QSize(expected.iconSize, expected.iconSize));
            QCOMPARE(list.SelectedText(), QStringLiteral("alice"));
        }
        list.SetView(ListViewMode::Report);
        QVERIFY(qobject_cast<QTreeView*>(shownView(list)));
        QCOMPARE(list.SelectedItem()->tag, 0);
    }

    void largeAndSmallPicturesComeFromTheirLists()
    {
        ImageList large(QSize(32, 32));
        ImageList small(QSize(16, 16));
        const QIcon bigOne = LargeListImages().Icon(ListImage::User);
        const QIcon smallOne = SmallListImages().Icon(ListImage::Group);
        large.Add(bigOne);
        small.Add(QIcon());
        small.Add(smallOne);

        ListViewControl list;
        list.SetImageLists(large, small);
        list.AddColumn(QStringLiteral("Name"), 2000);
        list.InsertItem(1, {QStringLiteral("k1"), QStringLiteral("row"), 1, 2, {}, 0, {}});
        QAbstractItemModel* model = list.findChild<QTreeView*>()->model();
        const auto picture = [&] { return model->data(model->index(0, 0), Qt::DecorationRole).value<QIcon>().cacheKey(); };
        QCOMPARE(picture(), smallOne.cacheKey());
        list.SetView(ListViewMode::LargeIcons);
        QCOMPARE(picture(), bigOne.cacheKey());
        list.SetView(ListViewMode::List);
        QCOMPARE(picture(), smallOne.cacheKey());
    }

    void mouseAndFocusReachTheConsoleAfterSelection()
    {
        QWidget window;
        auto* other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        auto* list = new ListViewControl(&window);
        list->setGeometry(0, 40, 400, 300);
        list->AddColumn(QStringLiteral("User"), 1200);
        list->InsertItem(1, connectionRow(0, QStringLiteral("alice")));
        list->InsertItem(1, connectionRow(1, QStringLiteral("bob")));
        window.resize(400, 340);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();

        QStringList seen;
        connect(list, &ListViewControl::MouseDown, this,
                [&](int button) { seen.append(QStringLiteral("down %1 %2").arg(button).arg(list->SelectedText())); });
        connect(list, &ListViewControl::Clicked, this, [&] { seen.append(QStringLiteral("click ") + list->SelectedText()); });
        connect(list, &ListViewControl::GotFocus, this, [&] { seen.append(QStringLiteral("focus")); });

        auto* tree = list->findChild<QTreeView*>();
        const QPoint bob = tree->visualRect(tree->model()->index(0, 0)).center();
        const QPoint alice = tree->visualRect(tree->model()->index(1, 0)).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, bob);
        QTest::mousePress(tree->viewport(), Qt::RightButton, {}, alice);
        QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, alice);
        QTest::mouseClick(tree->viewport(), Qt::MiddleButton, {}, bob);
        QCOMPARE(seen, QStringList({QStringLiteral("focus"), QStringLiteral("down 1 bob"), QStringLiteral("click bob"),
                                    QStringLiteral("down 2 alice"), QStringLiteral("down 4 bob")}));

        // A double-click reports after the selection; a right one does not.
        connect(list, &ListViewControl::DblClick, this, [&] { seen.append(QStringLiteral("dbl ") + list->SelectedText()); });
        seen.clear();
        QTest::mouseDClick(tree->viewport(), Qt::RightButton, {}, bob);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, alice);
        QCOMPARE(seen.filter(QStringLiteral("dbl")), QStringList{QStringLiteral("dbl alice")});

        // Changing the view keeps the focus without a second GotFocus.
        seen.clear();
        list->SetView(ListViewMode::SmallIcons);
        auto* icons = list->findChild<QListView*>();
        QVERIFY(icons->hasFocus());
        QVERIFY2(seen.isEmpty(), qPrintable(seen.join(QLatin1Char(','))));
        QTest::mouseDClick(icons->viewport(), Qt::LeftButton, {}, icons->visualRect(icons->model()->index(0, 0)).center());
        QCOMPARE(seen.last(), QStringLiteral("dbl bob"));
    }

    void tooltipShowsOverRowsAndSpace()
    {
        ListViewControl list;
        list.setToolTip(QStringLiteral("Information Page"));
        list.AddColumn(QStringLiteral("User"), 1200);
        list.InsertItem(1, connectionRow(0, QStringLiteral("alice")));
        list.resize(300, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* tree = list.findChild<QTreeView*>();
        for (QPoint at : {tree->visualRect(tree->model()->index(0, 0)).center(), QPoint(150, 150)}) {
            QToolTip::hideText();
            QHelpEvent help(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
            QApplication::sendEvent(tree->viewport(), &help);
            QTRY_COMPARE(QToolTip::text(), QStringLiteral("Information Page"));
        }
    }

    // A click in a column wider than the list selects the row and leaves the
    // list where it is, rather than scrolling to that column with every other
    // column out of sight.
    void clickInAWideColumnKeepsTheListInPlace()
    {
        ListViewControl list;
        list.AddColumn(QStringLiteral("User"), 1200);
        list.AddColumn(QStringLiteral("Host Name"), 1200);
        list.AddColumn(QStringLiteral("Root folder"), 12000);
        for (int i = 0; i < 3; ++i)
            QVERIFY(list.InsertItem(1, connectionRow(i, QStringLiteral("user%1").arg(i))));
        list.resize(450, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* view = list.findChild<QTreeView*>();
        QScrollBar* sideways = view->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0);

        const QRect wide = view->visualRect(view->model()->index(1, 2)).intersected(view->viewport()->rect());
        QVERIFY(!wide.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, wide.center());
        WaitOutDelayedAutoScroll();
        QCOMPARE(list.SelectedText(), QStringLiteral("user1"));
        QCOMPARE(sideways->value(), 0);
        QCOMPARE(view->header()->offset(), 0);
        QVERIFY(view->viewport()->rect().contains(view->visualRect(view->model()->index(1, 0))));
    }
};

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
