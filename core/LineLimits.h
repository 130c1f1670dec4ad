#pragma once
// The longest line each of the program's file formats can hold, in bytes
// without the line end. A longer line is no line of that format: the reader
// stops there and takes the file as damaged, so a huge file costs no more
// than a bound to look at.
#include <QtGlobal>

namespace LineLimit {

// A counter or trend value: a 64-bit whole number, or a number in the
// general format with its sign and exponent, is under 32 characters; the
// rest is room for blanks around it.
inline constexpr qsizetype Number = 256;
// A plain field (a name, an e-mail address, a flag, a folder) comes from a
// one-line text box, which holds at most 32,767 characters; a folder's path
// is shorter still.
inline constexpr qsizetype PlainField = 32767;
// An enciphered field: the base64 text, without "=", of such a field's bytes
// padded to the next multiple of eight.
inline constexpr qsizetype EncipheredField = ((PlainField / 8 + 1) * 8 * 4 + 2) / 3;
// A log line: a plain field behind the longest fixed text a message puts
// before one (client command lines are shorter).
inline constexpr qsizetype LogLine = PlainField + 256;
// Any line of any of the program's files.
inline constexpr qsizetype Any = EncipheredField;

static_assert(EncipheredField == 43691);
static_assert(Any >= LogLine);

} // namespace LineLimit
