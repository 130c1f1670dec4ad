#pragma once
// The name New moves a log aside to.
#include <QDateTime>
#include <QString>

// The path without its ".txt", then "_mm-dd-yyyy_HHMMSS.txt" for the moment:
// "/app/logs/S_Log.txt" at 23:59:59 on 31 December 2001 becomes
// "/app/logs/S_Log_12-31-2001_235959.txt". A name without ".txt" keeps all
// of its characters.
QString NewLogName(const QString& path, const QDateTime& when);
