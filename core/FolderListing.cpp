#include "core/FolderListing.h"

#include "core/FileIdentity.h"
#include "core/FolderNameIndex.h"

#include <QDir>
#include <atomic>

namespace {

std::atomic<qint64> unwatchedListings{0};

RememberedStates<QStringList>& Listings()
{
    static RememberedStates<QStringList> listings(256);
    return listings;
}

bool FolderIdentity(const QString& folder, FileIdentity& id)
{
    return IdentityOf(folder, id) && S_ISDIR(id.mode);
}

QStringList ListNow(const QString& folder)
{
    ++unwatchedListings;
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

QStringList FolderEntries(const QString& folder)
{
    FileIdentity before;
    if (!FolderIdentity(folder, before)) {
        Listings().Forget(folder);
        return ListNow(folder);
    }
    if (std::optional<QStringList> known = Listings().Find(folder, before))
        return *known;
    const timespec listedAt = RememberClockNow();
    QStringList entries = ListNow(folder);
    FileIdentity after;
    // Kept only when nothing moved during the listing and the folder's last
    // change lies safely before it.
    const bool settled = FolderIdentity(folder, after) && after == before && SettledBefore(before, listedAt);
    Listings().Keep(folder, before, entries, settled);
    return entries;
}

QString FindIgnoringCase(const QString& folder, const QString& name)
{
    if (std::optional<QString> found = WatchedFolderLookup(folder, name))
        return *found;
    const QString folded = name.toCaseFolded();
    QString first;
    for (const QString& e : FolderEntries(folder)) {
        if (e.toCaseFolded() == folded && (first.isEmpty() || e < first))
            first = e;
    }
    return first;
}

qint64 FolderListingCount()
{
    return unwatchedListings.load() + WatchedFolderListings();
}
