#pragma once
// What a listing shows: the entries of a folder (plus the virtual folders
// that appear in it) and their lines in "ls -l" form.
#include <QList>
#include <QString>
#include <ctime>
#include <sys/stat.h>

struct DirEntry {
    QString name;
    struct stat info {};
};

// "drwxr-xr-x 1 ftp ftp 4096 Mar 07 14:05 name"; the time of day for entries
// of the current year (local time), the year otherwise.
QString listLine(const DirEntry& entry, std::time_t now);
// "YYYYMMDDhhmmss" in UTC, as MDTM answers.
QString modificationStamp(std::time_t time);

// Entries of a physical folder in name order, "." and ".." left out. Links
// that lead outside base, or nowhere, are left out as well.
QList<DirEntry> readFolder(const QString& physical, const QString& base);
// Inserts (or replaces) an entry, keeping name order.
void mergeEntry(QList<DirEntry>& entries, DirEntry entry);
