#pragma once
// The texts of the runtime failures the program reports, each written once so
// that every report spells it the same way.
#include <QString>

inline QString FileNotFoundText() { return QStringLiteral("File not found"); }
inline QString PastEndText() { return QStringLiteral("Input past end of file"); }
inline QString TypeMismatchText() { return QStringLiteral("Type mismatch"); }
inline QString OverflowText() { return QStringLiteral("Overflow"); }
inline QString PermissionDeniedText() { return QStringLiteral("Permission denied"); }
inline QString LineTooLongText() { return QStringLiteral("File damaged: a line is too long"); }
