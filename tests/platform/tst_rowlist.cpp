// The row list as the console log and the statistics tables use it.
#include "platform/RowList.h"
#include "platform/ColumnWidths.h"
#include "tests/support/TimePasses.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

QList<RowListColumn> logColumns()
{
    return {{QStringLiteral("Date"), 70},
            {QStringLiteral("Time"), 60},
            {QStringLiteral("Client Address"), 75},
            {QStringLiteral("User name"), 75},
            {QStringLiteral("Message"), 1000}};
}

QString logRow(int n)
{
    return QStringLiteral("01-02-2024\n10:00:00\nserver\nserver\nline %1").arg(n);
}

} // namespace

class TestRowList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsAndCaptionAsMade()
    {
        RowList list(QStringLiteral("Server Log"), logColumns());
        QCOMPARE(list.Caption(), QStringLiteral("Server Log"));
        QCOMPARE(list.ColumnCount(), 5);
        QCOMPARE(list.ColumnTitle(2), QStringLiteral("Client Address"));
        QCOMPARE(list.ColumnWidth(0), FittedColumnWidth(70, list.font()));
        QCOMPARE(list.ColumnWidth(4), FittedColumnWidth(1000, list.font()));

        RowList table(QString(), {{QStringLiteral("Session"), 50}});
        QVERIFY(table.findChild<QLabel*>()->isHidden());
    }

    void rowsSplitAtLineFeedsIntoColumns()
    {
        RowList list(QString(), logColumns());
        list.AddRow(QStringLiteral("01-02-2024\n10:00:00\n127.0.0.1\nbob\n230 bob login ok."));
        list.AddRow(QStringLiteral("only\ntwo"));
        list.AddRow(QStringLiteral("a\nb\nc\nd\ne\nextra"));
        QCOMPARE(list.RowCount(), 3);
        QCOMPARE(list.Cell(0, 2), QStringLiteral("127.0.0.1"));
        QCOMPARE(list.Cell(0, 4), QStringLiteral("230 bob login ok."));
        QCOMPARE(list.Cell(1, 1), QStringLiteral("two"));
        QCOMPARE(list.Cell(1, 4), QString());
        QCOMPARE(list.Cell(2, 4), QStringLiteral("e"));
        // What the view shows is what was added.
        QAbstractItemModel* model = list.findChild<QTableView*>()->model();
        QCOMPARE(model->data(model->index(0, 3)).toString(), QStringLiteral("bob"));
        QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Message"));
    }

    void removeSelectAndClear()
    {
        RowList list(QString(), logColumns());
        for (int i = 0; i < 4; ++i)
            list.AddRow(logRow(i));
        list.RemoveRow(0);
        QCOMPARE(list.RowCount(), 3);
        QCOMPARE(list.Cell(0, 4), QStringLiteral("line 1"));
        list.RemoveRow(7); // ignored
        QCOMPARE(list.RowCount(), 3);

        QCOMPARE(list.SelectedRow(), -1);
        list.SetSelectedRow(2);
        QCOMPARE(list.SelectedRow(), 2);
        list.SetSelectedRow(5);
        QCOMPARE(list.SelectedRow(), -1);
        QVERIFY(!list.findChild<QTableView*>()->currentIndex().isValid()); // no band left behind

        list.Clear();
        QCOMPARE(list.RowCount(), 0);
        QCOMPARE(list.ColumnCount(), 5);
    }

    void consoleLogKeepsThousandRowsWithNewestInView()
    {
        RowList list(QStringLiteral("Server Log"), logColumns());
        list.resize(600, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        ConsoleLogList& log = list;
        QAbstractItemModel* model = list.findChild<QTableView*>()->model();
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);

        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 3000; ++i)
            AppendConsoleRow(log, logRow(i), 4);
        const qint64 elapsed = timer.elapsed();

        QCOMPARE(log.RowCount(), ConsoleLogMaxRows);
        QCOMPARE(list.Cell(0, 4), QStringLiteral("line 2000"));
        QCOMPARE(list.SelectedRow(), ConsoleLogMaxRows - 1);
        auto* view = list.findChild<QTableView*>();
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(model->index(ConsoleLogMaxRows - 1, 0))));
        QCOMPARE(resets.count(), 0);
        // Generous: a reset or a measured row per append takes far longer.
        QVERIFY2(elapsed < 5000, qPrintable(QStringLiteral("%1 ms for 3000 rows").arg(elapsed)));
    }

    // A click in the message column, wider than the list, leaves the table where
    // it is: the view used to follow the click (after the double-click time) to
    // the column's empty far end, with every other cell and title out of sight.
    // Rows still come into view up and down, and a log that was scrolled
    // sideways by hand stays there as rows arrive.
    void clicksAndNewRowsDoNotCarryTheTableSideways()
    {
        RowList list(QStringLiteral("Server Log"), logColumns());
        list.resize(600, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        for (int i = 0; i < 40; ++i)
            list.AddRow(logRow(i));
        auto* view = list.findChild<QTableView*>();
        QAbstractItemModel* model = view->model();
        QScrollBar* sideways = view->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0);

        const QRect message = view->visualRect(model->index(2, 4)).intersected(view->viewport()->rect());
        QVERIFY(!message.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, message.center());
        WaitOutDelayedAutoScroll();
        QCOMPARE(list.SelectedRow(), 2);
        QCOMPARE(sideways->value(), 0);
        QCOMPARE(view->horizontalHeader()->offset(), 0);
        QVERIFY(view->viewport()->rect().contains(view->visualRect(model->index(2, 0))));

        // The keys move the selection down the message column; the list follows down only.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(list.SelectedRow(), 39);
        QCOMPARE(sideways->value(), 0);
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(model->index(39, 0))));

        sideways->setValue(2); // the person drags the scroll bar to read the messages
        const int offset = view->horizontalHeader()->offset();
        list.AddRow(logRow(40));
        list.SetSelectedRow(40);
        QCOMPARE(list.SelectedRow(), 40);
        QCOMPARE(sideways->value(), 2);
        QCOMPARE(view->horizontalHeader()->offset(), offset);
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(model->index(40, 4))));
    }

    // A busy full log: the rows of one tick come and go together, read at
    // once and shown at the tick, the rows moving up in place.
    void aFullLogTakesTheRowsOfATickInPlace()
    {
        RowList list(QStringLiteral("Server Log"), logColumns());
        list.resize(600, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        for (int i = 0; i < ConsoleLogMaxRows; ++i)
            AppendConsoleRow(list, logRow(i), 4);
        QCOMPARE(list.SelectedRow(), ConsoleLogMaxRows - 1);
        auto* view = list.findChild<QTableView*>();
        QAbstractItemModel* model = view->model();
        const int bottom = view->verticalScrollBar()->value();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);

        for (int i = ConsoleLogMaxRows; i < ConsoleLogMaxRows + 30; ++i)
            AppendConsoleRow(list, logRow(i), 4);
        QCOMPARE(list.RowCount(), ConsoleLogMaxRows); // read before the tick
        QCOMPARE(model->rowCount(), ConsoleLogMaxRows);
        QTRY_COMPARE(model->data(model->index(0, 4)).toString(), QStringLiteral("line 30")); // shown at the tick
        QCOMPARE(list.Cell(ConsoleLogMaxRows - 1, 4), QStringLiteral("line 1029"));
        QCOMPARE(list.SelectedRow(), ConsoleLogMaxRows - 1);
        QCOMPARE(view->verticalScrollBar()->value(), bottom);
        QCOMPARE(inserted.count() + removed.count(), 0);
    }
};

QTEST_MAIN(TestRowList)
#include "tst_rowlist.moc"
