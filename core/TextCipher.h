#pragma once
// The text cipher of every enciphered value the program stores: the text's
// ANSI bytes, padded, enciphered with Blowfish in CBC mode under the installed
// key and a fixed IV, written as one line of base64 without "=".
#include <QByteArray>
#include <QString>

namespace modBlowFish {

// The fixed initialisation vector text.
inline constexpr char IVText[] = "73914052";

// Pads and enciphers in CBC mode; the raw cipher bytes.
QByteArray blf_CBCStringEncipher(const QByteArray& plain, const QString& iv);
// Deciphers raw cipher bytes in CBC mode and removes the pad.
QByteArray blf_CBCStringDecipher(const QByteArray& cipher, const QString& iv);
QString BF_Str2Mime(const QByteArray& bytes);
QByteArray BF_Mime2Str(const QString& text);

} // namespace modBlowFish

namespace ModMain {

// One stored line for a text; the empty text when no key is installed.
QString Encipher(const QString& text);
// The text of a stored line. A damaged line yields whatever it deciphers to.
QString DeCipher(const QString& line);

} // namespace ModMain
