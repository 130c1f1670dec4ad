#pragma once
// Whole-file replacement for the small files that change with every FTP
// session (statistics counters, day totals). The new content is written to a
// hidden partner file beside the old one, which then trades places with it in
// one atomic rename: a process killed at any point leaves the old or the new
// content, never a mix, as with WriteWholeFile. Unlike it, nothing is flushed
// to the disk and nothing is created, deleted or truncated once a file has
// been replaced twice, so the thread that serves every session never waits
// for the disk. The kernel writes the data back within seconds (ext4: 5 s
// commit, 30 s dirty expiry): a power cut can lose the updates of those last
// seconds, and a file replaced just before it may come back with one of its
// two previous values, since the rename can reach the disk before the data.
#include "core/TextFile.h"

FileOpResult ReplaceWithoutFlush(const QString& path, const QByteArray& bytes);
FileOpResult ReplaceLinesWithoutFlush(const QString& path, const QStringList& lines);
// Removes a file replaced this way together with its hidden partner; true when
// the file itself was removed.
bool RemoveWithPartner(const QString& path);
