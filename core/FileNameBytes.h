#pragma once
// File names as bytes. A name is whatever bytes the disk or a client holds;
// where they are UTF-8 the text is that, and each byte that is not part of
// UTF-8 is kept as one character of its own (U+DC80 to U+DCFF, a lone
// surrogate that no UTF-8 text decodes to), so that every name converts to a
// text and back to the very same bytes, and two names never become one text.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace FileNameBytes {

// The text of a name; allUtf8 (when given) tells whether it was UTF-8 throughout.
QString decode(QByteArrayView bytes, bool* allUtf8 = nullptr);
// The bytes of a text decode() gave (or of any other text, as UTF-8).
QByteArray encode(QStringView text);
// For showing and logging: each byte that is not part of UTF-8 as its
// Windows-1252 character.
QString shown(const QString& text);
// Each such byte as U+FFFD, as a plain UTF-8 decoder gives it.
QString replaced(const QString& text);

} // namespace FileNameBytes
