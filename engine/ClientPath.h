#pragma once
// Paths as the client names them, and how they map onto the disk: the
// client's "/" is the session's home folder, and each virtual folder shows
// its real folder under its own client path.
#include "engine/VirtualFolderList.h"

#include <QList>
#include <QString>

namespace ClientPath {
// Absolute client path ("/a/b") for an argument given in folder cwd: "\" is a
// separator, "." and ".." are resolved lexically and never climb above "/".
QString resolve(const QString& cwd, const QString& argument);
// "/a/b" -> "/a"; "/" stays "/".
QString parent(const QString& clientPath);
// Last component; empty for "/".
QString name(const QString& clientPath);
// "/" + quotes doubled, ready for a 257 reply.
QString quoted(const QString& clientPath);
} // namespace ClientPath

class PathMap {
public:
    struct Mount {
        QString clientPath; // where the folder shows, "/pub/docs"
        QString realFolder;
    };
    struct Target {
        QString clientPath;
        QString physical; // empty when the home or the mount has no folder
        QString base;     // the folder the physical path must stay inside
        QString below;    // the client path's part below the base, "/a/b" or ""
        bool isMountPoint = false; // the client path is "/" or a virtual folder itself
    };

    PathMap(const QString& home, const QList<VirtualFolder>& sessionFolders,
            const QList<VirtualFolder>& serverFolders);

    Target map(const QString& clientPath) const;
    // Virtual folders whose parent is the client folder, by their names.
    QList<Mount> mountsIn(const QString& clientFolder) const;

private:
    void add(const VirtualFolder& folder);

    QString m_home;
    QList<Mount> m_mounts;
};
