// Live sessions in the console: the connection subtree, the connection lists,
// the panel of one session, and a selection that follows its session.
#include "LoopbackClient.h"
#include "PaneFixture.h"
#include "platform/DigitDisplay.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

namespace {

QStringList texts(const TreeViewControl& t, const QString& key)
{
    QStringList out;
    for (const QString& k : t.ChildKeys(key))
        out.append(k + QLatin1Char('=') + t.NodeText(k));
    return out;
}

QStringList rowTexts(const ListViewControl& l)
{
    QStringList out;
    for (int i = 0; i < l.ItemCount(); ++i)
        out.append(l.Item(i).key + QLatin1Char('=') + l.Item(i).text);
    return out;
}

} // namespace

class ConnectionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void subtreeListsAndPanel()
    {
        PaneFixture f;
        const quint16 port = f.start();
        QVERIFY(port != 0);

        LoopbackClient bob(port), wrong(port), anon(port);
        QVERIFY(bob.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230 ")));
        QCOMPARE(wrong.login(QStringLiteral("bob"), QStringLiteral("nope")), QStringLiteral("530 Invalid password."));
        QVERIFY(anon.login(QStringLiteral("anonymous"), QStringLiteral("me@example.org")).startsWith(QLatin1String("230 ")));
        f.pane->UpdateUserTree(); // the refused login rebuilt nothing

        QCOMPARE(f.tree.ChildKeys(QStringLiteral("Active")), QStringList{QStringLiteral("#@127.0.0.1")});
        QCOMPARE(texts(f.tree, QStringLiteral("#@127.0.0.1")), (QStringList{"@0=bob", "@1=bob", "@2=anonymous"}));
        QCOMPARE(f.tree.NodeImage(QStringLiteral("#@127.0.0.1")), 2);
        QCOMPARE(f.tree.NodeImage(QStringLiteral("@1")), 4);

        f.pane->UpdateTree(QStringLiteral("Active"));
        QCOMPARE(f.list.ColumnCount(), 13);
        QCOMPARE(f.list.ColumnTitle(12), QStringLiteral("Current folder"));
        QCOMPARE(rowTexts(f.list), (QStringList{"k2=anonymous", "k1=bob", "k0=bob"}));
        const ListViewItem refused = f.list.Item(1);
        QCOMPARE(refused.tag, 1);
        QCOMPARE(refused.icon, 9);
        QCOMPARE(refused.subItems.at(0), QStringLiteral("127.0.0.1"));
        QCOMPARE(refused.subItems.at(1), QStringLiteral("staff")); // no record: the account's group
        QCOMPARE(refused.subItems.at(2), QStringLiteral("Authorizing"));
        QCOMPARE(refused.subItems.at(4), QStringLiteral("0"));
        QCOMPARE(refused.subItems.at(7), QStringLiteral("0.000.000"));
        QCOMPARE(f.list.Item(0).subItems.at(1), QStringLiteral("public"));
        QCOMPARE(f.list.Item(0).subItems.at(2), QStringLiteral("Connected"));
        QCOMPARE(f.list.Item(2).subItems.at(10), f.home.file(QStringLiteral("/root/")).toLower());

        f.pane->UpdateTree(QStringLiteral("#@127.0.0.1"));
        QCOMPARE(f.list.ItemCount(), 3);
        f.pane->UpdateTree(QStringLiteral("#@10.9.8.7"));
        QCOMPARE(f.list.ColumnCount(), 13);
        QCOMPARE(f.list.ItemCount(), 0);

        // The panel: session counters, and the user's totals from the counter files.
        f.home.write(QStringLiteral("/users/stats/bob.Sent_File_Count.txt"), "41\r\n");
        f.home.write(QStringLiteral("/users/stats/bob.Sent_File_Size.txt"), "1234567\r\n");
        ConsoleState::SelectedKey = QStringLiteral("@0");
        f.pane->UpdateTree(QStringLiteral("@0"));
        QVERIFY(f.panel.isVisibleTo(nullptr) || !f.panel.isHidden());
        QVERIFY(f.list.isHidden());
        QCOMPARE(ConsoleState::ConnectionID, 0);
        QCOMPARE(f.panel.txtUserName->text(), QStringLiteral("bob"));
        QCOMPARE(f.panel.txtGroup->text(), QStringLiteral("staff"));
        QCOMPARE(f.panel.rdIP->Value(), QStringLiteral("127.0.0.1"));
        QCOMPARE(f.panel.rdFilesSent->Value(), QStringLiteral("0"));
        QCOMPARE(f.panel.rdMBsent->Value(), QStringLiteral("0.000.000"));
        QCOMPARE(f.panel.rdTotalFilesSent->Value(), QStringLiteral("41"));
        QCOMPARE(f.panel.rdTotalMBsent->Value(), QStringLiteral("1.234.567"));
        QCOMPARE(f.panel.rdTotalFilesReceived->Value(), QStringLiteral("0"));
        QCOMPARE(f.panel.rdTotalMBreceived->Value(), QStringLiteral("0.000.000"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(f.panel.RDConnectTime->Value()).hasMatch());
        QCOMPARE(f.panel.txtCurrentFolder->text(), f.home.file(QStringLiteral("/root/")).toLower());

        // The refused session has no record: zeros, never another session's values.
        f.pane->UpdateTree(QStringLiteral("@1"));
        QCOMPARE(f.panel.txtUserName->text(), QStringLiteral("bob"));
        QCOMPARE(f.panel.rdFilesSent->Value(), QStringLiteral("0"));
        QCOMPARE(f.panel.rdMBtransfered->Value(), QStringLiteral("0.000.000"));
        QVERIFY(f.doubles.errors->reports.isEmpty());
    }

    void selectionFollowsItsSession()
    {
        PaneFixture f;
        const quint16 port = f.start();
        LoopbackClient first(port), second(port), third(port);
        QVERIFY(first.login(QStringLiteral("bob"), QStringLiteral("secret")).startsWith(QLatin1String("230")));
        QVERIFY(second.login(QStringLiteral("anonymous"), QStringLiteral("a@b")).startsWith(QLatin1String("230")));
        QVERIFY(third.login(QStringLiteral("anonymous"), QStringLiteral("c@d")).startsWith(QLatin1String("230")));
        ConsoleState::SelectedKey = QStringLiteral("@2");
        f.pane->UpdateTree(ConsoleState::SelectedKey);
        QCOMPARE(f.panel.txtUserName->text(), QStringLiteral("anonymous"));

        // An earlier session ends: the selection moves with its own session.
        first.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(f.engine.Sessions().Count(), 2);
        QTRY_COMPARE(ConsoleState::SelectedKey, QStringLiteral("@1"));
        QCOMPARE(f.tree.NodeText(QStringLiteral("@1")), QStringLiteral("anonymous"));
        QCOMPARE(ConsoleState::ConnectionID, 1);
        QVERIFY(!f.panel.isHidden());

        // The selected session ends: the pane falls back to the connection list.
        third.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(ConsoleState::SelectedKey, QStringLiteral("Active"));
        QVERIFY(f.panel.isHidden());
        QCOMPARE(f.list.ColumnCount(), 13);
        QCOMPARE(rowTexts(f.list), QStringList{"k0=anonymous"});

        second.send(QStringLiteral("QUIT"));
        QTRY_COMPARE(f.engine.Sessions().Count(), 0);
        QTRY_VERIFY(f.tree.ChildKeys(QStringLiteral("Active")).isEmpty());
        QVERIFY(f.tree.HasNode(QStringLiteral("Active")));
    }

    void hostsAndExpandedState()
    {
        PaneFixture f;
        const quint16 port = f.start();
        LoopbackClient a(port, QStringLiteral("127.0.0.2")), b(port, QStringLiteral("127.0.0.3")),
            c(port, QStringLiteral("127.0.0.2"));
        for (LoopbackClient* client : {&a, &b, &c})
            QVERIFY(client->login(QStringLiteral("anonymous"), QStringLiteral("x@y")).startsWith(QLatin1String("230")));
        QCOMPARE(f.tree.ChildKeys(QStringLiteral("Active")),
                 (QStringList{QStringLiteral("#@127.0.0.2"), QStringLiteral("#@127.0.0.3")}));
        QCOMPARE(f.tree.ChildKeys(QStringLiteral("#@127.0.0.2")), (QStringList{"@0", "@2"}));

        f.tree.SetExpanded(QStringLiteral("Active"), true);
        f.tree.SetExpanded(QStringLiteral("#@127.0.0.2"), true);
        f.pane->UpdateUserTree();
        QVERIFY(f.tree.Expanded(QStringLiteral("Active")));
        QVERIFY(f.tree.Expanded(QStringLiteral("#@127.0.0.2")));

        f.pane->UpdateTree(QStringLiteral("#@127.0.0.3"));
        QCOMPARE(rowTexts(f.list), QStringList{"k1=anonymous"});
    }

    void threeHundredSessions()
    {
        PaneFixture f;
        const quint16 port = f.start();
        std::vector<std::unique_ptr<LoopbackClient>> clients;
        ConsoleState::SelectedKey = QStringLiteral("Active");
        QElapsedTimer all;
        all.start();
        for (int i = 0; i < 300; ++i) {
            clients.push_back(std::make_unique<LoopbackClient>(
                port, QStringLiteral("127.0.0.%1").arg(1 + i % 3)));
            // Both lines at once: every login then rebuilds the tree as it lands.
            clients.back()->send(QStringLiteral("USER anonymous"));
            clients.back()->send(QStringLiteral("PASS x@y"));
        }
        for (auto& client : clients)
            QVERIFY(client->waitFor(QStringLiteral("230"), 30000));
        const qint64 loginMs = all.elapsed();
        QCOMPARE(f.engine.Sessions().Count(), 300);

        QElapsedTimer one;
        one.start();
        const int runs = 5;
        for (int i = 0; i < runs; ++i)
            f.pane->UpdateUserTree();
        const double perRebuild = double(one.nsecsElapsed()) / 1e6 / runs;
        qInfo("UpdateUserTree with 300 sessions, connection list shown: %.1f ms (300 logins took %lld ms)",
              perRebuild, loginMs);
        QCOMPARE(f.list.ItemCount(), 300);
        QVERIFY2(perRebuild < 500, "a rebuild with 300 sessions must stay well under half a second");

        for (auto& client : clients)
            client->send(QStringLiteral("QUIT"));
        QTRY_COMPARE_WITH_TIMEOUT(f.engine.Sessions().Count(), 0, 30000);
        QVERIFY(f.tree.ChildKeys(QStringLiteral("Active")).isEmpty());
    }
};

QTEST_MAIN(ConnectionsTest)
#include "tst_connections.moc"
