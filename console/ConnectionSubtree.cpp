#include "console/ConnectionSubtree.h"

#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/TreeViewControl.h"

#include <QTreeWidgetItem>

namespace ConnectionSubtree {

namespace {
const QString Active = QStringLiteral("Active");
} // namespace

void Rebuild(TreeViewControl& tree, const FtpEngine& engine)
{
    struct Saved {
        QString key;
        bool expanded;
    };
    QList<Saved> saved;
    for (const QString& key : tree.KeysInOrder())
        saved.append({key, tree.Expanded(key)});

    const int count = engine.Sessions().Count();
    for (const QString& child : tree.ChildKeys(Active))
        tree.RemoveNode(child);

    if (tree.HasNode(Active)) {
        for (int i = 0; i < count; ++i) {
            const FtpUser* user = engine.Sessions().Item(i);
            if (!user)
                continue;
            const QString address = user->RemoteAddress();
            const QString hostKey = QStringLiteral("#@") + address;
            tree.AddNode(Active, hostKey, address, TreeImage::Host); // an existing host node is reused
            tree.AddNode(hostKey, QStringLiteral("@") + QString::number(i), user->UserName(), TreeImage::User,
                         QString::number(user->SessionId()));
        }
    }

    const QStringList now = tree.KeysInOrder();
    for (int p = 0; p < now.size() && p < saved.size(); ++p) {
        if (saved[p].key == now[p])
            tree.SetExpanded(now[p], saved[p].expanded);
    }
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
