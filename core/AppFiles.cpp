#include "core/AppFiles.h"

#include "core/AppFolder.h"
#include "core/FileNames.h"
#include "core/SmallProcs.h"

namespace {

// <folder><name> when the name can be one file name, else empty.
QString named(QLatin1String folder, const QString& name)
{
    return IsSafeName(name) ? AppPath(folder + name) : QString();
}

// users/stats/<prefix><name><rest> for a user or group name that can be part
// of one file name, else empty.
QString statsNamed(const QString& prefix, const QString& name, const QString& rest)
{
    return IsSafeName(name) ? AppPath(QLatin1String("/users/stats/") + prefix + name + rest) : QString();
}

// A log named after a user or a group: none for an empty name.
QString namedLog(const QString& prefix, const QString& name)
{
    if (name.isEmpty() || !IsSafeName(name))
        return {};
    // Built in one buffer: two of these are made for every event.
    const QString folder = AppFolder();
    const QLatin1String logs("/logs/"), txt(".txt");
    QString path;
    path.reserve(folder.size() + logs.size() + prefix.size() + name.size() + txt.size());
    path += folder;
    path += logs;
    path += prefix;
    path += name;
    path += txt;
    return path;
}

} // namespace

namespace AppFiles {

QString ConfigFile()
{
    return AppPath(QStringLiteral("/Config.txt"));
}

QString VirtualFolderMapFile()
{
    return AppPath(QStringLiteral("/VirtMap.dat"));
}

QString RegistryFile()
{
    return AppPath(QStringLiteral("/registry.ini"));
}

QString HelpFile()
{
    return AppPath(QStringLiteral("/help.hlp"));
}

QString RootFolder()
{
    return AppPath(QStringLiteral("/root"));
}

QString LogsFolder()
{
    return AppPath(QStringLiteral("/logs"));
}

QString UsersFolder()
{
    return AppPath(QStringLiteral("/users"));
}

QString GroupsFolder()
{
    return AppPath(QStringLiteral("/groups"));
}

QString StatsFolder()
{
    return AppPath(QStringLiteral("/users/stats"));
}

QString ServerLog()
{
    return AppPath(QStringLiteral("/logs/S_Log.txt"));
}

QString AnonymousLog()
{
    return AppPath(QStringLiteral("/logs/anonymous_passwords.txt"));
}

QString LogFile(const QString& fileName)
{
    return fileName.isEmpty() ? QString() : named(QLatin1String("/logs/"), fileName);
}

QString UserLog(const QString& user)
{
    return namedLog(UserLogPrefix(), user);
}

QString GroupLog(const QString& group)
{
    return namedLog(GroupLogPrefix(), group);
}

QString UserLogPrefix()
{
    return QStringLiteral("U_");
}

QString GroupLogPrefix()
{
    return QStringLiteral("G_");
}

QString ServerLogPrefix()
{
    return QStringLiteral("S_");
}

QString AccountFile(const QString& user)
{
    return named(QLatin1String("/users/U_"), user);
}

QString GroupFile(const QString& group)
{
    return named(QLatin1String("/groups/G_"), group);
}

QString AccountFilePattern()
{
    return QStringLiteral("U_*.*");
}

QString GroupFilePattern()
{
    return QStringLiteral("G_*.*");
}

} // namespace AppFiles

QString AccountFilePath(const QString& userName)
{
    return AppFiles::AccountFile(userName);
}

QString GroupFilePath(const QString& groupName)
{
    return AppFiles::GroupFile(groupName);
}

QString StatCounterPath(const QString& userName, const char* suffix)
{
    return statsNamed(QString(), userName, QLatin1String(suffix));
}

QString SessionTrendPath(const QString& userName)
{
    return statsNamed(QStringLiteral("Trend_"), userName, QStringLiteral(".txt"));
}

QString DayTrendPrefix(bool user)
{
    return user ? QStringLiteral("Trend_User_Day_") : QStringLiteral("Trend_Group_Day_");
}

QString UserDayTrendPath(const QString& userName, const QDate& date)
{
    return statsNamed(DayTrendPrefix(true), userName, QLatin1Char('.') + DayStamp(date) + QStringLiteral(".txt"));
}

QString GroupDayTrendPath(const QString& group, const QDate& date)
{
    return statsNamed(DayTrendPrefix(false), group, QLatin1Char('.') + DayStamp(date) + QStringLiteral(".txt"));
}

QString DayStamp(const QDate& date)
{
    // The day's number as CDate2Julian writes it, without its leading zeros.
    if (date.year() >= 1000 && date.year() <= 9999)
        return QString::number(date.year()) + QString::number(date.dayOfYear());
    return date.toString(QStringLiteral("yyyy")) + QString::number(ModMain::CDate2Julian(date).toInt());
}
