#include "engine/DirListing.h"

#include <QFile>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <cstdlib>
#include <dirent.h>
#include <memory>

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

bool byName(const DirEntry& a, const DirEntry& b)
{
    return QFile::encodeName(a.name) < QFile::encodeName(b.name);
}

bool inside(const QByteArray& real, const QByteArray& base)
{
    if (base == "/")
        return true;
    return real == base || (real.startsWith(base) && real.at(base.size()) == '/');
}
} // namespace

QString listLine(const DirEntry& entry, std::time_t now)
{
    std::tm when {};
    std::tm today {};
    const std::time_t mtime = entry.info.st_mtime;
    localtime_r(&mtime, &when);
    localtime_r(&now, &today);
    char date[32];
    if (when.tm_year == today.tm_year)
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

QList<DirEntry> readFolder(const QString& physical, const QString& base)
{
    QList<DirEntry> entries;
    const QByteArray folder = QFile::encodeName(physical);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        return entries;
    char realBase[PATH_MAX];
    const bool haveBase = ::realpath(QFile::encodeName(base).constData(), realBase) != nullptr;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* d = ::readdir(dir.get())) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        DirEntry e;
        e.name = QFile::decodeName(d->d_name);
        if (::fstatat(dirFd, d->d_name, &e.info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(e.info.st_mode)) {
            char real[PATH_MAX];
            const QByteArray full = folder + '/' + d->d_name;
            if (!haveBase || !::realpath(full.constData(), real) || !inside(QByteArray(real), QByteArray(realBase))
                || ::stat(real, &e.info) != 0)
                continue;
        }
        entries.append(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), byName);
    return entries;
}

void mergeEntry(QList<DirEntry>& entries, DirEntry entry)
{
    auto at = std::lower_bound(entries.begin(), entries.end(), entry, byName);
    if (at != entries.end() && at->name == entry.name)
        *at = std::move(entry);
    else
        entries.insert(at, std::move(entry));
}
