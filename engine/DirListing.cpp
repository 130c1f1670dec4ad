#include "engine/DirListing.h"

#include <cstdio>

namespace {
const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

char typeChar(mode_t mode)
{
    if (S_ISDIR(mode))
        return 'd';
    if (S_ISLNK(mode))
        return 'l';
    return '-';
}

QString permissions(mode_t mode)
{
    char p[11] = {typeChar(mode),
                  (mode & S_IRUSR) ? 'r' : '-', (mode & S_IWUSR) ? 'w' : '-', (mode & S_IXUSR) ? 'x' : '-',
                  (mode & S_IRGRP) ? 'r' : '-', (mode & S_IWGRP) ? 'w' : '-', (mode & S_IXGRP) ? 'x' : '-',
                  (mode & S_IROTH) ? 'r' : '-', (mode & S_IWOTH) ? 'w' : '-', (mode & S_IXOTH) ? 'x' : '-',
                  0};
    return QString::fromLatin1(p);
}

// Half of an average Gregorian year, as ls reckons six months.
constexpr std::time_t SixMonths = 31'556'952 / 2;

} // namespace

QString listLine(const DirEntry& entry, std::time_t now)
{
    std::tm when {};
    const std::time_t mtime = entry.info.st_mtime;
    localtime_r(&mtime, &when);
    char date[32];
    if (mtime <= now && now - mtime < SixMonths)
        std::snprintf(date, sizeof date, "%s %2d %02d:%02d", Months[when.tm_mon], when.tm_mday, when.tm_hour,
                      when.tm_min);
    else
        std::snprintf(date, sizeof date, "%s %2d  %4d", Months[when.tm_mon], when.tm_mday, when.tm_year + 1900);
    return QStringLiteral("%1 %2 ftp      ftp      %3 %4 %5")
        .arg(permissions(entry.info.st_mode))
        .arg(qulonglong(entry.info.st_nlink), 4)
        .arg(qlonglong(entry.info.st_size), 12)
        .arg(QLatin1String(date), entry.name);
}

QString modificationStamp(std::time_t time)
{
    std::tm t {};
    gmtime_r(&time, &t);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return QLatin1String(stamp);
}
