#pragma once
// Appending to a log that is written several times for every FTP event: one
// open, one write, one close, and the log's size afterwards from the same
// open, so the size check for the rotation needs no second look at the file.
// An append that fails (a full disk) leaves the file as it was before it.
#include "core/TextFile.h"

// Appends, creating the file when it is missing; sizeAfter is the file's
// length after the write (-1 on failure).
FileOpResult AppendMeasured(const QString& path, const QByteArray& bytes, qint64& sizeAfter);

// The log's length, -1 when it cannot be measured (it is missing): from the
// descriptor kept open for appending while nothing has changed the file, and
// a log found missing stays known as missing until a change notice names it.
qint64 LogLength(const QString& path);
