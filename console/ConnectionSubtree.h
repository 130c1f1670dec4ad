#pragma once
// The nodes below "Active": one node per client address ("#@" and the
// address) and under it one node per session ("@" and the session's index in
// the engine's list), tagged with the session's identity so that a selection
// can follow its session when the indexes move.
#include <QString>

class FtpEngine;
class TreeViewControl;

namespace ConnectionSubtree {

// Rebuilds the subtree from the engine's live sessions, keeping the expanded
// state of every node that stays at its position under its key.
void Rebuild(TreeViewControl& tree, const FtpEngine& engine);
// The identity a connection node carries; empty for other nodes.
QString IdentityOf(const TreeViewControl& tree, const QString& key);
// The connection node that carries an identity; empty when none does.
QString KeyOfIdentity(const TreeViewControl& tree, const QString& identity);

} // namespace ConnectionSubtree
