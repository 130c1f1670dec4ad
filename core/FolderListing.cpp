#include "core/FolderListing.h"

#include "core/FileIdentity.h"

#include <QDir>

namespace {

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
