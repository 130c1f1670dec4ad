// A list refilled from nothing between BeginUpdate and EndUpdate: it ends up
// with exactly the new rows, tells its views only what changed, and keeps a
// selected row that is still the same row.
#include "platform/ColumnWidths.h"
#include "platform/ListViewControl.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

// Rows as "key=text/cell", top first, or "key=text/cell#identity".
ListViewItem row(const QString& spec)
{
    const QString key = spec.section(QLatin1Char('='), 0, 0);
    const QString rest = spec.section(QLatin1Char('='), 1).section(QLatin1Char('#'), 0, 0);
    return {key, rest.section(QLatin1Char('/'), 0, 0), 9, 9, {rest.section(QLatin1Char('/'), 1)}, 0,
            spec.section(QLatin1Char('#'), 1)};
}

void fill(ListViewControl& list, const QStringList& titles, const QStringList& rows)
{
    list.ClearColumns();
    list.ClearItems();
    for (const QString& t : titles)
        list.AddColumn(t, 1500);
    // As the pane does: every row at the top, the last one added first.
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        list.InsertItem(1, row(*it));
}

QStringList shown(const ListViewControl& list)
{
    QStringList out;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const ListViewItem item = list.Item(i);
        out.append(item.key + QLatin1Char('=') + item.text + QLatin1Char('/') + item.subItems.value(0)
                   + (item.identity.isEmpty() ? QString() : QLatin1Char('#') + item.identity));
    }
    return out;
}

} // namespace

class TestListViewRefill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refillReportsOnlyTheDifference_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("selected");  // key selected before the refill
        QTest::addColumn<QString>("selectedAfter"); // and after it; empty: none
        QTest::addColumn<int>("inserted");      // rows the views were told of
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("changed");

        const QStringList three{"k2=c/1", "k1=b/1", "k0=a/1"};
        QTest::newRow("same rows") << three << three << "k1" << "k1" << 0 << 0 << 0;
        QTest::newRow("a login at the top") << three << QStringList{"k3=d/1", "k2=c/1", "k1=b/1", "k0=a/1"}
                                            << "k0" << "k0" << 1 << 0 << 0;
        QTest::newRow("one cell changes") << three << QStringList{"k2=c/1", "k1=b/2", "k0=a/1"} << "k1" << "k1"
                                          << 0 << 0 << 1;
        // The first session ends: the later ones move down one index.
        QTest::newRow("indexes move") << three << QStringList{"k1=c/1", "k0=b/1"} << "k2" << "" << 0 << 1 << 2;
        QTest::newRow("another row under the key") << three << QStringList{"k2=c/1", "k1=x/1", "k0=a/1"} << "k1"
                                                   << "" << 0 << 0 << 1;
        QTest::newRow("all go") << three << QStringList{} << "k0" << "" << 0 << 3 << 0;
        QTest::newRow("first rows") << QStringList{} << three << "" << "" << 3 << 0 << 0;
        // Rows that stand for a file or a session stay theirs when their keys move.
        const QStringList files{"k3=c/1#c", "k2=b/1#b", "k1=a/1#a"};
        QTest::newRow("a file comes between") << files << QStringList{"k4=c/1#c", "k3=bb/1#bb", "k2=b/1#b", "k1=a/1#a"}
                                              << "k3" << "k4" << 1 << 0 << 1;
        QTest::newRow("a file changes places") << files << QStringList{"k3=b/1#b", "k2=a/1#a", "k1=c/1#c"} << "k1"
                                               << "k2" << 1 << 1 << 2;
        QTest::newRow("an earlier session ends") << QStringList{"k2=bob/1#7", "k1=bob/1#5", "k0=bob/1#4"}
                                                 << QStringList{"k1=bob/1#7", "k0=bob/1#5"} << "k1" << "k0" << 0 << 1
                                                 << 2;
    }

    void refillReportsOnlyTheDifference()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QString, selected);
        QFETCH(QString, selectedAfter);
        QFETCH(int, inserted);
        QFETCH(int, removed);
        QFETCH(int, changed);

        ListViewControl list;
        const QStringList titles{"User", "Host Name"};
        fill(list, titles, before);
        if (!selected.isEmpty())
            QVERIFY(list.SelectItem(selected));
        const QString selectedText = list.SelectedText();

        QAbstractItemModel* model = list.findChild<QTreeView*>()->model();
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        QSignalSpy ins(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy rem(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy data(model, &QAbstractItemModel::dataChanged);
        list.BeginUpdate();
        fill(list, titles, after);
        QCOMPARE(shown(list), after); // reads see the new rows at once
        list.EndUpdate();

        QCOMPARE(shown(list), after);
        QCOMPARE(list.ColumnCount(), 2);
        QCOMPARE(resets.count(), 0);
        int rowsIn = 0, rowsOut = 0, rowsChanged = 0;
        for (const auto& s : ins)
            rowsIn += s.at(2).toInt() - s.at(1).toInt() + 1;
        for (const auto& s : rem)
            rowsOut += s.at(2).toInt() - s.at(1).toInt() + 1;
        for (const auto& s : data)
            rowsChanged += s.at(1).toModelIndex().row() - s.at(0).toModelIndex().row() + 1;
        QCOMPARE(rowsIn, inserted);
        QCOMPARE(rowsOut, removed);
        QCOMPARE(rowsChanged, changed);
        if (!selectedAfter.isEmpty()) {
            QCOMPARE(list.SelectedItem()->key, selectedAfter);
            QCOMPARE(list.SelectedText(), selectedText);
        } else {
            QVERIFY(!list.SelectedItem());
        }

        // Other columns: a new list from the start, with the widths given.
        list.BeginUpdate();
        list.ClearColumns();
        list.ClearItems();
        list.AddColumn(QStringLiteral("Groups"), 6000);
        list.InsertItem(1, row(QStringLiteral("k1=staff/")));
        list.EndUpdate();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(list.ColumnCount(), 1);
        QCOMPARE(list.ColumnTitle(0), QStringLiteral("Groups"));
        QCOMPARE(list.ColumnWidth(0), FittedColumnWidth(400, list.font()));
        QCOMPARE(shown(list), QStringList{"k1=staff/"});
        QVERIFY(!list.SelectedItem());
    }

    // Scrolled sideways, a list refilled with its own columns (a refresh, a
    // login) stays where it is; another list starts at its first column.
    void anotherListStartsAtItsFirstColumn()
    {
        ListViewControl list;
        const QStringList wide{"User", "Host Name", "Group", "Status", "Time", "Root folder"};
        const auto refill = [&](const QStringList& titles) {
            list.BeginUpdate();
            fill(list, titles, {"k1=bob/x"});
            list.EndUpdate();
        };
        refill(wide);
        list.resize(300, 150);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* view = list.findChild<QTreeView*>();
        QScrollBar* sideways = view->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 200);
        sideways->setValue(200); // the person drags the scroll bar
        refill(wide);
        QCOMPARE(sideways->value(), 200);
        refill({" Log ", "Size", "Modified", "Root folder", "Current folder"});
        QCOMPARE(sideways->value(), 0);
        QCOMPARE(view->header()->offset(), 0);
    }
};

QTEST_MAIN(TestListViewRefill)
#include "tst_listviewrefill.moc"
