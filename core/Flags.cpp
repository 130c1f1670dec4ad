#include "core/Flags.h"

namespace {

bool isAsciiBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

// The word in any letter case of A to Z only.
bool isWord(QStringView t, QLatin1StringView word)
{
    if (t.size() != word.size())
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        char16_t u = t[i].unicode();
        if (u >= 'A' && u <= 'Z')
            u += 'a' - 'A';
        if (u != char16_t(word[i].unicode()))
            return false;
    }
    return true;
}

// Digits with an optional sign, decimal point and exponent: the only numbers
// a flag field may hold. "nan" and "inf" name no number.
bool isDecimalNumber(QStringView t)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
            ++i;
        return i - from;
    };
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    qsizetype mantissa = digits();
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == t.size();
}

} // namespace

std::optional<bool> ParseFlag(const QString& text)
{
    // Only plain blanks around the field are ignored: a no-break space is text.
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isAsciiBlank(text[from]))
        ++from;
    while (to > from && isAsciiBlank(text[to - 1]))
        --to;
    const QStringView t = QStringView(text).sliced(from, to - from);
    if (isWord(t, QLatin1StringView("true")))
        return true;
    if (isWord(t, QLatin1StringView("false")))
        return false;
    if (!isDecimalNumber(t))
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok); // fails on a number too large for a double
    if (ok)
        return v != 0.0;
    return std::nullopt;
}
