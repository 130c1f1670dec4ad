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
    // Why the last line gave no value.
    virtual QString errorText() const;
    // True once nothing more can be read: the source is damaged or could not
    // be opened.
    virtual bool damaged() const { return false; }
};

// Told why a line could not be read.
using MapLineReport = std::function<void(const QString& description)>;

// The records of a map's lines. Each line that cannot be read is reported; a
// record cut short is dropped, and a read that fails where a record begins,
// or a damaged source, ends the map.
QList<VirtualFolderRecord> ReadVirtualFolderRecords(MapLineSource& source, const MapLineReport& reportMissingLine);
// The records of VirtMap.dat in the application folder; none when it is missing.
QList<VirtualFolderRecord> ReadVirtualFolderMap(const MapLineReport& reportMissingLine);

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
