#pragma once
// Small shared procedures: name validation, day of the year, path tests and
// path normalisation.
#include <QDate>
#include <QString>

namespace ModMain {

// True when every character is A-Z, a-z, 0-9, "_", "#", "@" or a blank;
// otherwise shows the documented message and returns false.
bool ValidateString(const QString& text);
// The day of the year, at least three digits ("001" ... "366").
QString CDate2Julian(const QDate& date);
// Lower-cased, trimmed, "///" and then "//" collapsed to "/", trimmed again:
// for comparing paths without regard to letter case.
QString RMVSlash(const QString& path);
// The same in the path's own letter case: for showing a path as it is spelt.
QString CollapseSlashes(const QString& path);

} // namespace ModMain

// Both first remove one trailing "/" from the caller's own text, then test
// the path (names matched ignoring case). They never show a message.
bool FolderExists(QString& path);
bool FileExists(QString& path);
// The same tests on a copy, for callers whose text must stay as it is.
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
