#pragma once
// Reading the virtual folder map "VirtMap.dat": four plain header lines, then
// records of four enciphered lines (name, virtual path, source, real folder).
#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct VirtualFolderRecord {
    QString Name;
    QString VirtualPath;
    QString SourceFolder;
    QString RealFolder;
};

// The map's records; none when the file is missing. Each line that cannot be
// read is passed to reportMissingLine, and a record cut short is dropped.
QList<VirtualFolderRecord> ReadVirtualFolderMap(const std::function<void()>& reportMissingLine);

// The client path under which a source folder appears for a session whose
// home is home: "/" and the source's rest below home ("/" for the home
// itself); no value when the source is not inside home. Letter case is
// ignored, and both get a final "/" first.
std::optional<QString> VirtualPathUnderHome(QString home, QString source);
