#pragma once
// The names in a folder, remembered between calls: every file event looks up
// names ignoring letter case, and listing a folder each time is the costly part.
#include <QString>
#include <QStringList>

// All entries of a folder (hidden ones too, no "." and ".."), sorted by name;
// empty when the folder cannot be read. A remembered listing is used only
// while the folder keeps its identity (FileIdentity.h), and only when the
// folder had settled before it was listed, so a change in the same time
// stamp step as the listing can never hide behind unchanged times.
QStringList FolderEntries(const QString& folder);
