#pragma once
// Plain descriptor writes for the files rewritten or appended at every event.
#include "core/TextFile.h"

#include <QByteArray>

// The result that tells of a failed system call, or of a special file
// refused (NotRegularFile, RegularFile.h).
FileOpResult ErrnoFailure(int err);

// Writes every byte at the descriptor's offset, again after an interruption;
// 0, or the error (a write that takes nothing counts as a full disk).
int WriteAll(int fd, const QByteArray& bytes);

// The same at a descriptor opened for appending, all or nothing: when the
// disk fills part-way the bytes that got through are cut off again, so the
// file ends as it was and no reader ever finds half a record. 0, or the error.
int AppendAll(int fd, const QByteArray& bytes);
