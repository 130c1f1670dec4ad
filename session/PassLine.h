#pragma once
// PASS lines carry a password; they never reach a log in clear.
#include <QString>

// True when the line is a PASS command, whatever its letter case.
bool IsPassLine(const QString& line);
// "PASS" followed by a blank and one "*" for each character after the
// fifth; "PASS" alone stays as it is.
QString MaskedPassLine(const QString& line);
