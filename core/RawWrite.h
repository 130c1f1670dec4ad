#pragma once
// Plain descriptor writes for the files rewritten or appended at every event.
#include "core/TextFile.h"

#include <QByteArray>

// The result that tells of a failed system call.
FileOpResult ErrnoFailure(int err);

// Writes every byte at the descriptor's offset, again after an interruption;
// 0, or the error (a write that takes nothing counts as a full disk).
int WriteAll(int fd, const QByteArray& bytes);
