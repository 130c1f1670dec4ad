#pragma once
// The names in a folder, remembered between calls: every file event looks up
// names ignoring letter case, and listing a folder each time is the costly part.
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>

// All entries of a folder (hidden ones too, no "." and ".."), sorted by name;
// empty when the folder cannot be read. A remembered listing is used only
// while the folder keeps its device, inode, modification and change times,
// and only when those times were already older than the listing itself by
// more than a file system's timestamp step, so a change in the same step as
// the listing can never hide behind an unchanged time.
QStringList FolderEntries(const QString& folder);

// The clock the listings are dated by; tests move it forward. Empty restores
// the real clock.
void SetFolderListingClock(std::function<timespec()> clock);
