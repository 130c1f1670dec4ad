#include "dialogs/TextRules.h"

#include <QLocale>

namespace DialogText {

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString StoredText(const QString& boxText)
{
    QString text = boxText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QString BoxText(const QString& stored)
{
    QString text = stored;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::optional<double> NumericValue(const QString& text)
{
    const QString trimmed = TrimBlanks(text);
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace DialogText
