#pragma once
// File names as the program sees them: matched without regard to letter case,
// listed by wildcard, and names from outside never escape their folder.
#include <QString>
#include <QStringList>

// The path to use for a file: each component that exists in another letter
// case takes its existing spelling; the rest keep the spelling given.
QString ResolvePath(const QString& path);

// True when a name from outside may be used as one literal path component:
// no "/", "\", NUL, control character, "*" or "?", and not "." or "..".
bool IsSafeName(const QString& name);

// Regular files (no folders, no dot-files) of a folder whose names match a
// pattern with "*" and "?", ignoring letter case; "*.*" also matches names
// without a dot. Sorted by name, ignoring case.
QStringList ListFiles(const QString& folder, const QString& pattern);

// True when a name matches a wildcard pattern, with the rules above.
bool WildcardMatch(const QString& name, const QString& pattern);
