#pragma once
// The console's process-wide values, shared by the window, the session
// handlers and the dialogs, and the live sessions the console installs for
// the dialogs: held in one record on top of core's (core/ProcessState.h).
#include <QString>
#include <QStringList>
#include <memory>

class LiveSessions;

namespace ConsoleState {

struct State {
    QString SelectedKey;   // key of the tree node the pane shows ("#" before the tree exists)
    QString SelectedItem;  // text of the chosen row or connection node
    bool DailyChart = false;   // charts show per-day files
    bool HiddenToTray = false; // the first minimize has hidden the window
    qint32 ConnectionID = 0;   // connection index the panel shows
    QString EditUserName;  // account handed to the edit users dialog
    QString EditGroupName; // group handed to the edit groups dialog
    QString LogFilePath;   // log file last viewed or deleted
    // The session the administrator is ending (its SessionId), 0 for none: only
    // that session's logout is logged as the administrator's doing.
    quint64 AdminLogoffSession = 0;
    // The day files the last chart load found: full paths, then the end marker "@".
    qint32 FoundFileCount = 0;
    QStringList UserTrendFiles;
    QStringList GroupTrendFiles;
    // How the dialogs close live FTP sessions (session/LiveSessions.h); none
    // until the console installs its engine's.
    std::shared_ptr<LiveSessions> Sessions;
};

State& Current();

// The values by the names the console, the handlers and the dialogs use.
extern QString& SelectedKey;
extern QString& SelectedItem;
extern bool& DailyChart;
extern bool& HiddenToTray;
extern qint32& ConnectionID;
extern QString& EditUserName;
extern QString& EditGroupName;
extern QString& LogFilePath;
extern quint64& AdminLogoffSession;
extern qint32& FoundFileCount;
extern QStringList& UserTrendFiles;
extern QStringList& GroupTrendFiles;

// Puts all of the above back as at the program's start, and everything core
// holds with it (ModMain::ResetProcessState); for tests.
void Reset();

} // namespace ConsoleState
