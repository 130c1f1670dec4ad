// The keyed tree: keys, subtrees, addition order, and presses that must not
// move the selection (other buttons, or beside every node).
#include "platform/TreeViewControl.h"

#include <QSignalSpy>
#include <QTest>

class TreeViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysSubtreesAndOrder()
    {
        TreeViewControl t;
        QVERIFY(t.AddNode({}, QStringLiteral("root"), QStringLiteral("FTP Server"), 9, QStringLiteral("server")));
        QVERIFY(t.AddNode(QStringLiteral("root"), QStringLiteral("Active"), QStringLiteral("Connections"), 10));
        QVERIFY(t.AddNode(QStringLiteral("Active"), QStringLiteral("#@1.2.3.4"), QStringLiteral("1.2.3.4"), 2));
        QVERIFY(t.AddNode(QStringLiteral("#@1.2.3.4"), QStringLiteral("@0"), QStringLiteral("bob"), 4));
        QVERIFY(!t.AddNode(QStringLiteral("Active"), QStringLiteral("#@1.2.3.4"), QStringLiteral("dup"), 2));
        QVERIFY(!t.AddNode(QStringLiteral("nosuch"), QStringLiteral("x"), QStringLiteral("x"), 2));
        QCOMPARE(t.NodeTag(QStringLiteral("root")), QStringLiteral("server"));
        QCOMPARE(t.NodeCount(), 4);
        QCOMPARE(t.ParentKey(QStringLiteral("@0")), QStringLiteral("#@1.2.3.4"));

        QVERIFY(t.RemoveNode(QStringLiteral("#@1.2.3.4")));
        QVERIFY(!t.HasNode(QStringLiteral("@0")));
        QCOMPARE(t.KeysInOrder(), (QStringList{QStringLiteral("root"), QStringLiteral("Active")}));
        QVERIFY(!t.RemoveNode(QStringLiteral("@0")));
        QVERIFY(t.AddNode(QStringLiteral("Active"), QStringLiteral("@0"), QString(), 4)); // key free again

        // The highlight goes with its node; no neighbour takes it unasked.
        QVERIFY(t.AddNode(QStringLiteral("Active"), QStringLiteral("@1"), QString(), 4));
        t.Highlight(QStringLiteral("@0"));
        QVERIFY(t.RemoveNode(QStringLiteral("@0")));
        QVERIFY(t.SelectedKey().isEmpty() && !t.currentItem());
    }

    void rightPressKeepsSelection()
    {
        TreeViewControl t;
        t.resize(300, 200);
        t.AddNode({}, QStringLiteral("root"), QStringLiteral("FTP Server"), 9);
        t.AddNode(QStringLiteral("root"), QStringLiteral("users"), QStringLiteral("Users"), 4);
        t.EnsureVisible(QStringLiteral("users"));
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QSignalSpy clicks(&t, &TreeViewControl::NodeClick);
        QSignalSpy presses(&t, &TreeViewControl::MouseDown);

        const QPoint rootAt = t.visualItemRect(t.Node(QStringLiteral("root"))).center();
        const QPoint usersAt = t.visualItemRect(t.Node(QStringLiteral("users"))).center();
        QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, rootAt);
        QCOMPARE(t.SelectedKey(), QStringLiteral("root"));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("root"));

        QTest::mousePress(t.viewport(), Qt::RightButton, {}, usersAt);
        QCOMPARE(t.SelectedKey(), QStringLiteral("root"));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(presses.last().at(0).toInt(), int(TreeViewControl::RightButton));

        // A click or double-click beside every node leaves the highlight on the node the pane shows.
        const QPoint below(usersAt.x(), t.viewport()->height() - 5);
        QVERIFY(!t.indexAt(below).isValid());
        QTest::mouseClick(t.viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(t.viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(t.SelectedKey(), QStringLiteral("root"));
        QVERIFY(t.Node(QStringLiteral("root"))->isSelected());
        QCOMPARE(clicks.size(), 1);
    }
};

QTEST_MAIN(TreeViewTest)
#include "tst_treeview.moc"
