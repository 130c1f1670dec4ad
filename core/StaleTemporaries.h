#pragma once
// A whole-file rewrite writes the new content to a hidden temporary beside the
// file, ".<name>.quayport-rewrite-XXXXXX", and renames it over the file; a
// process killed in between leaves that temporary behind. The fixed part of
// the name is the program's own, so no administrator's file (a ".backup"
// copy, an account "U_john.doe123") is ever taken for one. At start-up nothing
// of the program is writing yet, so every such leftover is stale.
#include <QString>
#include <QStringList>

// A fresh temporary name for a rewrite of the file at path, in its folder.
QString RewriteTemporaryPath(const QString& path);

// Removes the stale rewrite temporaries in the application folder, the logs,
// users, groups and statistics folders. Files of any other name, such as the
// counters' hidden ".<name>.swap" partners, are never touched; failures pass
// silently. Returns the names removed, relative to the application folder.
QStringList RemoveStaleTemporaries();
