#pragma once
// Windows-1252, the code page of every text file the program keeps. All 256
// byte values round-trip; the five unassigned bytes map to their C1 controls.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

QByteArray ToAnsi(const QString& text);
QString FromAnsi(QByteArrayView bytes);
// One character's byte; characters outside the code page become '?'.
char AnsiByte(QChar c);
// True when every character has a byte of its own (none would become '?').
bool FitsAnsi(const QString& text);
