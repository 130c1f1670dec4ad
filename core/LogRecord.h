#pragma once
// One logged event as six CR LF lines: date, time, user, group, client
// address, message. Shared by the server log and the per-event logs.
#include "core/TextFile.h"

#include <QDateTime>
#include <QString>

struct LogRecord {
    QString Date;
    QString Time;
    QString User;
    QString Group;
    QString ClientAddress;
    QString Message;
};

// The record of an event with what every log fills in for a blank field: a
// connection not yet named is "New Connection", the group is the user's own
// (read from the account file, errors reported as reportAs) or else
// "Unknown", the address "0.0.0.0". Fields that are not blank stay as given.
LogRecord MakeLogRecord(const QDateTime& when, const QString& user, const QString& group, const QString& address,
                        const QString& message, const QString& reportAs);

// "12-08-2026" and "07:15:00".
QString LogDate(const QDateTime& when);
QString LogTime(const QDateTime& when);
// "20261208" and "071500", for rotated file names.
QString RotationStamp(const QDateTime& when);

// The record's bytes; a CR or LF inside a field is written as a blank.
QByteArray FormatLogRecord(const LogRecord& record);
// Appends one record, creating the file when it is missing.
FileOpResult AppendLogRecord(const QString& path, const LogRecord& record);

// The size past which a log is moved aside before it grows further.
constexpr qint64 LogRotationLimit = 2'000'000;
// True when the file exists and is longer than the limit.
bool LogNeedsRotation(const QString& path);

// A console row: the five columns joined by line feeds.
QString ConsoleRow(const QString& date, const QString& time, const QString& address, const QString& user,
                   const QString& message);
