#pragma once
// Whether a folder lies on a file system that another machine changes without
// a notice here (NFS, SMB, FUSE ...): what is kept from inotify's notices
// cannot be trusted there. A folder that cannot be asked counts as remote.
#include <QByteArray>

bool OnRemoteFileSystem(int fd);
bool OnRemoteFileSystem(const QByteArray& path);
