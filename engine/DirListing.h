#pragma once
// What a listing shows: the entries of a folder (plus the virtual folders
// that appear in it) and their lines in "ls -l" form.
#include "engine/UniqueFd.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <ctime>
#include <functional>
#include <sys/stat.h>

struct DirEntry {
    QString name;
    struct stat info {};
};

// "drwxr-xr-x    1 ftp      ftp   4096 Mar  7 14:05 name": as ls -l, the
// time of day for the last six months (local time), the year for anything
// older or in the future.
QString listLine(const DirEntry& entry, std::time_t now);
// "YYYYMMDDhhmmss" in UTC, as MDTM answers.
QString modificationStamp(std::time_t time);

// What a symbolic link in the folder leads to; false leaves it out (a link
// that leads outside the base, or nowhere).
using LinkFollower = std::function<bool(const QByteArray& name, struct stat& st)>;

// Entries of a folder opened for reading, in name order; ".", ".." and the
// uploads' hidden temporaries left out, links shown as what they lead to.
QList<DirEntry> readFolder(UniqueFd folder, const LinkFollower& follow);
// Inserts (or replaces) an entry, keeping name order.
void mergeEntry(QList<DirEntry>& entries, DirEntry entry);
