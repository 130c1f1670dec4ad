#include "core/FolderListing.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <sys/stat.h>

namespace {

// Coarse timestamps advance in ticks of a few milliseconds on local disks; some
// file systems keep whole or even two seconds.
constexpr long long TrustAfterNs = 2'000'000'000LL;
constexpr qsizetype MaxFolders = 256;

struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const Identity& o) const
    {
        return dev == o.dev && ino == o.ino && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec
            && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

struct Listing {
    Identity id;
    QStringList entries;
};

long long Ns(const timespec& t)
{
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

timespec RealNow()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

struct Cache {
    QMutex mutex;
    QHash<QString, Listing> folders;
    std::function<timespec()> clock;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

bool IdentityOf(const QString& folder, Identity& id)
{
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    id = Identity{st.st_dev, st.st_ino, st.st_mtim, st.st_ctim};
    return true;
}

QStringList ListNow(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

QStringList FolderEntries(const QString& folder)
{
    Cache& cache = TheCache();
    Identity before;
    if (!IdentityOf(folder, before)) {
        const QMutexLocker lock(&cache.mutex);
        cache.folders.remove(folder);
        return ListNow(folder);
    }
    timespec listedAt{};
    {
        const QMutexLocker lock(&cache.mutex);
        const auto it = cache.folders.constFind(folder);
        if (it != cache.folders.cend() && it->id == before)
            return it->entries;
        listedAt = cache.clock ? cache.clock() : RealNow();
    }
    QStringList entries = ListNow(folder);
    Identity after;
    const QMutexLocker lock(&cache.mutex);
    // Kept only when nothing moved during the listing and the folder's last
    // change lies safely before it.
    const bool settled = IdentityOf(folder, after) && after == before
        && Ns(before.mtime) + TrustAfterNs < Ns(listedAt) && Ns(before.ctime) + TrustAfterNs < Ns(listedAt);
    if (settled) {
        if (cache.folders.size() >= MaxFolders)
            cache.folders.clear();
        cache.folders.insert(folder, Listing{before, entries});
    } else {
        cache.folders.remove(folder);
    }
    return entries;
}

void SetFolderListingClock(std::function<timespec()> clock)
{
    Cache& cache = TheCache();
    const QMutexLocker lock(&cache.mutex);
    cache.clock = std::move(clock);
    cache.folders.clear();
}
