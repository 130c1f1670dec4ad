#include "console/ConnectionSubtree.h"

#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/TreeViewControl.h"

#include <QHash>
#include <QTreeWidgetItem>

namespace ConnectionSubtree {

namespace {

const QString Active = QStringLiteral("Active");

bool InSubtree(const QString& key)
{
    return key.startsWith(QLatin1Char('@')) || key.startsWith(QLatin1String("#@"));
}

// One connection node as a rebuild from the engine's list would make it.
struct Wanted {
    QString key;
    QString text;
    QString tag;
    QString host;
};

} // namespace

QString Rebuild(TreeViewControl& tree, const FtpEngine& engine, const QString& follow)
{
    if (!tree.HasNode(Active))
        return {};

    // What a rebuild from nothing gives: host nodes in the order of each
    // address's first session, connection nodes in index order, and the
    // nodes' order of addition.
    const QStringList before = tree.KeysInOrder();
    QStringList order;
    order.reserve(before.size());
    for (const QString& key : before) {
        if (!InSubtree(key))
            order.append(key);
    }
    QList<Wanted> wanted;
    QStringList hosts;
    QHash<QString, QList<int>> hostChildren;
    QHash<QString, int> byTag;
    const FtpSessions& sessions = engine.Sessions();
    const int count = sessions.Count();
    wanted.reserve(count);
    for (int i = 0; i < count; ++i) {
        const FtpUser* user = sessions.Item(i);
        if (!user)
            continue;
        Wanted w{QStringLiteral("@") + QString::number(i), user->UserName(), QString::number(user->SessionId()),
                 QStringLiteral("#@") + user->RemoteAddress()};
        auto children = hostChildren.find(w.host);
        if (children == hostChildren.end()) {
            hosts.append(w.host);
            order.append(w.host);
            children = hostChildren.insert(w.host, {});
        }
        children->append(int(wanted.size()));
        order.append(w.key);
        byTag.insert(w.tag, int(wanted.size()));
        wanted.append(std::move(w));
    }

    // Only what differs from that reaches the tree: nodes of ended sessions
    // and addresses go, the others take their session's new index.
    QHash<QString, bool> expandedBefore;
    QHash<QString, QString> kept; // tag -> current key
    for (const QString& host : tree.ChildKeys(Active)) {
        expandedBefore.insert(host, tree.Expanded(host));
        if (!hostChildren.contains(host)) {
            tree.RemoveNode(host);
            continue;
        }
        for (const QString& key : tree.ChildKeys(host)) {
            const QString tag = tree.NodeTag(key);
            const auto at = byTag.constFind(tag);
            if (at == byTag.cend() || wanted.at(*at).host != host || kept.contains(tag))
                tree.RemoveNode(key);
            else
                kept.insert(tag, key);
        }
    }
    // Indexes only move down and keep their order, so renaming in index
    // order never meets a key that is still taken.
    for (const Wanted& w : std::as_const(wanted)) {
        const auto at = kept.constFind(w.tag);
        if (at == kept.cend())
            continue;
        if (*at != w.key && !tree.RekeyNode(*at, w.key))
            tree.RemoveNode(*at);
        else
            tree.SetNodeText(w.key, w.text);
    }
    for (int h = 0; h < hosts.size(); ++h) {
        const QString& host = hosts.at(h);
        if (!tree.InsertNode(Active, h, host, host.mid(2), TreeImage::Host))
            tree.MoveNode(host, h);
        const QList<int>& children = hostChildren[host];
        for (int c = 0; c < children.size(); ++c) {
            const Wanted& w = wanted.at(children.at(c));
            if (!tree.InsertNode(host, c, w.key, w.text, TreeImage::User, w.tag))
                tree.MoveNode(w.key, c);
        }
    }
    tree.SetKeysInOrder(order);

    // A host node is expanded again only when its place in that order and its
    // key are the same as before; a node that moved comes back collapsed.
    for (int p = 0; p < order.size(); ++p) {
        const QString& key = order.at(p);
        if (!key.startsWith(QLatin1String("#@")))
            continue;
        const bool expanded = p < before.size() && before.at(p) == key && expandedBefore.value(key, false);
        if (tree.Expanded(key) != expanded)
            tree.SetExpanded(key, expanded);
    }

    const auto followed = byTag.constFind(follow);
    return follow.isEmpty() || followed == byTag.cend() ? QString() : wanted.at(*followed).key;
}

QString IdentityOf(const TreeViewControl& tree, const QString& key)
{
    return key.startsWith(QLatin1Char('@')) ? tree.NodeTag(key) : QString();
}

QString KeyOfIdentity(const TreeViewControl& tree, const QString& identity)
{
    if (identity.isEmpty())
        return {};
    for (const QString& host : tree.ChildKeys(Active)) {
        for (const QString& key : tree.ChildKeys(host)) {
            if (tree.NodeTag(key) == identity)
                return key;
        }
    }
    return {};
}

} // namespace ConnectionSubtree
