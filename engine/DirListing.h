#pragma once
// The lines of a listing in "ls -l" form.
#include <QString>
#include <ctime>
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
