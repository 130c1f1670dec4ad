#pragma once
// The statistics counter files users/stats/<user><suffix>: one line holding
// the user's running total over all sessions as a decimal whole number.
#include "core/AppFiles.h"

#include <QString>
#include <functional>
#include <optional>

// Told of a counter file that held no number, with what it held.
using CounterReport = std::function<void(const QString& description)>;

// Adds amount to the counter file and to the session's own field. A missing
// file is created holding amount, and the field is then set to amount; a
// file whose first line is no number counts as 0 and is rewritten, and its
// old content is reported first. False, with the reason in error, when the
// file cannot be written or a sum would not fit (the file is then left as it
// was when its own sum does not fit).
bool AddToStatCounter(const QString& path, qint64 amount, qint64& sessionField, QString& error,
                      const CounterReport& reportUnreadable);

// The report of a counter file that held no number: why, the file's name and
// what its first line held, control characters shown as \xNN.
QString UnreadableCounterText(const QString& path, const QString& why, const std::optional<QString>& firstLine);
