#include "core/FolderListing.h"

#include "core/FileIdentity.h"

#include <QDir>
#include <QHash>
#include <QMutex>

namespace {

constexpr qsizetype MaxFolders = 256;

struct Listing {
    FileIdentity id;
    QStringList entries;
};

struct Cache {
    Cache()
    {
        OnRememberClockChange([this] {
            const QMutexLocker lock(&mutex);
            folders.clear();
        });
    }
    QMutex mutex;
    QHash<QString, Listing> folders;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

bool FolderIdentity(const QString& folder, FileIdentity& id)
{
    return IdentityOf(folder, id) && S_ISDIR(id.mode);
}

QStringList ListNow(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

QStringList FolderEntries(const QString& folder)
{
    Cache& cache = TheCache();
    FileIdentity before;
    if (!FolderIdentity(folder, before)) {
        const QMutexLocker lock(&cache.mutex);
        cache.folders.remove(folder);
        return ListNow(folder);
    }
    {
        const QMutexLocker lock(&cache.mutex);
        const auto it = cache.folders.constFind(folder);
        if (it != cache.folders.cend() && it->id == before)
            return it->entries;
    }
    const timespec listedAt = RememberClockNow();
    QStringList entries = ListNow(folder);
    FileIdentity after;
    // Kept only when nothing moved during the listing and the folder's last
    // change lies safely before it.
    const bool settled = FolderIdentity(folder, after) && after == before && SettledBefore(before, listedAt);
    const QMutexLocker lock(&cache.mutex);
    if (settled) {
        if (cache.folders.size() >= MaxFolders)
            cache.folders.clear();
        cache.folders.insert(folder, Listing{before, entries});
    } else {
        cache.folders.remove(folder);
    }
    return entries;
}
