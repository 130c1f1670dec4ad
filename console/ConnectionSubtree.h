#pragma once
// The nodes below "Active": one node per client address ("#@" and the
// address) and under it one node per session ("@" and the session's index in
// the engine's list), tagged with the session's identity so that a selection
// can follow its session when the indexes move.
#include <QString>

class FtpEngine;
class TreeViewControl;

namespace ConnectionSubtree {

// Brings the subtree up to what a rebuild from the engine's live sessions
// gives, keeping the expanded state of every node that stays at its position
// under its key; only nodes that differ are touched. Returns the key of the
// connection node carrying the identity follow, empty when none does.
QString Rebuild(TreeViewControl& tree, const FtpEngine& engine, const QString& follow = {});
// The identity a connection node carries; empty for other nodes.
QString IdentityOf(const TreeViewControl& tree, const QString& key);
// The connection node that carries an identity; empty when none does.
QString KeyOfIdentity(const TreeViewControl& tree, const QString& identity);

} // namespace ConnectionSubtree
