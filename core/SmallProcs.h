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

// Both test the path with one trailing "/" left out ("/" alone is the root
// folder and stays), names matched ignoring case. They only answer; they
// never show a message.
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
// The same tests for a caller that keeps the spelling tested: its own text
// loses the trailing "/" first.
bool FolderExistsDroppingSlash(QString& path);
bool FileExistsDroppingSlash(QString& path);
