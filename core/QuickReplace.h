#pragma once
// Whole-file replacement for small files that change with every FTP session
// (statistics counters, day totals): the new content goes to a hidden file
// beside the old one, which is then renamed over it. A process that is killed
// at any point leaves the old or the new content, never a mix, as with
// WriteWholeFile; unlike it, nothing is flushed to the disk, so the thread that
// serves every session never waits for the disk. The kernel writes the file
// back within seconds: a power cut can lose the changes of those last
// seconds, and on a file system that does not order a rename after the data
// it replaces (ext4 does) a file replaced just before the cut may come back
// empty.
#include "core/TextFile.h"

FileOpResult ReplaceWithoutFlush(const QString& path, const QByteArray& bytes);
FileOpResult ReplaceLinesWithoutFlush(const QString& path, const QStringList& lines);
