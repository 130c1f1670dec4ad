#pragma once
// Every file and folder of the application folder, named here and nowhere
// else. A name from outside (a user or group name, a list row) enters a path
// only as one literal file name (IsSafeName): where it cannot be one, the
// path is empty, and an empty path names no file, so every open, test and
// removal of it fails as "no such file".
#include <QDate>
#include <QString>

namespace AppFiles {

QString ConfigFile();           // Config.txt
QString VirtualFolderMapFile(); // VirtMap.dat
QString RegistryFile();         // registry.ini
QString HelpFile();             // help.hlp
QString RootFolder();           // root, the first server root
QString LogsFolder();           // logs
QString UsersFolder();          // users
QString GroupsFolder();         // groups
QString StatsFolder();          // users/stats

QString ServerLog();    // logs/S_Log.txt
QString AnonymousLog(); // logs/anonymous_passwords.txt
// logs/<prefix><name>.txt for a prefix "S_", "U_" or "G_" and a list row's
// name; empty when the name cannot be one file name.
QString LogFile(const QString& fileName);
// logs/U_<user>.txt and logs/G_<group>.txt; empty for an empty name too.
QString UserLog(const QString& user);
QString GroupLog(const QString& group);
QString UserLogPrefix();   // "U_"
QString GroupLogPrefix();  // "G_"
QString ServerLogPrefix(); // "S_"

// users/U_<user> and groups/G_<group>, and the patterns that list them.
QString AccountFile(const QString& user);
QString GroupFile(const QString& group);
QString AccountFilePattern(); // "U_*.*"
QString GroupFilePattern();   // "G_*.*"

} // namespace AppFiles

// The statistics files of users/stats.
namespace StatSuffix {
inline constexpr char SentCount[] = ".Sent_File_Count.txt";
inline constexpr char SentSize[] = ".Sent_File_Size.txt";
inline constexpr char ReceivedCount[] = ".Received_File_Count.txt";
inline constexpr char ReceivedSize[] = ".Received_File_Size.txt";
inline constexpr char TransferedCount[] = ".Transfered_File_Count.txt";
inline constexpr char TransferedSize[] = ".Transfered_File_Size.txt";
inline constexpr char DeletedCount[] = ".Del_File_Count.txt";
inline constexpr char DeletedSize[] = ".Del_File_Size.txt";
} // namespace StatSuffix

// users/U_<name> and groups/G_<name>.
QString AccountFilePath(const QString& userName);
QString GroupFilePath(const QString& groupName);
// users/stats/<user><suffix>: a user's running total.
QString StatCounterPath(const QString& userName, const char* suffix);
// users/stats/Trend_<user>.txt: one record per session.
QString SessionTrendPath(const QString& userName);
// users/stats/Trend_User_Day_<user>.<year><day of year>.txt and the group's
// Trend_Group_Day_ file: one day's totals.
QString UserDayTrendPath(const QString& userName, const QDate& date);
QString GroupDayTrendPath(const QString& group, const QDate& date);
// "Trend_User_Day_" or "Trend_Group_Day_": the start of those names.
QString DayTrendPrefix(bool user);
// The year and the day of the year, as the day files' names hold them.
QString DayStamp(const QDate& date);
