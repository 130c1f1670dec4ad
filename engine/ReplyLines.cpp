#include "engine/ReplyLines.h"

namespace {
bool startsWithCode(const QString& line)
{
    return line.size() >= 3 && line.at(0).isDigit() && line.at(1).isDigit() && line.at(2).isDigit()
        && line.at(0).unicode() < 128 && line.at(1).unicode() < 128 && line.at(2).unicode() < 128;
}
} // namespace

QStringList replyLines(const QString& text, int defaultCode)
{
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normalised.split(QLatin1Char('\n'));
    QString code = startsWithCode(lines.first()) ? lines.first().left(3) : QString::number(defaultCode);
    const QString last = code + QLatin1Char(' ');
    const QString more = code + QLatin1Char('-');

    if (lines.size() == 1) {
        const QString& line = lines.first();
        if (line.startsWith(last))
            return lines;
        if (line.startsWith(more))
            return {last + line.mid(4)};
        return {line == code ? last : last + line};
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& line = lines[i];
        const bool isLast = i == lines.size() - 1;
        if (isLast) {
            if (line.startsWith(more))
                line = last + line.mid(4);
            else if (!line.startsWith(last))
                line = last + line;
        } else if (i == 0) {
            if (line.startsWith(last))
                line = more + line.mid(4);
            else if (!line.startsWith(more))
                line = more + line;
        } else if (line.startsWith(last)) {
            // Would end the reply early on the client's side.
            line = more + line.mid(4);
        }
    }
    return lines;
}
