#pragma once
// A whole-file rewrite writes "<file>.XXXXXX" beside the file and renames it
// over the file; a process killed in between leaves that temporary behind.
// At start-up nothing of the program is writing yet, so every such leftover
// of the program's own files is stale.
#include <QStringList>

// Removes the stale temporaries of the settings, the virtual folder map, the
// account, group and statistics counter files and the anonymous log. Files of
// any other name are never touched; failures pass silently. Returns the
// names removed, relative to the application folder.
QStringList RemoveStaleTemporaries();
