#pragma once
// Turns a reply text into the lines that go on the wire, RFC 959 style: every
// line but the last starts "nnn-", the last "nnn ".
#include <QString>
#include <QStringList>

// The code comes from the text's first line when it starts with three digits,
// else defaultCode is put in front. Line ends may be CR LF or LF.
QStringList replyLines(const QString& text, int defaultCode);
