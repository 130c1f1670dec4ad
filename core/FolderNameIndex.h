#pragma once
// The names of a folder by their letter-case-free form, listed once and then
// kept in step with the disk by the kernel's change notices (inotify), so a
// look-up ignoring letter case costs a few system calls however large the
// folder is and however often it changes.
#include <QString>
#include <optional>

// The spelling of name in folder ignoring letter case (the first in code
// order when several differ only in case); the empty text when there is none
// or the folder is missing. No value when the folder cannot be watched (no
// notices to be had, a network file system whose other hosts send none): the
// caller then lists the folder itself. Safe from any thread.
std::optional<QString> WatchedFolderLookup(const QString& folder, const QString& name);

// How many folders the index has listed so far; tests count that look-ups do
// not list.
qint64 WatchedFolderListings();
