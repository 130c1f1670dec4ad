#pragma once
// Small files read at every FTP event (account and group files, the settings)
// remembered between reads; only a stat is left of each read.
#include <QByteArray>
#include <QString>
#include <optional>

// The whole content of a small regular file. A remembered content is used
// only while the file keeps its identity (FileIdentity.h) and only when the
// file had settled before it was read, so a rewrite of the same size in the
// same time stamp step can never hide. No value for a missing, large or
// special file, or when reading fails: the caller then reads it its own way.
std::optional<QByteArray> SmallFileContent(const QString& path);
