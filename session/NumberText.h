#pragma once
// Numbers as the settings and the statistics files hold them: decimal text,
// a fraction rounded half to even.
#include <QString>
#include <optional>

// A decimal number with blanks around it allowed; no value for anything else.
std::optional<double> ParseDecimal(const QString& text);
// The nearest whole number, a half going to the even neighbour.
double RoundHalfEven(double value);
// A decimal number rounded to a 16-bit whole number; no value when it is no
// number or lies outside -32768..32767.
std::optional<qint16> ToInt16(const QString& text);
std::optional<qint16> ToInt16(double value);
// A counter's text as a 64-bit whole number (a fraction rounded half to even);
// no value when it is no number or out of range.
std::optional<qint64> ParseCounter(const QString& text);
// a + b; false when the sum does not fit.
bool AddChecked(qint64 a, qint64 b, qint64& sum);
