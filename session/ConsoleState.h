#pragma once
// The console's process-wide values, shared by the window, the session
// handlers and the dialogs; with a reset for tests.
#include <QString>
#include <QStringList>

namespace ConsoleState {

extern QString SelectedKey;   // key of the tree node the pane shows ("#" before the tree exists)
extern QString SelectedItem;  // text of the chosen row or connection node
extern bool DailyChart;       // charts show per-day files
extern bool HiddenToTray;     // the first minimize has hidden the window
extern qint32 ConnectionID;   // connection index the panel shows
extern QString EditUserName;  // account handed to the edit users dialog
extern QString EditGroupName; // group handed to the edit groups dialog
extern QString LogFilePath;   // log file last viewed or deleted
// The session the administrator is ending (its SessionId), 0 for none: only
// that session's logout is logged as the administrator's doing.
extern quint64 AdminLogoffSession;
// The day files the last chart load found: full paths, then the end marker "@".
extern qint32 FoundFileCount;
extern QStringList UserTrendFiles;
extern QStringList GroupTrendFiles;

void Reset();

} // namespace ConsoleState
