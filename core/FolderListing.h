#pragma once
// The names in a folder, for look-ups that ignore letter case: every file
// event looks names up, and listing the folder each time is the costly part.
#include <QString>
#include <QStringList>

// The entry of folder whose name equals name ignoring letter case (the first
// in code order when several do); the empty text when none does. Answered from
// the watched index (FolderNameIndex.h) where the folder can be watched,
// otherwise from its listing.
QString FindIgnoringCase(const QString& folder, const QString& name);

// All entries of a folder (hidden ones too, no "." and ".."), sorted by name;
// empty when the folder cannot be read. A remembered listing is used only
// while the folder keeps its identity (FileIdentity.h), and only when the
// folder had settled before it was listed, so a change in the same time
// stamp step as the listing can never hide behind unchanged times.
QStringList FolderEntries(const QString& folder);

// How many times a folder was listed for look-ups so far; tests count that a
// look-up in a large folder lists nothing.
qint64 FolderListingCount();
