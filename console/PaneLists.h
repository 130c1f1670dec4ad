#pragma once
// The right-hand list for the settings, account, group and log nodes. Each
// fills an emptied list: its columns, then its rows, every row inserted at
// the top. Everything is read afresh from the files on each call.
class ListViewControl;

namespace PaneLists {

// "root": the one row "All" with port, live sessions and server root.
void ShowSettingsSummary(ListViewControl& list, int sessionCount);
// "uandg": the number of account and group files.
void ShowUserAndGroupTotals(ListViewControl& list);
// "users": each account with its group.
void ShowAccounts(ListViewControl& list);
// "groups": each group.
void ShowGroups(ListViewControl& list);
// " Logs": the number of server, user and group logs.
void ShowLogTotals(ListViewControl& list);

enum class LogKind { Server, User, Group };
// "serverlogs", "userlogs", "grouplogs": the log files with size and date.
void ShowLogFiles(ListViewControl& list, LogKind kind);

} // namespace PaneLists
