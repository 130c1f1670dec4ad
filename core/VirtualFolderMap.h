#pragma once
// The virtual folder map "VirtMap.dat": four plain header lines, then records
// of four enciphered lines (name, virtual path, source, real folder). One
// reader serves the login and the editor; the editor is its one writer.
#include "core/TextFile.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct VirtualFolderRecord {
    QString Name;
    QString VirtualPath;
    QString SourceFolder;
    QString RealFolder;
    bool operator==(const VirtualFolderRecord&) const = default;
};

// Where the map's lines come from.
class MapLineSource {
public:
    virtual ~MapLineSource() = default;
    virtual bool atEnd() const = 0;
    // The next line, or no value when it cannot be read.
    virtual std::optional<QString> readLine() = 0;
};

// The records of a map's lines. Each line that cannot be read is passed to
// reportMissingLine; a record cut short is dropped, and a read that fails
// where a record begins ends the map.
QList<VirtualFolderRecord> ReadVirtualFolderRecords(MapLineSource& source,
                                                    const std::function<void()>& reportMissingLine);
// The records of VirtMap.dat in the application folder; none when it is missing.
QList<VirtualFolderRecord> ReadVirtualFolderMap(const std::function<void()>& reportMissingLine);

// The whole file for these records: the header with the version, then each
// record's fields enciphered, every line ended by CR LF.
QByteArray VirtualFolderMapBytes(const QList<VirtualFolderRecord>& records);
// Replaces VirtMap.dat whole; the old file survives any failure.
FileOpResult WriteVirtualFolderMap(const QList<VirtualFolderRecord>& records);

// The client path under which a source folder appears for a session whose
// home is home: "/" and the source's rest below home ("/" for the home
// itself); no value when the source is not inside home. Letter case is
// ignored, and both get a final "/" first.
std::optional<QString> VirtualPathUnderHome(QString home, QString source);
